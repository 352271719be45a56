// auridec: decodes an MP3 file into a 16-bit PCM wave file.
//
//   auridec --decode [--silent] <source.mp3> <target.wav>
//
// Exits 0 when the wave file was written; otherwise exits 1, 3 when the
// wave file could not be created or written (its message ends in the
// system's reason), 2 for a wrong command line. --silent keeps it from
// writing any message. The wave goes
// through a temporary file beside the target, so a failed or killed decode
// leaves a file already under the target's name as it was.

#include "common/ReadFiles.h"
#include "common/SafeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <mpg123.h>
#include <unistd.h>

namespace {

bool gSilent = false;

void complain(const std::string &message)
{
    if (!gSilent)
        std::fprintf(stderr, "auridec: %s\n", message.c_str());
}

void put16(std::uint8_t *p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t *p, std::uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

// The canonical 44-byte header of a 16-bit integer PCM wave file.
std::vector<std::uint8_t> waveHeader(long rate, int channels, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> h(44, 0);
    std::memcpy(h.data(), "RIFF", 4);
    put32(&h[4], 36 + dataBytes);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    put32(&h[16], 16);
    put16(&h[20], 1);
    put16(&h[22], static_cast<std::uint32_t>(channels));
    put32(&h[24], static_cast<std::uint32_t>(rate));
    put32(&h[28], static_cast<std::uint32_t>(rate * channels * 2));
    put16(&h[32], static_cast<std::uint32_t>(channels * 2));
    put16(&h[34], 16);
    std::memcpy(&h[36], "data", 4);
    put32(&h[40], dataBytes);
    return h;
}

class Decoder
{
public:
    ~Decoder()
    {
        if (mHandle) {
            mpg123_close(mHandle);
            mpg123_delete(mHandle);
        }
        if (mSource >= 0)
            ::close(mSource);
    }

    bool run(const std::string &source, const std::string &target)
    {
        int err = MPG123_OK;
        mHandle = mpg123_new(nullptr, &err);
        if (!mHandle)
            return fail(std::string("cannot start the decoder: ") + mpg123_plain_strerror(err));
        if (gSilent)
            mpg123_param(mHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        // 16-bit signed output at the stream's own rate and channel count.
        mpg123_format_none(mHandle);
        const long *rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i)
            mpg123_format(mHandle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

        // A pipe or a device under the source's name is refused, not waited on.
        mSource = vx::openRegularFile(source);
        if (mSource < 0)
            return fail("cannot open " + source + ": " + vx::readErrorText(errno));
        if (mpg123_open_fd(mHandle, mSource) != MPG123_OK)
            return fail("cannot open " + source + ": " + mpg123_strerror(mHandle));

        if (!mOut.create(target))
            return cannotWrite("cannot create " + target + ": " + mOut.errorString());
        if (!write(waveHeader(0, 1, 0)))
            return false;

        std::vector<unsigned char> buffer(64 * 1024);
        std::uint64_t dataBytes = 0;
        long rate = 0;
        int channels = 0;
        for (;;) {
            size_t done = 0;
            const int rc = mpg123_read(mHandle, buffer.data(), buffer.size(), &done);
            if (rc == MPG123_NEW_FORMAT) {
                long r = 0;
                int c = 0, enc = 0;
                mpg123_getformat(mHandle, &r, &c, &enc);
                // One wave file holds one format.
                if (dataBytes > 0 && (r != rate || c != channels))
                    return fail("the stream changes its format");
                rate = r;
                channels = c;
            } else if (rc != MPG123_OK && rc != MPG123_DONE) {
                return fail("cannot decode " + source + ": " + mpg123_strerror(mHandle));
            }
            if (done > 0) {
                if (!write(buffer.data(), done))
                    return false;
                dataBytes += done;
                if (dataBytes > 0xFFFFFFFFull - 36)
                    return fail("the sound is too long for a wave file");
            }
            if (rc == MPG123_DONE)
                break;
        }
        if (dataBytes == 0 || rate <= 0 || channels <= 0)
            return fail("no sound found in " + source);

        const auto header = waveHeader(rate, channels, static_cast<std::uint32_t>(dataBytes));
        if (!mOut.writeAt(0, header.data(), header.size()) || !mOut.commit())
            return cannotWrite("cannot write " + target + ": " + mOut.errorString());
        return true;
    }

    [[nodiscard]] bool outputFailed() const { return mOutputFailed; }

private:
    bool write(const void *bytes, size_t n)
    {
        if (!mOut.write(bytes, n))
            return cannotWrite("cannot write the wave file: " + mOut.errorString());
        return true;
    }

    bool write(const std::vector<std::uint8_t> &bytes) { return write(bytes.data(), bytes.size()); }

    bool fail(const std::string &message)
    {
        complain(message);
        return false;
    }

    bool cannotWrite(const std::string &message)
    {
        mOutputFailed = true;
        return fail(message);
    }

    mpg123_handle *mHandle = nullptr;
    int mSource = -1;
    vx::OutputFile mOut;
    bool mOutputFailed = false;
};

} // namespace

constexpr const char *kUsage = "usage: auridec --decode [--silent] <source.mp3> <target.wav>";

int main(int argc, char **argv)
{
    bool decode = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n", kUsage);
            return 0;
        }
        if (arg == "--decode")
            decode = true;
        else if (arg == "--silent")
            gSilent = true;
        else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            complain("unknown option " + arg);
            return 2;
        } else
            paths.push_back(arg);
    }
    if (!decode || paths.size() != 2) {
        complain(kUsage);
        return 2;
    }

#if MPG123_API_VERSION < 46
    mpg123_init();
#endif
    int status = 0;
    {
        Decoder decoder;
        if (!decoder.run(paths[0], paths[1]))
            status = decoder.outputFailed() ? 3 : 1;
    }
    return status;
}

#pragma once

#include "components/sonvert/DecoderProcess.h"
#include "components/sonvert/Errors.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/ProgressThrottle.h"
#include "components/sonvert/WavFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The sound converter: wave and MP3 files to chip PCM files, compression of
// chip PCM files, and chip PCM files back to 8-bit wave files.
//
// Every method starts by clearing the cancel flag and ends with ResetWork,
// whether it succeeds or throws. Numbered errors are vx::ComponentError
// (components/common/ComponentError.h) with the source "SonvertLib.<method>".
// A failed or cancelled method leaves neither its output file nor a
// temporary file behind; an existing output file is replaced only by a
// complete one. A file that cannot be created or written is not a numbered
// error: it throws vx::ComponentError with run-time error 75 and a text that
// names the file and the system's cause (after the same clean-up).
class cSonvert
{
public:
    // Progress from 0 to 100; setting Cancel ends the method with error 1005.
    using PercentDoneHandler = std::function<void(int Percent, bool &Cancel)>;
    // Runs the caller's event loop once, so its windows stay alive.
    using YieldHandler = std::function<void()>;

    cSonvert();
    ~cSonvert();
    cSonvert(const cSonvert &) = delete;
    cSonvert &operator=(const cSonvert &) = delete;

    // The folder output files are written to, used unchanged as a prefix of
    // the file name (so it ends with "/"); "" (the initial value) means the
    // source file's folder.
    void setTargetPath(const std::string &TargetPath);
    [[nodiscard]] const std::string &TargetPath() const;

    // Converts a wave or MP3 file into a chip PCM file and returns its path:
    // the marked (newer-chip) form when SV20 is set, compressed in place when
    // Compress is set. Throws 1002, 1001, 1000, 1004, 1003 or 1005; 1003 also
    // for a sound whose data, compressed when Compress is set, would pass the
    // 24-bit length field.
    std::string ConvertToPcm(const std::string &SourceFile, std::int32_t Tag = 0, int NoiseGate = 0,
                             bool Boost = false, bool SV20 = false, bool Compress = false);

    // Compresses a plain chip PCM file of either form into the form SV20
    // selects, with that form's rules, and returns the output path (".pcm").
    // Throws 1002 (no source), 1001 (no target folder), 1003 (not a chip PCM
    // file, one compressed already, or a result that the header cannot
    // describe) or 1005 (cancelled).
    std::string CompressPcmFile(const std::string &SourceFile, bool SV20 = false);

    // Writes an 8-bit mono wave file from a chip PCM file of either form,
    // plain or compressed, and returns its path (".wav"). Throws 1002, 1001,
    // 1003 or 1005 as above.
    std::string ConvertToWav(const std::string &SourceFile);

    // The PercentDone event: fires at most every 0.2 s (the first report of
    // the object's life at once).
    void setPercentDone(PercentDoneHandler handler);
    // Called once after each progress event and while waiting for the decoder.
    void setYield(YieldHandler handler);

    // The MP3 decoder program; by default "auridec" in the component's folder.
    void setDecoderPath(const std::filesystem::path &path);
    [[nodiscard]] const std::filesystem::path &DecoderPath() const;

    // Replaces the monotonic clock of the progress throttle (tests).
    void setProgressClock(sonvert::ProgressThrottle::Now now);

    // The folder this library was loaded from.
    [[nodiscard]] static std::filesystem::path ComponentFolder();

private:
    // Shrinks the work arrays, drops a wave file being written and deletes
    // the temporary file.
    void ResetWork();
    // The part of the file name after the last "/" and before its last ".".
    [[nodiscard]] static std::string GetFileBaseName(const std::string &path);
    // The path through its last "/"; "" when there is none.
    [[nodiscard]] static std::string GetFileFolder(const std::string &path);
    // Whether the file is a wave file that ConvertToPcm reads; fills in the
    // source description when it is.
    [[nodiscard]] bool IsSupportedWave(const std::string &path);
    // Raises PercentDone when due and returns the cancel flag.
    bool ReportProgress(int Percent);
    // Decodes an MP3 file to the temporary wave file: "1" when the decoder
    // cannot be started, "2" when it wrote no usable file, else the path. A
    // temporary file that cannot be written throws run-time error 75.
    std::string DecodeMp3(const std::string &SourceFile);
    // Starts the decoder; its standard error goes to errors when that is open.
    bool StartProcess(const std::vector<std::string> &arguments, int errors = -1);
    // Waits for the decoder to end and says how; Failed when it was cancelled.
    sonvert::ProcessState WaitForProcess();

    // The compression passes over mBytes (chip PCM data of the form SV20
    // selects, end mark included for the marked form), ending with the
    // marked form's end mark; cancel raises 1005 for method.
    void CompressWork(bool SV20, sonvert::Method method);

    // Appends one unsigned sample byte to the wave being written; -999 flushes.
    void PutByte(int value);

    // Checks shared by the three methods, in their order: the source file
    // (1002), then the target folder (1001). Returns the output path.
    std::string CheckSourceAndTarget(const std::string &SourceFile, const char *extension,
                                     sonvert::Method method);
    // Writes mBytes as a chip PCM file (through a temporary file and a
    // rename). A result that the header cannot describe (longer than the
    // 24-bit length, or a rate code that does not fit the form) raises 1003;
    // a file that cannot be written throws run-time error 75.
    void WritePcmOutput(const std::string &path, sonvert::PcmForm form, std::uint8_t codeByte, std::uint16_t tag,
                        sonvert::Method method);
    void YieldOnce();
    // Reads a chip PCM source into mBytes and returns its header; a file
    // that is not one raises 1003.
    sonvert::PcmHeader LoadPcmSource(const std::string &SourceFile, sonvert::Method method);
    // ResetWork, then throws the numbered error.
    [[noreturn]] void Fail(sonvert::ErrorConstants code, sonvert::Method method);

    std::string mTargetPath;
    std::filesystem::path mTempFile;
    bool mCancel = false;

    // The current conversion's options and source description.
    int mNoiseGate = 0;
    std::int32_t mSampleRate = 0;
    int mChannels = 0;
    int mBitsPerSample = 0;
    int mFormatTag = 0;
    std::int32_t mSampleCount = 0;
    int mDecimation = 1;
    std::int32_t mOutputRate = 0;
    float mMean = 0.0f;
    float mMeanDeviation = 0.0f;
    float mDeviationCount = 0.0f;

    // Work buffers: bytes (8-bit source, output samples, chip PCM data) and
    // 16-bit samples. The wave output buffer is mWave's.
    std::vector<std::uint8_t> mBytes;
    std::vector<std::int16_t> mSamples;
    sonvert::WaveWriter8 mWave;

    sonvert::ProgressThrottle mProgress;
    PercentDoneHandler mPercentDone;
    YieldHandler mYield;

    // The decoder process.
    std::filesystem::path mDecoderPath;
    int mDecoderPid = -1;
};

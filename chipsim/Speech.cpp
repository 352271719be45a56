#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>
#include <cmath>

namespace chipsim {

using namespace detail;

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// The next word of a text: its leading blanks and the run of other bytes.
qsizetype wordLength(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    while (i < text.size() && !isBlank(text[i]))
        ++i;
    return i;
}

} // namespace

// --- Speech, transcription and audio out ------------------------------------

double Chip::speechSeconds(int bytes) const
{
    // Speed 5 speaks at the configured pace; each step up is faster.
    const int speed = std::max(0, setting('s'));
    return bytes * mConfig.secondsPerChar * 10.0 / (speed + 5);
}

int Chip::sampleRate() const
{
    switch (mConfig.rateCode) {
    case 4:
        return 10000;
    case 8:
        return 8000;
    default:
        return 10500;
    }
}

void Chip::startTranscription()
{
    // Until CAN, text acted on is answered with its transcription instead
    // of being spoken.
    mOutput = SpeechOutput::Transcribe;
}

void Chip::startAudio()
{
    // Until CAN the chip sends its voice as samples, at 115200 baud so the
    // line keeps up; the NUL that closes "11?" still comes at the old speed.
    if (mOutput != SpeechOutput::Audio)
        mBaudBeforeAudio = mBaud;
    mOutput = SpeechOutput::Audio;
    if (mBaud != 0 && mBaud != FastBaud) {
        allowAtSpeed(mBaud, NUL, 1, true);
        setLineBaud(FastBaud);
    }
}

void Chip::endSpeechOutput()
{
    if (mOutput == SpeechOutput::Audio && mBaudBeforeAudio != 0)
        setLineBaud(mBaudBeforeAudio);
    mOutput = SpeechOutput::Speak;
}

void Chip::tickSpeech(double t)
{
    while (!mSpeech.empty() && mSpeech.front().acted) {
        SpeechItem &item = mSpeech.front();
        if (item.kind != SpeechItem::Text || mOutput == SpeechOutput::Transcribe) {
            QByteArray out = item.bytes;
            if (item.kind == SpeechItem::Text)
                out = phoneticTranscription(item.bytes);
            if (mOutput == SpeechOutput::Transcribe && item.kind != SpeechItem::Marker)
                mTranscription.append(out);
            if (!out.isEmpty())
                send(out);
            mSpeech.pop_front();
            continue;
        }
        if (!mWordRunning)
            speakWord(mNextWordStart >= 0 ? mNextWordStart : t);
        const double length = speechSeconds(int(mWord.size()));
        if (mOutput == SpeechOutput::Audio && mWordSamplesSent < mWordSamples.size()) {
            // The samples go out as the word is spoken.
            const qsizetype due = length <= 0 ? mWordSamples.size()
                                              : std::min<qsizetype>(mWordSamples.size(),
                                                                    qsizetype((t - mWordStart) / length *
                                                                              double(mWordSamples.size())));
            if (due > mWordSamplesSent) {
                const QByteArray samples = mWordSamples.mid(mWordSamplesSent, due - mWordSamplesSent);
                mAudioOut.append(samples);
                send(samples);
                mWordSamplesSent = int(due);
            }
        }
        if (t - mWordStart < length)
            break;
        mSpoken.append(mWord);
        const QByteArray word = mWord.trimmed();
        if (!word.isEmpty())
            mSpokenWords.append({word, mWordStart, length, mMode, setting('o'), setting('s'), setting('p'),
                                 setting('v')});
        mWordRunning = false;
        mNextWordStart = mWordStart + length;
        if (item.bytes.isEmpty())
            mSpeech.pop_front();
    }
    if (mSpeech.empty() || !mSpeech.front().acted)
        mNextWordStart = -1.0;
}

void Chip::speakWord(double start)
{
    SpeechItem &item = mSpeech.front();
    const qsizetype n = wordLength(item.bytes);
    mWord = item.bytes.left(n);
    item.bytes.remove(0, n);
    mWordRunning = true;
    mWordStart = start;
    mNextWordStart = -1.0;
    mWordSamplesSent = 0;
    mWordSamples.clear();
    if (mOutput == SpeechOutput::Audio) {
        const int count = int(std::lround(speechSeconds(int(mWord.size())) * sampleRate()));
        mWordSamples = speechSamples(mWord.trimmed(), setting('p'), setting('v'), count);
    }
}

QByteArray speechSamples(const QByteArray &word, int pitch, int volume, int count)
{
    QByteArray out(std::max(0, count), char(128));
    if (word.isEmpty())
        return out; // blanks: silence
    // A triangle wave whose period follows the letters and the pitch, whose
    // height follows the volume.
    const int amplitude = 10 + 11 * std::clamp(volume, 0, 9);
    const int lower = (99 - std::clamp(pitch, 0, 99)) / 8;
    for (int i = 0; i < count; ++i) {
        const quint8 c = quint8(word[qsizetype(qint64(i) * word.size() / count)]);
        const int period = 8 + (c & 7) + lower;
        const int phase = (i % period) * 4 * amplitude / period; // 0 .. 4A
        int v = phase;
        if (phase >= amplitude && phase < 3 * amplitude)
            v = 2 * amplitude - phase;
        else if (phase >= 3 * amplitude)
            v = phase - 4 * amplitude;
        out[i] = char(128 + v);
    }
    return out;
}

} // namespace chipsim

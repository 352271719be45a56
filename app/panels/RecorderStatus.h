#pragma once

// The sound recorder's plain rules: the status bytes the chip sends while it
// records into recording memory, the recording commands, the file
// management texts, and the parameter prompt's answer check.

#include <QByteArray>
#include <QString>

#include <vector>

namespace vx {

// What one status byte asks of the recorder.
struct RecorderStatusAction
{
    int byte = -1;
    QString message;           // shown in a box titled "Error"; empty: none
    bool finished = false;     // 0: the recording ended normally
    bool stopReception = false; // 5, 8, 13, 14: the recording ends at once
    bool kilobyte = false;     // 15: one more kilobyte recorded
    bool writeError = false;   // 7: reported after the end, when it is the last status
};

[[nodiscard]] RecorderStatusAction DecodeRecorderStatus(int byte);
// Every byte of one read, in order: none is lost when several arrive together.
// The end marker 98 is no status and is left out: it never hides the last one.
[[nodiscard]] std::vector<RecorderStatusAction> DecodeRecorderStatuses(const QByteArray &bytes);
[[nodiscard]] QString WriteErrorMessage();

// The memory line while recording; "unknown" when the size is not known.
[[nodiscard]] QString RecordingPercentText(int recMemSize, int recMemFree);

// The rate code of the sample-rate slider (0 to 7), plus 128 when compressed.
[[nodiscard]] int RecordingRateCode(int sliderPos, bool compress);
[[nodiscard]] QString SampleRateLabel(int sliderPos);
// "(AdcSettings + 128)$": the converter feeds the recorder.
[[nodiscard]] QString RecorderAdcCommand(int adcSettings);
// Rate code, "l" and the tag as five digits.
[[nodiscard]] QString RecordingCommand(int sliderPos, bool compress, int tag);

inline constexpr int kLargestRecMemNumber = 65534;
// Tags, indexes and file numbers of recording memory run from 0 to 65534.
[[nodiscard]] bool IsRecMemNumberValid(qint64 number);
[[nodiscard]] QString TagOutOfRangeMessage();
// The file box of the recorder holds a tag or an index.
[[nodiscard]] QString TagIndexOutOfRangeMessage();

// Tool tips of the file box's buttons for a file number.
[[nodiscard]] QString UploadToolTip(qint64 number);
[[nodiscard]] QString DeleteToolTip(qint64 number);
// The upload's proposed file name: "Index7.pcm" or "Tag7.pcm".
[[nodiscard]] QString ProposedUploadName(const QString &boxText, bool byTag);

// The parameter prompt.
[[nodiscard]] QString ParmLabel(const QString &name, qint64 limit);
[[nodiscard]] QString ToneInstructions();
[[nodiscard]] QString RecordingInstructions();
[[nodiscard]] QString ParmRangeMessage();

enum class ParmVerdict { Cancelled, Accepted, Refused };
struct ParmAnswer
{
    ParmVerdict verdict = ParmVerdict::Cancelled;
    QString value; // the number as the command takes it, leading zeros gone
};
// An answer of the prompt against the parameter's largest value: empty is a
// cancel; only a whole number from 0 to the limit is taken, so no fraction
// or sign ever lands inside a command. The tone prompt's answer is a whole
// command and is not checked here.
[[nodiscard]] ParmAnswer CheckParmAnswer(const QString &answer, qint64 limit);

} // namespace vx

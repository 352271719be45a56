#pragma once

// Sizing for windows whose text is broken into lines by its writer: the
// message boxes and the warnings that carry line breaks in their text.

class QFontMetrics;
class QLabel;
class QString;
class QWidget;

namespace vx {

// Widens window, which shows label's text, so that each written line of a
// text that holds line breaks (CR LF, LF or CR) stands on one line (a line
// of more than about 120 characters, a paragraph, still wraps), and the
// window's title reads whole in a title bar; never wider than the screen the
// window is on. A text without a line break wraps as before. The window's
// height follows its new width; it keeps a fixed size. A path kept whole
// (below) is given the width it needs; one wider than the screen is left to
// break.
void fitWrittenLines(QWidget *window, QLabel *label);

// text as a label shows it with each file path (a word that holds a "/")
// kept whole: the line breaks before the path or after it, never where Qt
// would break inside it, after a "/" or a "-" of a name. Word joiners do it;
// they take no room and are not part of the message.
[[nodiscard]] QString keepPathsWhole(const QString &text);
// The message without them again, as it was written.
[[nodiscard]] QString withoutJoiners(const QString &text);
// The width of the widest path kept whole in text; 0 when it holds none.
[[nodiscard]] int widestWholePath(const QFontMetrics &fm, const QString &text);

} // namespace vx

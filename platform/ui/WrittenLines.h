#pragma once

// Sizing for windows whose text is broken into lines by its writer: the
// message boxes and the warnings that carry line breaks in their text.

class QLabel;
class QWidget;

namespace vx {

// Widens window, which shows label's text, so that each written line of a
// text that holds line breaks (CR LF, LF or CR) stands on one line (a line
// of more than about 120 characters, a paragraph, still wraps), and the
// window's title reads whole in a title bar; never wider than the screen the
// window is on. A text without a line break wraps as before. The window's
// height follows its new width; it keeps a fixed size.
void fitWrittenLines(QWidget *window, QLabel *label);

} // namespace vx

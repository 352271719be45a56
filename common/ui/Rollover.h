#pragma once

// Hover highlighting: one hot control per program. A label turns underlined
// and light blue while the pointer rests on it; a picture control swaps its
// picture (or its background). The program's main window owns a 250 ms timer
// that calls SetRollover(nullptr); the highlight goes as soon as the pointer
// has moved between two ticks.

#include <QPixmap>

class QTimer;
class QWidget;

namespace vx {

enum class RolloverPictures {
    Swap,           // a picture control whose Tag is 2 swaps its picture, others change background
    BackgroundOnly, // every non-label control changes background
};

// The program's timer and look. The timer is started and stopped by
// SetRollover; it should call SetRollover(nullptr) on each tick.
void setRolloverHost(QTimer *timer, RolloverPictures pictures = RolloverPictures::BackgroundOnly,
                     const QPixmap &normal = QPixmap(), const QPixmap &hot = QPixmap());
// The control drawn hot now, or nullptr.
[[nodiscard]] QWidget *rolloverHot();
// Forgets the hot control and the pointer positions (tests).
void resetRollover();

} // namespace vx

// Makes ctl the hot control (nullptr: none). Nothing changes while the
// pointer has not moved since the previous call.
void SetRollover(QWidget *ctl);
// Draws ctl hot, or normal: the look it had before it went hot (a control
// that never was hot gets the normal look of its kind).
void SetRolloverLook(QWidget *ctl, bool hot);
// True when the pointer is where it was at the previous call.
bool CursorUnmoved();

#pragma once

#include "platform/LockKeys.h"

#include <QPixmap>
#include <QStatusBar>
#include <QStringList>

#include <optional>

class QLabel;

// The main window's status bar with its eight panels: 1 messages (with a
// picture), 2 emulation, 3 addressing mode, 4 chipset, 5 dictionary, 6-8 the
// key states "INS", "NUM" and "CAPS". Panels are numbered from 1.
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    static constexpr int kPanels = 8;
    // Average characters of the message panel that read whole when the bar is
    // as wide as it asks to be.
    static constexpr int kMessageChars = 32;

    [[nodiscard]] QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString &text);
    // Panel 1's picture; a null pixmap clears it.
    void SetPanelPicture(const QPixmap &picture);
    [[nodiscard]] QPixmap PanelPicture() const;
    // The label of a panel (1 to 8), or null.
    [[nodiscard]] QLabel *Panel(int panel) const;
    // NUM and CAPS as the keyboard's lights: greyed while off; with no
    // states to show, both plain.
    void ShowLockKeys(const std::optional<vx::LockKeys> &keys);
    // The width at which panel 1 holds kMessageChars characters and panels
    // 2, 3, ... hold texts whole; the panels keep the texts they show.
    [[nodiscard]] int WidthToShow(const QStringList &texts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *mPicture = nullptr;
    QLabel *mPanels[kPanels + 1] = {};
};

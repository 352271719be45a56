#pragma once

#include <QWidget>

class QLabel;

// The splash window shown while the program starts: the picture, the
// version and a notice. Modeless and frameless.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    QLabel *imgSplash = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblNotice = nullptr;

    // Loads the splash (once), sets its version text, shows it and processes
    // pending events. Returns the window.
    static frmSplash *Show();
    // The loaded splash, or null.
    [[nodiscard]] static frmSplash *loaded();
};

// Closes and frees the splash window; does nothing when it is not loaded.
void UnloadSplash();

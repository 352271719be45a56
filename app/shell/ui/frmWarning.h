#pragma once

#include "app/shell/ui/NoticeDialog.h"

class QPushButton;

// "Warning": the chip has just entered the older-chip emulation mode. The
// program is busy while it is up.
class frmWarning : public NoticeDialog
{
    Q_OBJECT
public:
    explicit frmWarning(QWidget *parent = nullptr);

    QPushButton *cmdOk = nullptr;

    // Shows the notice and returns after OK (or the close box).
    void DisplayWarning();
};

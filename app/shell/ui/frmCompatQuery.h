#pragma once

#include "app/shell/CompatRules.h"
#include "app/shell/ui/NoticeDialog.h"

class QCheckBox;
class QPushButton;

// "Chipset Compatibility": asked at start-up whether the user develops for
// the older chip; the answer is For10 (and the live SV10DataFiles).
class frmCompatQuery : public NoticeDialog
{
    Q_OBJECT
public:
    explicit frmCompatQuery(QWidget *parent = nullptr);

    QCheckBox *chk3410 = nullptr;
    QPushButton *cmdHelp = nullptr;
    QPushButton *CmdOK = nullptr;

    // Shows the question and returns once it is answered. The program is busy
    // meanwhile.
    void DisplayCompatQuery();

protected:
    void Accepted() override;

private:
    vx::CompatQuery mQuery;
};

#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/ui/PanelWidgets.h"

#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

// The sound recorder panel. For now it holds what the refresh shows of the
// recording memory: its use and the addressing of its files.

using vx::panels::place;

void frmCpanels::BuildRecorder(QWidget *panel)
{
    optIndexType[0] = new QRadioButton(QStringLiteral(" Index"), panel);
    optIndexType[0]->setToolTip(QStringLiteral("Reference the file by its index value (command: -8g)"));
    optIndexType[1] = new QRadioButton(QStringLiteral(" Tag"), panel);
    optIndexType[1]->setToolTip(QStringLiteral("Reference the file by its Tag value (command: +8g)"));
    for (int i = 0; i < 2; ++i) {
        optIndexType[i]->setObjectName(QStringLiteral("optIndexType_%1").arg(i));
        place(optIndexType[i], 100 + i * 1200, 2400, 1100, 300);
    }
    optIndexType[0]->setChecked(true);

    auto *lblRecMemory = new QLabel(QStringLiteral("Recording Memory"), panel);
    lblRecMemory->setObjectName(QStringLiteral("lblRecMemory"));
    QFont bold = lblRecMemory->font();
    bold.setBold(true);
    lblRecMemory->setFont(bold);
    place(lblRecMemory, 0, 3300, 3000, 300);
    lblRecMemUsed = new QLabel(QStringLiteral("Memory used: 0 KB"), panel);
    lblRecMemUsed->setObjectName(QStringLiteral("lblRecMemUsed"));
    place(lblRecMemUsed, 0, 3600, 5250, 300);
    vbalRecMemUsed = new QProgressBar(panel);
    vbalRecMemUsed->setObjectName(QStringLiteral("vbalRecMemUsed"));
    vbalRecMemUsed->setTextVisible(false);
    vbalRecMemUsed->setRange(0, 1);
    vbalRecMemUsed->setValue(0);
    place(vbalRecMemUsed, 0, 3950, 5250, 250);
}

void frmCpanels::ShowRecorderValues(const vx::PanelValues &v)
{
    RecMemSize = v.recMemSize;
    RecMemFree = v.recMemFree;
    vbalRecMemUsed->setMaximum(v.gaugeMax);
    vbalRecMemUsed->setValue(v.gaugeValue);
    lblRecMemUsed->setText(v.recMemLabel);
    if (v.recMemKnown)
        lblProgressMsg->clear();
    else
        lblProgressMsg->setVisible(true);
    optIndexType[v.indexType]->setChecked(true);
}

#include "app/panels/ui/frmCpanels.h"

#include "app/panels/ui/PanelWidgets.h"

#include <QLabel>
#include <QLineEdit>

// The tone generator panel. For now it holds the duration box, whose length
// the refresh sets by the chip's mode.

using vx::panels::place;

void frmCpanels::BuildToneGen(QWidget *panel)
{
    auto *lblDur = new QLabel(QStringLiteral("Dur:"), panel);
    lblDur->setObjectName(QStringLiteral("lblDur"));
    place(lblDur, 0, 60, 500, 300);
    txtDur = new QLineEdit(QStringLiteral("500"), panel);
    txtDur->setObjectName(QStringLiteral("txtDur"));
    txtDur->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtDur->setMaxLength(5);
    place(txtDur, 500, 0, 800, 330);
    auto *lblMs = new QLabel(QStringLiteral("ms"), panel);
    lblMs->setObjectName(QStringLiteral("lblDurMs"));
    place(lblMs, 1350, 60, 400, 300);
}

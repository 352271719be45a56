#include "app/shell/ui/frmSLCProgress.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/Globals.h"
#include "app/startup/ui/Images.h"
#include "platform/ui/Modal.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

vx::LoadedForm<frmSLCProgress> gForm;

QPixmap checkmark()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 140, 60), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return pm;
}

QFrame *line(QWidget *parent, const char *name, bool white)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::HLine);
    f->setFixedHeight(1);
    f->setStyleSheet(white ? QStringLiteral("background: white; border: none;")
                           : QStringLiteral("background: #a0a0a0; border: none;"));
    return f;
}

QLabel *label(QWidget *parent, const char *name, const char *text)
{
    auto *l = new QLabel(QLatin1String(text), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

frmSLCProgress::frmSLCProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmSLCProgress"));
    setModal(false);
    setWindowTitle(QStringLiteral("Compile Sound Library"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(images::progressImage(2));

    lblCheck = label(this, "lblCheck", "Checking files");
    lblConverting = label(this, "lblConverting", "Converting files");
    lblWriting = label(this, "lblWriting", "Writing output file");
    auto *stages = new QGridLayout;
    QLabel *stageLabels[3] = {lblCheck, lblConverting, lblWriting};
    for (int i = 0; i < 3; ++i) {
        imgCheckmark[i] = new QLabel(this);
        imgCheckmark[i]->setObjectName(QStringLiteral("imgCheckmark%1").arg(i));
        imgCheckmark[i]->setPixmap(checkmark());
        imgCheckmark[i]->setFixedSize(16, 16);
        imgCheckmark[i]->hide();
        stages->addWidget(imgCheckmark[i], i, 0);
        stages->addWidget(stageLabels[i], i, 1);
    }
    stages->setColumnStretch(1, 1);

    Line1 = line(this, "Line1", false);
    Line2 = line(this, "Line2", true);
    Line3 = line(this, "Line3", false);
    Line4 = line(this, "Line4", true);

    lblStatus1 = label(this, "lblStatus1", "Status");
    QFont bold = lblStatus1->font();
    bold.setBold(true);
    lblStatus1->setFont(bold);
    lblStatus = label(this, "lblStatus", "Processing file 1 of 1");
    lblProcessingFile = label(this, "lblProcessingFile", "");
    lblProcessingFile->setTextInteractionFlags(Qt::NoTextInteraction);
    lblProcessingFile->setMinimumWidth(300);
    // A long name or message wraps or is cut; the window keeps its width and place.
    lblProcessingFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    vbalProgressFile = new vbalProgressBar(this);
    vbalProgressFile->setObjectName(QStringLiteral("vbalProgressFile"));
    vbalProgressFile->setRange(0, 100);
    vbalProgressLib = new vbalProgressBar(this);
    vbalProgressLib->setObjectName(QStringLiteral("vbalProgressLib"));
    vbalProgressLib->setRange(0, 100);

    lblFileSize = label(this, "lblFileSize", "Library file size:");
    lblStatus2 = label(this, "lblStatus2", "");
    lblStatus2->setWordWrap(true);
    lblStatus2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblStatus2->setMinimumHeight(2 * lblStatus2->fontMetrics().lineSpacing());

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSLCProgress::cmdCancel_Click);

    auto *head = new QHBoxLayout;
    head->addWidget(Image1, 0, Qt::AlignTop);
    head->addLayout(stages, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblFileSize);
    bottom->addStretch(1);
    bottom->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(Line1);
    layout->addWidget(Line2);
    layout->addWidget(lblStatus1);
    layout->addWidget(lblStatus);
    layout->addWidget(lblProcessingFile);
    layout->addWidget(lblStatus2);
    layout->addWidget(vbalProgressFile);
    layout->addWidget(vbalProgressLib);
    layout->addWidget(Line3);
    layout->addWidget(Line4);
    layout->addLayout(bottom);
    Form_Load();
}

void frmSLCProgress::Form_Load()
{
    adjustSize();
    vx::CentreOver(this);
    ProgressCancel = false;
}

void frmSLCProgress::cmdCancel_Click()
{
    ProgressCancel = true;
}

frmSLCProgress *frmSLCProgress::instance()
{
    return gForm.get();
}

frmSLCProgress *frmSLCProgress::loaded()
{
    return gForm.loaded();
}

void frmSLCProgress::Unload()
{
    gForm.unload();
}

void frmSLCProgress::reject()
{
    cmdCancel_Click();
}

void frmSLCProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
    reject();
}

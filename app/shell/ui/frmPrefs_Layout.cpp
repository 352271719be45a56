#include "app/shell/ui/frmPrefs.h"

#include "app/shell/ui/EditorFont.h"
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "link/SerialComm.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/ui/Modal.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

using vx::twipsToPixels;

// The preferences dialog's controls: the frame, the tabs and the four panels.

namespace {

QString S(const char *text)
{
    return QString::fromLatin1(text);
}

QGroupBox *frame(QWidget *panel, const char *name, const char *caption)
{
    auto *box = new QGroupBox(S(caption), panel);
    box->setObjectName(S(name));
    return box;
}

QRadioButton *option(QWidget *parent, const char *name, int index, const char *caption)
{
    auto *b = new QRadioButton(S(caption), parent);
    b->setObjectName(S(name) + QLatin1Char('_') + QString::number(index));
    return b;
}

const char *const kTabCaptions[4] = {"General", "Appearance", " Sound  Libraries", "Dictionaries"};

} // namespace

frmPrefs::frmPrefs(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The measures below are the dialog's own; its text keeps to a small face
    // so the panels hold their frames.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    imgPrefsTitle = new QLabel(this);
    imgPrefsTitle->setObjectName(QStringLiteral("imgPrefsTitle"));
    imgPrefsTitle->setAutoFillBackground(true);
    imgPrefsTitle->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f3f6f, stop:1 #7fa4d4);"));

    shaPrefsFrame = new QFrame(this);
    shaPrefsFrame->setObjectName(QStringLiteral("shaPrefsFrame"));
    shaPrefsFrame->setFrameShape(QFrame::Box);
    shaPrefsFrame->setFrameShadow(QFrame::Sunken);

    lblPTitle = new QLabel(this);
    lblPTitle->setObjectName(QStringLiteral("lblPTitle"));
    QFont titleFont = lblPTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    lblPTitle->setFont(titleFont);

    picActivePanelTab = new QFrame(this);
    picActivePanelTab->setObjectName(QStringLiteral("picActivePanelTab"));
    picActivePanelTab->setFrameShape(QFrame::Panel);
    picActivePanelTab->setFrameShadow(QFrame::Raised);
    picActivePanelTab->setAutoFillBackground(true);
    picActivePanelTab->setStyleSheet(QStringLiteral("QFrame#picActivePanelTab { background: #ffffff; }"));
    lblActivePanelTab = new QLabel(this);
    lblActivePanelTab->setObjectName(QStringLiteral("lblActivePanelTab"));
    lblActivePanelTab->setAlignment(Qt::AlignCenter);
    lblActivePanelTab->setWordWrap(true);
    QFont bold = lblActivePanelTab->font();
    bold.setBold(true);
    lblActivePanelTab->setFont(bold);
    lblActivePanelTab->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (int i = 0; i < 4; ++i) {
        picPpanels[i] = new QFrame(this);
        picPpanels[i]->setObjectName(QStringLiteral("picPpanels_%1").arg(i));
        picPpanels[i]->setFrameShape(QFrame::StyledPanel);
        picPpanels[i]->setCursor(Qt::PointingHandCursor);
        lblPpanels[i] = new QLabel(S(kTabCaptions[i]), this);
        lblPpanels[i]->setObjectName(QStringLiteral("lblPpanels_%1").arg(i));
        lblPpanels[i]->setAlignment(Qt::AlignCenter);
        lblPpanels[i]->setWordWrap(true);
        lblPpanels[i]->setCursor(Qt::PointingHandCursor);
        // Hovering over a tab highlights it, as elsewhere in the program.
        picPpanels[i]->setMouseTracking(true);
        lblPpanels[i]->setMouseTracking(true);
        picPpanels[i]->installEventFilter(this);
        lblPpanels[i]->installEventFilter(this);

        picPrefs[i] = new QWidget(this);
        picPrefs[i]->setObjectName(QStringLiteral("picPrefs_%1").arg(i));
    }
    buildGeneral(picPrefs[0]);
    buildAppearance(picPrefs[1]);
    buildSoundLibraries(picPrefs[2]);
    buildDictionaries(picPrefs[3]);

    picCmdButtons = new QWidget(this);
    picCmdButtons->setObjectName(QStringLiteral("picCmdButtons"));
    cmdOK = new QPushButton(QStringLiteral("OK"), picCmdButtons);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), picCmdButtons);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdApply = new QPushButton(QStringLiteral("Apply"), picCmdButtons);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), picCmdButtons);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    auto *buttons = new QHBoxLayout(picCmdButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    for (QPushButton *b : {cmdOK, cmdCancel, cmdApply, cmdHelp})
        buttons->addWidget(b);

    // Frames sit close together, as the panels are small.
    for (QWidget *panel : picPrefs) {
        for (QLayout *l : panel->findChildren<QLayout *>()) {
            l->setSpacing(3);
            if (l->parent() != panel)
                l->setContentsMargins(6, 3, 6, 4);
        }
    }

    Form_Load();
    wire();
}

void frmPrefs::buildGeneral(QWidget *panel)
{
    auto *comms = frame(panel, "fraPrefsComms", " Communications ");
    cboPrefsPort = new QComboBox(comms);
    cboPrefsPort->setObjectName(QStringLiteral("cboPrefsPort"));
    cboPrefsBaudRate = new QComboBox(comms);
    cboPrefsBaudRate->setObjectName(QStringLiteral("cboPrefsBaudRate"));
    cboPrefsBaudRate->addItems(BaudRateItems());
    auto *portLabel = new QLabel(QStringLiteral("&Port:"), comms);
    portLabel->setBuddy(cboPrefsPort);
    auto *baudLabel = new QLabel(QStringLiteral("&Baud Rate:"), comms);
    baudLabel->setBuddy(cboPrefsBaudRate);
    auto *cl = new QGridLayout(comms);
    cl->addWidget(portLabel, 0, 0);
    cl->addWidget(cboPrefsPort, 0, 1);
    cl->addWidget(baudLabel, 1, 0);
    cl->addWidget(cboPrefsBaudRate, 1, 1);

    auto *compat = frame(panel, "fraPrefsCompat", " Compatibility ");
    lblPrefsCompatibilityHelp =
        new QLabel(QStringLiteral("Data files created with Voxmere will be used with:"), compat);
    lblPrefsCompatibilityHelp->setObjectName(QStringLiteral("lblPrefsCompatibilityHelp"));
    lblPrefsCompatibilityHelp->setWordWrap(true);
    optPrefsFileCompat[0] = option(compat, "optPrefsFileCompat", 0, " SV34&20 chipset only");
    optPrefsFileCompat[1] = option(compat, "optPrefsFileCompat", 1, " SV34&10 and SV3420 chipsets");
    auto *pl = new QVBoxLayout(compat);
    pl->addWidget(lblPrefsCompatibilityHelp);
    pl->addWidget(optPrefsFileCompat[0]);
    pl->addWidget(optPrefsFileCompat[1]);

    auto *grt = frame(panel, "fraPrefsGrt", " Greeting Messages ");
    chkPrefsGrt = new QCheckBox(QStringLiteral(" &Include control panel settings (uses more greeting memory)"), grt);
    chkPrefsGrt->setObjectName(QStringLiteral("chkPrefsGrt"));
    auto *gl = new QVBoxLayout(grt);
    gl->addWidget(chkPrefsGrt);

    auto *layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(comms, 0, 0);
    layout->addWidget(compat, 0, 1);
    layout->addWidget(grt, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
}

void frmPrefs::buildAppearance(QWidget *panel)
{
    auto *table = frame(panel, "fraPrefsTable", " Table View ");
    table->setToolTip(QStringLiteral("Determines if alternating row colors are used in Sound Libraries"));
    chkPrefsTblAltColor = new QCheckBox(QStringLiteral(" Use alternating colors"), table);
    chkPrefsTblAltColor->setObjectName(QStringLiteral("chkPrefsTblAltColor"));
    (new QVBoxLayout(table))->addWidget(chkPrefsTblAltColor);

    auto *hl = frame(panel, "fraPrefsHighlight", " Text Highlighting ");
    hl->setToolTip(QStringLiteral("Determines whether words will be highlighted in Text Boxes during play"));
    chkPrefsHighlight = new QCheckBox(QStringLiteral(" &Use text highlighting"), hl);
    chkPrefsHighlight->setObjectName(QStringLiteral("chkPrefsHighlight"));
    (new QVBoxLayout(hl))->addWidget(chkPrefsHighlight);

    auto *font = frame(panel, "fraPrefsFont", " Font ");
    font->setToolTip(QStringLiteral("Font used in Text Boxes, Exception Dictionaries, and Music Scores"));
    cboPrefsFonts = new QComboBox(font);
    cboPrefsFonts->setObjectName(QStringLiteral("cboPrefsFonts"));
    cboPrefsFontSize = new QComboBox(font);
    cboPrefsFontSize->setObjectName(QStringLiteral("cboPrefsFontSize"));
    for (const char *size : {"8", "9", "10", "11", "12", "14", "16", "18", "24"})
        cboPrefsFontSize->addItem(S(size));
    txtPrefsFontSample = new QLineEdit(font);
    txtPrefsFontSample->setObjectName(QStringLiteral("txtPrefsFontSample"));
    txtPrefsFontSample->setReadOnly(true);
    auto *fontLabel = new QLabel(QStringLiteral("&Font:"), font);
    fontLabel->setBuddy(cboPrefsFonts);
    auto *sizeLabel = new QLabel(QStringLiteral("&Size:"), font);
    sizeLabel->setBuddy(cboPrefsFontSize);
    auto *fl = new QGridLayout(font);
    fl->addWidget(fontLabel, 0, 0);
    fl->addWidget(cboPrefsFonts, 0, 1);
    fl->addWidget(sizeLabel, 0, 2);
    fl->addWidget(cboPrefsFontSize, 0, 3);
    fl->addWidget(new QLabel(QStringLiteral("Sample:"), font), 1, 0);
    fl->addWidget(txtPrefsFontSample, 1, 1, 1, 3);
    fl->setColumnStretch(1, 1);

    auto *cmds = frame(panel, "fraPrefsCommands", " Commands ");
    txtPrefsCmdChar = new QLineEdit(cmds);
    txtPrefsCmdChar->setObjectName(QStringLiteral("txtPrefsCmdChar"));
    txtPrefsCmdChar->setMaxLength(1);
    txtPrefsCmdChar->setAlignment(Qt::AlignCenter);
    txtPrefsCmdChar->setFixedWidth(twipsToPixels(450));
    auto *cmdLabel = new QLabel(QStringLiteral("&Command Shortcut:"), cmds);
    cmdLabel->setBuddy(txtPrefsCmdChar);
    lblCmdCharHelp = new QLabel(cmds);
    lblCmdCharHelp->setObjectName(QStringLiteral("lblCmdCharHelp"));
    lblCmdCharHelp->setWordWrap(true);
    lblCmdCharHelp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *ml = new QGridLayout(cmds);
    ml->addWidget(cmdLabel, 0, 0);
    ml->addWidget(txtPrefsCmdChar, 0, 1);
    ml->addWidget(lblCmdCharHelp, 1, 0, 1, 3);
    ml->setColumnStretch(2, 1);

    auto *layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table, 0, 0);
    layout->addWidget(hl, 0, 1);
    layout->addWidget(font, 1, 0, 1, 2);
    layout->addWidget(cmds, 2, 0, 1, 2);
    layout->setRowStretch(2, 1);
}

void frmPrefs::buildSoundLibraries(QWidget *panel)
{
    auto pair = [](QGroupBox *box, std::array<QRadioButton *, 2> &opts, const char *name, const char *c0,
                   const char *c1) {
        opts[0] = option(box, name, 0, c0);
        opts[1] = option(box, name, 1, c1);
        auto *l = new QVBoxLayout(box);
        l->setSpacing(0);
        l->addWidget(opts[0]);
        l->addWidget(opts[1]);
        auto *group = new QButtonGroup(box);
        group->addButton(opts[0], 0);
        group->addButton(opts[1], 1);
    };
    auto *view = frame(panel, "fraPrefsAudView", " Default View ");
    pair(view, optPrefsAudView, "optPrefsAudView", " &List", " &Table");
    auto *type = frame(panel, "fraPrefsAudType", " Default Encoding Type ");
    pair(type, optPrefsAudType, "optPrefsAudType", " &PCM (best quality)", " &ADPCM (smaller file size)");
    auto *player = frame(panel, "fraPrefsAudPlayer", " Use This Audio Player For Previews ");
    pair(player, optPrefsAudPlayer, "optPrefsAudPlayer", " &", " &Windows Sound System");
    auto *dbl = frame(panel, "fraPrefsAudDblClk", " Double-Clicking an Entry: ");
    pair(dbl, optPrefsAudDblClk, "optPrefsAudDblClk", " Pre&views it", " E&dits it");

    auto *editor = frame(panel, "fraPrefsAudEditor", " External Sound File Editor ");
    txtPrefsAudEditor = new QLineEdit(editor);
    txtPrefsAudEditor->setObjectName(QStringLiteral("txtPrefsAudEditor"));
    cmdAudEditorBrowse = new QPushButton(QStringLiteral("..."), editor);
    cmdAudEditorBrowse->setObjectName(QStringLiteral("cmdAudEditorBrowse"));
    cmdAudEditorBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdAudEditorBrowse->setAutoDefault(false);
    cmdAudEditorBrowse->setFixedWidth(twipsToPixels(750));
    auto *el = new QHBoxLayout(editor);
    el->addWidget(txtPrefsAudEditor, 1);
    el->addWidget(cmdAudEditorBrowse);

    auto *layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(2);
    layout->addWidget(view, 0, 0);
    layout->addWidget(type, 0, 1);
    layout->addWidget(dbl, 1, 0);
    layout->addWidget(player, 1, 1);
    layout->addWidget(editor, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
}

void frmPrefs::buildDictionaries(QWidget *panel)
{
    auto *syn = frame(panel, "fraPrefsDictSynCk", " Syntax Checking ");
    optPrefsDictSynCk[0] = option(syn, "optPrefsDictSynCk", 0, " &Automatic checking");
    optPrefsDictSynCk[1] = option(syn, "optPrefsDictSynCk", 1, " &Compile-time only");
    auto *sl = new QVBoxLayout(syn);
    sl->addWidget(optPrefsDictSynCk[0]);
    sl->addWidget(optPrefsDictSynCk[1]);
    auto *cs = frame(panel, "fraPrefsDictCharSet", " Character Set ");
    optPrefsDictCharSet[0] = option(cs, "optPrefsDictCharSet", 0, " Code page 437");
    optPrefsDictCharSet[1] = option(cs, "optPrefsDictCharSet", 1, " ISO 8859-1/ANSI (recommended)");
    auto *cl = new QVBoxLayout(cs);
    cl->addWidget(optPrefsDictCharSet[0]);
    cl->addWidget(optPrefsDictCharSet[1]);

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(syn);
    layout->addWidget(cs);
    layout->addStretch(1);
}

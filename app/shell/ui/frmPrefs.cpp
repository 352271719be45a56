#include "app/shell/ui/frmPrefs.h"

#include "app/shell/ui/EditorFont.h"
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/startup/Seams.h"
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

QFont &EditorFont()
{
    static QFont font;
    return font;
}

namespace {

// Cleared by Qt when the main window takes the dialog down with it.
vx::LoadedForm<frmPrefs> gForm;

constexpr int kPanelLeft = 1520;
constexpr int kPanelTop = 700;
constexpr int kParked = -20000;
constexpr std::array<int, 4> kHelpContext = {289, 294, 292, 417};

const char *const kTitles[4] = {"General Settings", "Appearance Settings", "Sound Library Settings",
                                "Dictionary Settings"};
const char *const kTabCaptions[4] = {"General", "Appearance", " Sound  Libraries", "Dictionaries"};

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

void setTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace

frmPrefs *frmPrefs::instance()
{
    return gForm.get();
}

void frmPrefs::unload()
{
    gForm.unload();
}

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

void frmPrefs::Form_Load()
{
    // 1. Size and the fixed parts of the layout.
    setFixedSize(twipsToPixels(7300), twipsToPixels(5000));
    setTwips(shaPrefsFrame, 60, 60, 7300 - 120, 5000 - 120);
    imgPrefsTitle->setGeometry(twipsToPixels(75), twipsToPixels(75), shaPrefsFrame->width() - twipsToPixels(30),
                               twipsToPixels(480));
    setTwips(lblPTitle, kPanelLeft, 120, 7300 - kPanelLeft - 200, 400);
    lblPTitle->raise();
    lblPTitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    setTwips(picCmdButtons, 1560, 3960, 7300 - 1560 - 200, 520);
    for (int i = 0; i < 4; ++i) {
        setTwips(picPpanels[i], 150, i * 720 + 700, 1250, 650);
        setTwips(lblPpanels[i], 170, i * 720 + 720, 1210, 610);
        lblPpanels[i]->raise();
    }
    picActivePanelTab->lower();
    shaPrefsFrame->lower();

    // 2. The port list.
    for (int n = 1; n <= kPortCount; ++n) {
        cboPrefsPort->addItem(QStringLiteral("COM") + QString::number(n));
        // What the port number reaches on this machine.
        cboPrefsPort->setItemData(n - 1, SerialComm::deviceFor(n), Qt::ToolTipRole);
    }
    cboPrefsPort->setMaxVisibleItems(16);

    // 3. The editor font.
    LoadFontSettings();

    // 4. Every panel parked.
    for (QWidget *panel : picPrefs) {
        setTwips(panel, kParked, kPanelTop, 7300 - kPanelLeft - 110, 3960 - kPanelTop - 60);
        panel->setEnabled(false);
    }

    // 5. The frames' tool tips on the controls inside them.
    chkPrefsTblAltColor->setToolTip(chkPrefsTblAltColor->parentWidget()->toolTip());
    chkPrefsHighlight->setToolTip(chkPrefsHighlight->parentWidget()->toolTip());
    for (QWidget *w : std::initializer_list<QWidget *>{cboPrefsFonts, cboPrefsFontSize, txtPrefsFontSample})
        w->setToolTip(w->parentWidget()->toolTip());

    // 6. The first panel.
    NewTab(0);
}

void frmPrefs::LoadFontSettings()
{
    FontName = GetSetting(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("FontName"));
    FontSize = GetSetting(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("FontSize"));
    // Consolas when installed, else Courier New; a desktop with neither gets
    // its own fixed-pitch family, so the list and the sample show a real font.
    QString fallback;
    bool haveCourier = false;
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    for (const QString &family : families) {
        cboPrefsFonts->addItem(family);
        if (family.toLower() == QLatin1String("consolas"))
            fallback = QStringLiteral("Consolas");
        else if (family.toLower() == QLatin1String("courier new"))
            haveCourier = true;
    }
    if (fallback.isEmpty())
        fallback = haveCourier ? QStringLiteral("Courier New")
                               : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (FontName.isEmpty()) {
        FontName = fallback;
        FontSize = QStringLiteral("8");
    }
    EditorFont().setFamily(FontName);
    EditorFont().setPointSizeF(vx::settingToDouble(FontSize, 8));
}

void frmPrefs::wire()
{
    auto onOption = [this](const std::array<QRadioButton *, 2> &opts, auto apply) {
        for (int i = 0; i < 2; ++i)
            connect(opts[i], &QRadioButton::toggled, this, [this, i, apply](bool on) {
                if (!on)
                    return;
                apply(i);
                changed();
            });
    };
    onOption(optPrefsFileCompat, [](int i) { SV10DataFiles = (i == 1); });
    onOption(optPrefsAudType, [](int i) { DfltPCMEnc = (i == 1); });
    onOption(optPrefsAudView, [](int i) { AudioView = i; });
    onOption(optPrefsAudDblClk, [](int i) { AudioDblClk = i; });
    onOption(optPrefsAudPlayer, [](int i) { AudioPlayer = i; });
    onOption(optPrefsDictSynCk, [](int i) { DictSynCk = i; });
    onOption(optPrefsDictCharSet, [](int i) { DictCharSet = i; });

    connect(chkPrefsGrt, &QCheckBox::toggled, this, [this](bool on) { GrtCtls = on; changed(); });
    connect(chkPrefsHighlight, &QCheckBox::toggled, this, [this](bool on) { Highlight = on; changed(); });
    connect(chkPrefsTblAltColor, &QCheckBox::toggled, this, [this](bool on) { TblAltColor = on; changed(); });

    connect(cboPrefsBaudRate, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item + 1 != BaudRate)
            changed();
        BaudRate = item + 1;
    });
    connect(cboPrefsPort, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item + 1 != Port)
            changed();
        // In demo mode the choice is taken by OK.
        if (Port != 0)
            Port = item + 1;
    });
    connect(cboPrefsFonts, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item < 0)
            return;
        const QString name = cboPrefsFonts->itemText(item);
        if (name != FontName)
            changed();
        FontName = name;
        txtPrefsFontSample->setText(name);
        QFont f = txtPrefsFontSample->font();
        f.setFamily(name);
        f.setBold(false);
        f.setItalic(false);
        txtPrefsFontSample->setFont(f);
    });
    connect(cboPrefsFontSize, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item < 0)
            return;
        const QString size = cboPrefsFontSize->itemText(item);
        if (size != FontSize)
            changed();
        FontSize = size;
        QFont f = txtPrefsFontSample->font();
        f.setPointSizeF(vx::settingToDouble(size, 8));
        txtPrefsFontSample->setFont(f);
    });
    connect(txtPrefsAudEditor, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != AudioEditor)
            changed();
        AudioEditor = text;
    });
    connect(txtPrefsCmdChar, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != CommandChar)
            changed();
        // An empty box switches the shortcut off.
        CommandChar = text;
    });

    connect(cmdOK, &QPushButton::clicked, this, &frmPrefs::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrefs::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmPrefs::cmdApply_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmPrefs::cmdHelp_Click);
    connect(cmdAudEditorBrowse, &QPushButton::clicked, this, &frmPrefs::cmdAudEditorBrowse_Click);
}

void frmPrefs::changed()
{
    cmdApply->setEnabled(true);
}

void frmPrefs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmPrefs::Form_Activate()
{
    optPrefsAudPlayer[0]->setText(QStringLiteral(" &") + ModuleName);
    lblCmdCharHelp->setText(QStringLiteral("Used for entering ") + ChipModel +
                            QStringLiteral(" commands in text boxes ") +
                            QStringLiteral("and dictionaries. Clear the box to disable this feature."));

    cboPrefsFonts->setCurrentIndex(cboPrefsFonts->findText(FontName, Qt::MatchExactly));
    cboPrefsFontSize->setCurrentIndex(cboPrefsFontSize->findText(FontSize, Qt::MatchExactly));

    if (Port != 0) {
        cboPrefsPort->setCurrentIndex(Port - 1 < cboPrefsPort->count() ? Port - 1 : -1);
    } else {
        const int stored =
            vx::readInt(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("Port"), 0);
        cboPrefsPort->setCurrentIndex(stored >= 1 && stored <= cboPrefsPort->count() ? stored - 1 : -1);
    }

    cboPrefsBaudRate->setCurrentIndex(BaudRate - 1);
    optPrefsFileCompat[SV10DataFiles ? 1 : 0]->setChecked(true);
    chkPrefsGrt->setChecked(GrtCtls);
    chkPrefsTblAltColor->setChecked(TblAltColor);
    chkPrefsHighlight->setChecked(Highlight);
    txtPrefsCmdChar->setText(CommandChar);
    optPrefsAudView[AudioView == 1 ? 1 : 0]->setChecked(true);
    optPrefsAudType[DfltPCMEnc ? 1 : 0]->setChecked(true);
    optPrefsAudPlayer[AudioPlayer == 1 ? 1 : 0]->setChecked(true);
    txtPrefsAudEditor->setText(AudioEditor);
    optPrefsAudDblClk[AudioDblClk == 1 ? 1 : 0]->setChecked(true);
    optPrefsDictSynCk[DictSynCk == 1 ? 1 : 0]->setChecked(true);
    optPrefsDictCharSet[DictCharSet == 0 ? 0 : 1]->setChecked(true);

    SnapshotSettings();
    cmdApply->setEnabled(false);
}

void frmPrefs::NewTab(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    lblPTitle->setText(S(kTitles[Index]));
    setTwips(picActivePanelTab, 100, (Index + 1) * 720 - 370 + 350, 1400, 650);
    lblActivePanelTab->setText(lblPpanels[Index]->text());
    lblActivePanelTab->setGeometry(lblPpanels[Index]->geometry());
    lblActivePanelTab->raise();
    for (int i = 0; i < 4; ++i)
        lblPpanels[i]->setVisible(i != Index);

    QWidget *previous = picPrefs[mTab];
    previous->move(twipsToPixels(kParked), previous->y());
    previous->setEnabled(false);
    QWidget *panel = picPrefs[Index];
    panel->move(twipsToPixels(kPanelLeft), twipsToPixels(kPanelTop));
    panel->setEnabled(true);
    mTab = Index;

    seams::call(seams::UpdateToolbarState);
    if (isVisible())
        panel->setFocus();
}

void frmPrefs::cmdApply_Click()
{
    StorePreferences();
    if (FontName != FontNameSaved || FontSize != FontSizeSaved)
        ApplyFontToWindows();
    if (TblAltColor != TblAltColorSaved && seams::DocumentWindow && seams::SetListViewAltRowColors) {
        for (int slot = 2; slot < DocState.size(); ++slot) {
            if (DocState[slot].Deleted)
                continue;
            if (QWidget *w = seams::DocumentWindow(slot))
                if (auto *list = w->findChild<QWidget *>(QStringLiteral("lvwFileList")))
                    seams::SetListViewAltRowColors(list, 0xFFFFFF, 0xF0F0F0);
        }
    }
    SnapshotSettings();
    cmdApply->setEnabled(false);
}

void frmPrefs::ApplyFontToWindows()
{
    FontLoading = true;
    QFont &font = EditorFont();
    font.setFamily(FontName);
    font.setPointSizeF(vx::settingToDouble(FontSize, 8));
    font.setBold(false);
    font.setItalic(false);
    if (seams::DocumentWindow) {
        for (int slot = 2; slot < DocState.size(); ++slot) {
            if (DocState[slot].Deleted)
                continue;
            QWidget *w = seams::DocumentWindow(slot);
            if (!w)
                continue;
            // A font is a value here, so every editor control is given it again.
            for (const char *name : {"vbalGrid1", "txtEdit", "txtInputBox"}) {
                if (auto *c = w->findChild<QWidget *>(S(name))) {
                    c->setUpdatesEnabled(false);
                    c->setFont(font);
                    c->setUpdatesEnabled(true);
                }
            }
        }
    }
    FontLoading = false;
}

void frmPrefs::cmdOK_Click()
{
    cmdApply_Click();
    const int item = cboPrefsPort->currentIndex();
    Port = item < 0 ? 0 : item + 1;
    hide();
}

void frmPrefs::cmdCancel_Click()
{
    RestoreSettings();
    hide();
}

void frmPrefs::reject()
{
    cmdCancel_Click();
}

void frmPrefs::closeEvent(QCloseEvent *event)
{
    // The close box is Cancel; the dialog is hidden, never unloaded.
    event->ignore();
    cmdCancel_Click();
}

void frmPrefs::cmdHelp_Click()
{
    vx::showHelpTopic(kHelpContext[static_cast<size_t>(mTab)]);
}

void frmPrefs::cmdAudEditorBrowse_Click()
{
    const QString file = vx::OpenFileDialog(QStringLiteral("Select External Sound File Editor"),
                                            QStringLiteral("Program Files|*.exe;*.com|All Files (*.*)|*.*"));
    if (!file.isEmpty())
        txtPrefsAudEditor->setText(file);
}

bool frmPrefs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove) {
        for (int i = 0; i < 4; ++i) {
            if (watched == picPpanels[i] || watched == lblPpanels[i]) {
                if (event->type() == QEvent::MouseMove) {
                    seams::call(seams::SetRollover, static_cast<QWidget *>(watched));
                    return false;
                }
                NewTab(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

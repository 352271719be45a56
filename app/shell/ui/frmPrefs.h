#pragma once

#include "platform/ui/Modal.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The preferences dialog: the only editor of the user preferences. Every
// control writes its live global at once; Apply stores them, Cancel puts back
// what the dialog found when it was shown, OK applies and takes the port.
// Loaded once, then shown and hidden; OK and Cancel hide it.
class frmPrefs : public QDialog
{
    Q_OBJECT
public:
    // The one dialog, loaded on first use.
    static frmPrefs *instance();
    // Drops the loaded dialog (tests, shutdown).
    static void unload();

    // Shows panel Index (0 General, 1 Appearance, 2 Sound Libraries, 3 Dictionaries).
    void NewTab(int Index);
    // Fills the controls from the live globals and takes the saved copies.
    // Runs once per showing.
    void Form_Activate();

    // The font families to list: each family once, without the foundry
    // that tells same-named families apart, sorted without regard to case.
    [[nodiscard]] static QStringList FontFamilies(const QStringList &installed);
    // The entry of list that names family, compared without regard to case;
    // an empty text when none does.
    [[nodiscard]] static QString ListedFamily(const QStringList &list, const QString &family);
    [[nodiscard]] int currentTab() const { return mTab; }

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    void cmdHelp_Click();
    void cmdAudEditorBrowse_Click();

    // Controls, named as the program refers to them.
    QComboBox *cboPrefsPort = nullptr;
    QComboBox *cboPrefsBaudRate = nullptr;
    QLabel *lblPrefsCompatibilityHelp = nullptr;
    std::array<QRadioButton *, 2> optPrefsFileCompat{};
    QCheckBox *chkPrefsGrt = nullptr;
    QCheckBox *chkPrefsTblAltColor = nullptr;
    QCheckBox *chkPrefsHighlight = nullptr;
    QComboBox *cboPrefsFonts = nullptr;
    QComboBox *cboPrefsFontSize = nullptr;
    QLineEdit *txtPrefsFontSample = nullptr;
    QLineEdit *txtPrefsCmdChar = nullptr;
    QLabel *lblCmdCharHelp = nullptr;
    std::array<QRadioButton *, 2> optPrefsAudView{};
    std::array<QRadioButton *, 2> optPrefsAudType{};
    std::array<QRadioButton *, 2> optPrefsAudPlayer{};
    QLineEdit *txtPrefsAudEditor = nullptr;
    QPushButton *cmdAudEditorBrowse = nullptr;
    std::array<QRadioButton *, 2> optPrefsAudDblClk{};
    std::array<QRadioButton *, 2> optPrefsDictSynCk{};
    std::array<QRadioButton *, 2> optPrefsDictCharSet{};
    std::array<QWidget *, 4> picPrefs{};
    std::array<QFrame *, 4> picPpanels{};
    std::array<QLabel *, 4> lblPpanels{};
    QFrame *picActivePanelTab = nullptr;
    QLabel *lblActivePanelTab = nullptr;
    QLabel *lblPTitle = nullptr;
    QLabel *imgPrefsTitle = nullptr;
    QFrame *shaPrefsFrame = nullptr;
    QWidget *picCmdButtons = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdHelp = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class vx::LoadedForm<frmPrefs>; // the one way it is loaded
    explicit frmPrefs(QWidget *parent = nullptr);
    void Form_Load();
    void LoadFontSettings();
    void ApplyFontToWindows();
    void buildGeneral(QWidget *panel);
    void buildAppearance(QWidget *panel);
    void buildSoundLibraries(QWidget *panel);
    void buildDictionaries(QWidget *panel);
    void wire();
    void changed() ;

    int mTab = 0;
    // Set from the activation until the dialog is hidden: a restore from
    // minimised shows it again without a new showing.
    bool mActivated = false;
};

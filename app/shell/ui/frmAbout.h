#pragma once

// Help > About and Help > Software Update.

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;

namespace vx {
class FetchCancel;
}

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblChipVersion = nullptr;
    QLabel *lblChipMemory = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    void Form_Load();
    // Starts the system's information program, or says none is available.
    void StartSysInfo();
};

// Where the update information file lives: the maker's site and the fixed path.
[[nodiscard]] QUrl UpdateInfoUrl(const QString &site);
// The maker's site the program asks.
[[nodiscard]] QString UpdateSite();

class frmSwUpdate : public QDialog
{
    Q_OBJECT
public:
    // site: the web site holding "/Downloads/Fw20Inf.txt".
    explicit frmSwUpdate(const QString &site, QWidget *parent = nullptr);
    ~frmSwUpdate() override;

    QLabel *lblTitle = nullptr;
    QLabel *lblRetrievingInfo = nullptr;
    QLabel *lblNoConnection = nullptr;
    QLabel *lblNoUpdates = nullptr;
    QLabel *lblDnldInstructions = nullptr;
    QLabel *lblRelInfoTtl = nullptr;
    QLabel *lblRelInfo = nullptr;
    QLabel *lblLatestVerTtl = nullptr;
    QLabel *lblLatestVer = nullptr;
    QLabel *lblInstVerTtl = nullptr;
    QLabel *lblInstVer = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Fetches the update information (waiting at most timeoutMs) and shows
    // the verdict. A close meanwhile ends the fetch, and the window may be
    // gone when this returns.
    void Form_Load(int timeoutMs = 15000);
    void cmdDownload_Click();
    void cmdCancel_Click();
    [[nodiscard]] QString downloadLink() const { return mLink; }

    // The fetched body, "" when nothing came within the time, the answer
    // was an error or cancel was cancelled.
    [[nodiscard]] static QString FetchText(const QUrl &url, int timeoutMs,
                                           const vx::FetchCancel *cancel = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString mSite;
    QString mLink;
};

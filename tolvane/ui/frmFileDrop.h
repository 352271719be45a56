#pragma once

// The file-drop window: the queue of files from the command line, sent to
// the chip one after the other, one row each with its progress and status.

#include "tolvane/TaskQueue.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTreeWidget;
class frmMain;

class frmFileDrop : public QWidget
{
    Q_OBJECT

public:
    frmFileDrop(frmMain *main, const QVector<tolv::QueueEntry> &files, QWidget *parent = nullptr);
    ~frmFileDrop() override;

    // Runs the queue; returns when every row is done or the queue ended.
    // True when every file went into the chip: a file skipped, refused,
    // failed, cancelled or left queued makes it false.
    bool DoFileDrops();

    // Row updates from the link library's events (rows from 1).
    void ShowRowProgress(int row, const QString &text);
    void ShowRowStatus(int row, const QString &text);

    [[nodiscard]] bool running() const { return mRunning; }

    QTreeWidget *lvwFileList;
    QPushButton *cmdCancel;
    QWidget *picCancelAck;
    QLabel *lblCancelAck;
    std::array<QLabel *, 2> lblComInfo{};

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdCancel_Click();
    void setRow(int row, tolv::RowIcon icon, const QString &status, const QColor &colour);
    // Asks whether to go on after a failed row; false ends the queue.
    bool reportFailure(int row, const QString &description);

    frmMain *mMain;
    QVector<tolv::QueueEntry> mFiles;
    bool mRunning = false;
};

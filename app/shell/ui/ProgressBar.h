#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

// A progress bar with Min, Max, Value and a free Text, as the progress
// dialogs use it: the handlers set the value and the text ("42%") apart, so
// a bar whose maximum is a byte count still reads in percent.
//
// Progress reports come far more often than the eye needs (a download
// reports every block): the bar is drawn again only when its value or text
// changed, and at most about twenty times a second; a change in between is
// drawn when that time is up.
class vbalProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    // About what the eye needs; tests stretch it to see the throttle alone.
    static inline int frameMs = 50;

    explicit vbalProgressBar(QWidget *parent = nullptr) : QProgressBar(parent)
    {
        setTextVisible(true);
        setAlignment(Qt::AlignCenter);
        mLater.setSingleShot(true);
        connect(&mLater, &QTimer::timeout, this, [this] { update(); });
    }

    [[nodiscard]] QString Text() const { return mText; }
    void setText(const QString &text)
    {
        if (text == mText)
            return;
        mText = text;
        redraw();
    }
    [[nodiscard]] QString text() const override { return mText; }

    // Hides QProgressBar::setValue, which draws at once on every visible step.
    void setValue(int value)
    {
        if (value == this->value())
            return;
        // Kept as it was: a window around the bar may have drawing off.
        const bool off = testAttribute(Qt::WA_UpdatesDisabled);
        setAttribute(Qt::WA_UpdatesDisabled, true);
        QProgressBar::setValue(value);
        setAttribute(Qt::WA_UpdatesDisabled, off);
        redraw();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        mLater.stop();
        mDrawn.start();
        QProgressBar::paintEvent(event);
    }

private:
    void redraw()
    {
        if (!mDrawn.isValid() || mDrawn.elapsed() >= frameMs)
            update();
        else if (!mLater.isActive())
            mLater.start(int(frameMs - mDrawn.elapsed()));
    }

    QString mText;
    QElapsedTimer mDrawn; // since the last drawing
    QTimer mLater;
};

// The bar that the PercentDone handlers move: the bar of the progress window
// that the running operation opened, or null. A guarded pointer, so a report
// that arrives after the window is gone touches nothing.
inline QPointer<vbalProgressBar> ProgressBar;

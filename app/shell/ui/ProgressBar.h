#pragma once

#include <QPointer>
#include <QProgressBar>

// A progress bar with Min, Max, Value and a free Text, as the progress
// dialogs use it: the handlers set the value and the text ("42%") apart, so
// a bar whose maximum is a byte count still reads in percent.
class vbalProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit vbalProgressBar(QWidget *parent = nullptr) : QProgressBar(parent)
    {
        setTextVisible(true);
        setAlignment(Qt::AlignCenter);
    }

    [[nodiscard]] QString Text() const { return mText; }
    void setText(const QString &text)
    {
        mText = text;
        update();
    }
    [[nodiscard]] QString text() const override { return mText; }

private:
    QString mText;
};

// The bar that the PercentDone handlers move: the bar of the progress window
// that the running operation opened, or null. A guarded pointer, so a report
// that arrives after the window is gone touches nothing.
inline QPointer<vbalProgressBar> ProgressBar;

#pragma once

#include <QLabel>
#include <QMouseEvent>

#include <utility>

// A label that reports clicks and pointer moves, for the task and command
// labels of the main window.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr) : QLabel(text, parent)
    {
        setMouseTracking(true);
    }

signals:
    void clicked();
    void mouseMoved();

protected:
    // A double click is one click: the release that ends it is swallowed.
    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        mDoubleClick = e->button() == Qt::LeftButton;
        QLabel::mouseDoubleClickEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        const bool second = std::exchange(mDoubleClick, false);
        if (e->button() == Qt::LeftButton && !second && rect().contains(e->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        emit mouseMoved();
        QLabel::mouseMoveEvent(e);
    }

private:
    bool mDoubleClick = false;
};

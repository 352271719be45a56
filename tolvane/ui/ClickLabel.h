#pragma once

#include <QLabel>
#include <QMouseEvent>

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
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        emit mouseMoved();
        QLabel::mouseMoveEvent(e);
    }
};

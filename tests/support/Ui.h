#pragma once

// Helpers for window tests (those with "_qt" in their name or in a QT
// folder). Modal forms run through vx::RunModal; a test answers them with
// vx::ScriptedForms (platform/ui/Modal.h) or, for forms shown from deep
// inside a routine, with whenShown.

#include "platform/ui/Modal.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace vxtest {

// Runs action once, from the event loop, on the first visible top-level
// window with this name; the program's waits keep the loop running.
inline void whenShown(const QString &name, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, name, action] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(w);
                return;
            }
        }
    });
    timer->start();
}

// Clicks the push button of that name in window.
inline void click(QWidget *window, const char *button)
{
    auto *b = window->findChild<QPushButton *>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Runs an event loop, as a program's own, until done() holds (or for a long
// while, when it never does). Returns done().
inline bool runUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// Runs that event loop for a number of rounds.
inline void spin(int rounds)
{
    QEventLoop loop;
    std::function<void()> next = [&] {
        if (--rounds <= 0)
            loop.quit();
        else
            QTimer::singleShot(0, &loop, next);
    };
    QTimer::singleShot(0, &loop, next);
    loop.exec();
}

// The lines a word-wrapped label shows its text in, as they read (word
// joiners, which show nothing, left out).
inline QStringList shownLines(const QLabel *label)
{
    QString text = label->text();
    text.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width() - 2 * label->margin());
        lines << text.mid(line.textStart(), line.textLength()).remove(QChar(0x2060)).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace vxtest

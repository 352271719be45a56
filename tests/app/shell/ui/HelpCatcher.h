#pragma once

// Catches the help pages the desktop is asked to open. A test using it
// includes "moc_HelpCatcher.cpp" once, so the slot gets its meta-object.

#include <QObject>
#include <QStringList>
#include <QUrl>

class HelpCatcher : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl &url) { opened.append(url.fragment()); }
};

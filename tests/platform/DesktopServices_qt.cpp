#include "platform/FileNames.h"
#include "platform/Help.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
#include "platform/SoundPlayer.h"
#include "tests/support/TestEnv.h"
#include "tests/support/Ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QFont>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace vx;

TEST(Launcher, StartsAProgramWithoutAShellAndReportsOneThatCannotStart)
{
    QString error;
    EXPECT_TRUE(startProgram(QStringLiteral("/bin/true"), {QStringLiteral("a b; rm -rf /")}, &error));
    EXPECT_FALSE(startProgram(QStringLiteral("/no/such/editor"), {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/no/such/editor"))) << error.toStdString();
    EXPECT_FALSE(startProgram(QStringLiteral("  "), {}, &error));
}

TEST(Help, AMissingHelpFileIsAMessageNotAFailure)
{
    ScriptedPrompter script;
    script.queue(Answer::Ok);
    const QString missing = QString::fromStdString(vxtest::freshDir("help")) + QStringLiteral("/Voxmere_Help.html");
    setHelpFilePath(missing);
    EXPECT_FALSE(showHelpTopic(184));
    ASSERT_EQ(script.prompts().size(), 1);
    EXPECT_EQ(script.last().text, QStringLiteral("The help file %1 is missing.").arg(missing));
    EXPECT_EQ(script.last().icon, Icon::Exclamation);

    // A help file that is there, with no browser to show it (no handler on
    // this platform), says so.
    const QString help = QString::fromStdString(vxtest::freshDir("help-there")) + QStringLiteral("/Voxmere_Help.html");
    ASSERT_TRUE(QFile(help).open(QIODevice::WriteOnly));
    setHelpFilePath(help);
    script.queue(Answer::Ok);
    EXPECT_FALSE(showHelpTopic(184));
    EXPECT_EQ(script.last().text,
              QStringLiteral("No web browser could be started to show the help file %1.").arg(help));
    setHelpFilePath(QString());
}

TEST(SoundPlayer, AMissingFileOrNoOutputDeviceIsAMessage)
{
    SoundPlayer player;
    QString error;
    EXPECT_FALSE(player.play(QStringLiteral("/no/such/sound.wav"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/no/such/sound.wav")));
    // A pipe under a sound's name is no sound to play.
    const QString pipe = QString::fromStdString(vxtest::freshDir("sound-pipe")) + QStringLiteral("/pipe.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(player.play(pipe, &error));
    EXPECT_EQ(error, QStringLiteral("The file %1 was not found.").arg(pipe));

    const QString wav = QString::fromStdString(vxtest::freshDir("sound")) + QStringLiteral("/beep.wav");
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // A valid, empty 8-bit mono wave.
    f.write(QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x11\x2b\0\0\x11\x2b\0\0\x01\0\x08\0data\0\0\0\0", 44));
    f.close();
    error.clear();
    const bool started = player.play(wav, &error);
    if (!SoundPlayer::hasOutputDevice()) {
        EXPECT_FALSE(started);
        EXPECT_TRUE(error.startsWith(QStringLiteral("No sound output device"))) << error.toStdString();
    }
    player.stop();

    // A name that is not UTF-8 is found by its bytes.
    const QByteArray raw = QFile::encodeName(wav).chopped(8) + "caf\xe9.wav";
    ASSERT_EQ(::link(QFile::encodeName(wav).constData(), raw.constData()), 0);
    error.clear();
    player.play(fileNameFromBytes(raw), &error);
    EXPECT_FALSE(error.contains(QStringLiteral("not found"))) << error.toStdString();
    player.stop();
}

// The program runs in its own folder; a file dialog with no folder of its
// own starts at the user's home instead.
TEST(QtPrompter, AFileDialogWithoutAFolderStartsAtHome)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(vxtest::freshDir("prompter-cwd"))));
    QString shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dlg = qobject_cast<QFileDialog *>(w); dlg && dlg->isVisible()) {
                shown = dlg->directory().absolutePath();
                dlg->reject();
            }
        }
    });
    poll.start(5);
    QtPrompter prompter;
    Prompt p;
    p.kind = PromptKind::OpenFile;
    p.title = QStringLiteral("Open");
    EXPECT_FALSE(prompter.ask(p).accepted);
    QDir::setCurrent(before);
    EXPECT_EQ(shown, QDir(QDir::homePath()).absolutePath());
}

// The name typed into a save dialog is the name chosen, quotation marks and
// all: never a name read out of it. A name wholly in one pair of marks is
// what stands inside, with no extension added.
TEST(QtPrompter, ASaveDialogTakesTheNameAsTyped)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("save-typed"));
    const struct
    {
        QString typed;
        QString saved;
    } cases[] = {
        {QStringLiteral("odd \"q\".txt"), QStringLiteral("odd \"q\".txt")},
        {QStringLiteral("odd \"q\""), QStringLiteral("odd \"q\".txt")},
        {QStringLiteral("plain"), QStringLiteral("plain.txt")},
        {QStringLiteral("\"notes.v2\""), QStringLiteral("notes.v2")},
        {QStringLiteral("\"notes\""), QStringLiteral("notes")},
        {QStringLiteral("\"a\" \"b\""), QStringLiteral("\"a\" \"b\".txt")},
    };
    for (const auto &[typed, saved] : cases) {
        SCOPED_TRACE(typed.toStdString());
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dlg = qobject_cast<QFileDialog *>(w);
                if (!dlg || !dlg->isVisible())
                    continue;
                dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
                QMetaObject::invokeMethod(dlg, "accept");
            }
        });
        poll.start(5);
        QtPrompter prompter;
        Prompt p;
        p.kind = PromptKind::SaveFile;
        p.title = QStringLiteral("Save Text File As");
        p.initialDir = dir;
        p.defaultSuffix = QStringLiteral("txt");
        const Reply r = prompter.ask(p);
        ASSERT_EQ(r.files.size(), 1);
        EXPECT_EQ(r.files.front().toStdString(), (dir + QLatin1Char('/') + saved).toStdString());
    }
}

// A message broken into lines by its writer shows those lines and no others,
// and its title whole beside the title bar's buttons.
TEST(QtPrompter, AMessageShowsItsWrittenLinesUnbrokenAndItsTitleWhole)
{
    const struct
    {
        const char *text;
        const char *title;
    } cases[] = {
        {"You have exceeded the maximum Greeting Message length of 235 bytes by 12 bytes.  \r\n\n"
         "Shorten the message in the text input box; removing line breaks (CR/LF) from the\r\n"
         "message will also reduce the message size.",
         "Voxmere"},
        {"'Greeting For The Front Desk Of The Office.pcm' is an SV3420 ADPCM-encoded sound file. \r\n"
         "It is not compatible with the SV3410.",
         "Voxmere"},
        {"It appears that some of the sound files in this library have been moved  \n"
         "or deleted. If they were moved to another drive or directory, the library  \n"
         "should be updated. Would you like to update the files in your library  \nat this time? ",
         "Missing Sound Files"},
        {"   Update canceled.   ", "SV3420 Update"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        int widest = 0; // the longest written line, past the room the label has
        int titleRoom = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            const QLabel *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            for (const QString &line : QString::fromLatin1(c.text).split(QRegularExpression(QStringLiteral("\r?\n"))))
                widest = std::max(widest, label->fontMetrics().horizontalAdvance(line.trimmed()) -
                                              label->contentsRect().width());
            titleRoom = box->width() - box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->buttons().first()->click();
        });
        poll.start(5);
        QtPrompter prompter;
        Prompt p;
        p.text = QString::fromLatin1(c.text);
        p.title = QString::fromLatin1(c.title);
        p.icon = Icon::Exclamation;
        prompter.ask(p);
        EXPECT_LE(widest, 0);
        EXPECT_GE(titleRoom, 150);
    }

    // A paragraph written on one line before a question wraps: the box is not
    // stretched to hold it (in a small font, so that the screen's own bound
    // is not what holds it).
    const QFont appFont = QApplication::font();
    QFont small = appFont;
    small.setPixelSize(5);
    QApplication::setFont(small);
    const QString paragraph = QString(65, QLatin1Char('w')).replace(QLatin1String("w"), QLatin1String("wo "));
    int boxWidth = 0;
    int paragraphWidth = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxWidth = box->width();
            paragraphWidth = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->fontMetrics().horizontalAdvance(paragraph);
            box->buttons().first()->click();
        }
    });
    poll.start(5);
    Prompt p;
    p.text = paragraph + QStringLiteral("\r\n\r\nGo on?");
    QtPrompter().ask(p);
    QApplication::setFont(appFont);
    EXPECT_GT(boxWidth, 0);
    EXPECT_LT(boxWidth, paragraphWidth);
}

// A box widened to its written lines stands centred over its owner at that
// size, and wholly on the screen where the owner stands at an edge; with no
// owner it stands centred on the screen.
TEST(QtPrompter, AWidenedBoxStandsCentredOverItsOwnerAndOnTheScreen)
{
    QWidget owner;
    owner.resize(300, 200);
    const QRect screen = owner.screen()->availableGeometry();
    const QString wide = QStringLiteral("Are you sure you want to erase the recording memory? All recorded and "
                                        "downloaded sounds \r\nwill be erased.");
    for (const QPoint at : {QPoint(250, 200), QPoint(screen.left(), screen.top()), QPoint(-1, -1)}) {
        SCOPED_TRACE(at.x());
        const bool owned = at.x() >= 0;
        if (owned) {
            owner.move(at);
            owner.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        }
        QRect where;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                where = box->frameGeometry();
                box->buttons().first()->click();
            }
        });
        poll.start(5);
        Prompt p;
        p.text = wide;
        QtPrompter(owned ? &owner : nullptr).ask(p);
        ASSERT_GT(where.width(), owner.width());
        EXPECT_TRUE(screen.contains(where)) << where.x() << "," << where.y();
        const QPoint centre = at == QPoint(250, 200) ? owner.frameGeometry().center() : screen.center();
        if (at != QPoint(screen.left(), screen.top()))
            EXPECT_LE((where.center() - centre).manhattanLength(), 2) << where.x() << "," << where.y();
        else
            EXPECT_EQ(where.left(), screen.left());
    }
}

// A path in a message reads whole on its line, never broken after a "/".
TEST(QtPrompter, APathInAMessageStandsWholeOnItsLine)
{
    const QString path = QStringLiteral("/home/user/Documents/voice-prompts/data/tone1k.mp3");
    const QString text = QStringLiteral("No file browser could be started to show the file %1.").arg(path);
    QStringList lines;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            lines = vxtest::shownLines(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")));
            box->buttons().first()->click();
        }
    });
    poll.start(5);
    Prompt p;
    p.text = text;
    QtPrompter().ask(p);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.contains(path + QLatin1Char('.')); }))
        << lines.join(QLatin1Char('|')).toStdString();
}

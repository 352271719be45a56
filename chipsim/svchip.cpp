// svchip: a chip emulator on a pseudo-terminal. Prints the device path on
// the first line of its output, then serves until it is ended.
//
//   svchip [--model SV3420|SV3410] [--module N] [--firmware FIRST,SECOND]
//          [--rate CODE] [--recmem BYTES] [--stuck-9600] [--silent]
//          [--junk HEXBYTES] [--fail-at PERCENT]
//          [--pace SECONDS_PER_CHAR] [--log]

#include "chipsim/Chip.h"
#include "chipsim/PtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("svchip"));

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Serves an emulated speech chip on a pseudo-terminal."));
    cli.addHelpOption();
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("SV3420 or SV3410."), QStringLiteral("model"),
                                   QStringLiteral("SV3420"));
    const QCommandLineOption module(QStringLiteral("module"), QStringLiteral("Module code."), QStringLiteral("code"));
    const QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("Version halves, hex: FIRST,SECOND."),
                                      QStringLiteral("versions"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Rate code 0, 4 or 8."), QStringLiteral("code"));
    const QCommandLineOption recmem(QStringLiteral("recmem"), QStringLiteral("Recording memory bytes (-1 none)."),
                                    QStringLiteral("bytes"));
    const QCommandLineOption stuck(QStringLiteral("stuck-9600"), QStringLiteral("The line runs at 9600 only."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    const QCommandLineOption junk(QStringLiteral("junk"), QStringLiteral("Hex bytes sent before every reply."),
                                  QStringLiteral("hex"));
    const QCommandLineOption failAt(QStringLiteral("fail-at"), QStringLiteral("Fail transfers at this percentage."),
                                    QStringLiteral("percent"));
    const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("Seconds of speech per character."),
                                  QStringLiteral("seconds"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Print each byte received, with its speed."));
    cli.addOptions({model, module, firmware, rate, recmem, stuck, silent, junk, failAt, pace, log});
    cli.process(app);

    chipsim::ChipConfig config = chipsim::ChipConfig::forModel(cli.value(model));
    if (cli.isSet(module))
        config.moduleCode = cli.value(module).toInt();
    if (cli.isSet(rate))
        config.rateCode = cli.value(rate).toInt();
    if (cli.isSet(recmem))
        config.recMemBytes = cli.value(recmem).toInt();
    if (cli.isSet(pace))
        config.secondsPerChar = cli.value(pace).toDouble();
    if (cli.isSet(firmware)) {
        const QStringList halves = cli.value(firmware).split(QLatin1Char(','));
        if (halves.size() == 2) {
            config.firmwareFirst = halves[0].toInt(nullptr, 16);
            config.firmwareSecond = halves[1].toInt(nullptr, 16);
        }
    }
    chipsim::Chip chip(config);
    chipsim::ChipFaults faults;
    faults.stuckAt9600 = cli.isSet(stuck);
    faults.silent = cli.isSet(silent);
    faults.junkBeforeReply = QByteArray::fromHex(cli.value(junk).toLatin1());
    if (cli.isSet(failAt))
        faults.failTransferAtPercent = cli.value(failAt).toInt();
    chip.setFaults(faults);

    chipsim::PtyServer server(&chip);
    if (!server.start()) {
        std::fprintf(stderr, "svchip: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    if (cli.isSet(log)) {
        QObject::connect(&chip, &chipsim::Chip::transmit, [](const QByteArray &bytes, int baud) {
            std::fprintf(stderr, "chip -> host @%d: %s\n", baud, bytes.toHex(' ').constData());
        });
        QObject::connect(&chip, &chipsim::Chip::ctsChanged,
                         [](bool high) { std::fprintf(stderr, "CTS %s\n", high ? "on" : "off"); });
    }
    std::printf("%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);
    if (cli.isSet(log)) {
        // Report the bytes as they come, from the chip's log.
        auto *poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, [&chip, reported = qsizetype(0)]() mutable {
            const auto &entries = chip.byteLog();
            for (; reported < entries.size(); ++reported) {
                const chipsim::LoggedByte &b = entries[reported];
                std::fprintf(stderr, "host -> chip @%d: %02x%s\n", b.baud, b.byte, b.accepted ? "" : " (lost)");
            }
        });
        poll->start(50);
    }
    return app.exec();
}

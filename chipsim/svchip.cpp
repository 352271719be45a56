// svchip: a chip emulator on a pseudo-terminal. Prints the device path on
// the first line of its output, then serves until it is ended.
//
//   svchip [--model SV3420|SV3410] [--module N] [--firmware FIRST,SECOND]
//          [--rate CODE] [--recmem BYTES] [--stuck-9600] [--silent]
//          [--junk HEXBYTES] [--fail-at PERCENT]
//          [--pace SECONDS_PER_CHAR] [--record-seconds SECONDS]
//          [--recmem-corrupt] [--record-write-error] [--log]

#include "chipsim/Chip.h"
#include "chipsim/PtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <type_traits>

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
    const QCommandLineOption recordSeconds(QStringLiteral("record-seconds"),
                                           QStringLiteral("A recording ends by itself after this long."),
                                           QStringLiteral("seconds"));
    const QCommandLineOption corrupt(QStringLiteral("recmem-corrupt"), QStringLiteral("The recording memory is corrupt."));
    const QCommandLineOption writeError(QStringLiteral("record-write-error"),
                                        QStringLiteral("Recordings fail to store (status 7)."));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Print each byte received, with its speed."));
    cli.addOptions({model, module, firmware, rate, recmem, stuck, silent, junk, failAt, pace, recordSeconds, corrupt,
                    writeError, log});
    const QString usage = QStringLiteral(
        "usage: svchip [--model SV3420|SV3410] [--module N] [--firmware FIRST,SECOND] [--rate 0|4|8]\n"
        "              [--recmem BYTES] [--stuck-9600] [--silent] [--junk HEXBYTES] [--fail-at PERCENT]\n"
        "              [--pace SECONDS_PER_CHAR] [--record-seconds SECONDS] [--recmem-corrupt]\n"
        "              [--record-write-error] [--log]\n");
    // A typo must not start a healthy chip: every value is checked, and a bad
    // one ends the program with the usage and code 2.
    auto refuse = [&usage](const QString &why) {
        std::fprintf(stderr, "svchip: %s\n%s", qPrintable(why), qPrintable(usage));
        std::exit(2);
    };
    if (!cli.parse(QCoreApplication::arguments()))
        refuse(cli.errorText());
    if (cli.isSet(QStringLiteral("help")))
        cli.showHelp(0);
    if (!cli.positionalArguments().isEmpty())
        refuse(QStringLiteral("unexpected argument \"%1\"").arg(cli.positionalArguments().first()));
    // An option's value within [low, high]: a whole number, or a real one
    // when the bounds are.
    auto number = [&](const QCommandLineOption &o, auto low, auto high) {
        using Value = std::conditional_t<std::is_floating_point_v<decltype(low)>, double, qint64>;
        bool ok = false;
        Value v;
        if constexpr (std::is_floating_point_v<Value>)
            v = cli.value(o).toDouble(&ok);
        else
            v = cli.value(o).toLongLong(&ok);
        if (!ok || v < Value(low) || v > Value(high))
            refuse(QStringLiteral("bad value \"%1\" for --%2").arg(cli.value(o), o.names().first()));
        return v;
    };

    const QString modelName = cli.value(model);
    if (modelName != QStringLiteral("SV3420") && modelName != QStringLiteral("SV3410"))
        refuse(QStringLiteral("bad value \"%1\" for --model").arg(modelName));
    chipsim::ChipConfig config = chipsim::ChipConfig::forModel(modelName);
    if (cli.isSet(module))
        config.moduleCode = int(number(module, 0, 255));
    if (cli.isSet(rate)) {
        config.rateCode = int(number(rate, 0, 8));
        if (config.rateCode != 0 && config.rateCode != 4 && config.rateCode != 8)
            refuse(QStringLiteral("bad value \"%1\" for --rate").arg(cli.value(rate)));
    }
    if (cli.isSet(recmem))
        config.recMemBytes = qint32(number(recmem, -1, 0x7FFFFFFF));
    if (cli.isSet(pace))
        config.secondsPerChar = number(pace, 0.0, 60.0);
    if (cli.isSet(recordSeconds))
        config.recordSeconds = number(recordSeconds, 0.0, 3600.0);
    if (cli.isSet(firmware)) {
        const QStringList halves = cli.value(firmware).split(QLatin1Char(','));
        bool ok1 = false, ok2 = false;
        if (halves.size() == 2) {
            config.firmwareFirst = halves[0].toInt(&ok1, 16);
            config.firmwareSecond = halves[1].toInt(&ok2, 16);
        }
        if (!ok1 || !ok2 || config.firmwareFirst > 0xFFFF || config.firmwareSecond > 0xFFFF ||
            config.firmwareFirst < 0 || config.firmwareSecond < 0)
            refuse(QStringLiteral("bad value \"%1\" for --firmware").arg(cli.value(firmware)));
    }
    const QString junkHex = cli.value(junk);
    static const QRegularExpression hexBytes(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (!hexBytes.match(junkHex).hasMatch())
        refuse(QStringLiteral("bad value \"%1\" for --junk").arg(junkHex));
    chipsim::Chip chip(config);
    chipsim::ChipFaults faults;
    faults.stuckAt9600 = cli.isSet(stuck);
    faults.silent = cli.isSet(silent);
    faults.junkBeforeReply = QByteArray::fromHex(junkHex.toLatin1());
    if (cli.isSet(failAt))
        faults.failTransferAtPercent = int(number(failAt, 0, 100));
    faults.recordWriteError = cli.isSet(writeError);
    chip.setFaults(faults);
    chip.setRecMemCorrupt(cli.isSet(corrupt));

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

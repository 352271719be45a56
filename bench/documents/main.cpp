// Loads, shows and saves a full dictionary source (2000 lines, every rule
// checked by the dictionary compiler) and a 20,000-line music score in the
// grid editor, and prints the median time of each over a few runs.
#include "app/documents/ui/GridEditor.h"
#include "components/lexmold/cLexmold.h"
#include "platform/Cp1252.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char *const kPhonemes[] = {"AA", "AE", "AH", "EH", "IY", "OW", "UW", "SH", "TH", "ER"};

// Rules and comments, with a group every 40 lines, every other one collapsed.
QByteArray dictionarySource()
{
    QByteArray out;
    for (int i = 0; i < 2000; ++i) {
        if (i % 40 == 0)
            out += (i % 80 == 0) ? ";#H10\r\n" : ";#h10\r\n";
        if (i % 25 == 0) {
            out += "; letters group " + QByteArray::number(i / 25) + "\r\n";
            continue;
        }
        QByteArray match(1, static_cast<char>('A' + i % 26));
        match += static_cast<char>('A' + (i / 26) % 26);
        out += (i % 4 == 0 ? "#(" : "(") + match + ")=" + kPhonemes[i % 10] + ' ' + kPhonemes[(i / 3) % 10] + "\r\n";
    }
    return out;
}

// Score lines, some long enough to wrap, with groups of 20 rows.
QByteArray scoreSource()
{
    QByteArray out;
    for (int i = 0; i < 20000; ++i) {
        if (i % 100 == 0)
            out += (i % 200 == 0) ? ";#H20\r\n" : ";#h20\r\n";
        out += "T120 V" + QByteArray::number(i % 16) + " C4 D4 E4 F4 G4 A4 B4 C5";
        if (i % 10 == 0)
            out += " R8 C5 B4 A4 G4 F4 E4 D4 C4 R8 E4 G4 C5 G4 E4 C4 R4 C4 E4 G4 C5 E5 G5";
        out += "\r\n";
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void run(const char *what, const QString &dir, const QByteArray &bytes, const RuleCheck &check, double goalMs)
{
    const QString source = dir + QStringLiteral("/source");
    const QString target = dir + QStringLiteral("/saved");
    QFile f(source);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
    f.close();
    std::vector<double> load, save;
    int rows = 0;
    for (int round = 0; round < 5; ++round) {
        GridEditor grid;
        grid.setRuleCheck(check);
        grid.resize(900, 700);
        grid.show();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        if (!grid.LoadGridFile(source))
            std::abort();
        grid.repaint();
        QCoreApplication::processEvents();
        load.push_back(t.nsecsElapsed() / 1e6);
        rows = grid.Rows();
        t.restart();
        if (!grid.SaveGridFile(target))
            std::abort();
        save.push_back(t.nsecsElapsed() / 1e6);
    }
    const double l = median(load), s = median(save);
    std::printf("%-28s %6d rows  load+show %7.1f ms  save %6.1f ms  total %7.1f ms (goal < %.0f ms)\n", what, rows, l,
                s, l + s, goalMs);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    cLexmold compiler;
    const RuleCheck check = [&compiler](const QString &rule, bool silent) {
        std::string bytes = vx::toCp1252(rule).toStdString();
        return compiler.CompileRule(bytes, silent);
    };
    run("dictionary source", dir.path(), dictionarySource(), check, 100);
    run("music score", dir.path(), scoreSource(), {}, 500);
    return 0;
}

// Prints how long the schema ladder takes on a new local file and how long opening a
// current file takes (the version check alone), each as the median of several runs.

#include "core/DM_Sqlite1.h"
#include "core/globals.h"
#include "core/tdm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One start of the program on the file: the connection is made and the schema brought up to date.
double timedStart(Tdm& dm, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    TMeineFDConnection connection(path);
    dm.SQLiteDB_Erstellen();
    connection.release();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    resetGlobals();
    Tdm dm;
    constexpr int Runs = 9;

    std::vector<double> fullLadder;
    for (int i = 0; i < Runs; ++i)
        fullLadder.push_back(timedStart(dm, dir.filePath(QStringLiteral("neu%1.sqlite").arg(i))));

    const QString current = dir.filePath(QStringLiteral("neu0.sqlite"));
    std::vector<double> openCurrent;
    for (int i = 0; i < Runs; ++i)
        openCurrent.push_back(timedStart(dm, current));

    QTextStream out(stdout);
    out << "schema ladder on a new file:   median " << median(fullLadder) << " ms, min "
        << *std::min_element(fullLadder.begin(), fullLadder.end()) << " ms (" << Runs << " runs)\n";
    out << "opening a current file:        median " << median(openCurrent) << " ms, min "
        << *std::min_element(openCurrent.begin(), openCurrent.end()) << " ms (" << Runs << " runs)\n";
    out << "size of a new file:            " << QFile(current).size() / 1024 << " KiB\n";
    return 0;
}

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
#include <ctime>
#include <vector>

namespace {

struct Figures {
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double cpuMsNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// One start of the program on the file: the connection is made and the schema brought up to date.
void timedStart(Tdm& dm, const QString& path, Figures& figures) {
    QElapsedTimer timer;
    const double cpuStart = cpuMsNow();
    timer.start();
    TMeineFDConnection connection(path);
    dm.SQLiteDB_Erstellen();
    connection.release();
    figures.wallMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    figures.cpuMs.push_back(cpuMsNow() - cpuStart);
}

void print(QTextStream& out, const char* what, const Figures& figures) {
    out << what << ": median " << median(figures.wallMs) << " ms wall, " << median(figures.cpuMs) << " ms CPU (min "
        << *std::min_element(figures.wallMs.begin(), figures.wallMs.end()) << " ms wall, " << figures.wallMs.size()
        << " runs)\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    resetGlobals();
    Tdm dm;
    constexpr int Runs = 9;

    Figures fullLadder;
    for (int i = 0; i < Runs; ++i)
        timedStart(dm, dir.filePath(QStringLiteral("neu%1.sqlite").arg(i)), fullLadder);

    const QString current = dir.filePath(QStringLiteral("neu0.sqlite"));
    Figures openCurrent;
    for (int i = 0; i < Runs; ++i)
        timedStart(dm, current, openCurrent);

    QTextStream out(stdout);
    print(out, "schema ladder on a new file", fullLadder);
    print(out, "opening a current file     ", openCurrent);
    out << "size of a new file: " << QFile(current).size() / 1024 << " KiB\n";
    return 0;
}

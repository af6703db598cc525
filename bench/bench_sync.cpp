// Full reload through the real service on loopback: rows per second end to end, against
// the raw local insert rate of the same rows in one transaction; the longest wait of a
// main thread that records an entry every 120 ms meanwhile; the client's peak memory.

#include "sync/SyncTestbed.h"

#include "sync/LocalFileHandover.h"
#include "sync/SyncConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// The same rows written straight into a fresh file: one prepared insert, one transaction.
double rawInsertRate(int rows)
{
    QTemporaryDir dir;
    SyncClient schema(QStringLiteral("raw-schema"));
    QFile::copy(schema.path(), dir.filePath(QStringLiteral("raw.sqlite")));
    TSyncConnection connection(dir.filePath(QStringLiteral("raw.sqlite")));
    const QStringList spalten{QStringLiteral("Mandant_ID"), QStringLiteral("ADR_ID"), QStringLiteral("ADR_Nr"),
                              QStringLiteral("ADR_Name"), QStringLiteral("ADR_Ort")};
    TSyncStatement insert(connection,
                          QStringLiteral("INSERT OR REPLACE INTO A_ADRESSEN (Mandant_ID, ADR_ID, ADR_Nr, ADR_Name, ADR_Ort) "
                                         "VALUES (:Mandant_ID, :ADR_ID, :ADR_Nr, :ADR_Name, :ADR_Ort)"),
                          spalten);
    QElapsedTimer timer;
    timer.start();
    connection.beginBatch();
    for (int i = 0; i < rows; ++i) {
        insert.setValue(0, qint64(SyncServer::Mandant));
        insert.setValue(1, qint64(i + 1));
        insert.setValue(2, qint64(i + 1));
        insert.setValue(3, QStringLiteral("Kunde"));
        insert.setValue(4, QStringLiteral("Zürich"));
        insert.exec();
    }
    connection.endBatch();
    return rows / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SyncServer server;
    QString error;
    if (!server.setUp(error)) {
        std::fprintf(stderr, "service: %s\n", qPrintable(error));
        return 1;
    }
    int vorhanden = 0;
    for (const int rows : {10000, 50000}) {
        server.exec(QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name, adr_sortierung, "
                                   "adr_strasse, adr_plz, adr_ort, adr_tel1, adr_email) select %1, g, g, '%2', '%3', '%4', "
                                   "'%5', '%6', '%7', '%8' from generate_series(%9, %10) g")
                        .arg(SyncServer::Mandant)
                        .arg(SyncServer::scrambled(QStringLiteral("Holzbau Müller")),
                             SyncServer::scrambled(QStringLiteral("MUELLER")),
                             SyncServer::scrambled(QStringLiteral("Bahnhofstrasse 12")),
                             SyncServer::scrambled(QStringLiteral("8001")), SyncServer::scrambled(QStringLiteral("Zürich")),
                             SyncServer::scrambled(QStringLiteral("+41 44 123 45 67")),
                             SyncServer::scrambled(QStringLiteral("info@holzbau-mueller.ch")))
                        .arg(vorhanden + 1)
                        .arg(rows));
        vorhanden = rows;
        std::vector<double> raten;
        double laengsteWarte = 0;
        for (int lauf = 0; lauf < 5; ++lauf) {
            SyncClient client(QStringLiteral("bench-%1-%2").arg(rows).arg(lauf));
            QTimer schreiber;
            QObject::connect(&schreiber, &QTimer::timeout, &client.receiver,
                             [&client] { client.erfasseEintrag(QStringLiteral("während der Messung")); });
            LocalFileHandover::resetStatistics();
            schreiber.start(120);
            QElapsedTimer timer;
            timer.start();
            const SyncClient::Lauf ergebnis = client.synchronisiere(600000);
            const double sekunden = timer.nsecsElapsed() / 1e9;
            schreiber.stop();
            const int geladen = client.count(QStringLiteral("A_ADRESSEN"));
            if (!ergebnis.fertig() || geladen != rows)
                std::fprintf(stderr, "run %d of %d rows ended early (%d rows)\n", lauf + 1, rows, geladen);
            raten.push_back(rows / sekunden);
            laengsteWarte = std::max(laengsteWarte, LocalFileHandover::longestMainWaitMSecs());
            std::printf("full reload %6d rows, run %d: %8.0f rows/s (%d threads)\n", rows, lauf + 1, rows / sekunden,
                        ergebnis.threads);
            std::fflush(stdout);
        }
        std::sort(raten.begin(), raten.end());
        std::printf("full reload %6d rows: median %8.0f rows/s (min %.0f, max %.0f); raw local insert %8.0f rows/s\n", rows,
                    raten[raten.size() / 2], raten.front(), raten.back(), rawInsertRate(rows));
        std::printf("longest main-thread wait for the file: %.1f ms\n", laengsteWarte);
    }
    std::printf("client peak memory: %.1f MB\n", peakResidentKiB() / 1024.0);
    SyncProcess::shutdown();
    return 0;
}

// Full reload through the real service on loopback, chained over as many runs as the row
// budget needs, the way the main window chains them: rows per second end to end, against
// the raw local insert rate of the same rows in one transaction; the longest wait of a
// main thread that records an entry every few milliseconds meanwhile; the client's peak
// memory. Usage: bench_sync [writer interval in ms, default 120; 0: no writer]

#include "sync/SyncTestbed.h"

#include "core/tdatetime.h"
#include "sync/LocalFileHandover.h"
#include "sync/StammdatenTabellen.h"
#include "sync/SyncConnection.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
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

// The plain values of one seeded address, as the download writes them locally.
QVariant adressWert(const QString& spalte, int id)
{
    if (spalte == u"Mandant_ID")
        return qint64(SyncServer::Mandant);
    if (spalte == u"ADR_ID" || spalte == u"ADR_Nr")
        return qint64(id);
    if (spalte == u"FlagGeloescht")
        return qint64(0);
    static const QHash<QString, QString> texte{
        {QStringLiteral("ADR_Name"), QStringLiteral("Holzbau Müller")},
        {QStringLiteral("ADR_Sortierung"), QStringLiteral("MUELLER")},
        {QStringLiteral("ADR_Strasse"), QStringLiteral("Bahnhofstrasse 12")},
        {QStringLiteral("ADR_PLZ"), QStringLiteral("8001")},
        {QStringLiteral("ADR_Ort"), QStringLiteral("Zürich")},
        {QStringLiteral("ADR_Tel1"), QStringLiteral("+41 44 123 45 67")},
        {QStringLiteral("ADR_Email"), QStringLiteral("info@holzbau-mueller.ch")}};
    return texte.value(spalte);
}

// The same rows written straight into a fresh file: the download's insert, prepared once,
// in one transaction, with no network, no unscrambling and no hand-over.
double rawInsertRate(int rows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("raw.sqlite"));
    {
        SyncClient schema(QStringLiteral("raw-schema"));
        QFile::copy(schema.path(), path);
    }
    const TStammdatenTabelle& adressen = StammdatenTabellen().front();
    TSyncConnection connection(path);
    TSyncStatement insert(connection, adressen.insertSQL(), adressen.spalten);
    QElapsedTimer timer;
    timer.start();
    connection.beginBatch();
    for (int i = 0; i < rows; ++i) {
        for (const QString& spalte : adressen.spalten)
            insert.setValue(insert.indexOf(spalte), adressWert(spalte, i + 1));
        insert.exec();
    }
    connection.endBatch();
    return rows / (timer.nsecsElapsed() / 1e9);
}

struct Kette {
    int threads = 0;
    bool fertig = false;
};

// One synchronisation as the main window runs it: a sync thread, and on SyncRestart a new
// one once the stopped one has ended, until a run finishes. The main thread sits in its
// event loop all the while, so notifications are answered at once.
Kette synchronisiere(SyncClient& client, int timeoutMs)
{
    client.use();
    Kette kette;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    bool neuStarten = true;
    while (neuStarten) {
        neuStarten = false;
        TNotifyUpdateThread notify{&client.receiver, [&](TDatenAusCloudThread* sender, TSyncStatus status, int) {
                                       if (status == TSyncStatus::SyncRestart) {
                                           sender->Terminate();
                                           neuStarten = true;
                                       } else if (status == TSyncStatus::SyncUpdateFertig) {
                                           kette.fertig = true;
                                       }
                                   }};
        std::unique_ptr<TDatenAusCloudThread> thread(TDatenAusCloudThread::CreateWithSync(
            *SyncProcess::connection(), SyncServer::Pin, SyncServer::kennwort(), 3, notify, 0, 1, false,
            QStringLiteral("1.0.0-bench")));
        ++kette.threads;
        QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (!thread->isFinished())
            loop.exec();
        if (!thread->isFinished()) {
            std::fprintf(stderr, "sync thread did not end in time\n");
            thread->Terminate();
            thread->wait();
            break;
        }
    }
    return kette;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int schreibAbstand = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 120;
    SyncServer server;
    QString error;
    if (!server.setUp(error)) {
        std::fprintf(stderr, "service: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("main thread records an entry every %d ms during each reload%s\n", schreibAbstand,
                schreibAbstand > 0 ? "" : " (no writer)");
    int vorhanden = 0;
    for (const int rows : {10000, 50000}) {
        server.exec(QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name, adr_sortierung, "
                                   "adr_strasse, adr_plz, adr_ort, adr_tel1, adr_email) select %1, g, g, '%2', '%3', '%4', "
                                   "'%5', '%6', '%7', '%8' from generate_series(%9, %10) g")
                        .arg(SyncServer::Mandant)
                        .arg(SyncServer::scrambled(adressWert(QStringLiteral("ADR_Name"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_Sortierung"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_Strasse"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_PLZ"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_Ort"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_Tel1"), 0).toString()),
                             SyncServer::scrambled(adressWert(QStringLiteral("ADR_Email"), 0).toString()))
                        .arg(vorhanden + 1)
                        .arg(rows));
        vorhanden = rows;
        std::vector<double> raten;
        double laengsteWarte = 0;
        double laengsteSchreibzeit = 0;
        for (int lauf = 0; lauf < 5; ++lauf) {
            SyncClient client(QStringLiteral("bench-%1-%2").arg(rows).arg(lauf));
            int eintraege = 0;
            QTimer schreiber;
            QObject::connect(&schreiber, &QTimer::timeout, &client.receiver, [&] {
                QElapsedTimer schreibzeit;
                schreibzeit.start();
                client.erfasseEintrag(QStringLiteral("während der Messung"));
                laengsteSchreibzeit = std::max(laengsteSchreibzeit, schreibzeit.nsecsElapsed() / 1e6);
                ++eintraege;
            });
            LocalFileHandover::resetStatistics();
            if (schreibAbstand > 0)
                schreiber.start(schreibAbstand);
            QElapsedTimer timer;
            timer.start();
            const Kette kette = synchronisiere(client, 600000);
            const double sekunden = timer.nsecsElapsed() / 1e9;
            schreiber.stop();
            const int geladen = client.count(QStringLiteral("A_ADRESSEN"));
            if (!kette.fertig || geladen != rows)
                std::fprintf(stderr, "run %d of %d rows ended early (%d rows)\n", lauf + 1, rows, geladen);
            raten.push_back(geladen / sekunden);
            laengsteWarte = std::max(laengsteWarte, LocalFileHandover::longestMainWaitMSecs());
            std::printf("full reload %6d rows, run %d: %8.0f rows/s, %.2f s, %d runs chained, %d entries recorded\n",
                        rows, lauf + 1, geladen / sekunden, sekunden, kette.threads, eintraege);
            std::fflush(stdout);
            // The entries went up at the end of the run; the next device must not download them.
            server.exec(QStringLiteral("SET session_replication_role = replica; delete from z_erfassung; "
                                       "delete from z_praesenzzeit; delete from lumora_team; delete from lumora_teamzpz"));
        }
        std::sort(raten.begin(), raten.end());
        std::printf("full reload %6d rows: median %8.0f rows/s (min %.0f, max %.0f); raw local insert %8.0f rows/s\n", rows,
                    raten[raten.size() / 2], raten.front(), raten.back(), rawInsertRate(rows));
        std::printf("longest main-thread wait for the file: %.1f ms; longest entry write: %.1f ms\n", laengsteWarte,
                    laengsteSchreibzeit);
        std::fflush(stdout);
    }
    std::printf("client peak memory (VmHWM): %.1f MB\n", peakResidentKiB() / 1024.0);
    SyncProcess::shutdown();
    return 0;
}

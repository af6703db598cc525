// Figures of the remote-SQL path on loopback: statements per second with 16 clients,
// and the time to fetch one download batch of 2000 entries through the service against
// the same query over libpq directly.
#include "server/RemoteDbTestbed.h"
#include "sync/RemoteDB.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <QFile>

#include <libpq-fe.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int Clients = 16;
constexpr int StatementsPerClient = 1000;
constexpr int BatchRows = 2000;
constexpr int Runs = 15;

const char* const BatchSql = "select top(2000) * from Z_Erfassung where  Owner = 0  and Mandant_ID = :Mandant_ID "
                             "and (MUTTimeStamp > :MUTTimeStamp) Order By MUTTimeStamp";
const char* const BatchSqlPg = "select * from Z_Erfassung where  Owner = 0  and Mandant_ID = $1 "
                               "and (MUTTimeStamp > $2) Order By MUTTimeStamp LIMIT 2000";

bool seedEntries(PgCluster& cluster) {
    QString error;
    const bool ok = cluster.exec(
        QStringLiteral(
            "BEGIN; SELECT set_config('lumora.mandant_id', '1', true);"
            "INSERT INTO Z_ERFASSUNG (Mandant_ID, ZER_LPE, ZER_ZKA, ZER_ZKS, ZER_Datum, ZER_Von, ZER_Bis, ZER_Std100, "
            "ZER_Text, MobileID) SELECT 1, g % 17, 'KA' || (g % 40), 'KS' || (g % 9), "
            "timestamp '2024-03-01' + (g % 30) * interval '1 day', timestamp '1899-12-30 07:00', "
            "timestamp '1899-12-30 16:30', 8.5, 'Montage der Fenster im zweiten Stock, Baustelle ' || g, -g "
            "FROM generate_series(1, %1) g; COMMIT;")
            .arg(BatchRows),
        &error);
    if (!ok)
        std::fprintf(stderr, "seeding failed: %s\n", qPrintable(error));
    return ok;
}

// CPU seconds a process has used so far (user + system), from /proc.
double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// CPU seconds of a process's children (the sessions of a PostgreSQL postmaster).
double childrenCpuSeconds(qint64 pid) {
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (!children.open(QIODevice::ReadOnly))
        return 0;
    double sum = 0;
    for (const QByteArray& child : children.readAll().split(' '))
        if (!child.trimmed().isEmpty())
            sum += cpuSeconds(child.trimmed().toLongLong());
    return sum;
}

QByteArray loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').mid(0, 3).join(' ') : QByteArray("?");
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeRuns(const std::function<bool()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < Runs + 3; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run())
            return -1;
        if (i >= 3) // the first runs warm caches and connections
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(ms);
}

double statementsPerSecond() {
    std::atomic<int> failures{0};
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c) {
        threads.emplace_back([&failures] {
            TRemoteDBDatabase db;
            db.setTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
            if (!ConnectRemoteDB(db)) {
                failures += StatementsPerClient;
                return;
            }
            TXDataset q(&db);
            q.setSQL(QStringLiteral(" Select dtServer from SyncVersion  Where Mandant_ID = :Mandant_ID"));
            for (int i = 0; i < StatementsPerClient; ++i) {
                q.ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant1);
                if (!q.Open() || q.Eof())
                    ++failures;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (failures)
        std::printf("  (%d statements failed)\n", failures.load());
    return Clients * StatementsPerClient / seconds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RemoteDbTestbed bed;
    QString error;
    if (!bed.setUp(error) || !seedEntries(bed.cluster)) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(error));
        return 1;
    }

    std::printf("remote-SQL service on loopback (HTTPS), %d cores, load average %s\n",
                int(std::thread::hardware_concurrency()), loadAverage().constData());
    const qint64 servicePid = bed.service.processId();
    const double serviceCpuBefore = cpuSeconds(servicePid);
    const double clientCpuBefore = cpuSeconds(QCoreApplication::applicationPid());
    const double databaseCpuBefore = childrenCpuSeconds(bed.cluster.processId());
    const double perSecond = statementsPerSecond();
    const int statements = Clients * StatementsPerClient;
    std::printf("statements per second, %d clients x %d: %.0f\n", Clients, StatementsPerClient, perSecond);
    std::printf("  CPU per statement: service %.0f us, clients %.0f us, database %.0f us\n",
                (cpuSeconds(servicePid) - serviceCpuBefore) * 1e6 / statements,
                (cpuSeconds(QCoreApplication::applicationPid()) - clientCpuBefore) * 1e6 / statements,
                (childrenCpuSeconds(bed.cluster.processId()) - databaseCpuBefore) * 1e6 / statements);

    TRemoteDBDatabase db;
    db.setTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    ConnectRemoteDB(db);
    long long cells = 0;
    const double batchServiceCpu = cpuSeconds(servicePid);
    const double batchClientCpu = cpuSeconds(QCoreApplication::applicationPid());
    const double serviceMs = timeRuns([&] {
        TXDataset q(&db);
        q.setSQL(QLatin1String(BatchSql));
        q.ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant1);
        q.ParamByName("MUTTimeStamp").setAsDateTime(TDateTime::encodeDate(2000, 1, 1));
        if (!q.Open() || q.RecordCount() != BatchRows)
            return false;
        cells = 0;
        for (; !q.Eof(); q.Next())
            for (int c = 0; c < q.FieldCount(); ++c)
                cells += q.Fields(c).AsString().size();
        return true;
    });

    const double perBatch = 1e3 / (Runs + 3);
    const double serviceCpuMs = (cpuSeconds(servicePid) - batchServiceCpu) * perBatch;
    const double clientCpuMs = (cpuSeconds(QCoreApplication::applicationPid()) - batchClientCpu) * perBatch;

    PGconn* pg = PQconnectdb(bed.cluster.conninfo(QStringLiteral("lumora_service")).toUtf8().constData());
    const double libpqMs = timeRuns([&] {
        PQclear(PQexec(pg, "BEGIN; SELECT set_config('lumora.mandant_id', "
                           "coalesce(lumora_auth_tenant(4711, 'Geheim-1')::text, ''), true)"));
        const char* values[] = {"1", "2000-01-01 00:00:00.000"};
        PGresult* r = PQexecParams(pg, BatchSqlPg, 2, nullptr, values, nullptr, nullptr, 0);
        const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == BatchRows;
        long long pgCells = 0;
        for (int row = 0; ok && row < PQntuples(r); ++row)
            for (int c = 0; c < PQnfields(r); ++c)
                pgCells += QString::fromUtf8(PQgetvalue(r, row, c)).size();
        PQclear(r);
        PQclear(PQexec(pg, "COMMIT"));
        return ok && pgCells > 0;
    });
    PQfinish(pg);

    std::printf("batch of %d entries (%lld text characters), median of %d runs:\n", BatchRows, cells, Runs);
    std::printf("  through the service: %8.2f ms\n", serviceMs);
    std::printf("  libpq directly:      %8.2f ms\n", libpqMs);
    std::printf("  ratio:               %8.2f\n", serviceMs / libpqMs);
    std::printf("  CPU per batch through the service: service %.1f ms, client %.1f ms\n", serviceCpuMs, clientCpuMs);
    return 0;
}

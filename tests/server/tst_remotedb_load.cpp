// A bounded load on loopback: 16 clients with their own connections send 2000
// statements each through the real service; every answer must be right, every insert
// must arrive, and the service's resident memory must stay flat.
#include "RemoteDbTestbed.h"

#include "sync/RemoteDB.h"

#include <QtTest>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int Clients = 16;
constexpr int StatementsPerClient = 2000;
constexpr int InsertEvery = 4; // one statement in four writes, the others read

struct Outcome {
    std::atomic<int> wrong{0};
    std::mutex mutex;
    QStringList firstErrors;

    void record(const QString& error) {
        ++wrong;
        std::lock_guard lock(mutex);
        if (firstErrors.size() < 5)
            firstErrors << error;
    }
};

// One client: reads a known row or inserts a row of its own, and checks every answer.
void runClient(int client, int round, int statements, Outcome& outcome) {
    TRemoteDBDatabase db;
    db.setTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    if (!ConnectRemoteDB(db)) {
        outcome.record(QStringLiteral("client %1 cannot connect: %2").arg(client).arg(db.lastError()));
        return;
    }
    TXDataset read(&db);
    read.setSQL(QStringLiteral("select n_int, n_text from s1_probe where id = :id"));
    TXDataset insert(&db);
    insert.setSQL(QStringLiteral("insert into s1_load (mandant_id, client, round, seq, payload) "
                                 "values (:m, :client, :round, :seq, :payload)"));
    for (int i = 0; i < statements; ++i) {
        if (i % InsertEvery == 0) {
            insert.ParamByName("m").setAsInteger(RemoteDbTestbed::Tenant1);
            insert.ParamByName("client").setAsInteger(client);
            insert.ParamByName("round").setAsInteger(round);
            insert.ParamByName("seq").setAsInteger(i);
            insert.ParamByName("payload").setAsString(QStringLiteral("Eintrag %1/%2 äöü").arg(client).arg(i));
            if (!insert.ExecSQL() || insert.RowsAffected() != 1)
                outcome.record(QStringLiteral("insert %1/%2: %3").arg(client).arg(i).arg(insert.lastError()));
            continue;
        }
        const int id = (client * 7 + i) % 40 + 1;
        read.ParamByName("id").setAsInteger(id);
        if (!read.Open() || read.Eof() || read.FieldByName("n_int").AsInteger() != id * 10 ||
            read.FieldByName("n_text").AsString() != QStringLiteral("Zeile %1").arg(id) || read.RecordCount() != 1)
            outcome.record(QStringLiteral("read %1/%2: %3").arg(client).arg(i).arg(read.lastError()));
    }
}

void runRound(int round, int statements, Outcome& outcome) {
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c)
        threads.emplace_back(runClient, c, round, statements, std::ref(outcome));
    for (std::thread& t : threads)
        t.join();
}

} // namespace

class tst_remotedb_load : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sixteenClientsTwoThousandStatementsEach();

private:
    RemoteDbTestbed m_bed;
};

void tst_remotedb_load::initTestCase() {
    QString error;
    QVERIFY2(m_bed.setUp(error), qPrintable(error));
    QVERIFY2(m_bed.cluster.exec(
                 QStringLiteral(
                     "CREATE TABLE s1_probe (mandant_id integer NOT NULL, id integer NOT NULL, n_int integer, "
                     "n_text citext, PRIMARY KEY (mandant_id, id));"
                     "CREATE TABLE s1_load (mandant_id integer NOT NULL, client integer, round integer, seq integer, "
                     "payload citext, PRIMARY KEY (mandant_id, client, round, seq));"
                     "ALTER TABLE s1_probe ENABLE ROW LEVEL SECURITY; ALTER TABLE s1_probe FORCE ROW LEVEL SECURITY;"
                     "ALTER TABLE s1_load ENABLE ROW LEVEL SECURITY; ALTER TABLE s1_load FORCE ROW LEVEL SECURITY;"
                     "CREATE POLICY t ON s1_probe USING (mandant_id = "
                     "nullif(current_setting('lumora.mandant_id', true), '')::integer);"
                     "CREATE POLICY t ON s1_load USING (mandant_id = "
                     "nullif(current_setting('lumora.mandant_id', true), '')::integer);"
                     "GRANT SELECT ON s1_probe TO lumora_service; GRANT SELECT, INSERT ON s1_load TO lumora_service;"
                     "INSERT INTO s1_probe SELECT 1, g, g * 10, 'Zeile ' || g FROM generate_series(1, 40) g;"),
                 &error),
             qPrintable(error));
}

void tst_remotedb_load::sixteenClientsTwoThousandStatementsEach() {
    // A short warm-up fills the service's pools and caches before memory is measured.
    Outcome warmUp;
    runRound(0, 200, warmUp);
    QCOMPARE(warmUp.wrong.load(), 0);
    const qint64 rssBefore = m_bed.service.residentKiB();
    QVERIFY(rssBefore > 0);

    Outcome outcome;
    QElapsedTimer timer;
    timer.start();
    runRound(1, StatementsPerClient, outcome);
    const qint64 elapsed = timer.elapsed();
    const qint64 rssAfter = m_bed.service.residentKiB();
    qInfo("%d statements in %lld ms; service memory %lld KiB before, %lld KiB after", Clients * StatementsPerClient,
          elapsed, rssBefore, rssAfter);

    QVERIFY2(outcome.wrong.load() == 0, qPrintable(outcome.firstErrors.join(u'\n')));
    const int expectedRows = Clients * (StatementsPerClient / InsertEvery);
    QCOMPARE(m_bed.cluster.queryValue(QStringLiteral("select count(*) from s1_load where round = 1")).toInt(),
             expectedRows);
    QCOMPARE(
        m_bed.cluster.queryValue(QStringLiteral("select count(distinct (client, seq)) from s1_load where round = 1"))
            .toInt(),
        expectedRows);
    // Flat: the main round sends ten times the warm-up's statements; a leak per request
    // would show as megabytes here.
    QVERIFY2(rssAfter - rssBefore < 8 * 1024,
             qPrintable(QStringLiteral("service grew from %1 to %2 KiB").arg(rssBefore).arg(rssAfter)));
    QVERIFY(m_bed.service.isRunning());
}

QTEST_GUILESS_MAIN(tst_remotedb_load)
#include "tst_remotedb_load.moc"

#include "core/DM_Sqlite1.h"
#include "sync/LocalFileHandover.h"
#include "sync/SyncConnection.h"
#include "sync/SyncQuery.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

int countRows(TMeineFDConnection* c, const QString& where = QString())
{
    TMeineFDQuery q(c);
    q.setSQL(QStringLiteral("select count(*) from t") + where);
    return q.Open() ? q.Fields(0).AsInteger() : -1;
}

} // namespace

class TestLocalDatabase : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<TMeineFDConnection> m_conn;
    QString path() const { return m_dir.filePath(QStringLiteral("Lumora.sqlite")); }

private slots:
    void init()
    {
        QFile::remove(path());
        m_conn = std::make_unique<TMeineFDConnection>(path());
        TMeineFDQuery q(m_conn.get());
        q.setSQL("create table t (id integer primary key, side text, txt nvarchar(50), d datetime, flag bit)");
        QVERIFY2(q.ExecSQL(), qPrintable(q.lastError()));
    }
    void cleanup()
    {
        m_conn.reset();
        QCOMPARE(TMeineFDConnection::getInstance(), nullptr);
    }

    void typedParametersAndFields()
    {
        TMeineFDQuery ins(m_conn.get());
        ins.setSQL("insert into t (side, txt, d, flag) values (:Side, :txt, :d, :flag)");
        ins.ParamByName("side").setAsString(QStringLiteral("main"));
        ins.ParamByName("TXT").setAsString(QStringLiteral("Grüße 日本 🙂"));
        ins.ParamByName("d").setAsDateTime(TDateTime::encodeDateTime(2026, 12, 11, 7, 30, 0, 5));
        ins.ParamByName("flag").setAsBoolean(true);
        QVERIFY2(ins.ExecSQL(), qPrintable(ins.lastError()));
        QCOMPARE(ins.RowsAffected(), 1);

        TMeineFDQuery sel(m_conn.get());
        sel.setSQL("select id, side, txt, d, flag, null as leer from t where side = ?");
        sel.Params(0).setAsString(QStringLiteral("main"));
        QVERIFY2(sel.Open(), qPrintable(sel.lastError()));
        QVERIFY(!sel.Eof());
        QCOMPARE(sel.FieldByName("TXT").AsString(), QStringLiteral("Grüße 日本 🙂"));
        QCOMPARE(sel.FieldByName("d").AsString(), QStringLiteral("2026-12-11 07:30:00.005"));
        QCOMPARE(sel.FieldByName("d").AsDateTime(), TDateTime::encodeDateTime(2026, 12, 11, 7, 30, 0, 5));
        QVERIFY(sel.FieldByName("flag").AsBoolean());
        QVERIFY(sel.FieldByName("leer").IsNull());
        QCOMPARE(sel.FieldByName("leer").AsInteger(), 0);
        QCOMPARE(sel.FieldByName("leer").AsString(), QString());
        QCOMPARE(sel.FieldByName("no_such_field").AsInteger(), 0);
        QVERIFY(!sel.Next());
        QVERIFY(sel.Eof());
    }

    void positionalParametersFollowFirstAppearance()
    {
        TMeineFDQuery q(m_conn.get());
        q.setSQL("insert into t (side, txt) values (:a, :b)");
        q.Params(0).setAsString(QStringLiteral("first"));
        q.Params(1).setAsString(QStringLiteral("second"));
        QVERIFY(q.ExecSQL());
        q.setSQL("select txt from t where side = :a or side = :A");
        q.Params(0).setAsString(QStringLiteral("first"));
        QVERIFY(q.Open());
        QCOMPARE(q.FieldByName("txt").AsString(), QStringLiteral("second"));
    }

    void failuresReportAndKeepData()
    {
        TMeineFDQuery q(m_conn.get());
        q.setSQL("insert into t (side) values ('kept')");
        QVERIFY(q.ExecSQL());
        q.setSQL("insert into no_such_table values (1)");
        QVERIFY(!q.ExecSQL());
        QVERIFY(q.lastError().contains(QStringLiteral("no_such_table")));
        q.setSQL("select * from no_such_table");
        QVERIFY(!q.Open());
        QVERIFY(q.Eof());
        QCOMPARE(q.FieldByName("x").AsString(), QString());
        QCOMPARE(countRows(m_conn.get()), 1);
    }

    void multiStatementTextRunsEveryStatement()
    {
        TMeineFDQuery q(m_conn.get());
        q.setSQL("insert into t (side) values ('a'); insert into t (side) values ('b');");
        QVERIFY(q.ExecSQL());
        QCOMPARE(q.RowsAffected(), 2);
        q.setSQL("delete from t where side = 'a'; select count(*) as n from t");
        QVERIFY(q.Open());
        QCOMPARE(q.FieldByName("n").AsInteger(), 1);
    }

    void liveQueriesCountAndDelayedClose()
    {
        auto a = std::make_unique<TMeineFDQuery>(m_conn.get());
        auto b = std::make_unique<TMeineFDQuery>(m_conn.get());
        QCOMPARE(m_conn->CountConnections(), 2);
        a->setSQL("select 1");
        QVERIFY(a->Open());
        QVERIFY(m_conn->isOpen());
        a.reset();
        b.reset();
        QCOMPARE(m_conn->CountConnections(), 0);
        QVERIFY(m_conn->isOpen()); // the grace period keeps it
        QTRY_VERIFY_WITH_TIMEOUT(!m_conn->isOpen(), 1000);
    }

    void queryWithinGraceKeepsConnection()
    {
        {
            TMeineFDQuery q(m_conn.get());
            q.setSQL("select 1");
            QVERIFY(q.Open());
        }
        QTest::qWait(40);
        auto again = std::make_unique<TMeineFDQuery>(m_conn.get());
        QTest::qWait(TMeineFDConnection::ReleaseDelayMSecs * 2);
        QVERIFY(m_conn->isOpen());
        again.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!m_conn->isOpen(), 1000);
    }

    void negativeCountLeavesZero()
    {
        m_conn->SetCountConnections(-1);
        QCOMPARE(m_conn->CountConnections(), 0);
    }

    void mainQueryWaitsWhileThreadUsesFile()
    {
        m_conn->release();
        TSyncConnection threadConn(path());
        std::atomic<bool> threadHasFile{false};
        std::atomic<qint64> threadReleasedAt{0};
        QElapsedTimer clock;
        clock.start();
        std::thread worker([&] {
            DatenAusCloud::TMeineFDQuery q(&threadConn);
            q.setSQL("insert into t (side) values ('thread')");
            QVERIFY(q.ExecSQL());
            threadHasFile = true;
            QThread::msleep(300);
            threadReleasedAt = clock.elapsed();
            // leaving the scope frees the thread's last query and closes its connection
        });
        QTRY_VERIFY(threadHasFile.load());
        {
            TMeineFDQuery q(m_conn.get());
            q.setSQL("insert into t (side) values ('main')");
            QVERIFY2(q.ExecSQL(), qPrintable(q.lastError()));
            QVERIFY(clock.elapsed() >= threadReleasedAt.load());
        }
        worker.join();
        QCOMPARE(countRows(m_conn.get()), 2);
    }

    // With a synchronisation thread already waiting, the end of the main thread's last query
    // hands the file over at once instead of keeping it idle for the grace.
    void waitingThreadGetsFileWhenLastMainQueryEnds()
    {
        TSyncConnection threadConn(path());
        auto mainQuery = std::make_unique<TMeineFDQuery>(m_conn.get());
        mainQuery->setSQL("insert into t (side) values ('main')");
        QVERIFY(mainQuery->ExecSQL());
        std::atomic<bool> threadWrote{false};
        std::thread worker([&] {
            DatenAusCloud::TMeineFDQuery q(&threadConn);
            q.setSQL("insert into t (side) values ('thread')");
            threadWrote = q.ExecSQL();
        });
        QTRY_VERIFY(LocalFileHandover::threadWaiting());
        mainQuery.reset();
        QVERIFY(!m_conn->isOpen()); // closed right away, not by the delayed release
        worker.join();
        QVERIFY(threadWrote.load());
        QCOMPARE(countRows(m_conn.get()), 2);
    }

    void bothSidesWriteWithoutLoss()
    {
        m_conn->release();
        TSyncConnection threadConn(path());
        constexpr int Rows = 40;
        std::atomic<int> threadFailures{0};
        std::atomic<bool> done{false};
        std::thread worker([&] {
            for (int i = 0; i < Rows; ++i) {
                {
                    DatenAusCloud::TMeineFDQuery q(&threadConn);
                    q.setSQL("insert into t (side) values ('thread')");
                    if (!q.ExecSQL())
                        ++threadFailures;
                }
                QThread::msleep(5);
            }
            done = true;
        });
        int mainFailures = 0;
        for (int i = 0; i < Rows; ++i) {
            {
                TMeineFDQuery q(m_conn.get());
                q.setSQL("insert into t (side) values ('main')");
                if (!q.ExecSQL())
                    ++mainFailures;
            }
            QTest::qWait(i % 5 == 0 ? 150 : 1); // idle now and then, so the file is released
        }
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 30000);
        worker.join();
        QCOMPARE(mainFailures, 0);
        QCOMPARE(threadFailures.load(), 0);
        QCOMPARE(countRows(m_conn.get(), QStringLiteral(" where side = 'main'")), Rows);
        QCOMPARE(countRows(m_conn.get(), QStringLiteral(" where side = 'thread'")), Rows);
    }

    void fileThatIsNoDatabaseIsLeftAlone()
    {
        const QString bogus = m_dir.filePath(QStringLiteral("bogus.sqlite"));
        QFile f(bogus);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray content(4096, 'x');
        f.write(content);
        f.close();
        TSqliteConnection c(bogus);
        QVERIFY(!c.open());
        QVERIFY(c.lastError().contains(bogus));
        QFile back(bogus);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), content);
    }

    void fileLocationBelowAppData()
    {
        QTemporaryDir appdata;
        qputenv("APPDATA", appdata.path().toUtf8());
        const QString p = GetDBFilePathAndName();
        qunsetenv("APPDATA");
        QCOMPARE(p, appdata.path() + QStringLiteral("/Lumora/DB/Lumora.sqlite"));
        QVERIFY(QFileInfo(appdata.path() + QStringLiteral("/Lumora/DB")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestLocalDatabase)
#include "tst_local_database.moc"

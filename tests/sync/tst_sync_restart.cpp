// The row budget with its restart, and runs that end badly: the service going away in the
// middle of a batch, the process killed in the middle of a cycle, and the main thread
// writing all the while.

#include "SyncTestbed.h"

#include "core/clock.h"
#include "core/settingskeys.h"
#include "sync/LocalFileHandover.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {

const char* const ChildFileVariable = "LUMORA_SYNC_CHILD_FILE";

// The child process of the kill test: one sync run on the given file, printing its progress.
int runChild(const QString& path)
{
    SyncProcess::useFile(path);
    TNotifyUpdateThread notify;
    QObject receiver;
    notify.context = &receiver;
    notify.callback = [](TDatenAusCloudThread* sender, TSyncStatus status, int wert) {
        if (status == TSyncStatus::SyncFortschritt) {
            printf("FORTSCHRITT %d\n", wert);
            fflush(stdout);
        }
        if (status == TSyncStatus::SyncRestart)
            sender->Terminate();
    };
    std::unique_ptr<TDatenAusCloudThread> thread(TDatenAusCloudThread::CreateWithSync(
        *SyncProcess::connection(), SyncServer::Pin, SyncServer::kennwort(), 3, notify, 0, 1, false,
        QStringLiteral("1.0.0-test")));
    while (!thread->isFinished())
        QTest::qWait(5);
    return 0;
}

QString adressen(int von, int anzahl)
{
    return QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name, adr_ort) select %1, g, g, "
                          "'%2', '%3' from generate_series(%4, %5) g")
        .arg(SyncServer::Mandant)
        .arg(SyncServer::scrambled(QStringLiteral("Kunde")), SyncServer::scrambled(QStringLiteral("Zürich")))
        .arg(von)
        .arg(von + anzahl - 1);
}

} // namespace

class TestSyncRestart : public QObject {
    Q_OBJECT
    std::unique_ptr<SyncServer> m_server;

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<SyncServer>();
        QString error;
        QVERIFY2(m_server->setUp(error), qPrintable(error));
    }
    void cleanupTestCase()
    {
        SyncProcess::shutdown();
        m_server.reset();
    }
    void init() { Clock::reset(); }
    void cleanup() { Clock::reset(); }

    void budgetEndsRunWithRestartAndNextRunResumes()
    {
        QVERIFY(m_server->exec(adressen(100001, 10001)));
        SyncClient a(QStringLiteral("a-budget"));
        int beimNeustart = -1;
        int neustartMarke = -1;
        const SyncClient::Lauf lauf = a.synchronisiere(300000, [&](TDatenAusCloudThread*, TSyncStatus status, int) {
            if (status == TSyncStatus::SyncRestart && beimNeustart < 0) {
                // The receiver may look at the file while the thread waits for it.
                beimNeustart = a.count(QStringLiteral("A_ADRESSEN where ADR_ID > 100000"));
                neustartMarke = a.value(QStringLiteral("select IstNeustart from SyncFortschritt where TabellenName = "
                                                       "'A_Adressen'"))
                                    .toInt();
            }
        });
        QVERIFY(lauf.meldungen.contains(TSyncStatus::SyncRestart));
        QCOMPARE(beimNeustart, 10001);
        QCOMPARE(neustartMarke, 1);
        QVERIFY(lauf.threads >= 2);
        QVERIFY(lauf.fertig());
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID > 100000")), 10001);
        QCOMPARE(a.value(QStringLiteral("select count(distinct ADR_ID) from A_ADRESSEN where ADR_ID > 100000")).toInt(), 10001);
        QCOMPARE(a.value(QStringLiteral("select ADR_Ort from A_ADRESSEN where ADR_ID = 110001")).toString(),
                 QStringLiteral("Zürich"));
        QCOMPARE(a.count(QStringLiteral("SyncFortschritt where IstNeustart <> 0")), 0);
        QCOMPARE(SyncProcess::tdm().InternalLeseBool(SettingKey::BinAmSynchen, true), false);
        QVERIFY(m_server->exec(QStringLiteral("delete from a_adressen where adr_id > 100000")));
    }

    // The budget cuts the addresses short while a table copied before them already holds
    // the tenant's newest stamp: the resumed run must still finish the cut table and copy
    // every table behind it, or their rows are missing (and a reload's marked rows purged).
    void resumedRunFinishesCutTableWhateverTableHoldsNewestStamp_data()
    {
        QTest::addColumn<bool>("eintraegeZuletzt");
        QTest::newRow("entries changed after the addresses") << true;
        QTest::newRow("addresses changed last") << false;
    }
    void resumedRunFinishesCutTableWhateverTableHoldsNewestStamp()
    {
        QFETCH(bool, eintraegeZuletzt);
        // Own ids per case: the server only flags deleted master data, so ids are not reused.
        const int basis = eintraegeZuletzt ? 0 : 100000;
        const QString eintraege =
            QStringLiteral("insert into z_erfassung (mandant_id, zer_id, mobileid, zer_lpe, zer_zka, zer_type, zer_datum, "
                           "zer_text, owner) select %1, g, 0, 3, '%2', 1, date_trunc('day', now()), '%3', 0 from "
                           "generate_series(%4, %5) g")
                .arg(SyncServer::Mandant)
                .arg(SyncServer::scrambled(QStringLiteral("100")), SyncServer::scrambled(QStringLiteral("Serie")))
                .arg(600001 + basis)
                .arg(600040 + basis);
        const QString personal = QStringLiteral("insert into a_personal (mandant_id, lpe_id, lpe_nr, lpe_suchbez) values "
                                                "(%1, %3, %3, '%2')")
                                     .arg(SyncServer::Mandant)
                                     .arg(SyncServer::scrambled(QStringLiteral("Hinter dem Schnitt")))
                                     .arg(600001 + basis);
        QVERIFY(m_server->exec(personal));
        if (!eintraegeZuletzt)
            QVERIFY(m_server->exec(eintraege));
        QVERIFY(m_server->exec(adressen(400001 + basis, 9990)));
        if (eintraegeZuletzt)
            QVERIFY(m_server->exec(eintraege));

        SyncClient a(QStringLiteral("a-newest-%1").arg(eintraegeZuletzt));
        const SyncClient::Lauf lauf = a.synchronisiere(300000);
        QVERIFY(lauf.meldungen.contains(TSyncStatus::SyncRestart));
        QVERIFY(lauf.fertig());
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where ZER_ID between %1 and %2").arg(600001 + basis).arg(600040 + basis)),
                 40);
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID between %1 and %2").arg(400001 + basis).arg(409990 + basis)),
                 9990);
        QCOMPARE(a.value(QStringLiteral("select LPE_Suchbez from A_PERSONAL where LPE_ID = %1").arg(600001 + basis)).toString(),
                 QStringLiteral("Hinter dem Schnitt"));
        QCOMPARE(a.count(QStringLiteral("SyncFortschritt where IstNeustart <> 0")), 0);
        QVERIFY(m_server->exec(QStringLiteral("delete from a_adressen where adr_id between %1 and %2; "
                                              "delete from z_erfassung where zer_id between %3 and %4")
                                   .arg(400001 + basis)
                                   .arg(409990 + basis)
                                   .arg(600001 + basis)
                                   .arg(600040 + basis)));
    }

    void serviceStoppedInBatchEndsRunAndNextCheckResumes()
    {
        SyncClient a(QStringLiteral("a-stop"));
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(m_server->exec(QStringLiteral(
            "insert into z_erfassung (mandant_id, zer_id, mobileid, zer_lpe, zer_zka, zer_type, zer_datum, zer_text, owner) "
            "select %1, g, 0, 3, '%2', 1, date_trunc('day', now()), '%3', 0 from generate_series(500001, 504500) g")
                                   .arg(SyncServer::Mandant)
                                   .arg(SyncServer::scrambled(QStringLiteral("100")), SyncServer::scrambled(QStringLiteral("Serie")))));
        bool gestoppt = false;
        const SyncClient::Lauf lauf = a.synchronisiere(120000, [&](TDatenAusCloudThread*, TSyncStatus status, int) {
            if (status == TSyncStatus::SyncFortschritt && !gestoppt && a.count(QStringLiteral("Z_ERFASSUNG")) > 0) {
                m_server->service.stop();
                gestoppt = true;
            }
        });
        QVERIFY(gestoppt);
        QVERIFY(!lauf.fertig());
        QVERIFY(SyncProcess::tdm().InternalLeseBool(SettingKey::BinAmSynchen, false));
        const int teilweise = a.count(QStringLiteral("Z_ERFASSUNG where ZER_ID > 500000"));
        QVERIFY2(teilweise > 0 && teilweise < 4500, qPrintable(QString::number(teilweise)));

        QVERIFY2(m_server->service.start(), qPrintable(m_server->service.error()));
        m_server->service.configureClient();
        QVERIFY(a.pruefe());
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where ZER_ID > 500000")), 4500);
        QCOMPARE(a.value(QStringLiteral("select MobileID from Z_ERFASSUNG where ZER_ID = 500001")).toInt(), 500001);
        QCOMPARE(a.value(QStringLiteral("select ZER_Text from Z_ERFASSUNG where ZER_ID = 504500")).toString(),
                 QStringLiteral("Serie"));
        QVERIFY(!SyncProcess::tdm().InternalLeseBool(SettingKey::BinAmSynchen, true));
        QVERIFY(m_server->exec(QStringLiteral("delete from z_erfassung where zer_id > 500000")));
        QVERIFY(a.synchronisiere().fertig());
    }

    void mainThreadWritesDuringFullReloadAreAllKept()
    {
        // Enough rows for two runs and a writer fast enough to meet every part of the reload.
        QVERIFY(m_server->exec(adressen(200001, 15000)));
        SyncClient a(QStringLiteral("a-main-loop"));
        int geschrieben = 0;
        int fehlgeschlagen = 0;
        QTimer schreiber;
        QObject::connect(&schreiber, &QTimer::timeout, &a.receiver, [&] {
            if (a.erfasseEintrag(QStringLiteral("während des Ladens %1").arg(geschrieben)) != 0 &&
                a.count(QStringLiteral("Z_ERFASSUNG where ZER_Text = 'während des Ladens %1'").arg(geschrieben)) == 1)
                ++geschrieben;
            else
                ++fehlgeschlagen;
        });
        LocalFileHandover::resetStatistics();
        schreiber.start(20);
        const SyncClient::Lauf lauf = a.synchronisiere();
        schreiber.stop();
        QVERIFY(lauf.fertig());
        QVERIFY(geschrieben > 5);
        QCOMPARE(fehlgeschlagen, 0);
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where ZER_Text like 'während des Ladens %'")), geschrieben);
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID > 200000")), 15000);
        qInfo("main thread wrote %d entries; its longest wait for the file: %.1f ms", geschrieben,
              LocalFileHandover::longestMainWaitMSecs());
        QVERIFY(m_server->exec(QStringLiteral("delete from a_adressen where adr_id > 200000")));
    }

    void killedProcessLosesNothingAndResumes()
    {
        QVERIFY(m_server->exec(adressen(300001, 8000)));
        SyncClient a(QStringLiteral("a-kill"));
        const int eintrag = a.erfasseEintrag(QStringLiteral("vor dem Absturz"));
        SyncProcess::useFile(QString()); // the file belongs to the child now

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildFileVariable), a.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QByteArray ausgabe;
        QTRY_VERIFY_WITH_TIMEOUT((ausgabe += child.readAllStandardOutput()).count("FORTSCHRITT") >= 20, 120000);
        child.kill();
        QVERIFY(child.waitForFinished());

        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1").arg(eintrag)), 1);
        QVERIFY(SyncProcess::tdm().InternalLeseBool(SettingKey::BinAmSynchen, false));
        const int teilweise = a.count(QStringLiteral("A_ADRESSEN where ADR_ID > 300000"));
        QVERIFY2(teilweise < 8000, qPrintable(QString::number(teilweise)));
        QVERIFY(a.pruefe());
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID > 300000")), 8000);
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1 and Owner = 0").arg(eintrag)), 1);
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(eintrag)).toInt(), 1);
        QVERIFY(m_server->exec(QStringLiteral("delete from a_adressen where adr_id > 300000")));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString childFile = qEnvironmentVariable(ChildFileVariable);
    if (!childFile.isEmpty())
        return runChild(childFile);
    TestSyncRestart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sync_restart.moc"

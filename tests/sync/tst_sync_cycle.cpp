// Two devices against one real service: what one records reaches the other with the
// server's ids, and the conflict, deletion, reload and key rules hold end to end.

#include "SyncTestbed.h"

#include "core/clock.h"
#include "core/settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QTest>
#include <QTimer>

class TestSyncCycle : public QObject {
    Q_OBJECT
    std::unique_ptr<SyncServer> m_server;

    // Uploads on a and brings the server's row back, so a's row carries the server's id.
    void hinUndZurueck(SyncClient& a)
    {
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(a.synchronisiere().fertig());
    }

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

    void entryAndPresenceReachOtherDeviceWithServerIds()
    {
        SyncClient a(QStringLiteral("a-ids")), b(QStringLiteral("b-ids"));
        const QString text = QStringLiteral("Dachstuhl abgebunden – Größe 4×6 m");
        const int mobileZer = a.erfasseEintrag(text);
        const int mobileZpz = a.erfassePraesenz();

        QVERIFY(a.synchronisiere().fertig());
        const int serverZer =
            m_server->value(QStringLiteral("select zer_id from z_erfassung where mobileid = %1").arg(mobileZer)).toInt();
        const int serverZpz =
            m_server->value(QStringLiteral("select zpz_id from z_praesenzzeit where mobileid = %1").arg(mobileZpz)).toInt();
        QVERIFY(serverZer > 0);
        QVERIFY(serverZpz > 0);
        // The server keeps the text scrambled with the tenant's keys.
        const QString aufServer =
            m_server->value(QStringLiteral("select zer_text from z_erfassung where zer_id = %1").arg(serverZer)).toString();
        QVERIFY(aufServer != text);
        QCOMPARE(SyncServer::plain(aufServer), text);
        QCOMPARE(a.value(QStringLiteral("select CloudStatus from Z_ERFASSUNG where MobileID = %1").arg(mobileZer)).toInt(), 1);
        QCOMPARE(a.value(QStringLiteral("select Owner from Z_ERFASSUNG where MobileID = %1").arg(mobileZer)).toInt(), 0);

        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobileZer)).toInt(), serverZer);
        QCOMPARE(a.value(QStringLiteral("select ZPZ_ID from Z_PRAESENZZEIT where MobileID = %1").arg(mobileZpz)).toInt(), serverZpz);
        QCOMPARE(a.value(QStringLiteral("select CloudStatus from Z_ERFASSUNG where MobileID = %1").arg(mobileZer)).toInt(), 2);
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1").arg(mobileZer)), 1);

        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.value(QStringLiteral("select ZER_Text from Z_ERFASSUNG where ZER_ID = %1").arg(serverZer)).toString(), text);
        QCOMPARE(b.value(QStringLiteral("select MobileID from Z_ERFASSUNG where ZER_ID = %1").arg(serverZer)).toInt(), mobileZer);
        QCOMPARE(b.value(QStringLiteral("select ZER_MUTUSER from Z_ERFASSUNG where ZER_ID = %1").arg(serverZer)).toString(),
                 QStringLiteral("mm-lm"));
        QCOMPARE(b.count(QStringLiteral("Z_PRAESENZZEIT where ZPZ_ID = %1 and MobileID = %2").arg(serverZpz).arg(mobileZpz)), 1);
    }

    void onlyCompleteBookedEntriesGoUp_data()
    {
        QTest::addColumn<QString>("aenderung");
        QTest::addColumn<bool>("hochgeladen");
        QTest::newRow("complete with cost type") << QString() << true;
        QTest::newRow("still incomplete") << QStringLiteral("komplett = 1") << false;
        QTest::newRow("held for editing") << QStringLiteral("gesperrt = 1") << false;
        QTest::newRow("no cost type") << QStringLiteral("ZER_ZKA = ''") << false;
        QTest::newRow("no cost type but kind 9") << QStringLiteral("ZER_ZKA = '', ZER_Type = 9") << true;
    }
    void onlyCompleteBookedEntriesGoUp()
    {
        QFETCH(QString, aenderung);
        QFETCH(bool, hochgeladen);
        SyncClient a(QStringLiteral("a-filter-") + QString::fromLatin1(QTest::currentDataTag()));
        const int mobile = a.erfasseEintrag(QStringLiteral("Filter"));
        if (!aenderung.isEmpty())
            QVERIFY(a.exec(QStringLiteral("update Z_ERFASSUNG set %1 where MobileID = %2").arg(aenderung).arg(mobile)));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(mobile)).toInt(),
                 hochgeladen ? 1 : 0);
    }

    void longTextIsCutTo4000Characters()
    {
        SyncClient a(QStringLiteral("a-long"));
        const QString text = QString(3999, u'x') + QStringLiteral("äZ");
        const int mobile = a.erfasseEintrag(text);
        QVERIFY(a.synchronisiere().fertig());
        const QString aufServer = SyncServer::plain(
            m_server->value(QStringLiteral("select zer_text from z_erfassung where mobileid = %1").arg(mobile)).toString());
        QCOMPARE(aufServer, text.left(4000));
    }

    void changeDuringUploadGoesUpAgain()
    {
        SyncClient a(QStringLiteral("a-during"));
        const int mobile = a.erfasseEintrag(QStringLiteral("erste Fassung"));
        // The server takes its time over this insert; meanwhile the user edits the entry.
        QVERIFY(m_server->exec(QStringLiteral(
            "CREATE OR REPLACE FUNCTION test_langsam() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "PERFORM pg_sleep(1.5); RETURN NEW; END $$; "
            "CREATE TRIGGER test_langsam BEFORE INSERT ON z_erfassung FOR EACH ROW EXECUTE FUNCTION test_langsam();")));
        bool geaendert = false;
        QTimer beobachter;
        QObject::connect(&beobachter, &QTimer::timeout, &a.receiver, [&] {
            if (geaendert || m_server->value(QStringLiteral("select count(*) from pg_stat_activity where wait_event = "
                                                            "'PgSleep'"))
                                     .toInt() == 0)
                return;
            geaendert = a.exec(QStringLiteral("update Z_ERFASSUNG set ZER_Text = 'zweite Fassung', Owner = 1, "
                                              "ZER_MUTDAT = '%1' where MobileID = %2")
                                   .arg(DTDatetimeToString(Clock::now().addSeconds(1)))
                                   .arg(mobile));
        });
        beobachter.start(50);
        QVERIFY(a.synchronisiere().fertig());
        beobachter.stop();
        QVERIFY(m_server->exec(QStringLiteral("DROP TRIGGER test_langsam ON z_erfassung")));
        QVERIFY(geaendert);
        QCOMPARE(a.value(QStringLiteral("select Owner from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt(), 1);
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(SyncServer::plain(
                     m_server->value(QStringLiteral("select zer_text from z_erfassung where mobileid = %1").arg(mobile))
                         .toString()),
                 QStringLiteral("zweite Fassung"));
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(mobile)).toInt(), 1);
    }

    void newerLocalChangeWinsBy500Ms_data()
    {
        QTest::addColumn<int>("lokalSpaeterMs");
        QTest::addColumn<bool>("lokalGewinnt");
        QTest::newRow("499 ms: server wins") << 499 << false;
        QTest::newRow("500 ms: device wins") << 500 << true;
    }
    void newerLocalChangeWinsBy500Ms()
    {
        QFETCH(int, lokalSpaeterMs);
        QFETCH(bool, lokalGewinnt);
        SyncClient a(QStringLiteral("a-500-%1").arg(lokalSpaeterMs));
        const int mobile = a.erfasseEintrag(QStringLiteral("Ausgangstext"));
        hinUndZurueck(a);
        const int id = a.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt();
        QVERIFY(id > 0);
        // The office changes the entry, stamped at T; the device's copy was changed at T + delta.
        const TDateTime t = Clock::now().addSeconds(-30);
        QVERIFY(m_server->exec(QStringLiteral("update z_erfassung set zer_text = '%1', zer_mutdat = '%2' where zer_id = %3")
                                   .arg(SyncServer::scrambled(QStringLiteral("Büro")), DTDatetimeToString(t))
                                   .arg(id)));
        QVERIFY(a.exec(QStringLiteral("update Z_ERFASSUNG set ZER_Text = 'Gerät', ZER_MUTDAT = '%1' where ZER_ID = %2")
                           .arg(DTDatetimeToString(t.addMSecs(lokalSpaeterMs)))
                           .arg(id)));
        const TDateTime vorher = Clock::now();
        QVERIFY(a.synchronisiere().fertig());
        if (lokalGewinnt) {
            // Queued again with a fresh change time; the upload of the same cycle already sent it.
            QVERIFY(a.value(QStringLiteral("select ZER_MUTDAT from Z_ERFASSUNG where ZER_ID = %1").arg(id)).toString() >=
                    DTDatetimeToString(vorher));
            QCOMPARE(SyncServer::plain(
                         m_server->value(QStringLiteral("select zer_text from z_erfassung where zer_id = %1").arg(id)).toString()),
                     QStringLiteral("Gerät"));
        } else {
            QCOMPARE(a.value(QStringLiteral("select ZER_Text from Z_ERFASSUNG where ZER_ID = %1").arg(id)).toString(),
                     QStringLiteral("Büro"));
            QCOMPARE(a.value(QStringLiteral("select CloudStatus from Z_ERFASSUNG where ZER_ID = %1").arg(id)).toInt(), 2);
        }
    }

    void pendingLocalRowIsNotOverwritten()
    {
        SyncClient a(QStringLiteral("a-pending"));
        const int mobile = a.erfasseEintrag(QStringLiteral("Ausgang"));
        hinUndZurueck(a);
        const int id = a.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt();
        QVERIFY(m_server->exec(QStringLiteral("update z_erfassung set zer_text = '%1' where zer_id = %2")
                                   .arg(SyncServer::scrambled(QStringLiteral("Büro")))
                                   .arg(id)));
        // Edited on the device and still being edited: the server's row must not land on it.
        QVERIFY(a.exec(QStringLiteral("update Z_ERFASSUNG set ZER_Text = 'Gerät', Owner = 1, gesperrt = 1, "
                                      "ZER_MUTDAT = '%1' where ZER_ID = %2")
                           .arg(DTDatetimeToString(Clock::now().addSeconds(-3600)))
                           .arg(id)));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.value(QStringLiteral("select ZER_Text from Z_ERFASSUNG where ZER_ID = %1").arg(id)).toString(),
                 QStringLiteral("Gerät"));
    }

    void deletionsReachTheOtherSide()
    {
        SyncClient a(QStringLiteral("a-del")), b(QStringLiteral("b-del"));
        const int aufA = a.erfasseEintrag(QStringLiteral("auf A gelöscht"));
        const int imBuero = a.erfasseEintrag(QStringLiteral("im Büro gelöscht"));
        hinUndZurueck(a);
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Z_ERFASSUNG where MobileID in (%1, %2)").arg(aufA).arg(imBuero)), 2);

        QVERIFY(a.exec(QStringLiteral("update Z_ERFASSUNG set geloescht = 1, Owner = 1 where MobileID = %1").arg(aufA)));
        QVERIFY(m_server->exec(QStringLiteral("delete from z_erfassung where mobileid = %1").arg(imBuero)));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1").arg(aufA)), 0);
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1").arg(imBuero)), 0);
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Z_ERFASSUNG where MobileID in (%1, %2)").arg(aufA).arg(imBuero)), 0);
    }

    void teamRecordingReachesOtherDeviceLinked()
    {
        SyncClient a(QStringLiteral("a-team")), b(QStringLiteral("b-team"));
        const QString guid = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
        QList<int> mobile;
        for (int lpe : {3, 4, 5}) {
            mobile << a.erfasseEintrag(QStringLiteral("Team Montage"), lpe);
            QVERIFY(a.exec(QStringLiteral("insert into Lumora_Team (Mandant_ID, PTT_ZER_ID, PTT_MobileID, PTT_GUID, "
                                          "PTT_Inaktiv, PTT_ERFDAT, PTT_ERFUSER, PTT_MUTDAT, PTT_MUTUSER, Owner) values "
                                          "(%1, %2, %2, '%3', 0, '%4', 'mm-lm', '%4', 'mm-lm', 1)")
                               .arg(SyncServer::Mandant)
                               .arg(mobile.last())
                               .arg(guid, DTDatetimeToString(Clock::now()))));
        }
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Lumora_Team where Owner = 1")), 0);
        QVERIFY(b.synchronisiere().fertig());
        for (int m : mobile) {
            QCOMPARE(b.count(QStringLiteral("Lumora_Team where PTT_MobileID = %1 and upper(PTT_GUID) = '%2'").arg(m).arg(guid)), 1);
            QCOMPARE(b.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1 and ZER_ID > 0").arg(m)), 1);
        }
        QCOMPARE(b.value(QStringLiteral("select PTT_ERFUSER from Lumora_Team where PTT_MobileID = %1").arg(mobile[0])).toString(),
                 QStringLiteral("mm-lm"));
    }

    void fullReloadKeepsUnconfirmedRowsAndDropsVanishedOnes()
    {
        SyncClient a(QStringLiteral("a-reload"));
        QVERIFY(m_server->exec(QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name) values (%1, 9001, 9001, '%2')")
                                   .arg(SyncServer::Mandant)
                                   .arg(SyncServer::scrambled(QStringLiteral("Müller Holz")))));
        const int bestaetigt = a.erfasseEintrag(QStringLiteral("bestätigt"));
        hinUndZurueck(a);
        QCOMPARE(a.value(QStringLiteral("select ADR_Name from A_ADRESSEN where ADR_ID = 9001")).toString(),
                 QStringLiteral("Müller Holz"));
        // Rows the server no longer has, and one recorded here that never went up.
        QVERIFY(a.exec(QStringLiteral("insert into A_ADRESSEN (Mandant_ID, ADR_ID, ADR_Name) values (%1, 9999, 'weg')")
                           .arg(SyncServer::Mandant)));
        const int unbestaetigt = a.erfasseEintrag(QStringLiteral("noch in Arbeit"));
        QVERIFY(a.exec(QStringLiteral("update Z_ERFASSUNG set komplett = 1 where MobileID = %1").arg(unbestaetigt)));

        SyncProcess::tdm().LastSyncDateSET(TDateTime::encodeDate(2000, 1, 1), SyncServer::Mandant);
        QCOMPARE(a.count(QStringLiteral("SyncFortschritt")), 0);
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID = 9999")), 0);
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN where ADR_ID = 9001 and FlagGeloescht = 0")), 1);
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1").arg(unbestaetigt)), 1);
        QCOMPARE(a.count(QStringLiteral("Z_ERFASSUNG where MobileID = %1 and ZER_ID > 0").arg(bestaetigt)), 1);
    }

    void tenantStatus2UploadsNothing()
    {
        SyncClient a(QStringLiteral("a-status2"), 2);
        const int mobile = a.erfasseEintrag(QStringLiteral("bleibt hier"));
        a.exec(QStringLiteral("update Z_ERFASSUNG set gesperrt = 1, ZER_MUTDAT = '%1' where MobileID = %2")
                   .arg(DTDatetimeToString(Clock::now().addDays(-1)))
                   .arg(mobile));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(mobile)).toInt(), 0);
        // Not even a stale lock is released.
        QCOMPARE(a.value(QStringLiteral("select gesperrt from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt(), 1);
    }

    void wrongKeyTripleMovesNothing()
    {
        SyncClient a(QStringLiteral("a-crypto"), 0, SyncServer::Crypto1 + 1);
        QVERIFY(m_server->exec(QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name) values (%1, 9100, 9100, 'x')")
                                   .arg(SyncServer::Mandant)));
        const int mobile = a.erfasseEintrag(QStringLiteral("darf nicht hoch"));
        const SyncClient::Lauf lauf = a.synchronisiere();
        QVERIFY(lauf.meldungen.contains(TSyncStatus::SyncCryptoError));
        QVERIFY(!lauf.fertig());
        QCOMPARE(a.count(QStringLiteral("A_ADRESSEN")), 0);
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(mobile)).toInt(), 0);
    }

    void repairQueuesRowsTheServerLost()
    {
        SyncClient a(QStringLiteral("a-repair"));
        const int mobile = a.erfasseEintrag(QStringLiteral("verloren"));
        QVERIFY(a.synchronisiere().fertig());
        // In step with the server, then the server loses the row it confirmed, without a trace:
        // only the check pass's repair can notice and queue it again.
        a.exec(QStringLiteral("update MandantenLogIn set SyncTimeStamp = '%1', LastSyncDate = '%2'")
                   .arg(m_server->value(QStringLiteral("select to_char(dtserver, 'YYYY-MM-DD HH24:MI:SS.MS') from "
                                                       "syncversion where mandant_id = %1")
                                            .arg(SyncServer::Mandant))
                            .toString(),
                        DTDatetimeToString(Clock::now())));
        QVERIFY(m_server->exec(QStringLiteral("alter table z_erfassung disable trigger user; "
                                              "delete from z_erfassung where mobileid = %1; "
                                              "alter table z_erfassung enable trigger user;")
                                   .arg(mobile)));
        QCOMPARE(a.value(QStringLiteral("select Owner from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt(), 0);
        QVERIFY(a.pruefe());
        QCOMPARE(a.value(QStringLiteral("select Owner from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt(), 1);
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from z_erfassung where mobileid = %1").arg(mobile)).toInt(), 1);
    }

    void checkThreadReportsPendingWorkAndRequests()
    {
        SyncClient a(QStringLiteral("a-check"));
        QVERIFY(a.pruefe()); // never synchronised: far more than 30 days ago
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(!a.pruefe(4000));
        a.erfasseEintrag(QStringLiteral("neu"));
        QVERIFY(a.pruefe());
    }
};

QTEST_GUILESS_MAIN(TestSyncCycle)
#include "tst_sync_cycle.moc"

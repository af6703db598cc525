// Two devices against one real service with planning in use: assignments, planning teams,
// their members and the users' team permissions reach the other device, deletions reach
// the server, and what a device changed is not lost to a download or a clean-up.

#include "SyncTestbed.h"

#include "core/clock.h"
#include "core/settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QTest>
#include <QUuid>

namespace {

const QString OhneTeam = QStringLiteral("{1AB3147F-3B77-4F39-8497-6B7869FF2D05}");

QString neueGuid() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString sql(const QString& s) {
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

// The server keeps GUIDs as uuid; this is how a query of ours spells one.
QString uuid(const QString& guid) {
    return guid.mid(1, 36).toLower();
}

struct Eintrag {
    QString guid = neueGuid();
    QString betreff = QStringLiteral("Küche Meier");
    QString text = QStringLiteral("Oberschränke hängen");
    QString team = OhneTeam;
    int owner = 1;
    int gesperrt = 0;
    int geloescht = 0;
};

} // namespace

class TestSyncPlanning : public QObject {
    Q_OBJECT
    std::unique_ptr<SyncServer> m_server;

    QVariant server(const QString& query) const { return m_server->value(query); }
    int serverVersion() const {
        return server(
                   QStringLiteral("select id_planung from syncversion where mandant_id = %1").arg(SyncServer::Mandant))
            .toInt();
    }

    // A device that has had its first run (a full reload) behind it.
    static void bereit(SyncClient& c) { QVERIFY(c.synchronisiere().fertig()); }

    static void plane(SyncClient& c, const Eintrag& e) {
        const QString jetzt = sql(DTDatetimeToString(Clock::now()));
        const QString heute = DTDatetimeToString(Clock::today());
        QVERIFY(
            c.exec(QStringLiteral("insert or replace into Planung (Mandant_ID, MPL_GUID, MPL_Datum, MPL_Betreff, "
                                  "MPL_Text, MPL_MTM_GUID, MPL_ERFDAT, MPL_ERFUSER, MPL_MUTDAT, MPL_MUTUSER, Owner, "
                                  "gesperrt, geloescht, ObjektAuftrag, MPL_RKA_ID_A, MPL_KA, MPL_Erledigt, MPL_von, "
                                  "MPL_bis) values (%1, '%2', '%3', %4, %5, '%6', %7, 'mm', %7, 'mm', %8, %9, %10, "
                                  "'A-24117 Holzterrasse', 17, '100', 0, '%11', '%12')")
                       .arg(SyncServer::Mandant)
                       .arg(e.guid, heute.left(10) + QStringLiteral(" 00:00:00.000"), sql(e.betreff), sql(e.text),
                            e.team, jetzt)
                       .arg(e.owner)
                       .arg(e.gesperrt)
                       .arg(e.geloescht)
                       .arg(heute.left(10) + QStringLiteral(" 07:00:00.000"),
                            heute.left(10) + QStringLiteral(" 12:00:00.000"))));
    }

    // An assignment planned on a that both devices have after their runs.
    static Eintrag teile(SyncClient& a, SyncClient& b) {
        Eintrag e;
        bereit(a);
        bereit(b);
        plane(a, e);
        [&] {
            QVERIFY(a.synchronisiere().fertig());
            QVERIFY(b.synchronisiere().fertig());
            QCOMPARE(b.count(QStringLiteral("Planung where MPL_GUID = '%1'").arg(e.guid)), 1);
        }();
        return e;
    }

    static void neuesTeam(SyncClient& c, const QString& guid, const QString& name, const QList<int>& mitglieder) {
        const QString jetzt = sql(DTDatetimeToString(Clock::now()));
        QVERIFY(c.exec(QStringLiteral("insert into Planung_Team (Mandant_ID, MTM_GUID, MTM_Bezeichnung, MTM_Farbe, "
                                      "MTM_ERFDAT, MTM_ERFUSER, MTM_MUTDAT, MTM_MUTUSER, Owner) values (%1, '%2', %3, "
                                      "4283215696, %4, 'mm', %4, 'mm', 1)")
                           .arg(SyncServer::Mandant)
                           .arg(guid, sql(name), jetzt)));
        for (int i = 0; i < mitglieder.size(); ++i)
            QVERIFY(c.exec(QStringLiteral("insert into Planung_TeamPersonal (Mandant_ID, MTP_GUID_Team, MTP_LPE_ID, "
                                          "MTP_Leader, MTP_ERFDAT, MTP_ERFUSER, MTP_MUTDAT, MTP_MUTUSER, Owner) values "
                                          "(%1, '%2', %3, %4, %5, 'mm', %5, 'mm', 1)")
                               .arg(SyncServer::Mandant)
                               .arg(guid)
                               .arg(mitglieder[i])
                               .arg(i == 0 ? 1 : 0)
                               .arg(jetzt)));
    }

    // A team the office writes, announced by a new planning version.
    void buerosTeam(const QString& guid, const QString& name) {
        const int version = serverVersion() + 1;
        QVERIFY(m_server->exec(QStringLiteral("insert into planung_team (mandant_id, mtm_guid, mtm_bezeichnung, "
                                              "syncversion) values (%1, '%2', %3, %4); update syncversion set "
                                              "id_planung = %4 where mandant_id = %1")
                                   .arg(SyncServer::Mandant)
                                   .arg(guid, sql(name))
                                   .arg(version)));
    }

private slots:
    void initTestCase() {
        m_server = std::make_unique<SyncServer>();
        QString error;
        QVERIFY2(m_server->setUp(error, {QStringLiteral("--planning"), QStringLiteral("1")}), qPrintable(error));
        // With some master data a device's later runs are incremental, not full reloads.
        QVERIFY(m_server->exec(QStringLiteral("insert into a_adressen (mandant_id, adr_id, adr_nr, adr_name) values "
                                              "(%1, 1, 1, '%2')")
                                   .arg(SyncServer::Mandant)
                                   .arg(SyncServer::scrambled(QStringLiteral("Kunde")))));
    }
    void cleanupTestCase() {
        SyncProcess::shutdown();
        m_server.reset();
    }
    void init() { Clock::reset(); }
    void cleanup() { Clock::reset(); }

    void assignmentReachesOtherDeviceUnscrambledAndCut() {
        SyncClient a(QStringLiteral("a-plan")), b(QStringLiteral("b-plan"));
        bereit(a);
        bereit(b);
        Eintrag e;
        e.betreff = QStringLiteral("Dachstuhl Wagner – Größe 4×6 m");
        e.text = QString(3999, u'x') + QStringLiteral("äZ");
        e.team = neueGuid();
        plane(a, e);
        QVERIFY(a.synchronisiere().fertig());

        const QString w = QStringLiteral(" from planung where mpl_guid = '%1'").arg(uuid(e.guid));
        const QString betreffAufServer = server(QStringLiteral("select mpl_betreff") + w).toString();
        QVERIFY(betreffAufServer != e.betreff);
        QCOMPARE(SyncServer::plain(betreffAufServer), e.betreff);
        QCOMPARE(SyncServer::plain(server(QStringLiteral("select mpl_text") + w).toString()), e.text.left(4000));
        QCOMPARE(SyncServer::plain(server(QStringLiteral("select objektauftrag") + w).toString()),
                 QStringLiteral("A-24117 Holzterrasse"));
        QCOMPARE(a.value(QStringLiteral("select Owner from Planung where MPL_GUID = '%1'").arg(e.guid)).toInt(), 0);

        bool planungGemeldet = false;
        QVERIFY(b.synchronisiere(120000, [&](TDatenAusCloudThread*, TSyncStatus s, int) {
                     planungGemeldet |= s == TSyncStatus::SyncPlanung;
                 }).fertig());
        QVERIFY(planungGemeldet);
        const QString l = QStringLiteral(" from Planung where MPL_GUID = '%1'").arg(e.guid);
        QCOMPARE(b.value(QStringLiteral("select MPL_Betreff") + l).toString(), e.betreff);
        QCOMPARE(b.value(QStringLiteral("select MPL_Text") + l).toString(), e.text.left(4000));
        QCOMPARE(b.value(QStringLiteral("select ObjektAuftrag") + l).toString(),
                 QStringLiteral("A-24117 Holzterrasse"));
        QCOMPARE(b.value(QStringLiteral("select MPL_KA") + l).toString(), QStringLiteral("100"));
        QCOMPARE(b.value(QStringLiteral("select MPL_MUTUSER") + l).toString(), QStringLiteral("mm"));
        QCOMPARE(b.value(QStringLiteral("select MPL_MTM_GUID") + l).toString(), e.team);
        QCOMPARE(b.value(QStringLiteral("select MPL_RKA_ID_A") + l).toInt(), 17);
        QCOMPARE(b.value(QStringLiteral("select substr(MPL_von, 12)") + l).toString(), QStringLiteral("07:00:00.000"));
        QCOMPARE(b.value(QStringLiteral("select Owner") + l).toInt(), 0);

        // Nothing new on the server: no planning news.
        planungGemeldet = false;
        QVERIFY(b.synchronisiere(120000, [&](TDatenAusCloudThread*, TSyncStatus s, int) {
                     planungGemeldet |= s == TSyncStatus::SyncPlanung;
                 }).fertig());
        QVERIFY(!planungGemeldet);
    }

    void officeAssignmentWithoutTeamComesWithNoTeamGuid() {
        SyncClient b(QStringLiteral("b-office"));
        bereit(b);
        const QString guid = neueGuid();
        QVERIFY(m_server->exec(
            QStringLiteral("insert into planung (mandant_id, mpl_guid, mpl_datum, mpl_betreff, "
                           "mpl_mtm_guid, mpl_ter_backcolor) values (%1, '%2', current_date, %3, '', %4)")
                .arg(SyncServer::Mandant)
                .arg(guid, sql(SyncServer::scrambled(QStringLiteral("Fenster Stadtwerke"))),
                     sql(SyncServer::scrambled(QStringLiteral("255"))))));
        QVERIFY(b.synchronisiere().fertig());
        const QString l = QStringLiteral(" from Planung where MPL_GUID = '%1'").arg(guid);
        QCOMPARE(b.value(QStringLiteral("select MPL_MTM_GUID") + l).toString(), OhneTeam);
        QCOMPARE(b.value(QStringLiteral("select MPL_Betreff") + l).toString(), QStringLiteral("Fenster Stadtwerke"));
        QCOMPARE(b.value(QStringLiteral("select MPL_TER_Backcolor") + l).toString(), QStringLiteral("255"));
    }

    void deviceChangesSurviveDownloadAndCleanup() {
        SyncClient a(QStringLiteral("a-keep")), b(QStringLiteral("b-keep"));
        const Eintrag geteilt = teile(a, b);

        // Both change the assignment; a's change reaches the server first.
        Eintrag vonA = geteilt, vonB = geteilt;
        vonA.betreff = QStringLiteral("Fassung A");
        vonB.betreff = QStringLiteral("Fassung B");
        plane(a, vonA);
        plane(b, vonB);
        QVERIFY(a.synchronisiere().fertig());
        // Held for editing, or neither held nor pending, and unknown to the server.
        Eintrag gehalten, verwaist;
        gehalten.owner = 0;
        gehalten.gesperrt = 1;
        verwaist.owner = 0;
        plane(b, gehalten);
        plane(b, verwaist);

        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.value(QStringLiteral("select MPL_Betreff from Planung where MPL_GUID = '%1'").arg(geteilt.guid))
                     .toString(),
                 vonB.betreff);
        QCOMPARE(
            SyncServer::plain(
                server(QStringLiteral("select mpl_betreff from planung where mpl_guid = '%1'").arg(uuid(geteilt.guid)))
                    .toString()),
            vonB.betreff);
        QCOMPARE(b.count(QStringLiteral("Planung where MPL_GUID = '%1'").arg(gehalten.guid)), 1);
        QCOMPARE(b.count(QStringLiteral("Planung where MPL_GUID = '%1'").arg(verwaist.guid)), 0);
    }

    // A full reload marks every local row for the sweep at the end of the run.
    void failedAssignmentUploadStaysQueued_data() {
        QTest::addColumn<bool>("vollerAbgleich");
        QTest::newRow("incremental run") << false;
        QTest::newRow("full reload") << true;
    }
    void failedAssignmentUploadStaysQueued() {
        QFETCH(bool, vollerAbgleich);
        SyncClient a(QStringLiteral("a-refused-%1").arg(vollerAbgleich));
        bereit(a);
        Eintrag e;
        e.betreff = QStringLiteral("abgelehnt");
        plane(a, e);
        if (vollerAbgleich)
            QVERIFY(a.exec(QStringLiteral("delete from SyncFortschritt")));
        QVERIFY(m_server->exec(QStringLiteral(
            "CREATE FUNCTION test_ablehnen() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "RAISE EXCEPTION 'refused'; END $$; "
            "CREATE TRIGGER test_ablehnen BEFORE INSERT ON planung FOR EACH ROW EXECUTE FUNCTION test_ablehnen();")));
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(
            m_server->exec(QStringLiteral("DROP TRIGGER test_ablehnen ON planung; DROP FUNCTION test_ablehnen();")));
        QCOMPARE(a.value(QStringLiteral("select Owner from Planung where MPL_GUID = '%1'").arg(e.guid)).toInt(), 1);
        QVERIFY(a.pruefe());

        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(server(QStringLiteral("select count(*) from planung where mpl_guid = '%1'").arg(uuid(e.guid))).toInt(),
                 1);
        QCOMPARE(a.value(QStringLiteral("select Owner from Planung where MPL_GUID = '%1'").arg(e.guid)).toInt(), 0);
    }

    void deletedAssignmentLeavesServerAndOtherDevice() {
        SyncClient a(QStringLiteral("a-del")), b(QStringLiteral("b-del"));
        Eintrag e = teile(a, b);

        e.geloescht = 1;
        plane(a, e);
        a.planungGeloescht = true;
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Planung where MPL_GUID = '%1'").arg(e.guid)), 0);
        QCOMPARE(server(QStringLiteral("select count(*) from planung_alleguids where guid = '%1'").arg(uuid(e.guid)))
                     .toInt(),
                 0);
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Planung where MPL_GUID = '%1'").arg(e.guid)), 0);
    }

    void deletionRequestRaisesVersion() {
        SyncClient a(QStringLiteral("a-raise"));
        bereit(a);
        QVERIFY(a.synchronisiere().fertig());
        const int vorher = serverVersion();
        a.planungGeloescht = true;
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(serverVersion(), vorher + 1);
        a.use();
        QCOMPARE(SyncProcess::tdm().InternalLeseINT(SettingKey::SyncVersionPlanung, 0), vorher + 1);
    }

    void teamWithMembersTravelsByPlanningVersion() {
        SyncClient a(QStringLiteral("a-team")), b(QStringLiteral("b-team"));
        bereit(a);
        bereit(b);
        const QString team = neueGuid();
        neuesTeam(a, team, QStringLiteral("Montagetrupp Süd"), {3, 5});
        const int vorher = serverVersion();
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(serverVersion() > vorher);
        QCOMPARE(server(QStringLiteral("select syncversion from planung_team where mtm_guid = '%1'").arg(uuid(team)))
                     .toInt(),
                 vorher + 1);
        QCOMPARE(
            server(
                QStringLiteral("select count(*) from planung_teampersonal where mtp_guid_team = '%1'").arg(uuid(team)))
                .toInt(),
            2);
        QCOMPARE(server(QStringLiteral("select mtm_farbe from planung_team where mtm_guid = '%1'").arg(uuid(team)))
                     .toString(),
                 QStringLiteral("4283215696"));
        QCOMPARE(a.count(QStringLiteral("Planung_Team where Owner <> 0")), 0);
        QCOMPARE(a.count(QStringLiteral("Planung_TeamPersonal where Owner <> 0")), 0);

        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.value(QStringLiteral("select MTM_Bezeichnung from Planung_Team where MTM_GUID = '%1'").arg(team))
                     .toString(),
                 QStringLiteral("Montagetrupp Süd"));
        QCOMPARE(
            b.value(QStringLiteral("select MTM_Farbe from Planung_Team where MTM_GUID = '%1'").arg(team)).toLongLong(),
            4283215696LL);
        QCOMPARE(
            b.count(
                QStringLiteral("Planung_TeamPersonal where MTP_GUID_Team = '%1' and MTP_LPE_ID in (3, 5)").arg(team)),
            2);
        QCOMPARE(b.value(QStringLiteral("select MTP_Leader from Planung_TeamPersonal where MTP_GUID_Team = '%1' and "
                                        "MTP_LPE_ID = 3")
                             .arg(team))
                     .toInt(),
                 1);
        b.use();
        QCOMPARE(SyncProcess::tdm().InternalLeseINT(SettingKey::SyncVersionPlanung, 0), serverVersion());

        // Deleted on a: gone from the server with its members in a's next cycle, then from b.
        QVERIFY(a.exec(QStringLiteral("delete from Planung_TeamPersonal where MTP_GUID_Team = '%1'").arg(team)));
        QVERIFY(a.exec(QStringLiteral("delete from Planung_Team where MTM_GUID = '%1'").arg(team)));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(
            server(QStringLiteral("select count(*) from planung_team where mtm_guid = '%1'").arg(uuid(team))).toInt(),
            0);
        QCOMPARE(
            server(
                QStringLiteral("select count(*) from planung_teampersonal where mtp_guid_team = '%1'").arg(uuid(team)))
                .toInt(),
            0);
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Planung_Team where MTM_GUID = '%1'").arg(team)), 0);
        QCOMPARE(b.count(QStringLiteral("Planung_TeamPersonal where MTP_GUID_Team = '%1'").arg(team)), 0);
    }

    void failedTeamInsertKeepsVersionAndServerTeam() {
        SyncClient b(QStringLiteral("b-failed"));
        bereit(b);
        b.use();
        const int bekannt = SyncProcess::tdm().InternalLeseINT(SettingKey::SyncVersionPlanung, 0);
        QVERIFY(b.exec(QStringLiteral("create trigger test_kaputt before insert on Planung_Team when "
                                      "new.MTM_Bezeichnung = 'kaputt' begin select raise(abort, 'refused'); end")));
        const QString team = neueGuid();
        buerosTeam(team, QStringLiteral("kaputt"));
        QVERIFY(b.synchronisiere().fertig());
        b.use();
        QCOMPARE(SyncProcess::tdm().InternalLeseINT(SettingKey::SyncVersionPlanung, 0), bekannt);
        // The team the device could not store is not the device's to remove from the server.
        QCOMPARE(
            server(QStringLiteral("select count(*) from planung_team where mtm_guid = '%1'").arg(uuid(team))).toInt(),
            1);

        QVERIFY(b.exec(QStringLiteral("drop trigger test_kaputt")));
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Planung_Team where MTM_GUID = '%1'").arg(team)), 1);
        b.use();
        QCOMPARE(SyncProcess::tdm().InternalLeseINT(SettingKey::SyncVersionPlanung, 0), serverVersion());
    }

    void failedTeamUploadKeepsRowsQueuedAndVersion_data() { failedAssignmentUploadStaysQueued_data(); }
    void failedTeamUploadKeepsRowsQueuedAndVersion() {
        QFETCH(bool, vollerAbgleich);
        SyncClient a(QStringLiteral("a-team-refused-%1").arg(vollerAbgleich));
        bereit(a);
        const QString gut = neueGuid(), abgelehnt = neueGuid();
        neuesTeam(a, gut, QStringLiteral("Trupp Ost"), {});
        neuesTeam(a, abgelehnt, QStringLiteral("abgelehnt"), {});
        if (vollerAbgleich)
            QVERIFY(a.exec(QStringLiteral("delete from SyncFortschritt")));
        QVERIFY(m_server->exec(QStringLiteral(
            "CREATE FUNCTION test_ablehnen() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "IF NEW.mtm_bezeichnung = 'abgelehnt' THEN RAISE EXCEPTION 'refused'; END IF; RETURN NEW; END $$; "
            "CREATE TRIGGER test_ablehnen BEFORE INSERT ON planung_team FOR EACH ROW EXECUTE FUNCTION "
            "test_ablehnen();")));
        const int vorher = serverVersion();
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(m_server->exec(
            QStringLiteral("DROP TRIGGER test_ablehnen ON planung_team; DROP FUNCTION test_ablehnen();")));
        QCOMPARE(
            a.count(QStringLiteral("Planung_Team where Owner = 1 and MTM_GUID in ('%1', '%2')").arg(gut, abgelehnt)),
            2);
        QCOMPARE(serverVersion(), vorher);

        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Planung_Team where Owner = 1")), 0);
        QCOMPARE(server(QStringLiteral("select count(*) from planung_team where mtm_guid in ('%1', '%2')")
                            .arg(uuid(gut), uuid(abgelehnt)))
                     .toInt(),
                 2);
        QVERIFY(serverVersion() > vorher);
    }

    void permissionsComeDown_data() {
        QTest::addColumn<bool>("serverHatErlaubnisse");
        QTest::newRow("server rows replace the local ones") << true;
        QTest::newRow("an empty answer leaves them") << false;
    }
    void permissionsComeDown() {
        QFETCH(bool, serverHatErlaubnisse);
        const QString team1 = neueGuid(), team2 = neueGuid(), alt = neueGuid();
        QVERIFY(m_server->exec(QStringLiteral("delete from planung_teamerlaubnis")));
        if (serverHatErlaubnisse)
            QVERIFY(m_server->exec(QStringLiteral("insert into planung_teamerlaubnis (mandant_id, pte_userid, "
                                                  "pte_teamguid) values (%1, 11, '%2'), (%1, 12, '%3')")
                                       .arg(SyncServer::Mandant)
                                       .arg(team1, team2)));
        SyncClient c(QStringLiteral("c-perm-%1").arg(serverHatErlaubnisse));
        bereit(c);
        QVERIFY(
            c.exec(QStringLiteral("insert or replace into Planung_TeamErlaubnis (Mandant_ID, PTE_UserID, PTE_TeamGuid) "
                                  "values (%1, 99, '%2')")
                       .arg(SyncServer::Mandant)
                       .arg(alt)));
        // Planning data must come down for the permissions to be fetched.
        buerosTeam(neueGuid(), QStringLiteral("Trupp Erlaubnis"));
        bool planungGemeldet = false;
        QVERIFY(c.synchronisiere(120000, [&](TDatenAusCloudThread*, TSyncStatus s, int) {
                     planungGemeldet |= s == TSyncStatus::SyncPlanung;
                 }).fertig());
        QVERIFY(planungGemeldet);
        if (serverHatErlaubnisse) {
            QCOMPARE(c.count(QStringLiteral("Planung_TeamErlaubnis")), 2);
            QCOMPARE(
                c.count(
                    QStringLiteral("Planung_TeamErlaubnis where PTE_UserID = 11 and PTE_TeamGuid = '%1'").arg(team1)),
                1);
            QCOMPARE(
                c.count(
                    QStringLiteral("Planung_TeamErlaubnis where PTE_UserID = 12 and PTE_TeamGuid = '%1'").arg(team2)),
                1);
        } else {
            QCOMPARE(c.count(QStringLiteral("Planung_TeamErlaubnis")), 1);
            QCOMPARE(
                c.count(QStringLiteral("Planung_TeamErlaubnis where PTE_UserID = 99 and PTE_TeamGuid = '%1'").arg(alt)),
                1);
        }
    }

    void checkPassFindsPendingPlanningChanges_data() {
        QTest::addColumn<QString>("aenderung");
        QTest::newRow("assignment") << QStringLiteral("update Planung set Owner = 1");
        QTest::newRow("team") << QStringLiteral("update Planung_Team set Owner = 1");
        QTest::newRow("member") << QStringLiteral("update Planung_TeamPersonal set Owner = 1");
    }
    void checkPassFindsPendingPlanningChanges() {
        QFETCH(QString, aenderung);
        SyncClient a(QStringLiteral("a-check-") + QString::fromLatin1(QTest::currentDataTag()));
        bereit(a);
        neuesTeam(a, neueGuid(), QStringLiteral("Trupp Prüfung"), {3});
        plane(a, Eintrag{});
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(!a.pruefe(4000));
        QVERIFY(a.exec(aenderung));
        QVERIFY(a.pruefe());
    }

    void tenantWithoutPlanningLeavesPlanningAlone() {
        QVERIFY(m_server->exec(QStringLiteral("update mandant set mandant_planungaktiv = 0 where mandant_id = %1")
                                   .arg(SyncServer::Mandant)));
        SyncClient a(QStringLiteral("a-off"));
        const int version = serverVersion();
        QVERIFY(a.synchronisiere().fertig());
        Eintrag e;
        plane(a, e);
        const QString team = neueGuid();
        neuesTeam(a, team, QStringLiteral("Trupp ohne Planung"), {3});
        bool planungGemeldet = false;
        QVERIFY(a.synchronisiere(120000, [&](TDatenAusCloudThread*, TSyncStatus s, int) {
                     planungGemeldet |= s == TSyncStatus::SyncPlanung;
                 }).fertig());
        QVERIFY(m_server->exec(QStringLiteral("update mandant set mandant_planungaktiv = 1 where mandant_id = %1")
                                   .arg(SyncServer::Mandant)));
        QVERIFY(!planungGemeldet);
        QCOMPARE(a.count(QStringLiteral("Planung_Team")), 1);
        QCOMPARE(a.count(QStringLiteral("Planung where Owner = 1")), 1);
        QCOMPARE(server(QStringLiteral("select count(*) from planung where mpl_guid = '%1'").arg(uuid(e.guid))).toInt(),
                 0);
        QCOMPARE(
            server(QStringLiteral("select count(*) from planung_team where mtm_guid = '%1'").arg(uuid(team))).toInt(),
            0);
        QCOMPARE(serverVersion(), version);
    }
};

QTEST_GUILESS_MAIN(TestSyncPlanning)
#include "tst_sync_planning.moc"

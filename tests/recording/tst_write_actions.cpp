// User actions that write several records: each reaches the file as a whole or not at all.
#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

using F = RecordingFixture;

enum class Aktion { OffeneSchliessen, PauseStarten, PauseBeenden, TeamSpeichern, PraesenzBeenden };

int g_commits = 0;

int zaehleCommit(void*) {
    ++g_commits;
    return 0;
}

// Every row of the tables a recording action writes, as text.
QString inhalt(F& f) {
    QStringList zeilen;
    for (const QString& tabelle : {u"Z_ERFASSUNG"_s, u"Z_PRAESENZZEIT"_s, u"Lumora_Team"_s, u"Lumora_TeamAktiveLPE"_s,
                                   u"Lumora_PauseZER"_s, u"Lumora_PauseZPZ"_s}) {
        auto q = f.dm().GetQueryInstance();
        q->setSQL(u"select * from "_s + tabelle + u" order by rowid"_s);
        if (!q->Open())
            return u"unlesbar: "_s + tabelle;
        for (; !q->Eof(); q->Next()) {
            QStringList felder{tabelle};
            for (int i = 0; i < q->FieldCount(); ++i)
                felder << q->Fields(i).AsString();
            zeilen << felder.join(u'|');
        }
    }
    return zeilen.join(u'\n');
}

} // namespace

class TestWriteActions : public RecordingTest {
    Q_OBJECT

    void recht(const QString& spalte, int wert) { QVERIFY(f->setzeRecht(F::GruppeLeitung, spalte, wert)); }

    // What each action finds before it runs: open work of the chief and, for the team, a finished entry.
    void vorbereiten(Aktion aktion) {
        recht(u"BER_Praesenzzeit"_s, 1);
        recht(u"BER_ZPZ_automatik"_s, 1);
        f->praesenz(-900, F::Chef, testTag(), zeit(7, 0));
        f->offenerEintrag(-1000, F::Chef, testTag(), zeit(7, 0));
        f->offenerEintrag(-1001, F::Chef, testTag(), zeit(7, 30));
        Clock::setFixed(um(9, 0));
        switch (aktion) {
        case Aktion::PauseBeenden:
            dm().PauseStartePause(true, Clock::now());
            Clock::setFixed(um(9, 30));
            break;
        case Aktion::TeamSpeichern:
            QVERIFY(f->sql(u"update Z_ERFASSUNG set ZER_Bis = :bis, ZER_Std = :std, ZER_Std100 = 1, BisIstNULL = 0,"
                           u" StdIstNULL = 0, ZER_ZKA = 'ARB' where MobileID = -1001"_s,
                           {{u"bis"_s, F::zeitText(8, 30)}, {u"std"_s, F::zeitText(1, 0)}}));
            dm().TeamLoescheAktiveTeamLPEs();
            for (int lpe : {F::Chef, F::Bert, F::Cora})
                dm().TeamToggleTeamInListView(lpe, true);
            break;
        default:
            break;
        }
    }

    void ausfuehren(Aktion aktion) {
        switch (aktion) {
        case Aktion::OffeneSchliessen:
            dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(9, 0), F::Chef, -2, false, false, true);
            break;
        case Aktion::PauseStarten:
            dm().PauseStartePause(true, Clock::now());
            break;
        case Aktion::PauseBeenden:
            dm().PauseBeendenUndFortsetzen(F::Chef, true, Clock::now());
            break;
        case Aktion::TeamSpeichern:
            dm().TeamZerSpeichernFuerAlle(-1001);
            break;
        case Aktion::PraesenzBeenden:
            dm().ZPZ_speichernZeiten(-900, testTag(), zeit(7, 0), zeit(9, 0), zeit(2, 0), 2.0, false);
            break;
        }
    }

    // The action's visible result.
    void pruefeWirkung(Aktion aktion) {
        switch (aktion) {
        case Aktion::OffeneSchliessen:
        case Aktion::PraesenzBeenden:
            QCOMPARE(f->anzahl(u"Z_ERFASSUNG where BisIstNULL = 0 and ZER_Bis = '1899-12-30 09:00:00.000'"_s), 2);
            break;
        case Aktion::PauseStarten:
            QCOMPARE(dm().PauseLeseMobileID_ZER(F::Chef), -1001);
            QCOMPARE(dm().PauseLeseMobileID_ZPZ(F::Chef), -900);
            QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT where BisIstNULL = 1"_s), 0);
            break;
        case Aktion::PauseBeenden:
            QCOMPARE(f->anzahl(u"Z_ERFASSUNG where BisIstNULL = 1 and ZER_Von = '1899-12-30 09:30:00.000'"_s), 1);
            QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT where BisIstNULL = 1"_s), 1);
            QCOMPARE(f->anzahl(u"Lumora_PauseZER"_s) + f->anzahl(u"Lumora_PauseZPZ"_s), 0);
            break;
        case Aktion::TeamSpeichern:
            QCOMPARE(f->anzahl(u"Z_ERFASSUNG where ZER_LPE in (12, 15) and komplett = 0"_s), 2);
            QCOMPARE(f->anzahl(u"Lumora_Team"_s), 3);
            break;
        }
    }

    static void aktionen() {
        QTest::addColumn<int>("nummer");
        QTest::newRow("close open entries") << int(Aktion::OffeneSchliessen);
        QTest::newRow("pause start, closing presence too") << int(Aktion::PauseStarten);
        QTest::newRow("pause end and continue") << int(Aktion::PauseBeenden);
        QTest::newRow("team recording for three") << int(Aktion::TeamSpeichern);
        QTest::newRow("presence stop closing activities") << int(Aktion::PraesenzBeenden);
    }

private slots:

    // However many records an action writes, and whichever actions it calls on the way, the file sees one commit.
    void actionIsOneCommit_data() { aktionen(); }
    void actionIsOneCommit() {
        QFETCH(int, nummer);
        const auto aktion = Aktion(nummer);
        vorbereiten(aktion);
        sqlite3* db = TMeineFDConnection::getInstance()->handle();
        QVERIFY(db);
        g_commits = 0;
        sqlite3_commit_hook(db, zaehleCommit, nullptr);
        ausfuehren(aktion);
        sqlite3_commit_hook(db, nullptr, nullptr);
        pruefeWirkung(aktion);
        QCOMPARE(g_commits, 1);
        QVERIFY(!TMeineFDConnection::getInstance()->inTransaction());
    }

    // A commit that the file refuses takes the whole action back: nothing half written, nothing recorded before lost,
    // and the same action succeeds once the file accepts it again.
    void refusedCommitLeavesTheFileAsBefore_data() { aktionen(); }
    void refusedCommitLeavesTheFileAsBefore() {
        QFETCH(int, nummer);
        const auto aktion = Aktion(nummer);
        vorbereiten(aktion);
        // A deferred foreign key is checked only at the commit, which then fails.
        QVERIFY(f->sql(u"create table Eltern (id integer primary key)"_s));
        QVERIFY(f->sql(u"create table Kind (eltern integer references Eltern (id) deferrable initially deferred)"_s));
        QVERIFY(f->sql(u"create trigger Abgelehnt after update of komplett on Z_ERFASSUNG when new.komplett = 0"
                       u" begin insert into Kind values (1); end"_s));
        QVERIFY(f->sql(u"pragma foreign_keys = on"_s));
        const QString vorher = inhalt(*f);

        ausfuehren(aktion);

        QVERIFY(!TMeineFDConnection::getInstance()->inTransaction());
        QCOMPARE(inhalt(*f), vorher);
        QCOMPARE(f->anzahl(u"Kind"_s), 0);

        QVERIFY(f->sql(u"drop trigger Abgelehnt"_s));
        PauseStatusCacheGueltig = false;
        ausfuehren(aktion);
        pruefeWirkung(aktion);
    }
};

QTEST_GUILESS_MAIN(TestWriteActions)
#include "tst_write_actions.moc"

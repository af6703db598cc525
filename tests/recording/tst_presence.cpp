#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPresence : public RecordingTest {
    Q_OBJECT

    QVariant spalte(int mobileId, const QString& name) { return f->zeile(u"Z_PRAESENZZEIT"_s, mobileId).value(name); }
    int anzahlPraesenz(int lpe) {
        return f->anzahl(u"Z_PRAESENZZEIT where geloescht = 0 and ZPZ_LPE_ID = "_s + QString::number(lpe));
    }
    void automatik(int gruppe, bool an) { QVERIFY(f->setzeRecht(gruppe, u"BER_ZPZ_automatik"_s, an ? 1 : 0)); }

private slots:
    void newPresenceTime_data() {
        QTest::addColumn<QTime>("gestempelt");
        QTest::addColumn<QString>("von");
        QTest::newRow("07:38:45 rounds up to 07:45") << QTime(7, 38, 45) << RecordingFixture::zeitText(7, 45);
        QTest::newRow("07:37:59 rounds down to 07:30") << QTime(7, 37, 59) << RecordingFixture::zeitText(7, 30);
    }
    void newPresenceTime() {
        QFETCH(QTime, gestempelt);
        QVERIFY(f->setzeRecht(RecordingFixture::GruppeLeitung, u"BER_Runden"_s, 15));
        Clock::setFixed(um(gestempelt.hour(), gestempelt.minute(), gestempelt.second()));
        const int m = dm().ZPZ_Neu(Clock::now(), RecordingFixture::Chef);
        QVERIFY(m < 0);
        const QVariantMap z = f->zeile(u"Z_PRAESENZZEIT"_s, m);
        QCOMPARE(z.value(u"ZPZ_ID"_s).toInt(), m);
        QCOMPARE(z.value(u"ZPZ_Monat"_s).toInt(), m);
        QCOMPARE(z.value(u"ZPZ_Jahr"_s).toInt(), 0);
        QCOMPARE(z.value(u"ZPZ_LPE_ID"_s).toInt(), RecordingFixture::Chef);
        QCOMPARE(z.value(u"ZPZ_Datum"_s).toString(), u"2026-03-10 00:00:00.000"_s);
        QTEST(z.value(u"ZPZ_Von"_s).toString(), "von");
        QCOMPARE(z.value(u"ZPZ_ERFUSER"_s).toString(), u"chef-lm"_s);
        // open, yet complete: the server learns of a started presence at once
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"komplett"_s).toInt(), 0);
        QCOMPARE(z.value(u"Owner"_s).toInt(), 1);
        QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
        QVERIFY(dm().ZPZ_gibIstKomplett(m));
    }

    void newPresenceTimeForWhom() {
        QCOMPARE(dm().ZPZ_Neu(um(8, 0), 0), -1);
        QCOMPARE(dm().ZPZ_Neu(um(8, 0), RecordingFixture::Bert), -1);
        QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT"_s), 0);
        fBER_TeamPraesenzzeit = true;
        const int m = dm().ZPZ_Neu(um(8, 0), RecordingFixture::Bert);
        QVERIFY(m < 0);
        QCOMPARE(spalte(m, u"ZPZ_LPE_ID"_s).toInt(), RecordingFixture::Bert);
    }

    void automaticStartOnlyOncePerOpenPresence() {
        automatik(RecordingFixture::GruppeLeitung, true);
        QVERIFY(dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(8, 0), false));
        QCOMPARE(anzahlPraesenz(RecordingFixture::Chef), 1);
        Clock::setFixed(um(9, 0));
        QVERIFY(!dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(9, 0), false));
        QCOMPARE(anzahlPraesenz(RecordingFixture::Chef), 1);
    }

    void coverageOfAClosedPresence_data() {
        QTest::addColumn<int>("stunde");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("startet");
        QTest::newRow("07:59 before it") << 7 << 59 << true;
        QTest::newRow("08:00 at its start") << 8 << 0 << false;
        QTest::newRow("11:59 inside") << 11 << 59 << false;
        QTest::newRow("12:00 at its end") << 12 << 0 << true;
    }
    void coverageOfAClosedPresence() {
        QFETCH(int, stunde);
        QFETCH(int, minute);
        automatik(RecordingFixture::GruppeLeitung, true);
        f->praesenz(-500, RecordingFixture::Chef, testTag(), zeit(8, 0), zeit(12, 0));
        Clock::setFixed(um(13, 0));
        QTEST(dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(stunde, minute, 30), false),
              "startet");
        QFETCH(bool, startet);
        QCOMPARE(anzahlPraesenz(RecordingFixture::Chef), startet ? 2 : 1);
    }

    void deletedPresenceCoversNothing() {
        automatik(RecordingFixture::GruppeLeitung, true);
        f->praesenz(-500, RecordingFixture::Chef, testTag(), zeit(8, 0), zeit(12, 0));
        QVERIFY(dm().ZPZ_LoescheDatensatz(-500));
        QVERIFY(dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(10, 0), false));
    }

    void automaticStartRules_data() {
        QTest::addColumn<bool>("praesenz");
        QTest::addColumn<bool>("automatisch");
        QTest::addColumn<bool>("startstop");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<int>("tageZurueck");
        QTest::addColumn<bool>("startet");
        QTest::newRow("automatic") << true << true << false << false << 0 << true;
        QTest::newRow("another day never") << true << true << false << false << 1 << false;
        QTest::newRow("without presence recording") << false << true << true << true << 0 << false;
        QTest::newRow("neither automatic nor terminal") << true << false << true << false << 0 << false;
        QTest::newRow("terminal with start/stop alone") << true << false << true << true << 0 << true;
        QTest::newRow("terminal without start/stop") << true << false << false << true << 0 << false;
    }
    void automaticStartRules() {
        QFETCH(bool, praesenz);
        QFETCH(bool, automatisch);
        QFETCH(bool, startstop);
        QFETCH(bool, terminal);
        QFETCH(int, tageZurueck);
        QVERIFY(f->setzeRecht(RecordingFixture::GruppeLeitung, u"BER_Praesenzzeit"_s, praesenz ? 1 : 0));
        automatik(RecordingFixture::GruppeLeitung, automatisch);
        QVERIFY(f->setzeRecht(RecordingFixture::GruppeLeitung, u"BER_ZPZ_startstop"_s, startstop ? 1 : 0));
        QTEST(dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(8, 0).addDays(-tageZurueck), terminal),
              "startet");
    }

    void automaticStartForATeamMember() {
        automatik(RecordingFixture::GruppeTeam, true);
        QVERIFY(!dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Bert, um(8, 0), false));
        fBER_TeamPraesenzzeit = true;
        QVERIFY(dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Bert, um(8, 0), false));
        QCOMPARE(anzahlPraesenz(RecordingFixture::Bert), 1);
    }

    void savingTimesClosesActivitiesWhenTheDayEnds_data() {
        QTest::addColumn<bool>("automatisch");
        QTest::addColumn<int>("tageZurueck");
        QTest::addColumn<double>("bis");
        QTest::addColumn<bool>("schliesst");
        QTest::newRow("today at 16:30") << true << 0 << 16.5 / 24 << true;
        QTest::newRow("at 00:00") << true << 0 << 0.0 << false;
        QTest::newRow("an earlier day") << true << 1 << 16.5 / 24 << false;
        QTest::newRow("without automatic presence") << false << 0 << 16.5 / 24 << false;
    }
    void savingTimesClosesActivitiesWhenTheDayEnds() {
        QFETCH(bool, automatisch);
        QFETCH(int, tageZurueck);
        QFETCH(double, bis);
        automatik(RecordingFixture::GruppeLeitung, automatisch);
        const TDateTime tag = testTag().addDays(-tageZurueck);
        const int p = f->praesenz(-600, RecordingFixture::Chef, tag, zeit(7, 0));
        const int e = f->offenerEintrag(-601, RecordingFixture::Chef, tag, zeit(13, 0));
        Clock::setFixed(um(17, 0));
        const TDateTime ende(bis);
        dm().ZPZ_speichernZeiten(p, tag, zeit(7, 0), ende, TDateTime(ende - zeit(7, 0)), 9.5, false);
        const QVariantMap z = f->zeile(u"Z_PRAESENZZEIT"_s, p);
        QCOMPARE(z.value(u"ZPZ_Bis"_s).toString(), DTDatetimeToString(ende));
        QCOMPARE(z.value(u"ZPZ_Std100"_s).toDouble(), 9.5);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"ZPZ_MUTDAT"_s).toString(), u"2026-03-10 17:00:00.000"_s);
        QFETCH(bool, schliesst);
        const QVariantMap eintrag = f->zeile(u"Z_ERFASSUNG"_s, e);
        QCOMPARE(eintrag.value(u"BisIstNULL"_s).toInt(), schliesst ? 0 : 1);
        if (schliesst) {
            QCOMPARE(eintrag.value(u"ZER_Bis"_s).toString(), RecordingFixture::zeitText(16, 30));
            QCOMPARE(eintrag.value(u"ZER_Std100"_s).toDouble(), 3.5);
        }
    }

    void savingOnlyTheStart() {
        automatik(RecordingFixture::GruppeLeitung, true);
        const int p = f->praesenz(-600, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int e = f->offenerEintrag(-601, RecordingFixture::Chef, testTag(), zeit(6, 0));
        dm().ZeitenSetzeIstNull(p, false, true, false, false, true);
        dm().ZPZ_speichernZeiten(p, testTag(), zeit(6, 30), zeit(16, 0), zeit(9, 30), 9.5, true);
        const QVariantMap z = f->zeile(u"Z_PRAESENZZEIT"_s, p);
        QCOMPARE(z.value(u"ZPZ_Von"_s).toString(), RecordingFixture::zeitText(6, 30));
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        // only a from-time closes no activity
        QCOMPARE(f->zeile(u"Z_ERFASSUNG"_s, e).value(u"BisIstNULL"_s).toInt(), 1);
    }

    void lifecycleFlags() {
        const int p = dm().ZPZ_Neu(um(8, 0), RecordingFixture::Chef);
        QVERIFY(f->sql(u"update Z_PRAESENZZEIT set Owner = 0, CloudStatus = 1, ZPZ_Tag = 3"_s));
        dm().ZPZ_SetzeGeperrt(p, true);
        QCOMPARE(spalte(p, u"gesperrt"_s).toInt(), 1);
        QCOMPARE(spalte(p, u"Owner"_s).toInt(), 1);
        dm().ZPZ_speichernIstKomplett(p, false);
        QCOMPARE(spalte(p, u"komplett"_s).toInt(), 1);
        QVERIFY(!dm().ZPZ_gibIstKomplett(p));
        QCOMPARE(spalte(p, u"CloudStatus"_s).toInt(), 0);
        QCOMPARE(spalte(p, u"ZPZ_Tag"_s).toInt(), 0);
        dm().ZPZ_speichernIstKomplett(p, true);
        QVERIFY(dm().ZPZ_gibIstKomplett(p));
        dm().ZPZ_SetzeGeperrt(p, false);
        QCOMPARE(spalte(p, u"gesperrt"_s).toInt(), 0);
        dm().ZPZ_speichernDatum(p, TDateTime::encodeDateTime(2026, 3, 9, 15, 0, 0));
        QCOMPARE(spalte(p, u"ZPZ_Datum"_s).toString(), u"2026-03-09 00:00:00.000"_s);
        QVERIFY(!dm().ZPZ_gibIstKomplett(-777));

        QVERIFY(dm().ZPZ_LoescheDatensatz(p));
        const QVariantMap z = f->zeile(u"Z_PRAESENZZEIT"_s, p);
        QCOMPARE(z.value(u"geloescht"_s).toInt(), 1);
        QCOMPARE(z.value(u"komplett"_s).toInt(), 0);
        QCOMPARE(z.value(u"Owner"_s).toInt(), 1);
    }

    void hoursOfADay() {
        QCOMPARE(dm().ZPZ_GibStundenZuTag(testTag(), RecordingFixture::Chef), 0.0);
        f->praesenz(-700, RecordingFixture::Chef, testTag(), zeit(7, 0), zeit(12, 0));
        f->praesenz(-701, RecordingFixture::Chef, testTag(), zeit(13, 0), zeit(16, 30));
        const int weg = f->praesenz(-702, RecordingFixture::Chef, testTag(), zeit(17, 0), zeit(18, 0));
        f->praesenz(-703, RecordingFixture::Bert, testTag(), zeit(7, 0), zeit(12, 0));
        QVERIFY(f->sql(u"update Z_PRAESENZZEIT set ZPZ_Std100 = 5 where MobileID in (-700, -703)"_s));
        QVERIFY(f->sql(u"update Z_PRAESENZZEIT set ZPZ_Std100 = 3.5 where MobileID = -701"_s));
        QVERIFY(f->sql(u"update Z_PRAESENZZEIT set ZPZ_Std100 = 1 where MobileID = -702"_s));
        QVERIFY(dm().ZPZ_LoescheDatensatz(weg));
        QCOMPARE(dm().ZPZ_GibStundenZuTag(um(15, 0), RecordingFixture::Chef), 8.5);
    }

    void currentPresenceSetting() {
        QCOMPARE(dm().ZPZ_AktuelleMobileIDlese(), 0);
        dm().ZPZ_AktuelleMobileIDschreibe(-815);
        QCOMPARE(dm().ZPZ_AktuelleMobileIDlese(), -815);
    }

    void deletingATeamPresenceDeletesItsWholeRecording() {
        const QString guid = u"{0E5B0C2A-3333-4A4A-9C9C-000000000003}"_s;
        const int chef = f->praesenz(-800, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int bert = f->praesenz(-799, RecordingFixture::Bert, testTag(), zeit(7, 0));
        const int allein = f->praesenz(-850, RecordingFixture::Cora, testTag(), zeit(7, 0));
        QVERIFY(f->teamLink(u"Lumora_TeamZPZ"_s, chef, guid));
        QVERIFY(f->teamLink(u"Lumora_TeamZPZ"_s, bert, guid));
        QVERIFY(dm().ZPZ_LoescheDatensatzTeam(chef));
        QCOMPARE(spalte(chef, u"geloescht"_s).toInt(), 1);
        QCOMPARE(spalte(bert, u"geloescht"_s).toInt(), 1);
        QCOMPARE(spalte(allein, u"geloescht"_s).toInt(), 0);
        QCOMPARE(f->anzahl(u"Lumora_TeamZPZ where PTT_Inaktiv = 1 and Owner = 1"_s), 2);
        QVERIFY(dm().ZPZ_LoescheDatensatzTeam(allein));
        QCOMPARE(spalte(allein, u"geloescht"_s).toInt(), 1);
    }

    void failedWritesKeepWhatWasRecorded() {
        automatik(RecordingFixture::GruppeLeitung, true);
        const int p = f->praesenz(-900, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int e = f->offenerEintrag(-901, RecordingFixture::Chef, testTag(), zeit(7, 0));
        {
            RecordingFixture::Sperre sperre(*f);
            QVERIFY(sperre.aktiv());
            QCOMPARE(dm().ZPZ_Neu(um(8, 0), RecordingFixture::Chef), 0);
            dm().ZPZ_speichernZeiten(p, testTag(), zeit(7, 0), zeit(16, 0), zeit(9, 0), 9.0, false);
            dm().ZPZ_SetzeGeperrt(p, true);
            QVERIFY(!dm().ZPZ_LoescheDatensatz(p));
            QVERIFY(!dm().ZPZ_LoescheDatensatzTeam(p));
            QVERIFY(!dm().ZPZ_gibIstKomplett(p));
            QCOMPARE(dm().ZPZ_GibStundenZuTag(testTag(), RecordingFixture::Chef), 0.0);
            // an unreadable file starts no second presence time
            QVERIFY(!dm().ZPZ_PruefeAufOffeneZPZundStarteZPZ(RecordingFixture::Chef, um(8, 0), false));
        }
        dm().SQLiteVerbinden(false);
        const QVariantMap z = f->zeile(u"Z_PRAESENZZEIT"_s, p);
        QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT"_s), 1);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
        QCOMPARE(z.value(u"geloescht"_s).toInt(), 0);
        QCOMPARE(spalte(p, u"ZPZ_Von"_s).toString(), RecordingFixture::zeitText(7, 0));
        QCOMPARE(f->zeile(u"Z_ERFASSUNG"_s, e).value(u"BisIstNULL"_s).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPresence)
#include "tst_presence.moc"

#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPauses : public RecordingTest {
    Q_OBJECT

    static TDateTime gestern() { return testTag() - 1.0; }
    QVariantMap eintrag(int m) { return f->zeile(u"Z_ERFASSUNG"_s, m); }
    QVariantMap praesenz(int m) { return f->zeile(u"Z_PRAESENZZEIT"_s, m); }
    void recht(const QString& spalte, int wert) {
        QVERIFY(f->setzeRecht(RecordingFixture::GruppeLeitung, spalte, wert));
    }
    void automatischePraesenz() {
        recht(u"BER_Praesenzzeit"_s, 1);
        recht(u"BER_ZPZ_automatik"_s, 1);
    }
    // The newest entry of the day that the test did not write itself.
    int neuerEintrag(TDateTime tag) {
        return f
            ->wert(u"select MobileID from Z_ERFASSUNG where ZER_Datum = :tag and MobileID < -1000000"_s,
                   {{u"tag"_s, DTDatetimeToString(tag)}})
            .toInt();
    }
    bool pauseAktiv() {
        TDateTime zeitstempel;
        return dm().PauseGibIstPauseAktiv(AktuelleLPE_ID, zeitstempel);
    }

private slots:
    void pauseOverTwoOpenEntriesContinuesTheLaterOne() {
        recht(u"BER_Runden"_s, 15);
        const int frueh = f->offenerEintrag(-1000, RecordingFixture::Chef, testTag(), zeit(8, 0));
        dm().ZER_speichernBeleg(frueh, TObjektTyp::Auftrag, RecordingFixture::Auftrag);
        dm().ZER_speichernKA(frueh, u"ARB"_s);
        dm().ZER_speichernText(frueh, u"Dach decken"_s);
        const int spaet = f->offenerEintrag(-1001, RecordingFixture::Chef, testTag(), zeit(10, 0), 2);
        dm().ZER_speichernBeleg(spaet, TObjektTyp::Projekt, RecordingFixture::Projekt);
        dm().ZER_speichernKA(spaet, u"UEB"_s);
        dm().ZER_speichernKS(spaet, u"KS-1"_s);
        dm().ZER_speichernFAKT(spaet, u"K"_s);
        dm().ZER_speichernBez(spaet, u"Rohbau"_s);
        dm().ZER_speichernText(spaet, u"Schalung"_s);
        QVERIFY(f->sql(
            u"update Z_ERFASSUNG set ZER_Monat = 3, ZER_Jahr = 2026, ZER_Eigensch = 2 where MobileID = -1001"_s));

        Clock::setFixed(um(12, 8));
        dm().PauseStartePause(true, Clock::now());
        QVERIFY(!PauseStartLaeuft);
        for (int m : {frueh, spaet}) {
            QCOMPARE(eintrag(m).value(u"ZER_Bis"_s).toString(), RecordingFixture::zeitText(12, 15));
            QCOMPARE(eintrag(m).value(u"komplett"_s).toInt(), 0);
        }
        QCOMPARE(eintrag(frueh).value(u"ZER_Std100"_s).toDouble(), 4.25);
        QCOMPARE(eintrag(spaet).value(u"ZER_Std100"_s).toDouble(), 2.25);
        QCOMPARE(dm().PauseLeseMobileID_ZER(RecordingFixture::Chef), spaet);
        TDateTime zeitstempel;
        QVERIFY(dm().PauseGibIstPauseAktiv(RecordingFixture::Chef, zeitstempel));
        QCOMPARE(DTDatetimeToString(zeitstempel), u"2026-03-10 12:08:00.000"_s);

        Clock::setFixed(um(12, 40));
        dm().PauseBeendenUndFortsetzen(RecordingFixture::Chef, true, Clock::now());
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 3);
        const int n = neuerEintrag(testTag());
        const QVariantMap neu = eintrag(n);
        const QVariantMap vorlage = eintrag(spaet);
        QCOMPARE(neu.value(u"ZER_Von"_s).toString(), RecordingFixture::zeitText(12, 45));
        QCOMPARE(neu.value(u"ZER_Datum"_s).toString(), u"2026-03-10 00:00:00.000"_s);
        QCOMPARE(neu.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(neu.value(u"komplett"_s).toInt(), 0);
        QCOMPARE(neu.value(u"gesperrt"_s).toInt(), 0);
        for (const QString& spalte :
             {u"ZER_PRO"_s, u"ZER_ZKA"_s, u"ZER_ZKS"_s, u"ZER_Type"_s, u"ZER_Text"_s, u"ZER_MWSTC"_s, u"ZER_RKA_ID_A"_s,
              u"ZER_Konto"_s, u"ZER_Eigensch"_s, u"ZER_Jahr"_s, u"ZER_Monat"_s, u"ZER_MWStExkl"_s, u"ZER_StdETyp"_s,
              u"ZER_Verrechnen"_s, u"ZER_Bezeichnung"_s, u"ObjektProjekt"_s, u"ObjektAuftrag"_s})
            QCOMPARE(neu.value(spalte), vorlage.value(spalte));
        QCOMPARE(neu.value(u"ObjektProjekt"_s).toString(), u"P-302 - Neubau"_s);
        QCOMPARE(dm().PauseLeseMobileID_ZER(RecordingFixture::Chef), 0);
        QVERIFY(!pauseAktiv());
    }

    void pauseClosesAnEntryThatStartsAfterTheCut() {
        const int m = f->offenerEintrag(-1100, RecordingFixture::Chef, testTag(), zeit(12, 30));
        Clock::setFixed(um(12, 10));
        dm().PauseStartePause(false, Clock::now());
        const QVariantMap z = eintrag(m);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 0);
        // it ends where it starts: no time before its own start is booked
        QCOMPARE(z.value(u"ZER_Bis"_s).toString(), RecordingFixture::zeitText(12, 30));
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 0.0);
        QCOMPARE(dm().PauseLeseMobileID_ZER(RecordingFixture::Chef), m);
    }

    void pauseWithNothingOpenLeavesNoPause() {
        f->offenerEintrag(-1150, RecordingFixture::Chef, gestern(), zeit(12, 30));
        Clock::setFixed(um(12, 10));
        dm().PauseStartePause(true, Clock::now());
        QVERIFY(!pauseAktiv());
        QCOMPARE(f->anzahl(u"Lumora_PauseZER"_s), 0);
    }

    void pauseEndsAndRestartsAutomaticPresence() {
        automatischePraesenz();
        const int p = f->praesenz(-1200, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int frueher = f->praesenz(-1201, RecordingFixture::Chef, testTag(), zeit(6, 0));
        const int vonGestern = f->praesenz(-1202, RecordingFixture::Chef, gestern(), zeit(7, 0));
        const int e = f->offenerEintrag(-1203, RecordingFixture::Chef, testTag(), zeit(7, 0));
        Clock::setFixed(um(12, 0));
        dm().PauseStartePause(true, Clock::now());
        for (int m : {p, frueher}) {
            const QVariantMap z = praesenz(m);
            QCOMPARE(z.value(u"ZPZ_Bis"_s).toString(), RecordingFixture::zeitText(12, 0));
            QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 0);
            QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 0);
            QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
            QCOMPARE(z.value(u"komplett"_s).toInt(), 0);
        }
        QCOMPARE(praesenz(p).value(u"ZPZ_Std100"_s).toDouble(), 5.0);
        QCOMPARE(praesenz(p).value(u"ZPZ_Std"_s).toString(), RecordingFixture::zeitText(5, 0));
        QCOMPARE(praesenz(frueher).value(u"ZPZ_Std100"_s).toDouble(), 6.0);
        QCOMPARE(praesenz(vonGestern).value(u"BisIstNULL"_s).toInt(), 1);
        // the presence row remembers the one that started first
        QCOMPARE(dm().PauseLeseMobileID_ZPZ(RecordingFixture::Chef), frueher);
        QCOMPARE(eintrag(e).value(u"ZER_Std100"_s).toDouble(), 5.0);

        Clock::setFixed(um(12, 30));
        dm().PauseBeendenUndFortsetzen(RecordingFixture::Chef, true, Clock::now());
        QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT where ZPZ_Datum = '2026-03-10 00:00:00.000' and BisIstNULL = 1"_s), 1);
        QCOMPARE(f->wert(u"select ZPZ_Von from Z_PRAESENZZEIT where BisIstNULL = 1 and ZPZ_Datum = :t"_s,
                         {{u"t"_s, DTDatetimeToString(testTag())}})
                     .toString(),
                 RecordingFixture::zeitText(12, 30));
        QCOMPARE(f->anzahl(u"Lumora_PauseZPZ"_s), 0);
        QCOMPARE(f->anzahl(u"Lumora_PauseZER"_s), 0);
    }

    void endingAPauseWhoseEntryWasDeleted() {
        const int m = f->offenerEintrag(-1300, RecordingFixture::Chef, testTag(), zeit(8, 0));
        Clock::setFixed(um(12, 0));
        dm().PauseStartePause(true, Clock::now());
        QVERIFY(f->sql(u"delete from Z_ERFASSUNG where MobileID = :m"_s, {{u"m"_s, m}}));
        Clock::setFixed(um(12, 30));
        dm().PauseBeendenUndFortsetzen(RecordingFixture::Chef, true, Clock::now());
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 0);
        QVERIFY(!pauseAktiv());
    }

    void cancelForgetsThePauseOnly() {
        const int m = f->offenerEintrag(-1400, RecordingFixture::Chef, testTag(), zeit(8, 0));
        Clock::setFixed(um(12, 0));
        dm().PauseStartePause(true, Clock::now());
        QVERIFY(pauseAktiv());
        dm().PauseAbbrechen();
        QVERIFY(!pauseAktiv());
        QCOMPARE(eintrag(m).value(u"ZER_Std100"_s).toDouble(), 4.0);
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 1);
    }

    void pauseAnswerIsReusedForOneSecond() {
        TDateTime zeitstempel;
        QVERIFY(!dm().PauseGibIstPauseAktiv(RecordingFixture::Chef, zeitstempel));
        QCOMPARE(DTDatetimeToString(zeitstempel), u"1900-01-01 00:00:00.000"_s);
        // Bert's pause row, written behind the operations' back
        QVERIFY(f->sql(u"insert into Lumora_PauseZER (Mandant_ID, LPE_ID, MobileID, Zeitstempel)"
                       u" values (7, 12, -5, '2026-03-10 07:59:00.000')"_s));
        Clock::advance(999.0 / TDateTime::MSecsPerDay);
        QVERIFY(!dm().PauseGibIstPauseAktiv(RecordingFixture::Bert, zeitstempel));
        Clock::advance(2.0 / TDateTime::MSecsPerDay);
        QVERIFY(dm().PauseGibIstPauseAktiv(RecordingFixture::Bert, zeitstempel));
        QCOMPARE(DTDatetimeToString(zeitstempel), u"2026-03-10 07:59:00.000"_s);
        // the day after, the row is still reported; the panel compares its date
        Clock::advance(1.0);
        QVERIFY(dm().PauseGibIstPauseAktiv(RecordingFixture::Bert, zeitstempel));
        QVERIFY(!zeitstempel.sameDay(Clock::today()));
    }

    void presenceRowAloneIsAPause() {
        dm().PauseSchreibeMobileID_ZPZ(RecordingFixture::Chef, -77);
        TDateTime zeitstempel;
        QVERIFY(dm().PauseGibIstPauseAktiv(RecordingFixture::Chef, zeitstempel));
        QCOMPARE(zeitstempel, Clock::now());
        dm().PauseSchreibeMobileID_ZPZ(RecordingFixture::Chef, -78);
        QCOMPARE(dm().PauseLeseMobileID_ZPZ(RecordingFixture::Chef), -78);
        QCOMPARE(f->anzahl(u"Lumora_PauseZPZ"_s), 1);
    }

    void midnightStampingIsDue_data() {
        QTest::addColumn<int>("stunden"); // BER_MitternachtStunden
        QTest::addColumn<QTime>("jetzt");
        QTest::addColumn<QTime>("offenSeit"); // yesterday's open entry
        QTest::addColumn<bool>("heuteEtwas"); // a presence time of today
        QTest::addColumn<bool>("faellig");
        QTest::newRow("4 h, 02:30, open since 22:10") << 4 << QTime(2, 30) << QTime(22, 10) << false << true;
        QTest::newRow("4 h, 03:05, open since 22:10") << 4 << QTime(3, 5) << QTime(22, 10) << false << false;
        QTest::newRow("4 h, 03:05, open since 23:00") << 4 << QTime(3, 5) << QTime(23, 0) << false << true;
        QTest::newRow("4 h, 04:00") << 4 << QTime(4, 0) << QTime(23, 30) << false << false;
        QTest::newRow("0 h switches it off") << 0 << QTime(0, 10) << QTime(23, 30) << false << false;
        QTest::newRow("a record of today") << 4 << QTime(2, 30) << QTime(22, 10) << true << false;
    }
    void midnightStampingIsDue() {
        QFETCH(int, stunden);
        QFETCH(QTime, jetzt);
        QFETCH(QTime, offenSeit);
        QFETCH(bool, heuteEtwas);
        recht(u"BER_MitternachtStunden"_s, stunden);
        Clock::setFixed(um(jetzt.hour(), jetzt.minute()));
        f->offenerEintrag(-1500, RecordingFixture::Chef, gestern(), zeit(offenSeit.hour(), offenSeit.minute()));
        if (heuteEtwas)
            f->praesenz(-1501, RecordingFixture::Chef, testTag(), zeit(0, 5), zeit(0, 6));
        QTEST(dm().MitternachtsStempelnNotwendig(), "faellig");
    }

    void midnightStampingDueForAnOpenPresenceAlone() {
        recht(u"BER_MitternachtStunden"_s, 4);
        Clock::setFixed(um(1, 0));
        f->praesenz(-1600, RecordingFixture::Chef, gestern(), zeit(21, 30));
        QVERIFY(dm().MitternachtsStempelnNotwendig());
        // a closed one is not open work
        QVERIFY(f->sql(u"update Z_PRAESENZZEIT set BisIstNULL = 0"_s));
        QVERIFY(!dm().MitternachtsStempelnNotwendig());
    }

    void midnightStampingEndsYesterdayAt24AndContinuesToday() {
        automatischePraesenz();
        recht(u"BER_MitternachtStunden"_s, 4);
        recht(u"BER_Mitternacht"_s, 1);
        fBER_Mitternacht = true;
        const int p = f->praesenz(-1700, RecordingFixture::Chef, gestern(), zeit(21, 30));
        const int e = f->offenerEintrag(-1701, RecordingFixture::Chef, gestern(), zeit(22, 10));
        dm().ZER_speichernBeleg(e, TObjektTyp::Auftrag, RecordingFixture::Auftrag);
        Clock::setFixed(um(1, 0));

        QVERIFY(dm().MitternachtsStempelung());
        QVERIFY(!MitternachtsStempelungLaeuft);
        QVERIFY(!PauseStartLaeuft);

        const QVariantMap alt = praesenz(p);
        QCOMPARE(alt.value(u"ZPZ_Bis"_s).toString(), u"1899-12-31 00:00:00.000"_s);
        QCOMPARE(alt.value(u"ZPZ_Std"_s).toString(), RecordingFixture::zeitText(2, 30));
        QCOMPARE(alt.value(u"ZPZ_Std100"_s).toDouble(), 2.5);
        QCOMPARE(alt.value(u"BisIstNULL"_s).toInt(), 0);
        const QVariantMap altEintrag = eintrag(e);
        QCOMPARE(altEintrag.value(u"ZER_Bis"_s).toString(), u"1899-12-31 00:00:00.000"_s);
        QCOMPARE(altEintrag.value(u"ZER_Std100"_s).toDouble(), 1.83);

        QCOMPARE(f->wert(u"select ZPZ_Von from Z_PRAESENZZEIT where ZPZ_Datum = :t and BisIstNULL = 1"_s,
                         {{u"t"_s, DTDatetimeToString(testTag())}})
                     .toString(),
                 RecordingFixture::zeitText(0, 0));
        const QVariantMap neu = eintrag(neuerEintrag(testTag()));
        QCOMPARE(neu.value(u"ZER_Von"_s).toString(), RecordingFixture::zeitText(0, 0));
        QCOMPARE(neu.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(neu.value(u"ZER_RKA_ID_A"_s).toInt(), RecordingFixture::Auftrag);
        QCOMPARE(neu.value(u"ObjektAuftrag"_s).toString(), u"A-300 - Dach"_s);
        QCOMPARE(neu.value(u"BisIstNULL"_s).toInt(), 1);

        QCOMPARE(f->anzahl(u"Lumora_PauseZER"_s) + f->anzahl(u"Lumora_PauseZPZ"_s), 0);
        QVERIFY(dm().InternalLeseBool(u"StarteSyncSofort"_s, false));
        // today has records now: stamping again is not due
        QVERIFY(!dm().MitternachtsStempelung());
    }

    void midnightStampingNeedsItsPermission() {
        recht(u"BER_MitternachtStunden"_s, 4);
        fBER_Mitternacht = false;
        const int e = f->offenerEintrag(-1800, RecordingFixture::Chef, gestern(), zeit(22, 10));
        Clock::setFixed(um(1, 0));
        QVERIFY(!dm().MitternachtsStempelung());
        QCOMPARE(eintrag(e).value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 1);
    }

    void lockedFileLosesNothing() {
        automatischePraesenz();
        recht(u"BER_MitternachtStunden"_s, 4);
        fBER_Mitternacht = true;
        const int e = f->offenerEintrag(-1900, RecordingFixture::Chef, gestern(), zeit(22, 10));
        const int p = f->praesenz(-1901, RecordingFixture::Chef, gestern(), zeit(21, 30));
        dm().PauseSchreibeMobileID_ZER(RecordingFixture::Chef, -5);
        Clock::setFixed(um(1, 0));
        {
            RecordingFixture::Sperre sperre(*f);
            QVERIFY(sperre.aktiv());
            QCOMPARE(dm().PauseLeseMobileID_ZER(RecordingFixture::Chef), 0);
            TDateTime zeitstempel;
            QVERIFY(!dm().PauseGibIstPauseAktiv(RecordingFixture::Chef, zeitstempel));
            QVERIFY(!dm().MitternachtsStempelnNotwendig());
            QVERIFY(!dm().MitternachtsStempelung());
            dm().PauseStartePause(true, Clock::now());
            dm().PauseBeendenUndFortsetzen(RecordingFixture::Chef, true, Clock::now());
            dm().PauseAbbrechen();
            QVERIFY(!PauseStartLaeuft);
        }
        dm().SQLiteVerbinden(false);
        QCOMPARE(eintrag(e).value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(praesenz(p).value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 1);
        QCOMPARE(f->anzahl(u"Z_PRAESENZZEIT"_s), 1);
        QCOMPARE(dm().PauseLeseMobileID_ZER(RecordingFixture::Chef), -5);
        // once the file is free again, the stamping that was due happens
        QVERIFY(dm().MitternachtsStempelung());
        QCOMPARE(eintrag(e).value(u"BisIstNULL"_s).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPauses)
#include "tst_pauses.moc"

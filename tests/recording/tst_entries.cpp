#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestEntries : public RecordingTest {
    Q_OBJECT

    QVariant spalte(int mobileId, const QString& name) { return f->zeile(u"Z_ERFASSUNG"_s, mobileId).value(name); }

private slots:
    void newEntryIsNumberedByTheMillisecondOfTheDay() {
        Clock::setFixed(um(8, 0, 0, 0));
        const int m = dm().ZER_Neu(um(8, 0));
        QCOMPARE(m, -28800000);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_ID"_s).toInt(), -28800000);
        QCOMPARE(z.value(u"ZER_ID_WEB"_s).toInt(), -28800000);
        QCOMPARE(z.value(u"ZER_LPE"_s).toInt(), RecordingFixture::Chef);
        QCOMPARE(z.value(u"ZER_Type"_s).toInt(), 1);
        QCOMPARE(z.value(u"ZER_Datum"_s).toString(), u"2026-03-10 00:00:00.000"_s);
        QCOMPARE(z.value(u"ZER_Von"_s).toString(), RecordingFixture::zeitText(8, 0));
        QCOMPARE(z.value(u"ZER_Monat"_s).toInt(), 3);
        QCOMPARE(z.value(u"ZER_Jahr"_s).toInt(), 2026);
        QCOMPARE(z.value(u"ZER_Verrechnen"_s).toString(), u"V"_s);
        QCOMPARE(z.value(u"ZER_ERFUSER"_s).toString(), u"chef-lm"_s);
        QCOMPARE(z.value(u"ZER_MUTDAT"_s).toString(), u"2026-03-10 08:00:00.000"_s);
        // incomplete, to upload, with a start but without end or duration
        QCOMPARE(z.value(u"komplett"_s).toInt(), 1);
        QCOMPARE(z.value(u"Owner"_s).toInt(), 1);
        QCOMPARE(z.value(u"CloudStatus"_s).toInt(), 0);
        QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 1);
        QVERIFY(!dm().ZER_gibIstKomplett(m));
    }

    void newEntryStartIsRoundedForTheEmployee() {
        QVERIFY(f->setzeRecht(RecordingFixture::GruppeLeitung, u"BER_Runden"_s, 15));
        Clock::setFixed(um(7, 38, 45));
        const int m = dm().ZER_Neu(um(7, 38, 45));
        QCOMPARE(spalte(m, u"ZER_Von"_s).toString(), RecordingFixture::zeitText(7, 45));
    }

    void newEntryNeedsACurrentEmployee() {
        AktuelleLPE_ID = 0;
        QCOMPARE(dm().ZER_Neu(um(8, 0)), -1);
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 0);
    }

    void newEntryNeverSharesItsNumberWithAnotherRecord() {
        // Yesterday's entry of the same moment, already renumbered by the server, still carries the number.
        Clock::setFixed(um(8, 0).addDays(-1));
        const int gestern = dm().ZER_Neu(um(8, 0).addDays(-1));
        QVERIFY(f->sql(u"update Z_ERFASSUNG set ZER_ID = 90001, Owner = 0, CloudStatus = 1"_s));
        Clock::setFixed(um(8, 0));
        const int heute = dm().ZER_Neu(um(8, 0));
        QCOMPARE(heute, gestern - 1);
        dm().ZER_speichernText(heute, u"heute"_s);
        QCOMPARE(spalte(gestern, u"ZER_Text"_s).toString(), QString());
        QCOMPARE(spalte(gestern, u"Owner"_s).toInt(), 0);
        // Two entries within one millisecond
        const int zweite = dm().ZER_Neu(um(8, 0));
        QCOMPARE(zweite, heute - 1);
    }

    void entryAtTheFirstMillisecondOfTheDayIsStillARecord() {
        Clock::setFixed(testTag());
        const int m = dm().ZER_Neu(testTag());
        QVERIFY(m < 0);
        QCOMPARE(spalte(m, u"ZER_LPE"_s).toInt(), RecordingFixture::Chef);
    }

    void timeWrites_data() {
        QTest::addColumn<double>("von");
        QTest::addColumn<double>("bis");
        QTest::addColumn<double>("dauer");
        QTest::addColumn<bool>("vonIstNull");
        QTest::addColumn<QString>("gespeichertBis");
        QTest::addColumn<int>("flagVon");
        QTest::addColumn<int>("flagBis");
        QTest::addColumn<int>("flagStd");
        const double h = 1.0 / 24;
        QTest::newRow("ordinary span") << 8 * h << 12 * h << 4 * h << false << u"1899-12-30 12:00:00.000"_s << 0 << 0
                                       << 0;
        QTest::newRow("midnight start given")
            << 0.0 << 2 * h << 2 * h << false << u"1899-12-30 02:00:00.000"_s << 0 << 0 << 0;
        QTest::newRow("midnight start empty")
            << 0.0 << 2 * h << 2 * h << true << u"1899-12-30 02:00:00.000"_s << 1 << 0 << 0;
        QTest::newRow("end 24:00") << 20 * h << 1.0 << 4 * h << false << u"1899-12-31 00:00:00.000"_s << 0 << 0 << 0;
        QTest::newRow("end 06:00 next day")
            << 20 * h << 1.25 << 10 * h << false << u"1899-12-31 06:00:00.000"_s << 0 << 0 << 0;
        QTest::newRow("no end, no duration")
            << 8 * h << 0.0 << 0.0 << false << u"1899-12-30 00:00:00.000"_s << 0 << 1 << 1;
    }
    void timeWrites() {
        QFETCH(double, von);
        QFETCH(double, bis);
        QFETCH(double, dauer);
        QFETCH(bool, vonIstNull);
        QFETCH(QString, gespeichertBis);
        const int m = dm().ZER_Neu(um(8, 0));
        Clock::setFixed(um(9, 30));
        dm().ZER_speichernZeiten(m, TDateTime(von), TDateTime(bis), TDateTime(dauer), 1.75, false, vonIstNull);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_Von"_s).toString(), DTDatetimeToString(TDateTime(von)));
        QCOMPARE(z.value(u"ZER_Bis"_s).toString(), gespeichertBis);
        QCOMPARE(z.value(u"ZER_Std"_s).toString(), DTDatetimeToString(TDateTime(dauer)));
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 1.75);
        QTEST(z.value(u"VonIstNULL"_s).toInt(), "flagVon");
        QTEST(z.value(u"BisIstNULL"_s).toInt(), "flagBis");
        QTEST(z.value(u"StdIstNULL"_s).toInt(), "flagStd");
        QCOMPARE(z.value(u"ZER_MUTDAT"_s).toString(), u"2026-03-10 09:30:00.000"_s);
    }

    void onlyTheStartTime() {
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernZeiten(m, zeit(12, 0), zeit(13, 0), zeit(1, 0), 1, false, false);
        dm().ZeitenSetzeIstNull(m, true, true, false, false, true);
        dm().ZER_speichernZeiten(m, zeit(7, 15), TDateTime(), TDateTime(), 0, true, true);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_Von"_s).toString(), RecordingFixture::zeitText(7, 15));
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"ZER_Bis"_s).toString(), RecordingFixture::zeitText(13, 0));
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 1.0);
    }

    void fieldWrites() {
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernDatum(m, TDateTime::encodeDateTime(2025, 12, 31, 17, 45, 0));
        dm().ZER_speichernType(m, 4);
        dm().ZER_speichernKS(m, u"KS-9"_s);
        dm().ZER_speichernFAKT(m, u"G"_s);
        dm().ZER_speichernAnzahl(m, 2.5);
        dm().ZER_speichernZerLeistung(m, RecordingFixture::MaterialFranken);
        const QString lang = QString(100, u'x');
        dm().ZER_speichernBez(m, lang);
        // Text beyond any single code page stays as typed.
        const QString text = u"Grüße aus Zürich – 東京 ✓ 🙂"_s;
        dm().ZER_speichernText(m, text);
        QVERIFY(f->sql(u"update Z_ERFASSUNG set ZER_Tag = 'Mo'"_s));
        dm().ZER_speichernDatum(m, TDateTime::encodeDate(2026, 1, 2));
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_Datum"_s).toString(), u"2026-01-02 00:00:00.000"_s);
        QCOMPARE(z.value(u"ZER_Monat"_s).toInt(), 1);
        QCOMPARE(z.value(u"ZER_Jahr"_s).toInt(), 2026);
        QCOMPARE(z.value(u"ZER_Tag"_s).toString(), QString());
        QCOMPARE(z.value(u"ZER_Type"_s).toInt(), 4);
        QCOMPARE(z.value(u"ZER_ZKS"_s).toString(), u"KS-9"_s);
        QCOMPARE(z.value(u"ZER_Verrechnen"_s).toString(), u"G"_s);
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 2.5);
        QCOMPARE(z.value(u"ZER_Leistung"_s).toInt(), RecordingFixture::MaterialFranken);
        QCOMPARE(z.value(u"ZER_Bezeichnung"_s).toString(), QString(90, u'x'));
        QCOMPARE(z.value(u"ZER_Text"_s).toString(), text);
    }

    void kilometresAndMaterialSetTheirEmptyTimes() {
        const int km = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernKM(km, 42);
        QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, km);
        QCOMPARE(z.value(u"ZER_Km"_s).toInt(), 42);
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 1);

        Clock::advance(1.0 / 86400000);
        const int mat = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernMaterial(mat, RecordingFixture::MaterialEuro);
        z = f->zeile(u"Z_ERFASSUNG"_s, mat);
        QCOMPARE(z.value(u"ZER_MAT_ID"_s).toInt(), RecordingFixture::MaterialEuro);
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 0);
    }

    void costTypeCopiesItsBookingColumns_data() {
        QTest::addColumn<QString>("ka");
        QTest::addColumn<int>("mwstExkl");
        QTest::addColumn<int>("mwstc");
        QTest::addColumn<QString>("konto");
        QTest::addColumn<int>("stdETyp");
        QTest::newRow("working time") << u"ARB"_s << 0 << 2 << u"3400"_s << 1;
        QTest::newRow("article priced work is tax exclusive") << u"LEI"_s << 1 << 3 << u"3420"_s << 2;
        QTest::newRow("unknown cost type") << u"NIX"_s << 1 << 1 << QString() << 0;
    }
    void costTypeCopiesItsBookingColumns() {
        const int m = dm().ZER_Neu(um(8, 0));
        QFETCH(QString, ka);
        dm().ZER_speichernKA(m, ka);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_ZKA"_s).toString(), ka);
        QTEST(z.value(u"ZER_MWStExkl"_s).toInt(), "mwstExkl");
        QTEST(z.value(u"ZER_MWSTC"_s).toInt(), "mwstc");
        QTEST(z.value(u"ZER_Konto"_s).toString(), "konto");
        QTEST(z.value(u"ZER_StdETyp"_s).toInt(), "stdETyp");
        QCOMPARE(z.value(u"ZER_Type"_s).toInt(), 1); // the kind is the editor's to write
    }

    void costs_data() {
        QTest::addColumn<int>("typ");
        QTest::addColumn<QString>("ka");
        QTest::addColumn<double>("menge");
        QTest::addColumn<int>("km");
        QTest::addColumn<int>("leistung");
        QTest::addColumn<int>("material");
        QTest::addColumn<double>("kostenStd");
        QTest::addColumn<double>("ansatz");
        QTest::addColumn<double>("betrag");
        QTest::addColumn<double>("rechnung");
        QTest::newRow("kind 1, 2.5 h at 40/65")
            << 1 << u"ARB"_s << 2.5 << 0 << 0 << 0 << 40.0 << 65.0 << 100.0 << 162.5;
        QTest::newRow("kind 1 without hours") << 1 << u"ARB"_s << 0.0 << 0 << 0 << 0 << 40.0 << 65.0 << 0.0 << 0.0;
        QTest::newRow("kind 0") << 0 << u"ARB0"_s << 1.25 << 0 << 0 << 0 << 40.0 << 65.0 << 50.0 << 81.25;
        QTest::newRow("kind 2 with factor 1.5") << 2 << u"UEB"_s << 2.0 << 0 << 0 << 0 << 40.0 << 97.5 << 80.0 << 195.0;
        QTest::newRow("kind 2, unknown cost type")
            << 2 << u"NIX"_s << 2.0 << 0 << 0 << 0 << 40.0 << 65.0 << 80.0 << 130.0;
        QTest::newRow("kind 3, own currency") << 3 << u"LEI"_s << 3.0 << 0 << 500 << 0 << 8.0 << 12.0 << 24.0 << 36.0;
        QTest::newRow("kind 3, euro") << 3 << u"LEI"_s << 3.0 << 0 << 501 << 0 << 7.0 << 11.0 << 21.0 << 33.0;
        QTest::newRow("kind 3, unknown article") << 3 << u"LEI"_s << 3.0 << 0 << 999 << 0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("kind 9 material") << 9 << QString() << 4.0 << 0 << 0 << 500 << 8.0 << 12.0 << 32.0 << 48.0;
        QTest::newRow("kind 4 expenses") << 4 << u"SPE"_s << 3.0 << 0 << 0 << 0 << 12.5 << 12.5 << 37.5 << 37.5;
        QTest::newRow("kind 5, 120 km") << 5 << u"KM"_s << 0.0 << 120 << 0 << 0 << 0.7 << 0.7 << 84.0 << 84.0;
        QTest::newRow("kind 5, 0 km") << 5 << u"KM"_s << 0.0 << 0 << 0 << 0 << 0.7 << 0.7 << 0.0 << 0.0;
        QTest::newRow("kind 6 never invoiced") << 6 << u"AUS"_s << 2.0 << 0 << 0 << 0 << 20.0 << 0.0 << 40.0 << 0.0;
        QTest::newRow("kind 7 gives zeros") << 7 << u"SON"_s << 2.0 << 0 << 0 << 0 << 0.0 << 0.0 << 0.0 << 0.0;
        // halves go to the even neighbour at the second decimal
        QTest::newRow("0.25 h at 40.5 -> 10.12")
            << 1 << u"ARB"_s << 0.25 << 0 << 0 << 0 << 40.5 << 65.0 << 10.12 << 16.25;
        QTest::newRow("0.75 h at 40.5 -> 30.38")
            << 1 << u"ARB"_s << 0.75 << 0 << 0 << 0 << 40.5 << 65.0 << 30.38 << 48.75;
    }
    void costs() {
        QFETCH(int, typ);
        QFETCH(QString, ka);
        QFETCH(double, menge);
        QFETCH(int, km);
        QFETCH(int, leistung);
        QFETCH(int, material);
        QFETCH(double, kostenStd);
        if (kostenStd == 40.5)
            QVERIFY(f->sql(u"update A_PERSONAL set LPE_KostenStd = 40.5 where LPE_ID = 10"_s));
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernType(m, typ);
        dm().ZER_speichernKA(m, ka);
        dm().ZER_speichernAnzahl(m, menge);
        dm().ZER_speichernKM(m, km);
        dm().ZER_speichernZerLeistung(m, leistung);
        dm().ZER_speichernMaterial(m, material);
        dm().ZER_speichernKosten(m);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_KostenStd"_s).toDouble(), kostenStd);
        QTEST(z.value(u"ZER_Ansatz"_s).toDouble(), "ansatz");
        QTEST(z.value(u"ZER_Betrag"_s).toDouble(), "betrag");
        QTEST(z.value(u"ZER_RechnungsBetrag"_s).toDouble(), "rechnung");
    }

    void hourFactorIsTheTenantsOwn() {
        // Tenant 8 has the same cost type number with factor 3; tenant 7's factor 1.5 applies.
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernType(m, 2);
        dm().ZER_speichernKA(m, u"UEB"_s);
        dm().ZER_speichernAnzahl(m, 1.0);
        QVERIFY(f->sql(u"delete from Z_KOSTENART where Mandant_ID = 7 and ZKA_Nr = 'UEB'"_s));
        dm().ZER_speichernKosten(m);
        QCOMPARE(spalte(m, u"ZER_Ansatz"_s).toDouble(), 65.0);
    }

    void bookingObject_data() {
        QTest::addColumn<int>("art");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("idSpalte");
        QTest::addColumn<QString>("textSpalte");
        QTest::addColumn<QString>("text");
        QTest::newRow("order") << 0 << 300 << u"ZER_RKA_ID_A"_s << u"ObjektAuftrag"_s << u"A-300 - Dach"_s;
        QTest::newRow("work order") << 1 << 301 << u"ZER_RKA_ID_W"_s << u"ObjektWerkAuftrag"_s << u"W-301 - Fenster"_s;
        QTest::newRow("project") << 2 << 302 << u"ZER_PRO"_s << u"ObjektProjekt"_s << u"P-302 - Neubau"_s;
        QTest::newRow("address") << 3 << 303 << u"ZER_ADR_ID"_s << u"ObjektAdresse"_s << u"4711 - Muster AG"_s;
    }
    void bookingObject() {
        QFETCH(int, art);
        QFETCH(int, id);
        QFETCH(QString, idSpalte);
        QFETCH(QString, textSpalte);
        QFETCH(QString, text);
        const QStringList ids = {u"ZER_RKA_ID_A"_s, u"ZER_RKA_ID_W"_s, u"ZER_PRO"_s, u"ZER_ADR_ID"_s};
        const QStringList texte = {u"ObjektAuftrag"_s, u"ObjektWerkAuftrag"_s, u"ObjektProjekt"_s, u"ObjektAdresse"_s};
        const int m = dm().ZER_Neu(um(8, 0));
        // Start from another object so that every other column must be cleared.
        dm().ZER_speichernBeleg(m, art == 0 ? TObjektTyp::Adresse : TObjektTyp::Auftrag, art == 0 ? 303 : 300);
        dm().ZER_speichernBeleg(m, TObjektTyp(art), id);
        QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        for (const QString& s : ids)
            QCOMPARE(z.value(s).toInt(), s == idSpalte ? id : 0);
        for (const QString& s : texte)
            QCOMPARE(z.value(s).toString(), s == textSpalte ? text : QString());

        // An object that cannot be found leaves the booking as it was.
        dm().ZER_speichernBeleg(m, TObjektTyp(art), 9999);
        z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(idSpalte).toInt(), id);
        QCOMPARE(z.value(textSpalte).toString(), text);

        // Internal work clears all four objects and all texts.
        dm().ZER_speichernBeleg(m, TObjektTyp::Intern, 0);
        z = f->zeile(u"Z_ERFASSUNG"_s, m);
        for (const QString& s : ids)
            QCOMPARE(z.value(s).toInt(), 0);
        for (const QString& s : texte)
            QCOMPARE(z.value(s).toString(), QString());
    }

    void setInternalKeepsTextsAndStamps() {
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernBeleg(m, TObjektTyp::Projekt, RecordingFixture::Projekt);
        Clock::setFixed(um(11, 0));
        dm().ZER_SetzeIntern(m);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_PRO"_s).toInt(), 0);
        QCOMPARE(z.value(u"ObjektProjekt"_s).toString(), u"P-302 - Neubau"_s);
        QCOMPARE(z.value(u"ZER_MUTDAT"_s).toString(), u"2026-03-10 08:00:00.000"_s);
    }

    void lifecycleFlags() {
        const int m = dm().ZER_Neu(um(8, 0));
        QVERIFY(f->sql(u"update Z_ERFASSUNG set Owner = 0, CloudStatus = 1, ZER_Tag = 'Di'"_s));
        dm().ZER_SetzeSperre(m, true);
        QCOMPARE(spalte(m, u"gesperrt"_s).toInt(), 1);
        QCOMPARE(spalte(m, u"Owner"_s).toInt(), 1);
        dm().ZER_speichernIstKomplett(m, true);
        QVERIFY(dm().ZER_gibIstKomplett(m));
        QCOMPARE(spalte(m, u"komplett"_s).toInt(), 0);
        QCOMPARE(spalte(m, u"CloudStatus"_s).toInt(), 0);
        QCOMPARE(spalte(m, u"ZER_Tag"_s).toString(), QString());
        dm().ZER_speichernIstKomplett(m, false);
        QCOMPARE(spalte(m, u"komplett"_s).toInt(), 1);
        QVERIFY(!dm().ZER_gibIstKomplett(m));
        dm().ZER_SetzeSperre(m, false);
        QCOMPARE(spalte(m, u"gesperrt"_s).toInt(), 0);
        QVERIFY(!dm().ZER_gibIstKomplett(-1234));

        QVERIFY(dm().ZER_LoescheDatensatz(m));
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"geloescht"_s).toInt(), 1);
        QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
        QCOMPARE(z.value(u"komplett"_s).toInt(), 0);
        QCOMPARE(z.value(u"Owner"_s).toInt(), 1);
    }

    void handOverToAnotherEmployee() {
        const int m = dm().ZER_Neu(um(8, 0));
        Clock::setFixed(um(10, 0));
        dm().ZER_TauscheLPEID(m, RecordingFixture::Bert);
        QCOMPARE(spalte(m, u"ZER_LPE"_s).toInt(), RecordingFixture::Bert);
        QCOMPARE(spalte(m, u"ZER_MUTDAT"_s).toString(), u"2026-03-10 08:00:00.000"_s);
    }

    void hoursOfADay() {
        const int a = f->offenerEintrag(-100, RecordingFixture::Chef, testTag(), zeit(7, 0), 1);
        const int b = f->offenerEintrag(-101, RecordingFixture::Chef, testTag(), zeit(9, 0), 3);
        const int spesen = f->offenerEintrag(-102, RecordingFixture::Chef, testTag(), zeit(9, 0), 4);
        const int geloescht = f->offenerEintrag(-103, RecordingFixture::Chef, testTag(), zeit(9, 0), 1);
        const int bert = f->offenerEintrag(-104, RecordingFixture::Bert, testTag(), zeit(9, 0), 1);
        dm().ZER_speichernAnzahl(a, 2.25);
        dm().ZER_speichernAnzahl(b, 1.5);
        dm().ZER_speichernAnzahl(spesen, 7);
        dm().ZER_speichernAnzahl(geloescht, 3);
        dm().ZER_speichernAnzahl(bert, 5);
        dm().ZER_LoescheDatensatz(geloescht);
        QCOMPARE(dm().ZER_GibStundenZuTag(um(15, 0), RecordingFixture::Chef), 3.75);
        QCOMPARE(dm().ZER_GibStundenZuTag(testTag().addDays(1), RecordingFixture::Chef), 0.0);
    }

    void currentEntrySetting() {
        QCOMPARE(dm().Zer_AktuelleMobileIDlese(), 0);
        dm().ZER_AktuelleMobileIDschreibe(-4711);
        QCOMPARE(dm().Zer_AktuelleMobileIDlese(), -4711);
    }

    void nullFlags_data() {
        QTest::addColumn<bool>("istZER");
        QTest::newRow("entry") << true;
        QTest::newRow("presence time") << false;
    }
    void nullFlags() {
        QFETCH(bool, istZER);
        const int m = istZER ? f->offenerEintrag(-200, RecordingFixture::Chef, testTag(), zeit(8, 0))
                             : f->praesenz(-200, RecordingFixture::Chef, testTag(), zeit(8, 0));
        // both kinds start with a from-time and neither end nor duration
        QVERIFY(!dm().ZeitenGibIstNull(m, istZER, 1));
        QVERIFY(dm().ZeitenGibIstNull(m, istZER, 2));
        QVERIFY(dm().ZeitenGibIstNull(m, istZER, 3));
        dm().ZeitenSetzeIstNull(m, istZER, true, false, true, true);
        QVERIFY(dm().ZeitenGibIstNull(m, istZER, 1));
        QVERIFY(dm().ZeitenGibIstNull(m, istZER, 2));
        dm().ZeitenSetzeIstNull(m, istZER, false, true, true, false);
        QVERIFY(dm().ZeitenGibIstNull(m, istZER, 1));
        QVERIFY(!dm().ZeitenGibIstNull(m, istZER, 2));
        QVERIFY(!dm().ZeitenGibIstNull(m, istZER, 3));
        // a code other than 1 to 3, or no such record, reads as false
        QVERIFY(!dm().ZeitenGibIstNull(m, istZER, 4));
        QVERIFY(!dm().ZeitenGibIstNull(-999, istZER, 1));
        // the other table is not touched
        QCOMPARE(f->anzahl(istZER ? u"Z_PRAESENZZEIT"_s : u"Z_ERFASSUNG"_s), 0);
    }

    void closingOpenEntries() {
        QVERIFY(f->sql(u"update A_PERSONAL set LPE_KostenStd = 40 where LPE_ID = 10"_s));
        const int frueh = f->offenerEintrag(-300, RecordingFixture::Chef, testTag(), zeit(7, 30));
        const int spaet = f->offenerEintrag(-301, RecordingFixture::Chef, testTag(), zeit(13, 0));
        const int ausgenommen = f->offenerEintrag(-302, RecordingFixture::Chef, testTag(), zeit(6, 0));
        const int fremd = f->offenerEintrag(-303, RecordingFixture::Bert, testTag(), zeit(7, 0));
        const int gestern = f->offenerEintrag(-304, RecordingFixture::Chef, testTag().addDays(-1), zeit(7, 0));
        const int spesen = f->offenerEintrag(-305, RecordingFixture::Chef, testTag(), zeit(7, 0), 4);
        dm().ZER_SetzeSperre(frueh, true);

        QVERIFY(dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 15), RecordingFixture::Chef, ausgenommen, false,
                                                  false, true));
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, frueh);
        QCOMPARE(z.value(u"ZER_Bis"_s).toString(), RecordingFixture::zeitText(12, 15));
        QCOMPARE(z.value(u"ZER_Std"_s).toString(), RecordingFixture::zeitText(4, 45));
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 4.75);
        QCOMPARE(z.value(u"BisIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"StdIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"ZER_Betrag"_s).toDouble(), 190.0);
        QCOMPARE(z.value(u"ZER_RechnungsBetrag"_s).toDouble(), 308.75);
        QCOMPARE(z.value(u"gesperrt"_s).toInt(), 0);
        QCOMPARE(z.value(u"komplett"_s).toInt(), 0);
        for (int offen : {spaet, ausgenommen, fremd, gestern, spesen})
            QCOMPARE(spalte(offen, u"BisIstNULL"_s).toInt(), 1);
        // nothing was remembered as a pause
        QCOMPARE(f->anzahl(u"Lumora_PauseZER"_s), 0);
        // a second close finds nothing open before 12:15 but the excluded entry
        QVERIFY(!dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 15), RecordingFixture::Chef, ausgenommen, false,
                                                   false, true));
        // the mobile id -2 excludes none
        QVERIFY(
            dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 15), RecordingFixture::Chef, -2, false, false, true));
        QCOMPARE(spalte(ausgenommen, u"ZER_Std100"_s).toDouble(), 6.25);
    }

    void closingAtMidnightEndsAt24() {
        const int m = f->offenerEintrag(-310, RecordingFixture::Chef, testTag(), zeit(22, 10));
        QVERIFY(dm().ZER_offeneZeitenAbschliessen(testTag(), testTag().addDays(1), RecordingFixture::Chef, -2, false,
                                                  false, true));
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(z.value(u"ZER_Bis"_s).toString(), u"1899-12-31 00:00:00.000"_s);
        QCOMPARE(z.value(u"ZER_Std"_s).toString(), RecordingFixture::zeitText(1, 50));
        QCOMPARE(z.value(u"ZER_Std100"_s).toDouble(), 1.83);
    }

    void teamEntriesCloseOnlyWithTeamPermission() {
        const int team = f->offenerEintrag(-2000, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int einzeln = f->offenerEintrag(-2001, RecordingFixture::Chef, testTag(), zeit(8, 0));
        QVERIFY(f->teamLink(u"Lumora_Team"_s, team, u"{0E5B0C2A-1111-4A4A-9C9C-000000000001}"_s));
        QVERIFY(
            dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 0), RecordingFixture::Chef, -2, false, false, true));
        QCOMPARE(spalte(team, u"BisIstNULL"_s).toInt(), 1);
        QCOMPARE(spalte(einzeln, u"BisIstNULL"_s).toInt(), 0);
        fBER_Teamerfassung = true;
        QVERIFY(
            dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 0), RecordingFixture::Chef, -2, false, false, true));
        QCOMPARE(spalte(team, u"ZER_Std100"_s).toDouble(), 5.0);
    }

    void deletingATeamEntryDeletesItsWholeRecording() {
        const QString guid = u"{0E5B0C2A-2222-4A4A-9C9C-000000000002}"_s;
        const int quelle = f->offenerEintrag(-3000, RecordingFixture::Chef, testTag(), zeit(7, 0));
        const int bert = f->offenerEintrag(-2999, RecordingFixture::Bert, testTag(), zeit(7, 0));
        const int cora = f->offenerEintrag(-2998, RecordingFixture::Cora, testTag(), zeit(7, 0));
        const int fremd = f->offenerEintrag(-3100, RecordingFixture::Chef, testTag(), zeit(9, 0));
        QVERIFY(f->teamLink(u"Lumora_Team"_s, quelle, guid));
        QVERIFY(f->teamLink(u"Lumora_Team"_s, bert, guid));
        QVERIFY(f->teamLink(u"Lumora_Team"_s, cora, guid, true)); // withdrawn links count all the same
        QVERIFY(f->sql(u"update Z_ERFASSUNG set Owner = 0"_s));
        Clock::setFixed(um(10, 0));
        QVERIFY(dm().ZER_LoescheDatensatzTeam(bert));
        for (int m : {quelle, bert, cora}) {
            QCOMPARE(spalte(m, u"geloescht"_s).toInt(), 1);
            QCOMPARE(spalte(m, u"Owner"_s).toInt(), 1);
        }
        QCOMPARE(spalte(fremd, u"geloescht"_s).toInt(), 0);
        QCOMPARE(spalte(fremd, u"Owner"_s).toInt(), 0);
        QCOMPARE(f->anzahl(u"Lumora_Team where PTT_Inaktiv = 1 and Owner = 1 and PTT_MUTUSER = 'chef-lm'"
                           u" and PTT_MUTDAT = '2026-03-10 10:00:00.000'"_s),
                 3);
        // an entry without team links is deleted alone
        QVERIFY(dm().ZER_LoescheDatensatzTeam(fremd));
        QCOMPARE(spalte(fremd, u"geloescht"_s).toInt(), 1);
    }

    void failedWritesKeepWhatWasRecorded() {
        const int m = dm().ZER_Neu(um(8, 0));
        dm().ZER_speichernZeiten(m, zeit(8, 0), zeit(9, 0), zeit(1, 0), 1.0, false, false);
        dm().ZER_speichernText(m, u"vorher"_s);
        dm().ZER_speichernAnzahl(m, 1.0);
        {
            RecordingFixture::Sperre sperre(*f);
            QVERIFY(sperre.aktiv());
            QCOMPARE(dm().ZER_Neu(um(9, 0)), 0);
            dm().ZER_speichernZeiten(m, zeit(10, 0), zeit(11, 0), zeit(1, 0), 1.0, false, false);
            dm().ZER_speichernText(m, u"nachher"_s);
            dm().ZER_speichernKosten(m);
            dm().ZeitenSetzeIstNull(m, true, true, true, true, true);
            QVERIFY(!dm().ZER_LoescheDatensatz(m));
            QVERIFY(!dm().ZER_LoescheDatensatzTeam(m));
            QVERIFY(!dm().ZER_gibIstKomplett(m));
            QCOMPARE(dm().ZER_GibStundenZuTag(testTag(), RecordingFixture::Chef), 0.0);
            QVERIFY(!dm().ZER_offeneZeitenAbschliessen(testTag(), zeit(12, 0), RecordingFixture::Chef, -2, false, false,
                                                       true));
        }
        dm().SQLiteVerbinden(false);
        const QVariantMap z = f->zeile(u"Z_ERFASSUNG"_s, m);
        QCOMPARE(f->anzahl(u"Z_ERFASSUNG"_s), 1);
        QCOMPARE(z.value(u"ZER_Von"_s).toString(), RecordingFixture::zeitText(8, 0));
        QCOMPARE(z.value(u"ZER_Text"_s).toString(), u"vorher"_s);
        QCOMPARE(z.value(u"VonIstNULL"_s).toInt(), 0);
        QCOMPARE(z.value(u"geloescht"_s).toInt(), 0);
        QCOMPARE(z.value(u"ZER_Betrag"_s).toDouble(), 0.0);
        QCOMPARE(dm().ZER_GibStundenZuTag(testTag(), RecordingFixture::Chef), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestEntries)
#include "tst_entries.moc"

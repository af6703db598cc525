#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using F = RecordingFixture;

const TDateTime kHeute = TDateTime::encodeDate(2024, 4, 10);

TDateTime tag(int jahr, int monat, int t) {
    return TDateTime::encodeDate(jahr, monat, t);
}

QString alsText(TDateTime dt) {
    return DTDatetimeToString(dt);
}

} // namespace

class TestPermissions : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(kHeute + TDateTime::encodeTime(9, 0).value()); }
    void cleanup() { Clock::reset(); }

    void einzelneRechteDesMitarbeiters_data();
    void einzelneRechteDesMitarbeiters();
    void rundung_data();
    void rundung();
    void buchungssperre_data();
    void buchungssperre();
    void datumAendern_data();
    void datumAendern();
    void maxAlterDerZeiten();
    void zwischenspeicherDerRechte();
    void zwischenspeicherOhneGruppe();
    void teamRechteBleibenBeiAnderemMitarbeiter();
    void objekttypen();
    void minutenrad_data();
    void minutenrad();
    void gesperrteDateiVerliertNichts();
};

void TestPermissions::einzelneRechteDesMitarbeiters_data() {
    QTest::addColumn<int>("lpe");
    QTest::addColumn<QString>("recht");
    QTest::addColumn<bool>("boolean");
    QTest::addColumn<int>("zahl");

    QTest::newRow("set Boolean of the group") << F::Bert << u"BER_ZPZ_automatik"_s << true << 1;
    QTest::newRow("integer of the group") << F::Bert << u"BER_Runden"_s << true << 15;
    QTest::newRow("other group keeps its value") << F::Chef << u"BER_ZPZ_automatik"_s << false << 0;
    QTest::newRow("no user row: defaults") << 99 << u"BER_Runden"_s << false << 0;
    QTest::newRow("user of another tenant") << 40 << u"BER_ZPZ_automatik"_s << false << 0;
    QTest::newRow("unknown column") << F::Bert << u"BER_GibtEsNicht"_s << false << 0;
    QTest::newRow("statement text instead of a name")
        << F::Bert << u"BER_Runden From Lumora_User; delete from Lumora_Gruppen; --"_s << false << 0;
}

void TestPermissions::einzelneRechteDesMitarbeiters() {
    QFETCH(int, lpe);
    QFETCH(QString, recht);
    QFETCH(bool, boolean);
    QFETCH(int, zahl);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_ZPZ_automatik"_s, 1));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Runden"_s, 15));
    // The same personnel id in another tenant's user table must not lend its group.
    QVERIFY(f.sql(u"insert into Lumora_Gruppen (Mandant_ID, BER_ID, BER_ZPZ_automatik) values (8, 1, 1)"_s));
    QVERIFY(f.sql(u"insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_BER_ID, USR_UserFD)"
                  u" values (8, 140, 'Fremd', 1, 40)"_s));

    QCOMPARE(f.dm().GibBerechtigungBoolean(recht, lpe), boolean);
    QCOMPARE(f.dm().GibBerechtigungInteger(recht, lpe), zahl);
    QCOMPARE(f.anzahl(u"Lumora_Gruppen"_s), 3);
}

void TestPermissions::rundung_data() {
    QTest::addColumn<int>("schritt");
    QTest::addColumn<TDateTime>("zeit");
    QTest::addColumn<TDateTime>("erwartet");

    auto um = [](int h, int m, int s = 0) { return kHeute + TDateTime::encodeTime(h, m, s).value(); };
    QTest::newRow("15: 07:38:45 up") << 15 << um(7, 38, 45) << um(7, 45);
    QTest::newRow("15: 07:37:59 down, seconds dropped first") << 15 << um(7, 37, 59) << um(7, 30);
    QTest::newRow("15: 07:52") << 15 << um(7, 52) << um(7, 45);
    QTest::newRow("15: 07:53 into the next hour") << 15 << um(7, 53) << um(8, 0);
    QTest::newRow("10: minute 25, half to even") << 10 << um(7, 25) << um(7, 20);
    QTest::newRow("10: minute 15, half to even") << 10 << um(7, 15) << um(7, 20);
    QTest::newRow("10: minute 35, half to even") << 10 << um(7, 35) << um(7, 40);
    QTest::newRow("5: 07:57:30") << 5 << um(7, 57, 30) << um(7, 55);
    QTest::newRow("1: seconds dropped") << 1 << um(7, 38, 59) << um(7, 38);
    QTest::newRow("0: no rounding") << 0 << um(7, 38, 59) << um(7, 38);
    QTest::newRow("-5: no rounding") << -5 << um(7, 38, 59) << um(7, 38);
    QTest::newRow("15: 23:53 gives midnight of the next day") << 15 << um(23, 53) << tag(2024, 4, 11);
    QTest::newRow("15: 23:53 on the last day of a month")
        << 15 << tag(2024, 1, 31) + TDateTime::encodeTime(23, 53).value() << tag(2024, 2, 1);
    QTest::newRow("15: 23:53 on new year's eve")
        << 15 << tag(2023, 12, 31) + TDateTime::encodeTime(23, 53).value() << tag(2024, 1, 1);
    QTest::newRow("15: a pure time of day keeps date part 0")
        << 15 << TDateTime::encodeTime(12, 8) << TDateTime::encodeTime(12, 15);
}

void TestPermissions::rundung() {
    QFETCH(int, schritt);
    QFETCH(TDateTime, zeit);
    QFETCH(TDateTime, erwartet);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Runden"_s, schritt));

    const TDateTime gerundet = f.dm().ZeitRunden(zeit, 0, F::Bert);
    QCOMPARE(alsText(gerundet), alsText(erwartet));
    QCOMPARE(gerundet.totalMSecs(), erwartet.totalMSecs());
}

void TestPermissions::buchungssperre_data() {
    QTest::addColumn<bool>("mitGruppe");
    QTest::addColumn<TDateTime>("heute");
    QTest::addColumn<TDateTime>("erwartet");

    QTest::newRow("fixed date is later") << true << tag(2024, 4, 10) << tag(2024, 3, 31);
    QTest::newRow("days back are later") << true << tag(2024, 4, 20) << tag(2024, 4, 6);
    QTest::newRow("no group: today") << false << tag(2024, 4, 20) << tag(2024, 4, 20);
}

void TestPermissions::buchungssperre() {
    QFETCH(bool, mitGruppe);
    QFETCH(TDateTime, heute);
    QFETCH(TDateTime, erwartet);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    Clock::setFixed(heute + TDateTime::encodeTime(16, 45).value());
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Buchungssperre"_s, alsText(tag(2024, 3, 31) + 0.5)));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_TageVeraenderbar"_s, 14));

    QCOMPARE(alsText(f.dm().GibDatumBuchungssperre(mitGruppe ? F::Bert : 99)), alsText(erwartet));
}

void TestPermissions::datumAendern_data() {
    QTest::addColumn<TDateTime>("datum");
    QTest::addColumn<bool>("zukunftErlaubt");
    QTest::addColumn<bool>("erwartet");

    const TDateTime sperre = tag(2024, 4, 3);
    QTest::newRow("the lock day itself") << sperre + 0.75 << false << true;
    QTest::newRow("the day before the lock") << sperre - 1.0 << false << false;
    QTest::newRow("today") << kHeute << false << true;
    QTest::newRow("tomorrow without permission") << kHeute + 1.0 << false << false;
    QTest::newRow("tomorrow with permission") << kHeute + 1.0 << true << true;
}

void TestPermissions::datumAendern() {
    QFETCH(TDateTime, datum);
    QFETCH(bool, zukunftErlaubt);
    QFETCH(bool, erwartet);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    AktuelleLPE_ID = F::Bert;
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Buchungssperre"_s, alsText(tag(2024, 4, 3))));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_TageVeraenderbar"_s, 30));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_InZukunftErlauben"_s, zukunftErlaubt ? 1 : 0));

    QCOMPARE(f.dm().DatumAendernIstDatumOK(datum), erwartet);
}

void TestPermissions::maxAlterDerZeiten() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QCOMPARE(alsText(f.dm().GibDatumMaxAlterDerZeiten()), alsText(kHeute - 60.0));
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::MaxAlterDerZeiten, 10));
    QCOMPARE(alsText(f.dm().GibDatumMaxAlterDerZeiten()), alsText(tag(2024, 3, 31)));
}

void TestPermissions::zwischenspeicherDerRechte() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.sql(u"update Lumora_Gruppen set BER_Praesenzzeit = 0, BER_Typ = '10100', BER_Art = '1001', BER_KS = 1,"
                  u" BER_Fakt = 0, BER_Mitternacht = 1, BER_MitternachtStunden = 4, BER_TeamPraesenzzeit = 1,"
                  u" BER_TeamLight = 1, BER_Teamerfassung = 1 where Mandant_ID = 7 and BER_ID = 1"_s));

    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Praesenzzeit, false);
    QCOMPARE(fBER_Typ, u"10100"_s);
    QCOMPARE(fBER_Art, u"1001"_s);
    QCOMPARE(fBER_KS, 1);
    QCOMPARE(fBER_Fakt, 0);
    QCOMPARE(fBER_Mitternacht, true);
    QCOMPARE(fBER_MitternachtStunden, 4);
    QCOMPARE(fBER_TeamPraesenzzeit, true);
    QCOMPARE(fBER_TeamLight, true);
    QCOMPARE(fBER_Teamerfassung, true);
}

void TestPermissions::zwischenspeicherOhneGruppe() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    f.anmelden(99, u"gast"_s);
    fBER_Mitternacht = fBER_TeamPraesenzzeit = fBER_TeamLight = fBER_Teamerfassung = true;
    fBER_MitternachtStunden = 4;
    QVERIFY(f.dm().InternalSchreibeBool(SettingKey::TerminalAktiv, true));

    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Praesenzzeit, true);
    QCOMPARE(fBER_Typ, u"11111"_s);
    QCOMPARE(fBER_Art, u"1111"_s);
    QCOMPARE(fBER_KS, 2);
    QCOMPARE(fBER_Fakt, 2);
    QCOMPARE(fBER_Mitternacht, false);
    QCOMPARE(fBER_MitternachtStunden, 0);
    QCOMPARE(fBER_TeamPraesenzzeit, false);
    QCOMPARE(fBER_TeamLight, false);
    QCOMPARE(fBER_Teamerfassung, false);
    QCOMPARE(f.dm().InternalLeseBool(SettingKey::TerminalAktiv, true), false);
    // Without a group every day up to today is locked, so only today may be chosen.
    QVERIFY(f.dm().DatumAendernIstDatumOK(kHeute));
    QVERIFY(!f.dm().DatumAendernIstDatumOK(kHeute - 1.0));
}

void TestPermissions::teamRechteBleibenBeiAnderemMitarbeiter() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Teamerfassung"_s, 1));
    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Teamerfassung, true);

    // A team member's day is shown: his group says nothing about team recording.
    AktuelleLPE_ID = F::Bert;
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Mitternacht"_s, 1));
    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Mitternacht, true);
    QCOMPARE(fBER_Teamerfassung, true);
    QCOMPARE(fBER_TeamLight, false);

    AktuelleLPE_ID = 99;
    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Teamerfassung, true);
}

void TestPermissions::objekttypen() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Typ"_s, u"01011"_s));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Art"_s, u"1000"_s));
    QString typen;
    f.dm().GibBerechtigungenObjektTypen(typen);
    QCOMPARE(typen, u"01011"_s);
    QCOMPARE(fBER_Art, u"1000"_s);

    AktuelleLPE_ID = 99;
    fBER_Teamerfassung = true;
    f.dm().GibBerechtigungenObjektTypen(typen);
    QCOMPARE(typen, u"11111"_s);
    QCOMPARE(fBER_Art, u"1111"_s);
    QCOMPARE(fBER_Teamerfassung, true);
}

void TestPermissions::minutenrad_data() {
    QTest::addColumn<int>("runden");
    QTest::addColumn<int>("schritt");
    QTest::addColumn<int>("maximum");

    QTest::newRow("every minute") << 1 << 1 << 59;
    QTest::newRow("quarter hours") << 15 << 15 << 45;
    QTest::newRow("half hours") << 30 << 30 << 30;
    QTest::newRow("no step given") << 0 << 1 << 59;
}

void TestPermissions::minutenrad() {
    QFETCH(int, runden);
    QFETCH(int, schritt);
    QFETCH(int, maximum);
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeTeam, u"BER_Runden"_s, runden));
    TSpinnerSpalte minuten;
    QCOMPARE(f.dm().setzeSpinnerMinuten(F::Bert, minuten), 0);
    QCOMPARE(minuten.Schritt, schritt);
    QCOMPARE(minuten.Minimum, 0);
    QCOMPARE(minuten.Maximum, maximum);
}

void TestPermissions::gesperrteDateiVerliertNichts() {
    F f;
    QVERIFY2(f.ok(), qPrintable(f.fehler()));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Typ"_s, u"00001"_s));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Praesenzzeit"_s, 0));
    QVERIFY(f.setzeRecht(F::GruppeLeitung, u"BER_Runden"_s, 15));
    QVERIFY(f.dm().FuelleFBERvariablen());
    QCOMPARE(fBER_Typ, u"00001"_s);
    {
        F::Sperre sperre(f);
        QVERIFY(sperre.aktiv());
        // A failed read must neither widen the cached rights nor change the answer given before.
        QVERIFY(!f.dm().FuelleFBERvariablen());
        QString typen = u"vorher"_s;
        f.dm().GibBerechtigungenObjektTypen(typen);
        QCOMPARE(typen, u"vorher"_s);
        QCOMPARE(fBER_Typ, u"00001"_s);
        QCOMPARE(fBER_Praesenzzeit, false);
        QCOMPARE(f.dm().GibBerechtigungInteger(u"BER_Runden"_s, F::Chef), 0);
        QCOMPARE(f.dm().GibUserBerID(F::Chef), 0);
        // Without the step the time is only cut to the minute.
        const TDateTime zeit = kHeute + TDateTime::encodeTime(7, 38, 45).value();
        QCOMPARE(alsText(f.dm().ZeitRunden(zeit, 0, F::Chef)), alsText(kHeute + TDateTime::encodeTime(7, 38).value()));
    }
    QCOMPARE(f.dm().GibUserBerID(F::Chef), F::GruppeLeitung);
    QCOMPARE(f.dm().GibBerechtigungInteger(u"BER_Runden"_s, F::Chef), 15);
}

QTEST_GUILESS_MAIN(TestPermissions)
#include "tst_permissions.moc"

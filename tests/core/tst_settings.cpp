#include "LocalFileFixture.h"

#include "core/clock.h"
#include "core/settingskeys.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TDateTime)

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingKeyGivesTheCallersDefault();
    void eachKindRoundTrips();
    void keyReadAsAnotherKindGivesThatColumnsDefault();
    void writingAnotherKindResetsTheOtherColumns();
    void nullValueGivesTheCallersDefault();
    void booleanIsTrueForAnyNonZero_data();
    void booleanIsTrueForAnyNonZero();
    void keysAreCaseSensitive();
    void withoutSettingsTableReadsGiveDefaultsAndWritesFail();

    void dateTimeText_data();
    void dateTimeText();
    void dateTimeTextRoundTrips();

    void lastSyncDateOfOneTenant();
    void lastSyncDateIn2000AsksForFullReload_data();
    void lastSyncDateIn2000AsksForFullReload();
    void lastSyncDateWithoutTenantDoesNothing();
    void lastSyncTimeStampOfOneTenant();

    void lineBreaksBecomeBlanks();
    void dateCaptionForInputField_data();
    void dateCaptionForInputField();

private:
    std::unique_ptr<LocalFileFixture> m_file;
    Tdm* m_dm = nullptr;
};

void TestSettings::init() {
    Clock::setFixed(TDateTime::encodeDateTime(2024, 3, 15, 10, 30, 0));
    m_file = std::make_unique<LocalFileFixture>();
    m_dm = &m_file->dm();
    QVERIFY(m_dm->SQLiteDB_Erstellen());
}

void TestSettings::cleanup() {
    m_dm = nullptr;
    m_file.reset();
    Clock::reset();
}

void TestSettings::missingKeyGivesTheCallersDefault() {
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::AuswahlAnzahl, 200), 200);
    QCOMPARE(m_dm->InternalLeseTXT(SettingKey::Firma_Name, u"keine"_s), u"keine"_s);
    QCOMPARE(m_dm->InternalLeseBool(SettingKey::Kalenderansicht, true), true);
    QCOMPARE(m_dm->InternalLeseBool(SettingKey::ImmerVollbild, false), false);
    const TDateTime standard = TDateTime::encodeDate(2001, 2, 3);
    QCOMPARE(m_dm->InternalLeseDT(u"NieGeschrieben"_s, standard), standard);
}

void TestSettings::eachKindRoundTrips() {
    QVERIFY(m_dm->InternalSchreibeINT(SettingKey::TerminalTimeOut, -25));
    QVERIFY(m_dm->InternalSchreibeTXT(SettingKey::Firma_Name, u"Müller & Söhne 'AG'"_s));
    QVERIFY(m_dm->InternalSchreibeBool(SettingKey::ImmerVordergrund, true));
    const TDateTime dt = TDateTime::encodeDateTime(2019, 7, 1, 23, 59, 58, 999);
    QVERIFY(m_dm->InternalSchreibeDT(u"Zeitpunkt"_s, dt));
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::TerminalTimeOut, 10), -25);
    QCOMPARE(m_dm->InternalLeseTXT(SettingKey::Firma_Name, QString()), u"Müller & Söhne 'AG'"_s);
    QCOMPARE(m_dm->InternalLeseBool(SettingKey::ImmerVordergrund, false), true);
    QCOMPARE(m_dm->InternalLeseDT(u"Zeitpunkt"_s, TDateTime()).totalMSecs(), dt.totalMSecs());
}

// A write names only its own value column; the others keep their declared defaults,
// which a reader of the other kind then gets instead of its own default.
void TestSettings::keyReadAsAnotherKindGivesThatColumnsDefault() {
    QVERIFY(m_dm->InternalSchreibeINT(SettingKey::BilderVerkleinern, 1));
    QCOMPARE(m_dm->InternalLeseTXT(SettingKey::BilderVerkleinern, u"x"_s), QString());
    const TDateTime standard = TDateTime::encodeDate(2001, 2, 3);
    QCOMPARE(m_dm->InternalLeseDT(SettingKey::BilderVerkleinern, standard), standard);
    QVERIFY(m_dm->InternalSchreibeTXT(SettingKey::Firma_PIN, u"4711"_s));
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::Firma_PIN, 5), 0);
}

void TestSettings::writingAnotherKindResetsTheOtherColumns() {
    QVERIFY(m_dm->InternalSchreibeINT(SettingKey::MaxAlterDerZeiten, 90));
    QVERIFY(m_dm->InternalSchreibeTXT(SettingKey::MaxAlterDerZeiten, u"neunzig"_s));
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::MaxAlterDerZeiten, 60), 0);
    QVERIFY(m_dm->InternalSchreibeINT(SettingKey::MaxAlterDerZeiten, 30));
    QCOMPARE(m_dm->InternalLeseTXT(SettingKey::MaxAlterDerZeiten, u"x"_s), QString());
    QCOMPARE(m_file->value(u"select count(*) from INTERNAL where KEYVALUE = 'MaxAlterDerZeiten'"_s).toInt(), 1);
}

void TestSettings::nullValueGivesTheCallersDefault() {
    QVERIFY(m_file->exec(u"insert into INTERNAL (KEYVALUE, INTVALUE, TXTVALUE) values ('Leer', NULL, NULL)"_s));
    QCOMPARE(m_dm->InternalLeseINT(u"Leer"_s, 42), 42);
    QCOMPARE(m_dm->InternalLeseTXT(u"Leer"_s, u"s"_s), u"s"_s);
    QCOMPARE(m_dm->InternalLeseBool(u"Leer"_s, true), true);
}

void TestSettings::booleanIsTrueForAnyNonZero_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("7") << 7 << true;
    QTest::newRow("-1") << -1 << true;
}

void TestSettings::booleanIsTrueForAnyNonZero() {
    QFETCH(int, stored);
    QFETCH(bool, expected);
    QVERIFY(m_dm->InternalSchreibeINT(SettingKey::StarteSyncSofort, stored));
    QCOMPARE(m_dm->InternalLeseBool(SettingKey::StarteSyncSofort, !expected), expected);
}

void TestSettings::keysAreCaseSensitive() {
    QVERIFY(m_dm->InternalSchreibeINT(u"dbversion"_s, 3));
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::DBVERSION, 0), 60);
    QCOMPARE(m_dm->InternalLeseINT(u"dbversion"_s, 0), 3);
}

void TestSettings::withoutSettingsTableReadsGiveDefaultsAndWritesFail() {
    QVERIFY(m_file->exec(u"drop table INTERNAL"_s));
    bool ok = true;
    QCOMPARE(m_dm->InternalLeseINT(SettingKey::AuswahlAnzahl, 200, &ok), 200);
    QVERIFY(!ok);
    QCOMPARE(m_dm->InternalLeseTXT(SettingKey::User_Kurz, u"x"_s), u"x"_s);
    QVERIFY(!m_dm->InternalSchreibeINT(SettingKey::AuswahlAnzahl, 5));
    QVERIFY(!m_dm->InternalSchreibeTXT(SettingKey::User_Kurz, u"mm"_s));
}

void TestSettings::dateTimeText_data() {
    const TDateTime standard = TDateTime::encodeDate(1999, 9, 9);
    QTest::addColumn<QString>("text");
    QTest::addColumn<TDateTime>("expected");
    QTest::newRow("23 characters") << u"2017-05-01 00:00:00.001"_s << TDateTime::encodeDateTime(2017, 5, 1, 0, 0, 0, 1);
    QTest::newRow("22 characters") << u"2017-05-01 00:00:00.01"_s << standard;
    QTest::newRow("24 characters") << u"2017-05-01 00:00:00.001 "_s << standard;
    QTest::newRow("empty") << QString() << standard;
    // Hour 24 is no stored time, even where a presence time may end at midnight.
    QTest::newRow("hour 24") << u"2017-05-01 24:00:00.000"_s << standard;
}

void TestSettings::dateTimeText() {
    QFETCH(QString, text);
    QFETCH(TDateTime, expected);
    QCOMPARE(DTstringToDatetime(text, TDateTime::encodeDate(1999, 9, 9)).totalMSecs(), expected.totalMSecs());
}

void TestSettings::dateTimeTextRoundTrips() {
    const TDateTime dt = TDateTime::encodeDateTime(2018, 10, 19, 14, 3, 5, 123);
    QCOMPARE(DTDatetimeToString(dt), u"2018-10-19 14:03:05.123"_s);
    QCOMPARE(DTDatetimeToString(TDateTime::encodeDate(2000, 1, 1)), u"2000-01-01 00:00:00.000"_s);
    QCOMPARE(DTstringToDatetime(DTDatetimeToString(dt), TDateTime()).totalMSecs(), dt.totalMSecs());
}

void TestSettings::lastSyncDateOfOneTenant() {
    QVERIFY(m_file->exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, LastSyncDate) values "
                         u"(1111, 'anna', 5, 'alt'), (1111, 'bert', 5, 'alt'), (2222, 'carl', 6, 'alt')"_s));
    m_dm->LastSyncDateSET(TDateTime::encodeDateTime(2024, 3, 1, 8, 0, 0), 5);
    QCOMPARE(m_file->column(u"select LastSyncDate from MandantenLogIn order by UserKurz"_s),
             (QStringList{u"2024-03-01 08:00:00.000"_s, u"2024-03-01 08:00:00.000"_s, u"alt"_s}));
}

// A date in 2000 or before asks for a full reload: the download progress of the tenant
// whose date was reset goes, that of others stays, whoever is logged in.
void TestSettings::lastSyncDateIn2000AsksForFullReload_data() {
    QTest::addColumn<TDateTime>("date");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("1 January 2000") << TDateTime::encodeDate(2000, 1, 1) << QStringList{u"5"_s, u"6"_s, u"6"_s};
    QTest::newRow("end of 2000") << TDateTime::encodeDateTime(2000, 12, 31, 23, 59, 59)
                                 << QStringList{u"5"_s, u"6"_s, u"6"_s};
    QTest::newRow("1 January 2001") << TDateTime::encodeDate(2001, 1, 1) << QStringList{u"5"_s, u"6"_s, u"6"_s, u"7"_s};
}

void TestSettings::lastSyncDateIn2000AsksForFullReload() {
    QFETCH(TDateTime, date);
    QFETCH(QStringList, remaining);
    QVERIFY(m_file->exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID) values (1111, 'anna', 7)"_s));
    QVERIFY(m_file->exec(u"insert into SyncFortschritt (Mandant_ID, TabellenName, ZeitStempel) values "
                         u"(5, 'A_ADRESSEN', 'x'), (6, 'A_ADRESSEN', 'x'), (6, 'Z_ERFASSUNG', 'x'), "
                         u"(7, 'A_ADRESSEN', 'x')"_s));
    m_dm->FMandantID = 6;
    m_dm->LastSyncDateSET(date, 7);
    QCOMPARE(m_file->column(u"select Mandant_ID from SyncFortschritt order by Mandant_ID"_s), remaining);
    QCOMPARE(m_file->value(u"select LastSyncDate from MandantenLogIn"_s).toString(), DTDatetimeToString(date));
}

void TestSettings::lastSyncDateWithoutTenantDoesNothing() {
    QVERIFY(m_file->exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, LastSyncDate) values "
                         u"(1111, 'anna', 0, 'alt')"_s));
    QVERIFY(m_file->exec(u"insert into SyncFortschritt (Mandant_ID, TabellenName) values (0, 'A_ADRESSEN')"_s));
    m_dm->LastSyncDateSET(TDateTime::encodeDate(2000, 1, 1), 0);
    QCOMPARE(m_file->value(u"select LastSyncDate from MandantenLogIn"_s).toString(), u"alt"_s);
    QCOMPARE(m_file->value(u"select count(*) from SyncFortschritt"_s).toInt(), 1);
}

void TestSettings::lastSyncTimeStampOfOneTenant() {
    QVERIFY(m_file->exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, SyncTimeStamp) values "
                         u"(1111, 'anna', 5, 'alt'), (2222, 'carl', 6, 'alt')"_s));
    QVERIFY(m_file->exec(u"insert into SyncFortschritt (Mandant_ID, TabellenName) values (5, 'A_ADRESSEN')"_s));
    m_dm->LastSyncTimeStampSET(TDateTime::encodeDate(1999, 1, 1), 5);
    QCOMPARE(m_file->column(u"select SyncTimeStamp from MandantenLogIn order by FirmaPin"_s),
             (QStringList{u"1999-01-01 00:00:00.000"_s, u"alt"_s}));
    QCOMPARE(m_file->value(u"select count(*) from SyncFortschritt"_s).toInt(), 1);
}

void TestSettings::lineBreaksBecomeBlanks() {
    QCOMPARE(Tdm::entferneZeilenumbruch(u"Dach\r\ndecken\nund\rputzen"_s), u"Dach  decken und putzen"_s);
    QCOMPARE(Tdm::entferneZeilenumbruch(QString()), QString());
}

void TestSettings::dateCaptionForInputField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no text") << QString() << u"Datum: Mo 07.01.2019"_s;
    QTest::newRow("with text") << u"Beginn"_s << u"Beginn Mo 07.01.2019"_s;
}

void TestSettings::dateCaptionForInputField() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Tdm::GibDatumAlsStringFuerEingabefeld(TDateTime::encodeDateTime(2019, 1, 7, 15, 45, 0), text), expected);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

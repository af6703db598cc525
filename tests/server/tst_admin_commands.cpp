// The admin commands as an operator runs them: the demo tenant's printed login works for a device,
// start links read back in the client, texts are scrambled where the devices unscramble them, and
// mistakes are refused with a message instead of leaving half-made data.
#include "RemoteDbTestbed.h"
#include "ServerStatements.h"

#include "core/scrambling.h"
#include "core/startlink.h"
#include "sync/RemoteDB.h"

#include <QtTest>

#include <memory>

namespace {

constexpr int DemoTenant = 10;
constexpr int DemoPin = 4800;
constexpr int KeyTenant = 11;
constexpr int KeyPin = 4811;
const QString KeyCrypto = QStringLiteral("7,11,13");
const TVerschluesseln kKeys(7, 11, 13);

QStringList args(std::initializer_list<const char*> items) {
    return L(items);
}

} // namespace

class tst_admin_commands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void demoLoginWorksForADevice();
    void demoHasVariedMasterData();
    void startLinkReadsBackInTheClient_data();
    void startLinkReadsBackInTheClient();
    void scrambledWhereTheDevicesUnscramble();
    void mistakesAreRefused_data();
    void mistakesAreRefused();
    void tenantSettingsReachTheTenant();
    void initRunsAgainWithoutHarm();

private:
    QString admin(const QStringList& arguments);
    QString value(const QString& sql) const { return m_bed.cluster.queryValue(sql); }

    RemoteDbTestbed m_bed;
    QMap<QString, QString> m_demo;
};

void tst_admin_commands::initTestCase() {
    QString error;
    QVERIFY2(m_bed.setUp(error), qPrintable(error));
    const QString printed = admin({QStringLiteral("seed-demo"), QStringLiteral("--id"), QString::number(DemoTenant),
                                   QStringLiteral("--pin"), QString::number(DemoPin)});
    for (const QString& line : printed.split(u'\n')) {
        if (line.startsWith(u"DEMO_"))
            m_demo.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    QCOMPARE(m_demo.value(QStringLiteral("DEMO_PIN")), QString::number(DemoPin));
    QVERIFY(!admin({QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(KeyTenant),
                    QStringLiteral("--pin"), QString::number(KeyPin), QStringLiteral("--password"),
                    QStringLiteral("Schlüssel"), QStringLiteral("--company"), QStringLiteral("Schlüsseldienst Roth"),
                    QStringLiteral("--crypto"), KeyCrypto})
                 .isEmpty());
}

QString tst_admin_commands::admin(const QStringList& arguments) {
    QString output;
    if (!m_bed.service.admin(arguments, &output))
        return QString();
    return output.isEmpty() ? QStringLiteral("(ok)") : output;
}

void tst_admin_commands::demoLoginWorksForADevice() {
    // The login exactly as a device checks it, with nothing but what seed-demo printed.
    const QStringList crypto = m_demo.value(QStringLiteral("DEMO_CRYPTO")).split(u',');
    QCOMPARE(crypto.size(), 3);
    const TVerschluesseln keys(crypto[0].toInt(), crypto[1].toInt(), crypto[2].toInt());
    TRemoteDBDatabase db;
    db.setTenant(DemoPin, m_demo.value(QStringLiteral("DEMO_PASSWORD")));
    QVERIFY2(ConnectRemoteDB(db), qPrintable(db.lastError()));

    TXDataset tenant(&db);
    tenant.setSQL(QStringLiteral("SELECT   Mandant_ID  FROM    Mandant  WHERE  (Mandant_PIN = :Mandant_PIN ) AND "
                                 "(Mandant_Kennwort = :Mandant_Kennwort) and (Mandant_inaktiv = 0)"));
    tenant.ParamByName("Mandant_PIN").setAsInteger(DemoPin);
    tenant.ParamByName("Mandant_Kennwort").setAsString(m_demo.value(QStringLiteral("DEMO_PASSWORD")));
    QVERIFY2(tenant.Open(), qPrintable(tenant.lastError()));
    QCOMPARE(tenant.FieldByName("Mandant_ID").AsInteger(), DemoTenant);

    TXDataset check(&db);
    check.setSQL(
        QStringLiteral(" select Mandant_Firma, Mandant_CryptoCheck from Mandant  where Mandant_ID = :Mandant_ID "));
    check.ParamByName("Mandant_ID").setAsInteger(DemoTenant);
    QVERIFY2(check.Open(), qPrintable(check.lastError()));
    const QString company = check.FieldByName("Mandant_Firma").AsString();
    QVERIFY(check.FieldByName("Mandant_CryptoCheck").AsString() != company);
    QCOMPARE(Scrambling::Entschluesseln(keys, check.FieldByName("Mandant_CryptoCheck").AsString()), company);

    TXDataset user(&db);
    user.setSQL(QStringLiteral(
        " SELECT        USR_UserName AS S, USR_UserFD AS I     FROM            Lumora_User  WHERE        (Mandant_ID = "
        ":Mandant_ID) AND (USR_Kurz = :LPE_Kuerzel) AND (USR_UserPW = :LPE_Kennwort) AND FlagGeloescht = 0"));
    user.ParamByName("Mandant_ID").setAsInteger(DemoTenant);
    user.ParamByName("LPE_Kuerzel")
        .setAsString(Scrambling::Verschluesseln(keys, m_demo.value(QStringLiteral("DEMO_USER"))));
    user.ParamByName("LPE_Kennwort")
        .setAsString(Scrambling::Verschluesseln(keys, m_demo.value(QStringLiteral("DEMO_USER_PASSWORD"))));
    QVERIFY2(user.Open(), qPrintable(user.lastError()));
    QVERIFY(!user.Eof());
    QCOMPARE(Scrambling::Entschluesseln(keys, user.FieldByName("S").AsString()), QStringLiteral("Sabine Becker"));
    const int lpe = user.FieldByName("I").AsInteger();
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM a_personal WHERE mandant_id = %1 AND lpe_id = %2")
                       .arg(DemoTenant)
                       .arg(lpe)),
             QStringLiteral("1"));

    // The printed start link carries the same login.
    const auto link = StartLinkAusArgument(m_demo.value(QStringLiteral("DEMO_START_LINK")));
    QVERIFY(link);
    QCOMPARE(link->FirmaPin, DemoPin);
    QCOMPARE(link->UserKurz, m_demo.value(QStringLiteral("DEMO_USER")));
    QCOMPARE(QStringLiteral("%1,%2,%3").arg(link->Crypto1).arg(link->Crypto2).arg(link->Crypto3),
             m_demo.value(QStringLiteral("DEMO_CRYPTO")));
}

void tst_admin_commands::demoHasVariedMasterData() {
    // Every master table, the planning and the records have rows, so every download step has work.
    QCOMPARE(value(QStringLiteral(
                       "SELECT string_agg(t, ',' ORDER BY t COLLATE \"C\") FROM (SELECT DISTINCT typ::text AS t FROM "
                       "lumora_union_allemuttimestamp WHERE mandant_id = %1) codes")
                       .arg(DemoTenant)),
             QStringLiteral("A_A,A_P,MAP,MAT,MPL,PFI,P_1,P_2,P_P,R_A,R_W,U_G,U_K,U_S,U_T,U_U,ZER,ZPZ,Z_KA,Z_KS"));
    // Groups differ in what they allow.
    QVERIFY(value(QStringLiteral("SELECT count(DISTINCT (ber_typ, ber_art, ber_ks, ber_teamerfassung, ber_planung, "
                                 "ber_zernuransicht, ber_istterminal)) FROM lumora_gruppen WHERE mandant_id = %1")
                      .arg(DemoTenant))
                .toInt() >= 4);
    // Every user belongs to a group and a person of the tenant.
    QCOMPARE(
        value(QStringLiteral("SELECT count(*) FROM lumora_user u WHERE mandant_id = %1 AND (NOT EXISTS (SELECT 1 "
                             "FROM lumora_gruppen g WHERE g.mandant_id = u.mandant_id AND g.ber_id = u.usr_ber_id) "
                             "OR NOT EXISTS (SELECT 1 FROM a_personal p WHERE p.mandant_id = u.mandant_id AND "
                             "p.lpe_id = u.usr_userfd))")
                  .arg(DemoTenant)),
        QStringLiteral("0"));
    // Prices belong to articles; planning teams and the version the devices compare.
    QCOMPARE(
        value(QStringLiteral("SELECT count(*) FROM m_materialpreise p WHERE mandant_id = %1 AND NOT EXISTS (SELECT "
                             "1 FROM m_material m WHERE m.mandant_id = p.mandant_id AND m.mat_id = p.mat_id)")
                  .arg(DemoTenant)),
        QStringLiteral("0"));
    QCOMPARE(
        value(QStringLiteral("SELECT concat_ws('|', (SELECT count(*) FROM planung_team WHERE mandant_id = %1), "
                             "(SELECT id_planung FROM syncversion WHERE mandant_id = %1), (SELECT min(syncversion) "
                             "FROM planung_team WHERE mandant_id = %1), (SELECT mandant_planungaktiv FROM mandant "
                             "WHERE mandant_id = %1))")
                  .arg(DemoTenant)),
        QStringLiteral("2|1|1|1"));
}

void tst_admin_commands::startLinkReadsBackInTheClient_data() {
    QTest::addColumn<int>("pin");
    QTest::addColumn<QString>("companyPassword");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("userPassword");
    QTest::addColumn<QString>("crypto");
    QTest::newRow("plain") << 4711 << QStringLiteral("Geheim") << QStringLiteral("mm") << QStringLiteral("pw")
                           << QStringLiteral("1,2,3");
    QTest::newRow("umlauts and blanks") << 12 << QStringLiteral("Grüße aus Köln") << QStringLiteral("Jürgen")
                                        << QStringLiteral("ß & €") << QStringLiteral("31547,18269,47093");
    QTest::newRow("negative keys, no scrambling")
        << 99999 << QStringLiteral("a") << QStringLiteral("b") << QStringLiteral("c") << QStringLiteral("-5,2,3");
}

void tst_admin_commands::startLinkReadsBackInTheClient() {
    QFETCH(int, pin);
    QFETCH(QString, companyPassword);
    QFETCH(QString, user);
    QFETCH(QString, userPassword);
    QFETCH(QString, crypto);
    const QString printed =
        admin({QStringLiteral("start-link"), QStringLiteral("--tenant-pin"), QString::number(pin),
               QStringLiteral("--company-password"), companyPassword, QStringLiteral("--user"), user,
               QStringLiteral("--user-password"), userPassword, QStringLiteral("--crypto"), crypto})
            .trimmed();
    QVERIFY(printed.startsWith(u"lumora://"));
    const auto link = StartLinkAusArgument(printed);
    QVERIFY(link);
    QCOMPARE(link->FirmaPin, pin);
    QCOMPARE(link->FirmaPW, companyPassword);
    QCOMPARE(link->UserKurz, user);
    QCOMPARE(link->UserPW, userPassword);
    QCOMPARE(QStringLiteral("%1,%2,%3").arg(link->Crypto1).arg(link->Crypto2).arg(link->Crypto3), crypto);
}

void tst_admin_commands::scrambledWhereTheDevicesUnscramble() {
    const QString id = admin({QStringLiteral("add-row"), QStringLiteral("--tenant"), QString::number(KeyTenant),
                              QStringLiteral("--table"), QStringLiteral("Z_KOSTENART"), QStringLiteral("--set"),
                              QStringLiteral("ZKA_Nr=500"), QStringLiteral("--set"),
                              QStringLiteral("ZKA_Bezeichnung=Schlüssel nachmachen"), QStringLiteral("--set"),
                              QStringLiteral("ZKA_TYPE=1"), QStringLiteral("--crypto"), KeyCrypto});
    QVERIFY2(!id.isEmpty(), qPrintable(m_bed.service.error()));
    // The cost type's number stays plain (the devices look entries up by it); its name is scrambled.
    QCOMPARE(value(QStringLiteral("SELECT concat_ws('|', zka_nr, zka_bezeichnung, zka_type) FROM z_kostenart WHERE "
                                  "mandant_id = %1")
                       .arg(KeyTenant)),
             QStringLiteral("500|") + Scrambling::Verschluesseln(kKeys, QStringLiteral("Schlüssel nachmachen")) +
                 QStringLiteral("|1"));

    const QString person =
        admin({QStringLiteral("add-row"), QStringLiteral("--tenant"), QString::number(KeyTenant),
               QStringLiteral("--table"), QStringLiteral("A_PERSONAL"), QStringLiteral("--set"),
               QStringLiteral("LPE_Nr=7"), QStringLiteral("--set"), QStringLiteral("LPE_Kürzel=KR"),
               QStringLiteral("--set"), QStringLiteral("LPE_Suchbez=Roth Karl"), QStringLiteral("--crypto"), KeyCrypto})
            .trimmed();
    QVERIFY(person.toInt() > 0);
    QCOMPARE(value(QStringLiteral("SELECT concat_ws('|', lpe_nr, \"lpe_kürzel\", lpe_suchbez) FROM a_personal WHERE "
                                  "mandant_id = %1 AND lpe_id = %2")
                       .arg(KeyTenant)
                       .arg(person)),
             QStringLiteral("7|") + Scrambling::Verschluesseln(kKeys, QStringLiteral("KR")) + u'|' +
                 Scrambling::Verschluesseln(kKeys, QStringLiteral("Roth Karl")));
}

void tst_admin_commands::mistakesAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    const QString tenant = QString::number(KeyTenant);
    QTest::newRow("unknown command") << args({"frobnicate"});
    QTest::newRow("unknown option") << QStringList{
        QStringLiteral("add-group"), QStringLiteral("--tenant"), tenant, QStringLiteral("--name"), QStringLiteral("X"),
        QStringLiteral("--colour"),  QStringLiteral("red")};
    QTest::newRow("wrong key triple") << QStringList{
        QStringLiteral("add-group"), QStringLiteral("--tenant"), tenant, QStringLiteral("--name"), QStringLiteral("X"),
        QStringLiteral("--crypto"),  QStringLiteral("7,11,14")};
    QTest::newRow("scrambling tenant without a triple") << QStringList{
        QStringLiteral("add-group"), QStringLiteral("--tenant"), tenant, QStringLiteral("--name"), QStringLiteral("X")};
    QTest::newRow("triple that is not three numbers") << QStringList{
        QStringLiteral("add-group"), QStringLiteral("--tenant"), tenant, QStringLiteral("--name"), QStringLiteral("X"),
        QStringLiteral("--crypto"),  QStringLiteral("7,11")};
    QTest::newRow("unknown tenant") << QStringList{QStringLiteral("add-group"), QStringLiteral("--tenant"),
                                                   QStringLiteral("999"), QStringLiteral("--name"),
                                                   QStringLiteral("X")};
    QTest::newRow("PIN taken") << QStringList{QStringLiteral("create-tenant"),
                                              QStringLiteral("--pin"),
                                              QString::number(KeyPin),
                                              QStringLiteral("--password"),
                                              QStringLiteral("x"),
                                              QStringLiteral("--company"),
                                              QStringLiteral("Y")};
    QTest::newRow("setting that is no setting") << QStringList{QStringLiteral("create-tenant"),
                                                               QStringLiteral("--pin"),
                                                               QStringLiteral("4900"),
                                                               QStringLiteral("--password"),
                                                               QStringLiteral("x"),
                                                               QStringLiteral("--company"),
                                                               QStringLiteral("Y"),
                                                               QStringLiteral("--setting"),
                                                               QStringLiteral("Kennwort=offen")};
    QTest::newRow("table the commands do not write")
        << QStringList{QStringLiteral("add-row"),         QStringLiteral("--tenant"), tenant,
                       QStringLiteral("--table"),         QStringLiteral("Mandant"),  QStringLiteral("--set"),
                       QStringLiteral("Mandant_Firma=X"), QStringLiteral("--crypto"), KeyCrypto};
    QTest::newRow("row for another tenant")
        << QStringList{QStringLiteral("add-row"),      QStringLiteral("--tenant"),   tenant,
                       QStringLiteral("--table"),      QStringLiteral("A_ADRESSEN"), QStringLiteral("--set"),
                       QStringLiteral("Mandant_ID=1"), QStringLiteral("--crypto"),   KeyCrypto};
    QTest::newRow("column that does not exist")
        << QStringList{QStringLiteral("add-row"),    QStringLiteral("--tenant"),   tenant,
                       QStringLiteral("--table"),    QStringLiteral("A_ADRESSEN"), QStringLiteral("--set"),
                       QStringLiteral("ADR_Nmae=X"), QStringLiteral("--crypto"),   KeyCrypto};
    QTest::newRow("start link with a bar")
        << QStringList{QStringLiteral("start-link"), QStringLiteral("--tenant-pin"),
                       QStringLiteral("1"),          QStringLiteral("--company-password"),
                       QStringLiteral("a|b"),        QStringLiteral("--user"),
                       QStringLiteral("u"),          QStringLiteral("--user-password"),
                       QStringLiteral("p")};
}

void tst_admin_commands::mistakesAreRefused() {
    QFETCH(QStringList, arguments);
    const QString before = value(QStringLiteral("SELECT count(*) FROM mandant")) + u'|' +
                           value(QStringLiteral("SELECT count(*) FROM lumora_gruppen")) + u'|' +
                           value(QStringLiteral("SELECT count(*) FROM a_adressen"));
    QVERIFY(!m_bed.service.admin(arguments));
    QVERIFY2(!m_bed.service.error().trimmed().isEmpty(), "a refusal says why");
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM mandant")) + u'|' +
                 value(QStringLiteral("SELECT count(*) FROM lumora_gruppen")) + u'|' +
                 value(QStringLiteral("SELECT count(*) FROM a_adressen")),
             before);
}

void tst_admin_commands::tenantSettingsReachTheTenant() {
    const QString id = admin({QStringLiteral("create-tenant"), QStringLiteral("--pin"), QStringLiteral("4950"),
                              QStringLiteral("--password"), QStringLiteral("Einstellung"), QStringLiteral("--company"),
                              QStringLiteral("Einstellbar AG"), QStringLiteral("--status"), QStringLiteral("2"),
                              QStringLiteral("--planning"), QStringLiteral("1"), QStringLiteral("--server-version"),
                              QStringLiteral("4"), QStringLiteral("--inactive"), QStringLiteral("--setting"),
                              QStringLiteral("MaxAlterZeiten=30"), QStringLiteral("--setting"),
                              QStringLiteral("Mandant_BarcodeScanAktiv=1")})
                           .trimmed();
    QVERIFY2(id.toInt() > 0, qPrintable(m_bed.service.error()));
    QCOMPARE(value(QStringLiteral("SELECT concat_ws('|', mandant_status, mandant_planungaktiv, mandant_serverversion, "
                                  "mandant_inaktiv, mandant_maxalterzeiten, mandant_barcodescanaktiv, "
                                  "mandant_cryptocheck) FROM mandant WHERE mandant_id = %1")
                       .arg(id)),
             QStringLiteral("2|1|4|1|30|1|Einstellbar AG"));
    // An inactive tenant cannot log in at all.
    TRemoteDBDatabase db;
    db.setTenant(4950, QStringLiteral("Einstellung"));
    QVERIFY(ConnectRemoteDB(db));
    TXDataset tenant(&db);
    tenant.setSQL(QStringLiteral("select count(*) as n from Mandant"));
    QVERIFY2(tenant.Open(), qPrintable(tenant.lastError()));
    QCOMPARE(tenant.FieldByName("n").AsInteger(), 0);
}

void tst_admin_commands::initRunsAgainWithoutHarm() {
    const QString tenants = value(QStringLiteral("SELECT count(*) FROM mandant"));
    QVERIFY(admin({QStringLiteral("init")}).contains(u"already present"));
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM mandant")), tenants);
}

QTEST_GUILESS_MAIN(tst_admin_commands)
#include "tst_admin_commands.moc"

#include "core/LocalFileFixture.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/scrambling.h"
#include "core/settingskeys.h"
#include "core/startlink.h"
#include "core/tdm.h"
#include "fixtures/PgCluster.h"
#include "fixtures/RemoteDbService.h"
#include "sync/RemoteDB.h"

#include <QProcess>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The tenants on the test server.
struct ServerTenant {
    int id;
    int pin;
    QString password;
    QString company;
    int crypto1, crypto2, crypto3;
};
const ServerTenant kBau{11, 4711, u"Firma!Geheim"_s, u"Muster Bau GmbH"_s, 1234, 5678, 9012};
const ServerTenant kVier{4, 4444, u"vier"_s, u"Vier Demo AG"_s, 0, 0, 0};
const ServerTenant kInaktiv{5, 5555, u"weg"_s, u"Alt GmbH"_s, 0, 0, 0};

struct Outcome {
    bool ok = false;
    QString firmaName, userName;
    int lpeID = -1, status = -1, mandantID = -1;
};

Outcome check(Tdm& dm, int pin, const QString& firmaPW, const QString& kurz, const QString& userPW, int c1 = 0,
              int c2 = 0, int c3 = 0) {
    Outcome o;
    o.ok = dm.CheckUserdatenMitBerechtigungUndStatus(pin, firmaPW, kurz, userPW, c1, c2, c3, o.firmaName, o.userName,
                                                     o.lpeID, o.status, o.mandantID);
    return o;
}

Outcome check(Tdm& dm, const ServerTenant& t, const QString& kurz, const QString& userPW) {
    return check(dm, t.pin, t.password, kurz, userPW, t.crypto1, t.crypto2, t.crypto3);
}

QString triple(const ServerTenant& t) {
    return u"%1,%2,%3"_s.arg(t.crypto1).arg(t.crypto2).arg(t.crypto3);
}

void pointAtNoServer() {
    qputenv("LUMORA_REMOTEDB_SCHEME", "https");
    qputenv("LUMORA_REMOTEDB_HOST", "127.0.0.1");
    qputenv("LUMORA_REMOTEDB_PORT", "1");
}

} // namespace

class TestLogins : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // on the device alone
    void storingKeepsTheTenantsStamps();
    void storingAgainClearsTheKeysUntilSet();
    void setCryptoReachesEveryUserOfTheCompany();
    void rememberedLoginLookups();
    void cryptoLookupTakesOnlyKeyColumns_data();
    void cryptoLookupTakesOnlyKeyColumns();
    void userPasswordCheck_data();
    void userPasswordCheck();
    void personnelIdOfUser();
    void rememberedLoginCheck_data();
    void rememberedLoginCheck();
    void unknownLoginWithoutServerFails();
    void tenantOfStoredSettingsWithoutServer();
    void keyCheckWithoutServerPasses();
    void rememberedStartLink();

    // against the real service
    void firstLoginIsRememberedWithUsersAndGroups();
    void firstLoginKeepsStampsOfKnownTenant();
    void failedServerLogin_data();
    void failedServerLogin();
    void serverStatusThenRememberedTenantFour();
    void unscrambledTenantWithZeroTriple();
    void keyCheck_data();
    void keyCheck();
    void keyCheckTakesOverRenamedCompany();
    void tenantOfStoredSettingsFromServer();
    void startLinkFromTheAdminCommand();
    void rememberedLoginWorksWithServiceStopped();

private:
    bool needService();
    bool admin(const QStringList& arguments, QString* output = nullptr);
    void remember(int pin, const QString& firmaPW, const QString& kurz, const QString& userPW, int mandantID,
                  const QString& stamp = QString());
    void addLocalUser(int mandantID, int userID, const QString& kurz, const QString& pw, int lpe);

    std::unique_ptr<LocalFileFixture> file;
    std::unique_ptr<PgCluster> cluster;
    std::unique_ptr<RemoteDbService> service;
    QString serviceError;
};

bool TestLogins::admin(const QStringList& arguments, QString* output) {
    if (service->admin(arguments, output))
        return true;
    serviceError = service->error();
    return false;
}

void TestLogins::initTestCase() {
    cluster = std::make_unique<PgCluster>();
    service = std::make_unique<RemoteDbService>(*cluster);
    if (!cluster->start()) {
        serviceError = cluster->error();
        service.reset();
        return;
    }
    const auto tenant = [this](const ServerTenant& t, QStringList extra) {
        return admin(QStringList{u"create-tenant"_s, u"--id"_s, QString::number(t.id), u"--pin"_s,
                                 QString::number(t.pin), u"--password"_s, t.password, u"--company"_s, t.company,
                                 u"--crypto"_s, triple(t)} +
                     extra);
    };
    const auto group = [this](const ServerTenant& t, const QString& name, QString* id) {
        if (!admin({u"add-group"_s, u"--tenant"_s, QString::number(t.id), u"--name"_s, name, u"--crypto"_s, triple(t)},
                   id))
            return false;
        *id = id->trimmed();
        return true;
    };
    const auto user = [this](const ServerTenant& t, const QString& group, const QString& kurz, const QString& pw,
                             const QString& name, int lpe) {
        return admin({u"add-user"_s, u"--tenant"_s, QString::number(t.id), u"--short"_s, kurz, u"--password"_s, pw,
                      u"--name"_s, name, u"--group"_s, group, u"--lpe"_s, QString::number(lpe), u"--crypto"_s,
                      triple(t)});
    };
    QString bauGroup, vierGroup;
    const bool ready =
        service->initSchema() &&
        tenant(kBau, {u"--status"_s, u"1"_s, u"--planning"_s, u"1"_s, u"--server-version"_s, u"21"_s}) &&
        tenant(kVier, {}) && tenant(kInaktiv, {u"--inactive"_s}) && group(kBau, u"Monteure Süd"_s, &bauGroup) &&
        user(kBau, bauGroup, u"MM"_s, u"pass1"_s, u"Max Müller"_s, 101) &&
        user(kBau, bauGroup, u"EK"_s, u"päss2"_s, u"Eva König"_s, 102) && group(kVier, u"Alle"_s, &vierGroup) &&
        user(kVier, vierGroup, u"AB"_s, u"x"_s, u"Anna Berg"_s, 7);
    if (!ready) {
        if (serviceError.isEmpty())
            serviceError = service->error();
        service.reset();
        return;
    }
    if (!service->start()) {
        serviceError = service->error();
        service.reset();
    }
}

void TestLogins::init() {
    Clock::setFixed(TDateTime::encodeDateTime(2024, 3, 14, 9, 30, 0));
    pointAtNoServer();
    file = std::make_unique<LocalFileFixture>();
    QVERIFY(file->isValid());
    QVERIFY(file->dm().SQLiteDB_Erstellen());
}

void TestLogins::cleanup() {
    file.reset();
    Clock::reset();
}

bool TestLogins::needService() {
    if (!service)
        return false;
    service->configureClient();
    return true;
}

#define NEED_SERVICE()                                                                                                 \
    if (!needService())                                                                                                \
    QSKIP(qPrintable(u"no test service: "_s + serviceError))

void TestLogins::remember(int pin, const QString& firmaPW, const QString& kurz, const QString& userPW, int mandantID,
                          const QString& stamp) {
    QVERIFY(file->dm().LoginDatenSpeichern(pin, firmaPW, kurz, userPW, u"Firma %1"_s.arg(pin), u"Name %1"_s.arg(kurz),
                                           mandantID));
    if (!stamp.isEmpty())
        QVERIFY(file->exec(
            u"update MandantenLogIn set SyncTimeStamp = '%1', LastSyncDate = '%1' where UserKurz = '%2'"_s.arg(stamp,
                                                                                                               kurz)));
}

void TestLogins::addLocalUser(int mandantID, int userID, const QString& kurz, const QString& pw, int lpe) {
    QVERIFY(file->exec(u"insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_UserPW, "
                       u"USR_BER_ID, USR_UserFD) values (%1, %2, 'Name %3', '%3', '%4', 1, %5)"_s.arg(mandantID)
                           .arg(userID)
                           .arg(kurz, pw)
                           .arg(lpe)));
}

// ---- on the device alone ----

void TestLogins::storingKeepsTheTenantsStamps() {
    const QString stamp = u"2024-03-01 08:15:00.000"_s;
    remember(4711, u"pw"_s, u"MM"_s, u"a"_s, 11, stamp);
    remember(4711, u"pw"_s, u"EK"_s, u"b"_s, 11);
    remember(815, u"pw"_s, u"XY"_s, u"c"_s, 12);
    QCOMPARE(file->column(u"select SyncTimeStamp || '/' || LastSyncDate from MandantenLogIn order by UserKurz"_s),
             QStringList({stamp + u'/' + stamp, stamp + u'/' + stamp, u"/"_s}));
    QCOMPARE(file->value(u"select count(*) from MandantenLogIn"_s).toInt(), 3);
}

void TestLogins::storingAgainClearsTheKeysUntilSet() {
    remember(4711, u"pw"_s, u"MM"_s, u"a"_s, 11);
    QVERIFY(file->dm().LoginDatenSetCrypto(4711, 1, 2, 3));
    remember(4711, u"pw2"_s, u"MM"_s, u"a2"_s, 11);
    QCOMPARE(file->value(u"select Crypto1 + Crypto2 + Crypto3 from MandantenLogIn"_s).toInt(), 0);
    QCOMPARE(file->dm().LoginDatenGibFirmaPW(4711, u"MM"_s), u"pw2"_s);
    QCOMPARE(file->value(u"select count(*) from MandantenLogIn"_s).toInt(), 1);
}

void TestLogins::setCryptoReachesEveryUserOfTheCompany() {
    remember(4711, u"pw"_s, u"MM"_s, u"a"_s, 11);
    remember(4711, u"pw"_s, u"EK"_s, u"b"_s, 11);
    remember(815, u"pw"_s, u"XY"_s, u"c"_s, 12);
    QVERIFY(file->dm().LoginDatenSetCrypto(4711, 1234, -5678, 9012));
    Tdm& dm = file->dm();
    for (const QString& kurz : {u"MM"_s, u"EK"_s}) {
        QCOMPARE(dm.LoginDatenGibCrypto(4711, kurz, u"Crypto1"_s), 1234);
        QCOMPARE(dm.LoginDatenGibCrypto(4711, kurz, u"Crypto2"_s), -5678);
        QCOMPARE(dm.LoginDatenGibCrypto(4711, kurz, u"Crypto3"_s), 9012);
    }
    QCOMPARE(dm.LoginDatenGibCrypto(815, u"XY"_s, u"Crypto1"_s), 0);
}

void TestLogins::rememberedLoginLookups() {
    Tdm& dm = file->dm();
    remember(4711, u"Firma!Geheim"_s, u"MM"_s, u"pass'1"_s, 11);
    QCOMPARE(dm.LoginDatenGibFirmaPW(4711, u"MM"_s), u"Firma!Geheim"_s);
    QCOMPARE(dm.LoginDatenGibUserPW(4711, u"MM"_s), u"pass'1"_s);
    QCOMPARE(dm.LoginDatenGibMandantID(4711, u"MM"_s), 11);
    QCOMPARE(dm.GetMandantIDvonPinUndKennwort(4711, u"Firma!Geheim"_s), 11);
    QCOMPARE(dm.GetMandantIDvonPinUndKennwort(4711, u"falsch"_s), 0);
    QCOMPARE(dm.LoginDatenGibFirmaPW(4711, u"EK"_s), QString());
    QCOMPARE(dm.LoginDatenGibUserPW(815, u"MM"_s), QString());
    QCOMPARE(dm.LoginDatenGibMandantID(815, u"MM"_s), 0);

    QVERIFY(dm.LoginDatenLoeschen(4711, u"MM"_s));
    QCOMPARE(dm.LoginDatenGibMandantID(4711, u"MM"_s), 0);
    QCOMPARE(file->value(u"select count(*) from MandantenLogIn"_s).toInt(), 0);
}

void TestLogins::cryptoLookupTakesOnlyKeyColumns_data() {
    QTest::addColumn<QString>("feldname");
    QTest::addColumn<int>("expected");
    QTest::newRow("Crypto2") << u"Crypto2"_s << 22;
    QTest::newRow("lower case") << u"crypto3"_s << 33;
    QTest::newRow("another column") << u"MandantID"_s << 0;
    QTest::newRow("statement text") << u"Crypto1 from MandantenLogIn; delete from MandantenLogIn; select 1"_s << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestLogins::cryptoLookupTakesOnlyKeyColumns() {
    QFETCH(QString, feldname);
    QFETCH(int, expected);
    remember(4711, u"pw"_s, u"MM"_s, u"a"_s, 11);
    QVERIFY(file->dm().LoginDatenSetCrypto(4711, 11, 22, 33));
    QCOMPARE(file->dm().LoginDatenGibCrypto(4711, u"MM"_s, feldname), expected);
    QCOMPARE(file->value(u"select count(*) from MandantenLogIn"_s).toInt(), 1);
}

void TestLogins::userPasswordCheck_data() {
    QTest::addColumn<int>("mandantID");
    QTest::addColumn<QString>("kurz");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("expected");
    QTest::newRow("same password") << 11 << u"MM"_s << u"pass1"_s << true;
    QTest::newRow("other password") << 11 << u"MM"_s << u"pass2"_s << false;
    QTest::newRow("password in other case") << 11 << u"MM"_s << u"PASS1"_s << false;
    QTest::newRow("unknown short name") << 11 << u"QQ"_s << u"egal"_s << true;
    QTest::newRow("user of another tenant") << 12 << u"MM"_s << u"egal"_s << true;
}

void TestLogins::userPasswordCheck() {
    QFETCH(int, mandantID);
    QFETCH(QString, kurz);
    QFETCH(QString, password);
    QFETCH(bool, expected);
    addLocalUser(11, 1, u"MM"_s, u"pass1"_s, 101);
    QCOMPARE(file->dm().CheckUserKennwortMitMandantIDundUserKurz(mandantID, kurz, password), expected);
}

void TestLogins::personnelIdOfUser() {
    addLocalUser(11, 31, u"MM"_s, u"pass1"_s, 101);
    addLocalUser(12, 32, u"MM"_s, u"pass1"_s, 201);
    QCOMPARE(file->dm().GibLPE_IDvonUser(11, u"MM"_s, u"pass1"_s), 101);
    QCOMPARE(AngemeldeteUserID, 31);
    QCOMPARE(file->dm().GibLPE_IDvonUser(12, u"MM"_s, u"pass1"_s), 201);
    QCOMPARE(AngemeldeteUserID, 32);
    QCOMPARE(file->dm().GibLPE_IDvonUser(11, u"MM"_s, u"falsch"_s), 0);
    QCOMPARE(AngemeldeteUserID, 32);
}

void TestLogins::rememberedLoginCheck_data() {
    QTest::addColumn<int>("mandantID");
    QTest::addColumn<bool>("withLocalUser");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lpeID");
    QTest::newRow("tenant 4 never uploads") << 4 << true << 2 << 101;
    QTest::newRow("other tenant") << 11 << true << 0 << 101;
    QTest::newRow("personnel id unchanged without local user") << 11 << false << 0 << -1;
}

void TestLogins::rememberedLoginCheck() {
    QFETCH(int, mandantID);
    QFETCH(bool, withLocalUser);
    QFETCH(int, status);
    QFETCH(int, lpeID);
    remember(4711, u"Geheim"_s, u"MM"_s, u"pass1"_s, mandantID);
    if (withLocalUser)
        addLocalUser(mandantID, 1, u"MM"_s, u"pass1"_s, 101);
    // Keys are not needed for a remembered login, and no server is asked.
    const Outcome o = check(file->dm(), 4711, u"Geheim"_s, u"MM"_s, u"pass1"_s, 9, 9, 9);
    QVERIFY(o.ok);
    QCOMPARE(o.mandantID, mandantID);
    QCOMPARE(file->dm().FMandantID, mandantID);
    QCOMPARE(o.firmaName, u"Firma 4711"_s);
    QCOMPARE(o.userName, u"Name MM"_s);
    QCOMPARE(o.status, status);
    QCOMPARE(o.lpeID, lpeID);
}

void TestLogins::unknownLoginWithoutServerFails() {
    remember(4711, u"Geheim"_s, u"MM"_s, u"pass1"_s, 11);
    file->dm().FMandantID = 11;
    const Outcome o = check(file->dm(), 4711, u"Geheim"_s, u"MM"_s, u"falsch"_s);
    QVERIFY(!o.ok);
    QCOMPARE(o.firmaName, QString());
    QCOMPARE(o.mandantID, -1); // the server was never asked
    QCOMPARE(file->dm().FMandantID, 11);
}

void TestLogins::tenantOfStoredSettingsWithoutServer() {
    Tdm& dm = file->dm();
    dm.FMandantID = 11;
    dm.InternalSchreibeTXT(SettingKey::Firma_PIN, u"4711"_s);
    QCOMPARE(dm.GetMandantIDvonUserdaten(), 11);
    dm.InternalSchreibeTXT(SettingKey::Firma_PIN, u"47x11"_s);
    QCOMPARE(dm.GetMandantIDvonUserdaten(), 0);
}

void TestLogins::keyCheckWithoutServerPasses() {
    QVERIFY(file->dm().LoginDatenPruefeCrypto(11, 1, 2, 3));
}

void TestLogins::rememberedStartLink() {
    Tdm& dm = file->dm();
    remember(4711, u"Geheim"_s, u"MM"_s, u"pass1"_s, 11);
    remember(4711, u"Geheim"_s, u"EK"_s, u"pass2"_s, 11);
    addLocalUser(11, 5, u"MM"_s, u"pass1"_s, 101);
    const TStartLink link{4711, u"Geheim"_s, u"MM"_s, u"pass1"_s, 1234, 5678, 9012};
    QVERIFY(dm.StartLinkIstGespeichert(link));
    QVERIFY(!dm.StartLinkIstGespeichert(TStartLink{4711, u"Geheim"_s, u"MM"_s, u"anders"_s}));

    dm.InternalSchreibeINT(SettingKey::Mandant_ID, 12);
    QVERIFY(!dm.StartLinkLoginUebernehmen(link));
    QCOMPARE(dm.InternalLeseTXT(SettingKey::Firma_PIN, QString()), u"4711"_s);
    QCOMPARE(dm.InternalLeseTXT(SettingKey::Firma_Kennwort, QString()), u"Geheim"_s);
    QCOMPARE(dm.InternalLeseTXT(SettingKey::User_Kurz, QString()), u"MM"_s);
    QCOMPARE(dm.InternalLeseTXT(SettingKey::User_Kennwort, QString()), u"pass1"_s);
    QCOMPARE(dm.InternalLeseINT(SettingKey::User_LPE_ID, 0), 101);
    QCOMPARE(dm.LoginDatenGibCrypto(4711, u"EK"_s, u"Crypto2"_s), 5678);

    dm.InternalSchreibeINT(SettingKey::Mandant_ID, 11);
    QVERIFY(dm.StartLinkLoginUebernehmen(link));
}

// ---- against the real service ----

void TestLogins::firstLoginIsRememberedWithUsersAndGroups() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    const Outcome o = check(dm, kBau, u"MM"_s, u"pass1"_s);
    QVERIFY2(o.ok, qPrintable(dm.RemoteDBDatabase1().lastError()));
    QCOMPARE(o.mandantID, kBau.id);
    QCOMPARE(dm.FMandantID, 0); // the login page sets the tenant when the whole login succeeded
    QCOMPARE(o.firmaName, kBau.company);
    QCOMPARE(o.userName, u"Max Müller"_s);
    QCOMPARE(o.lpeID, 101);
    QCOMPARE(o.status, 1);
    QCOMPARE(dm.InternalLeseINT(SettingKey::ServerVersion, 0), 21);
    QCOMPARE(dm.InternalLeseINT(SettingKey::PlanungAktiv, 0), 1);
    QCOMPARE(dm.InternalLeseINT(SettingKey::SYNCVERSION, -1), 0);
    QCOMPARE(dm.InternalLeseINT(SettingKey::SyncVersionPlanung, -1), 0);

    // Users and groups arrive in plain text.
    QCOMPARE(file->column(u"select USR_Kurz || '/' || USR_UserPW || '/' || USR_UserName || '/' || USR_UserFD "
                          u"from Lumora_User where Mandant_ID = 11 order by USR_Kurz"_s),
             QStringList({u"EK/päss2/Eva König/102"_s, u"MM/pass1/Max Müller/101"_s}));
    QCOMPARE(file->column(u"select BER_Bezeichnung from Lumora_Gruppen where Mandant_ID = 11"_s),
             QStringList({u"Monteure Süd"_s}));
    QCOMPARE(file->value(u"select count(*) from Lumora_User where Mandant_ID <> 11"_s).toInt(), 0);
    QCOMPARE(dm.GibLPE_IDvonUser(11, u"EK"_s, u"päss2"_s), 102);

    // Remembered: the next check needs neither the server nor the keys.
    QCOMPARE(dm.LoginDatenGibMandantID(kBau.pin, u"MM"_s), kBau.id);
    QCOMPARE(file->value(u"select FirmaName || '/' || UserName from MandantenLogIn"_s).toString(),
             kBau.company + u"/Max Müller"_s);
    pointAtNoServer();
    dm.DisconnectRemoteDB();
    const Outcome again = check(dm, kBau.pin, kBau.password, u"MM"_s, u"pass1"_s);
    QVERIFY(again.ok);
    QCOMPARE(again.lpeID, 101);
}

void TestLogins::firstLoginKeepsStampsOfKnownTenant() {
    NEED_SERVICE();
    const QString stamp = u"2024-02-29 23:59:59.999"_s;
    remember(kBau.pin, kBau.password, u"EK"_s, u"päss2"_s, kBau.id, stamp);
    QVERIFY(check(file->dm(), kBau, u"MM"_s, u"pass1"_s).ok);
    QCOMPARE(file->column(u"select UserKurz || '/' || SyncTimeStamp || '/' || LastSyncDate from MandantenLogIn "
                          u"order by UserKurz"_s),
             QStringList({u"EK/"_s + stamp + u'/' + stamp, u"MM/"_s + stamp + u'/' + stamp}));
}

void TestLogins::failedServerLogin_data() {
    QTest::addColumn<int>("pin");
    QTest::addColumn<QString>("firmaPW");
    QTest::addColumn<QString>("kurz");
    QTest::addColumn<QString>("userPW");
    QTest::addColumn<int>("crypto3");
    QTest::addColumn<int>("mandantID");
    QTest::newRow("wrong triple") << kBau.pin << kBau.password << u"MM"_s << u"pass1"_s << 9013 << kBau.id;
    QTest::newRow("wrong user password") << kBau.pin << kBau.password << u"MM"_s << u"pass2"_s << 9012 << kBau.id;
    QTest::newRow("unknown user") << kBau.pin << kBau.password << u"QQ"_s << u"pass1"_s << 9012 << kBau.id;
    QTest::newRow("wrong company password") << kBau.pin << u"falsch"_s << u"MM"_s << u"pass1"_s << 9012 << 0;
    QTest::newRow("unknown PIN") << 99 << kBau.password << u"MM"_s << u"pass1"_s << 9012 << 0;
    QTest::newRow("inactive tenant") << kInaktiv.pin << kInaktiv.password << u"ZZ"_s << u"z"_s << 0 << 0;
}

void TestLogins::failedServerLogin() {
    NEED_SERVICE();
    QFETCH(int, pin);
    QFETCH(QString, firmaPW);
    QFETCH(QString, kurz);
    QFETCH(QString, userPW);
    QFETCH(int, crypto3);
    QFETCH(int, mandantID);
    Tdm& dm = file->dm();
    dm.InternalSchreibeINT(SettingKey::Mandant_ID, 77);
    const Outcome o = check(dm, pin, firmaPW, kurz, userPW, kBau.crypto1, kBau.crypto2, crypto3);
    QVERIFY(!o.ok);
    QCOMPARE(o.mandantID, mandantID);
    QCOMPARE(o.userName, QString());
    QCOMPARE(file->value(u"select count(*) from MandantenLogIn"_s).toInt(), 0);
    QCOMPARE(file->value(u"select count(*) from Lumora_User"_s).toInt(), 0);
    // Only a tenant that is not found is written down as tenant 0.
    QCOMPARE(dm.InternalLeseINT(SettingKey::Mandant_ID, -1), mandantID == 0 ? 0 : 77);
}

void TestLogins::serverStatusThenRememberedTenantFour() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    const Outcome first = check(dm, kVier, u"AB"_s, u"x"_s);
    QVERIFY(first.ok);
    QCOMPARE(first.mandantID, 4);
    QCOMPARE(first.status, 0);
    const Outcome remembered = check(dm, kVier, u"AB"_s, u"x"_s);
    QVERIFY(remembered.ok);
    QCOMPARE(remembered.status, 2);
    QCOMPARE(remembered.lpeID, 7);
}

void TestLogins::unscrambledTenantWithZeroTriple() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    QVERIFY(check(dm, kVier, u"AB"_s, u"x"_s).ok);
    dm.InternalSchreibeTXT(SettingKey::Firma_Name, kVier.company);
    QVERIFY(dm.LoginDatenPruefeCrypto(kVier.id, 0, 0, 0));
    QVERIFY(dm.LoginDatenPruefeCrypto(kVier.id, 5, -2, -3));
    QVERIFY(!dm.LoginDatenPruefeCrypto(kVier.id, 1, 2, 3));
}

void TestLogins::keyCheck_data() {
    QTest::addColumn<int>("crypto1");
    QTest::addColumn<int>("crypto2");
    QTest::addColumn<int>("crypto3");
    QTest::addColumn<bool>("expected");
    QTest::newRow("the tenant's triple") << kBau.crypto1 << kBau.crypto2 << kBau.crypto3 << true;
    QTest::newRow("same low bits") << kBau.crypto1 + 0x10000 << kBau.crypto2 << kBau.crypto3 << true;
    QTest::newRow("one key off") << kBau.crypto1 << kBau.crypto2 + 1 << kBau.crypto3 << false;
    QTest::newRow("scrambling off") << 0 << 0 << 0 << false;
}

void TestLogins::keyCheck() {
    NEED_SERVICE();
    QFETCH(int, crypto1);
    QFETCH(int, crypto2);
    QFETCH(int, crypto3);
    QFETCH(bool, expected);
    Tdm& dm = file->dm();
    QVERIFY(check(dm, kBau, u"MM"_s, u"pass1"_s).ok);
    dm.InternalSchreibeTXT(SettingKey::Firma_Name, kBau.company);
    QCOMPARE(dm.LoginDatenPruefeCrypto(kBau.id, crypto1, crypto2, crypto3), expected);
}

void TestLogins::keyCheckTakesOverRenamedCompany() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    QVERIFY(check(dm, kBau, u"MM"_s, u"pass1"_s).ok);
    remember(kBau.pin, kBau.password, u"EK"_s, u"päss2"_s, kBau.id);
    remember(815, u"x"_s, u"XY"_s, u"y"_s, 12);
    dm.InternalSchreibeTXT(SettingKey::Firma_Name, u"Muster Bau (alt)"_s);
    QVERIFY(dm.LoginDatenPruefeCrypto(kBau.id, kBau.crypto1, kBau.crypto2, kBau.crypto3));
    QCOMPARE(dm.InternalLeseTXT(SettingKey::Firma_Name, QString()), kBau.company);
    QCOMPARE(file->column(u"select FirmaName from MandantenLogIn order by UserKurz"_s),
             QStringList({kBau.company, kBau.company, u"Firma 815"_s}));
}

void TestLogins::tenantOfStoredSettingsFromServer() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    dm.FMandantID = 99;
    dm.InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(kBau.pin));
    dm.InternalSchreibeTXT(SettingKey::Firma_Kennwort, kBau.password);
    QCOMPARE(dm.GetMandantIDvonUserdaten(), kBau.id);
    dm.InternalSchreibeTXT(SettingKey::Firma_Kennwort, u"falsch"_s);
    QCOMPARE(dm.GetMandantIDvonUserdaten(), 0);
    dm.InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(kInaktiv.pin));
    dm.InternalSchreibeTXT(SettingKey::Firma_Kennwort, kInaktiv.password);
    QCOMPARE(dm.GetMandantIDvonUserdaten(), 0);
}

void TestLogins::startLinkFromTheAdminCommand() {
    NEED_SERVICE();
    QProcess process;
    process.start(RemoteDbService::binary(), {u"admin"_s, u"start-link"_s, u"--tenant-pin"_s, QString::number(kBau.pin),
                                              u"--company-password"_s, kBau.password, u"--user"_s, u"MM"_s,
                                              u"--user-password"_s, u"pass1"_s, u"--crypto"_s, u"1234,5678,9012"_s});
    QVERIFY(process.waitForFinished(30000));
    const QString argument = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    QVERIFY2(process.exitCode() == 0, qPrintable(QString::fromUtf8(process.readAllStandardError())));
    const auto link = StartLinkAusArgument(argument);
    QVERIFY2(link.has_value(), qPrintable(argument));
    QCOMPARE(*link, (TStartLink{kBau.pin, kBau.password, u"MM"_s, u"pass1"_s, 1234, 5678, 9012}));

    // Not yet remembered: the window logs in with the link's data, keys included.
    Tdm& dm = file->dm();
    QVERIFY(!dm.StartLinkIstGespeichert(*link));
    QVERIFY(check(dm, link->FirmaPin, link->FirmaPW, link->UserKurz, link->UserPW, link->Crypto1, link->Crypto2,
                  link->Crypto3)
                .ok);
    QVERIFY(dm.StartLinkIstGespeichert(*link));
}

void TestLogins::rememberedLoginWorksWithServiceStopped() {
    NEED_SERVICE();
    Tdm& dm = file->dm();
    QVERIFY(check(dm, kBau, u"MM"_s, u"pass1"_s).ok);
    service->stop();
    dm.DisconnectRemoteDB();
    const Outcome o = check(dm, kBau.pin, kBau.password, u"MM"_s, u"pass1"_s);
    QVERIFY(o.ok);
    QCOMPARE(o.mandantID, kBau.id);
    QCOMPARE(o.lpeID, 101);
    QVERIFY(!check(dm, kBau, u"EK"_s, u"päss2"_s).ok); // not remembered, and no server to ask
    QVERIFY(dm.LoginDatenPruefeCrypto(kBau.id, 1, 2, 3));
    QVERIFY(service->start());
}

QTEST_GUILESS_MAIN(TestLogins)
#include "tst_logins.moc"

// The remote-SQL client against the real lumora-remotedb over HTTPS: typed parameters
// and fields, NULL reads, row order, end of rows, TOP, SCOPE_IDENTITY, the endpoint
// fallback, a service that is down, and bad requests answered without harm.
#include "RemoteDbTestbed.h"

#include "fixtures/LocalPorts.h"
#include "fixtures/PythonServers.h"
#include "sync/RemoteDB.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

class tst_remotedb_protocol : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void typedParameterRoundTrip_data();
    void typedParameterRoundTrip();
    void nullReadsAsZeroOrEmpty();
    void fieldsByNameIgnoreCaseAndByPosition();
    void parametersByPositionAndRepeatedName();
    void rowOrderAndEndOfRows();
    void topLimitsRows_data();
    void topLimitsRows();
    void scopeIdentityOfPhotoInsert();
    void tenantSeesOnlyItsRows();

    void primaryPathIsUsed();
    void fallbackPathWhenPrimaryFails();
    void notConnectedWhenServiceIsDown();
    void notConnectedWithWrongServiceCredentials();
    void garbageAnswersAreErrors();
    void serviceGoneMidSessionEndsConnection();

    void badRequestsAreAnsweredAndServiceKeepsServing_data();
    void badRequestsAreAnsweredAndServiceKeepsServing();
    void clientErrorsReachLastError_data();
    void clientErrorsReachLastError();

private:
    std::unique_ptr<TRemoteDBDatabase> connectedTenant(int pin, const QString& password);
    std::unique_ptr<TXDataset> query(const QString& sql);

    RemoteDbTestbed m_bed;
    std::unique_ptr<TRemoteDBDatabase> m_db;
};

void tst_remotedb_protocol::initTestCase() {
    QString error;
    QVERIFY2(m_bed.setUp(error), qPrintable(error));
    // A table of this suite's own, scoped like every tenant table of the schema.
    QVERIFY2(m_bed.cluster.exec(
                 QStringLiteral(
                     "CREATE TABLE s1_probe (mandant_id integer NOT NULL, id integer NOT NULL, n_int integer, "
                     "n_big bigint, n_float double precision, n_text citext, n_dt timestamp(3), n_bit smallint, "
                     "n_bool boolean, n_guid uuid, PRIMARY KEY (mandant_id, id));"
                     "ALTER TABLE s1_probe ENABLE ROW LEVEL SECURITY; ALTER TABLE s1_probe FORCE ROW LEVEL SECURITY;"
                     "CREATE POLICY tenant_isolation ON s1_probe USING (mandant_id = "
                     "nullif(current_setting('lumora.mandant_id', true), '')::integer) WITH CHECK (mandant_id = "
                     "nullif(current_setting('lumora.mandant_id', true), '')::integer);"
                     "GRANT SELECT, INSERT, UPDATE, DELETE ON s1_probe TO lumora_service;"
                     "INSERT INTO s1_probe (mandant_id, id, n_int, n_text) "
                     "SELECT 1, g, g * 10, 'Zeile ' || g FROM generate_series(1, 40) g;"
                     "INSERT INTO s1_probe (mandant_id, id, n_int, n_text) VALUES (2, 1, 99, 'fremd');"),
                 &error),
             qPrintable(error));
}

void tst_remotedb_protocol::init() {
    m_bed.service.configureClient();
    m_db = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY2(m_db->Connected(), qPrintable(m_db->lastError()));
    auto cleanup = query(QStringLiteral("delete from s1_probe where id >= 1000"));
    QVERIFY2(cleanup->ExecSQL(), qPrintable(cleanup->lastError()));
}

std::unique_ptr<TRemoteDBDatabase> tst_remotedb_protocol::connectedTenant(int pin, const QString& password) {
    auto db = std::make_unique<TRemoteDBDatabase>();
    db->setTenant(pin, password);
    ConnectRemoteDB(*db);
    return db;
}

std::unique_ptr<TXDataset> tst_remotedb_protocol::query(const QString& sql) {
    auto q = std::make_unique<TXDataset>(m_db.get());
    q->setSQL(sql);
    return q;
}

void tst_remotedb_protocol::typedParameterRoundTrip_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint64>("asLargeInt");
    QTest::addColumn<double>("asFloat");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<bool>("asBoolean");

    QTest::newRow("32-bit integer") << "n_int" << QVariant(qint64(-2147483647)) << qint64(-2147483647) << -2147483647.0
                                    << "-2147483647" << true;
    QTest::newRow("64-bit integer beyond double precision")
        << "n_big" << QVariant(qint64(9007199254740993)) << qint64(9007199254740993) << 9007199254740993.0
        << "9007199254740993" << true;
    QTest::newRow("float") << "n_float" << QVariant(12.375) << qint64(12) << 12.375 << "12.375" << true;
    QTest::newRow("text with quotes, umlauts and a line break")
        << "n_text" << QVariant(QStringLiteral("Grüße 'aus' \"Köln\"\nZeile 2")) << qint64(0) << 0.0
        << QStringLiteral("Grüße 'aus' \"Köln\"\nZeile 2") << false;
    QTest::newRow("text that reads as a number")
        << "n_text" << QVariant(QStringLiteral("0815")) << qint64(815) << 815.0 << "0815" << true;
    QTest::newRow("bit column 1") << "n_bit" << QVariant(qint64(1)) << qint64(1) << 1.0 << "1" << true;
    QTest::newRow("boolean column") << "n_bool" << QVariant(qint64(1)) << qint64(1) << 1.0 << "True" << true;
    QTest::newRow("GUID as braced text") << "n_guid"
                                         << QVariant(QStringLiteral("{1ab3147f-3b77-4f39-8497-6b7869ff2d05}"))
                                         << qint64(0) << 0.0 << "{1AB3147F-3B77-4F39-8497-6B7869FF2D05}" << false;
}

void tst_remotedb_protocol::typedParameterRoundTrip() {
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(qint64, asLargeInt);
    QFETCH(double, asFloat);
    QFETCH(QString, asString);
    QFETCH(bool, asBoolean);

    auto insert =
        query(QStringLiteral("insert into s1_probe (mandant_id, id, %1) values (:Mandant_ID, 1000, :v)").arg(column));
    insert->ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant1);
    insert->ParamByName("v").setValue(value);
    QVERIFY2(insert->ExecSQL(), qPrintable(insert->lastError()));
    QCOMPARE(insert->RowsAffected(), qint64(1));

    auto read = query(QStringLiteral("select %1 from s1_probe where id = :id and %1 = :v").arg(column));
    read->ParamByName("id").setAsInteger(1000);
    read->ParamByName("v").setValue(value);
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QVERIFY(!read->Eof());
    const TXField f = read->Fields(0);
    QVERIFY(!f.IsNull());
    QCOMPARE(f.AsLargeInt(), asLargeInt);
    QCOMPARE(f.AsFloat(), asFloat);
    QCOMPARE(f.AsString(), asString);
    QCOMPARE(f.AsBoolean(), asBoolean);
}

void tst_remotedb_protocol::nullReadsAsZeroOrEmpty() {
    auto insert = query(QStringLiteral("insert into s1_probe (mandant_id, id, n_int, n_text, n_dt) "
                                       "values (1, 1001, :i, :t, :d)"));
    insert->ParamByName("i").clear();
    insert->ParamByName("t").clear();
    insert->ParamByName("d").clear();
    QVERIFY2(insert->ExecSQL(), qPrintable(insert->lastError()));

    auto read = query(QStringLiteral("select * from s1_probe where id = 1001"));
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    for (const char* name : {"n_int", "n_big", "n_float", "n_text", "n_dt", "n_bit", "n_bool", "n_guid"}) {
        const TXField f = read->FieldByName(QLatin1String(name));
        QVERIFY2(f.exists() && f.IsNull(), name);
        QCOMPARE(f.AsInteger(), 0);
        QCOMPARE(f.AsLargeInt(), 0);
        QCOMPARE(f.AsFloat(), 0.0);
        QCOMPARE(f.AsString(), QString());
        QCOMPARE(f.AsDateTime(), TDateTime());
        QCOMPARE(f.AsBoolean(), false);
    }
}

void tst_remotedb_protocol::fieldsByNameIgnoreCaseAndByPosition() {
    auto insert = query(QStringLiteral("insert into s1_probe (mandant_id, id, n_int, n_dt) values (1, 1002, 7, :d)"));
    const TDateTime stamp = TDateTime::encodeDateTime(2024, 2, 29, 23, 59, 58, 987);
    insert->ParamByName("D").setAsDateTime(stamp);
    QVERIFY2(insert->ExecSQL(), qPrintable(insert->lastError()));

    auto read = query(QStringLiteral("SELECT N_Int AS Anzahl, n_dt, getdate() AS Jetzt FROM S1_Probe WHERE ID = 1002"));
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QCOMPARE(read->FieldCount(), 3);
    QCOMPARE(read->FieldByName("ANZAHL").AsInteger(), 7);
    QCOMPARE(read->FieldByName("anzahl").AsInteger(), 7);
    QCOMPARE(read->Fields(0).AsInteger(), 7);
    QCOMPARE(DTDatetimeToString(read->FieldByName("N_DT").AsDateTime()), DTDatetimeToString(stamp));
    QCOMPARE(read->Fields(1).AsString(), QStringLiteral("2024-02-29 23:59:58.987"));
    QVERIFY(read->FieldByName("jetzt").AsDateTime().year() >= 2024);
    QVERIFY(!read->FieldByName("nicht_da").exists());
    QCOMPARE(read->FieldByName("nicht_da").AsInteger(), 0);
    QCOMPARE(read->Fields(3).AsString(), QString());
}

void tst_remotedb_protocol::parametersByPositionAndRepeatedName() {
    auto read = query(QStringLiteral("select count(*) as n from s1_probe where id >= :von and id <= :bis "
                                     "and n_int >= :von * 10"));
    read->Params(0).setAsInteger(5);
    read->Params(1).setAsInteger(14);
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QCOMPARE(read->FieldByName("n").AsInteger(), 10);
}

void tst_remotedb_protocol::rowOrderAndEndOfRows() {
    auto read = query(QStringLiteral("select id, n_text from s1_probe where mandant_id = :m order by id desc"));
    read->ParamByName("m").setAsInteger(RemoteDbTestbed::Tenant1);
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QList<int> ids;
    while (!read->Eof()) {
        ids << read->FieldByName("id").AsInteger();
        QCOMPARE(read->FieldByName("n_text").AsString(), QStringLiteral("Zeile %1").arg(ids.last()));
        read->Next();
    }
    QCOMPARE(ids.size(), 40);
    QCOMPARE(ids.first(), 40);
    QCOMPARE(ids.last(), 1);
    QVERIFY(std::is_sorted(ids.rbegin(), ids.rend()));
    QVERIFY(!read->Next());
    QVERIFY(read->Eof());
    QCOMPARE(read->FieldByName("id").AsInteger(), 0);

    auto none = query(QStringLiteral("select id from s1_probe where id < 0"));
    QVERIFY2(none->Open(), qPrintable(none->lastError()));
    QVERIFY(none->Eof());
    QCOMPARE(none->RecordCount(), 0);
}

void tst_remotedb_protocol::topLimitsRows_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("firstId");
    QTest::newRow("top(n)") << "select top(5) * from s1_probe where Mandant_ID = :m Order by id" << 5 << 1;
    QTest::newRow("top (n) with a line break") << "select top (7) *\nfrom s1_probe\nwhere Mandant_ID = :m\n"
                                                  "Order By id desc "
                                               << 7 << 40;
    QTest::newRow("TOP n") << "SELECT TOP 3 id FROM s1_probe WHERE mandant_id = :m ORDER BY id" << 3 << 1;
    QTest::newRow("top in a subquery") << "select id from s1_probe where mandant_id = :m and id in "
                                          "(select top(4) id from s1_probe order by id desc) order by id"
                                       << 4 << 37;
    QTest::newRow("top larger than the table")
        << "select top(2000) * from s1_probe where mandant_id = :m order by id" << 40 << 1;
    QTest::newRow("top inside a literal is text") << "select id from s1_probe where n_text <> 'top(1)' and "
                                                     "mandant_id = :m order by id"
                                                  << 40 << 1;
}

void tst_remotedb_protocol::topLimitsRows() {
    QFETCH(QString, sql);
    QFETCH(int, rows);
    QFETCH(int, firstId);
    auto read = query(sql);
    read->ParamByName("m").setAsInteger(RemoteDbTestbed::Tenant1);
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QCOMPARE(read->RecordCount(), rows);
    QCOMPARE(read->FieldByName("id").AsInteger(), firstId);
}

void tst_remotedb_protocol::scopeIdentityOfPhotoInsert() {
    const QString sql = QStringLiteral(
        "INSERT INTO Lumora_Fotos  (Mandant_ID  ,PIC_ObjTyp  ,PIC_ObjID  ,PIC_BildName  ,PIC_TimeStamp  ,PIC_User  "
        ",MobileID  ,Owner  ,OwnerFTP  ,PIC_ZER_ID)  VALUES  (:Mandant_ID  ,:PIC_ObjTyp  ,:PIC_ObjID  ,:PIC_BildName  "
        ",:PIC_TimeStamp  ,:PIC_User  ,:MobileID  ,0  ,1 ,:PIC_ZER_ID) Select  SCOPE_IDENTITY() as ID  ");
    QList<int> ids;
    for (int i = 0; i < 2; ++i) {
        auto insert = query(sql);
        insert->ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant1);
        insert->ParamByName("PIC_ObjTyp").setAsString(QStringLiteral("Z"));
        insert->ParamByName("PIC_ObjID").setAsInteger(0);
        insert->ParamByName("PIC_BildName").setAsString(QStringLiteral("foto_%1.jpg").arg(i));
        insert->ParamByName("PIC_TimeStamp").setAsDateTime(TDateTime::encodeDateTime(2024, 5, 6, 7, 8, 9));
        insert->ParamByName("PIC_User").setAsString(QStringLiteral("MM-lm"));
        insert->ParamByName("MobileID").setAsLargeInt(-36000000 - i);
        insert->ParamByName("PIC_ZER_ID").setAsLargeInt(512);
        QVERIFY2(insert->Open(), qPrintable(insert->lastError()));
        QVERIFY(!insert->Eof());
        ids << insert->FieldByName("ID").AsInteger();
    }
    QVERIFY(ids[0] > 0);
    QVERIFY(ids[1] > 0);
    QVERIFY(ids[0] != ids[1]);

    auto read = query(QStringLiteral("select PIC_BildName, MobileID from Lumora_Fotos where PIC_ID = :id"));
    read->ParamByName("id").setAsInteger(ids[1]);
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QCOMPARE(read->FieldByName("pic_bildname").AsString(), QStringLiteral("foto_1.jpg"));
    QCOMPARE(read->FieldByName("MobileID").AsLargeInt(), qint64(-36000001));
}

void tst_remotedb_protocol::tenantSeesOnlyItsRows() {
    auto other = query(QStringLiteral("select count(*) as n from s1_probe where mandant_id = 2"));
    QVERIFY2(other->Open(), qPrintable(other->lastError()));
    QCOMPARE(other->FieldByName("n").AsInteger(), 0);

    auto write = query(QStringLiteral("insert into s1_probe (mandant_id, id) values (2, 1003)"));
    QVERIFY(!write->ExecSQL());

    // An unknown login sees nothing at all, not even its tenant row: the login check finds no tenant.
    auto stranger = connectedTenant(RemoteDbTestbed::Pin1, QStringLiteral("falsch"));
    QVERIFY(stranger->Connected());
    TXDataset tenant(stranger.get());
    tenant.setSQL(QStringLiteral("SELECT   Mandant_ID  FROM    Mandant  WHERE  (Mandant_PIN = :Mandant_PIN ) AND "
                                 "(Mandant_Kennwort = :Mandant_Kennwort) and (Mandant_inaktiv = 0)"));
    tenant.ParamByName("Mandant_PIN").setAsInteger(RemoteDbTestbed::Pin1);
    tenant.ParamByName("Mandant_Kennwort").setAsString(QStringLiteral("falsch"));
    QVERIFY2(tenant.Open(), qPrintable(tenant.lastError()));
    QVERIFY(tenant.Eof());

    // The right login finds its tenant, with the password compared without regard to case.
    auto member = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    TXDataset own(member.get());
    own.setSQL(tenant.SQL());
    own.ParamByName("Mandant_PIN").setAsInteger(RemoteDbTestbed::Pin1);
    own.ParamByName("Mandant_Kennwort").setAsString(RemoteDbTestbed::password1().toUpper());
    QVERIFY2(own.Open(), qPrintable(own.lastError()));
    QCOMPARE(own.FieldByName("Mandant_ID").AsInteger(), RemoteDbTestbed::Tenant1);
}

void tst_remotedb_protocol::primaryPathIsUsed() {
    QVERIFY(m_db->ServerUri().endsWith(QStringLiteral("/lumora/remotedb/Version3b/")));
    QVERIFY(m_db->ServerUri().startsWith(QStringLiteral("https://")));
    QCOMPARE(m_db->UserName(), m_bed.service.serviceUser());
    QCOMPARE(m_db->UserName().size(), 38);
}

void tst_remotedb_protocol::fallbackPathWhenPrimaryFails() {
    RemoteDbService older(m_bed.cluster);
    QVERIFY2(older.start({QStringLiteral("--path"), QStringLiteral("/lumora/remotedb/Version3a/")}),
             qPrintable(older.error()));
    older.configureClient();
    auto db = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY2(db->Connected(), qPrintable(db->lastError()));
    QVERIFY(db->ServerUri().endsWith(QStringLiteral("/lumora/remotedb/Version3a/")));
    TXDataset read(db.get());
    read.setSQL(QStringLiteral("select count(*) as n from s1_probe"));
    QVERIFY2(read.Open(), qPrintable(read.lastError()));
    QCOMPARE(read.FieldByName("n").AsInteger(), 40);
}

void tst_remotedb_protocol::notConnectedWhenServiceIsDown() {
    qputenv("LUMORA_REMOTEDB_PORT", QByteArray::number(LocalPorts::freePort()));
    auto db = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY(!db->Connected());
    QVERIFY(!db->lastError().isEmpty());
    TXDataset read(db.get());
    read.setSQL(QStringLiteral("select 1 as n"));
    QVERIFY(!read.Open());
    QVERIFY(read.Eof());
    QCOMPARE(read.FieldByName("n").AsInteger(), 0);
    QVERIFY(!read.lastError().isEmpty());
}

void tst_remotedb_protocol::notConnectedWithWrongServiceCredentials() {
    qputenv("LUMORA_REMOTEDB_PASSWORD", "[00000000-0000-0000-0000-000000000000]");
    auto db = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY(!db->Connected());
    QVERIFY2(db->lastError().contains(QStringLiteral("unauthorized")), qPrintable(db->lastError()));
}

void tst_remotedb_protocol::garbageAnswersAreErrors() {
    // A plain web server that answers the ping with something that is not the service.
    HttpServer web;
    QVERIFY2(web.start(), qPrintable(web.error()));
    QVERIFY(QDir(web.root()).mkpath(QStringLiteral("lumora/remotedb/Version3b")));
    QFile ping(web.root() + QStringLiteral("/lumora/remotedb/Version3b/ping"));
    QVERIFY(ping.open(QIODevice::WriteOnly));
    ping.write("<html>kein Dienst</html>");
    ping.close();

    TRemoteDBDatabase db;
    db.setServerUri(web.url() + QStringLiteral("/lumora/remotedb/Version3b/"));
    QVERIFY(!db.setConnected(true));
    QVERIFY(!db.Connected());

    // A ping that looks right, then a query the server cannot answer.
    QVERIFY(ping.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ping.write(R"({"ok":true})");
    ping.close();
    QVERIFY(db.setConnected(true));
    TXDataset read(&db);
    read.setSQL(QStringLiteral("select 1 as n"));
    QVERIFY(!read.Open());
    QVERIFY(read.Eof());
    QVERIFY(!read.lastError().isEmpty());
}

void tst_remotedb_protocol::serviceGoneMidSessionEndsConnection() {
    RemoteDbService second(m_bed.cluster);
    QVERIFY2(second.start(), qPrintable(second.error()));
    second.configureClient();
    auto db = connectedTenant(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY(db->Connected());
    second.stop();
    TXDataset read(db.get());
    read.setSQL(QStringLiteral("select 1 as n"));
    QVERIFY(!read.Open());
    QVERIFY(!db->Connected());
}

void tst_remotedb_protocol::badRequestsAreAnsweredAndServiceKeepsServing_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QString>("code");

    const auto stmt = [](const char* sql) {
        return QJsonDocument(QJsonObject{{QStringLiteral("sql"), QString::fromUtf8(sql)}}).toJson();
    };
    QTest::newRow("malformed JSON") << QByteArray("{\"sql\": \"select 1\"") << 400 << "bad_request";
    QTest::newRow("not an object") << QByteArray("[1,2,3]") << 400 << "bad_request";
    QTest::newRow("no sql") << QByteArray("{\"params\": []}") << 400 << "bad_request";
    QTest::newRow("missing parameter") << stmt("select :a as x") << 400 << "missing_parameter";
    QTest::newRow("unknown parameter")
        << QByteArray(R"({"sql":"select 1 as x","params":[{"name":"zuviel","type":"int","value":1}]})") << 400
        << "unknown_parameter";
    QTest::newRow("position beyond the parameters")
        << QByteArray(R"({"sql":"select :a as x","params":[{"index":3,"type":"int","value":1}]})") << 400
        << "unknown_parameter";
    QTest::newRow("text for an int parameter")
        << QByteArray(R"({"sql":"select :a as x","params":[{"name":"a","type":"int","value":"eins"}]})") << 400
        << "bad_parameter";
    QTest::newRow("int too large for int")
        << QByteArray(R"({"sql":"select :a as x","params":[{"name":"a","type":"int","value":4294967296}]})") << 400
        << "bad_parameter";
    QTest::newRow("broken date-time")
        << QByteArray(R"({"sql":"select :a as x","params":[{"name":"a","type":"datetime","value":"31.12.2024"}]})")
        << 400 << "bad_parameter";
    QTest::newRow("unknown parameter type")
        << QByteArray(R"({"sql":"select :a as x","params":[{"name":"a","type":"blob","value":"x"}]})") << 400
        << "bad_parameter";
    QTest::newRow("SQL error") << stmt("select * from gibt_es_nicht") << 422 << "sql_error";
    QTest::newRow("text into an integer column")
        << QByteArray(
               R"({"sql":"select id from s1_probe where id = :a","params":[{"name":"a","type":"text","value":"x"}]})")
        << 422 << "sql_error";
    QTest::newRow("SET") << stmt("SET lumora.mandant_id = '2'") << 403 << "forbidden_statement";
    QTest::newRow("RESET") << stmt("reset all") << 403 << "forbidden_statement";
    QTest::newRow("set_config") << stmt("select set_config('lumora.mandant_id', '2', false)") << 403
                                << "forbidden_statement";
    QTest::newRow("set_config in a subquery") << stmt("select id from s1_probe where id in (select 1 from (select "
                                                      "set_config('lumora.mandant_id','2',true)) x)")
                                              << 403 << "forbidden_statement";
    QTest::newRow("qualified set_config")
        << stmt("select pg_catalog.set_config('a.b','c',true)") << 403 << "forbidden_statement";
    QTest::newRow("current_setting") << stmt("select current_setting('lumora.mandant_id') as t") << 403
                                     << "forbidden_statement";
    QTest::newRow("DDL") << stmt("drop table s1_probe") << 403 << "forbidden_statement";
    QTest::newRow("CREATE") << stmt("create table x (a int)") << 403 << "forbidden_statement";
    QTest::newRow("SELECT INTO") << stmt("select * into kopie from s1_probe") << 403 << "forbidden_statement";
    QTest::newRow("second statement") << stmt("select 1; update s1_probe set n_int = 0") << 403
                                      << "forbidden_statement";
    QTest::newRow("COPY") << stmt("copy s1_probe to stdout") << 403 << "forbidden_statement";
    QTest::newRow("function outside the allow-list") << stmt("select pg_sleep(5)") << 403 << "forbidden_statement";
    QTest::newRow("unlisted function") << stmt("select md5('x') as h") << 403 << "forbidden_statement";
    QTest::newRow("catalog") << stmt("select * from pg_roles") << 403 << "forbidden_statement";
    QTest::newRow("::cast") << stmt("select '1'::int as x") << 403 << "forbidden_statement";
    QTest::newRow("block comment") << stmt("select 1 /* ; drop table s1_probe */") << 403 << "forbidden_statement";
    QTest::newRow("escape string") << stmt("select E'\\'; drop table s1_probe' as x") << 403 << "forbidden_statement";
    QTest::newRow("dollar quoting") << stmt("select $$x$$ as x") << 403 << "forbidden_statement";
    QTest::newRow("unterminated literal") << stmt("select 'offen") << 400 << "syntax";
    QTest::newRow("huge body") << QByteArray(9 * 1024 * 1024, 'x') << 413 << "too_large";
}

void tst_remotedb_protocol::badRequestsAreAnsweredAndServiceKeepsServing() {
    QFETCH(QByteArray, body);
    QFETCH(int, httpStatus);
    QFETCH(QString, code);
    const RawAnswer answer = rawRequest(m_bed.service, "/lumora/remotedb/Version3b/query", &body);
    QVERIFY2(answer.transportError.isEmpty(), qPrintable(answer.transportError));
    QCOMPARE(answer.httpStatus, long(httpStatus));
    const QJsonObject error = QJsonDocument::fromJson(answer.body).object().value(u"error").toObject();
    QCOMPARE(error.value(u"code").toString(), code);
    QVERIFY(!error.value(u"message").toString().isEmpty());

    // The service goes on serving, and the probe table is untouched.
    auto read = query(QStringLiteral("select count(*) as n, sum(n_int) as s from s1_probe"));
    QVERIFY2(read->Open(), qPrintable(read->lastError()));
    QCOMPARE(read->FieldByName("n").AsInteger(), 40);
    QCOMPARE(read->FieldByName("s").AsInteger(), 8200);
}

void tst_remotedb_protocol::clientErrorsReachLastError_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("param");
    QTest::addColumn<QString>("message");
    QTest::newRow("SQL error") << "select nix from s1_probe"
                               << ""
                               << "sql_error";
    QTest::newRow("unknown parameter") << "select 1 as x"
                                       << "zuviel"
                                       << "unknown_parameter";
    QTest::newRow("missing parameter") << "select :fehlt as x"
                                       << ""
                                       << "missing_parameter";
    QTest::newRow("SET") << "set role postgres"
                         << ""
                         << "forbidden_statement";
}

void tst_remotedb_protocol::clientErrorsReachLastError() {
    QFETCH(QString, sql);
    QFETCH(QString, param);
    QFETCH(QString, message);
    auto read = query(sql);
    if (!param.isEmpty())
        read->ParamByName(param).setAsInteger(1);
    QVERIFY(!read->Open());
    QVERIFY(read->Eof());
    QVERIFY2(read->lastError().contains(message), qPrintable(read->lastError()));
    QVERIFY(m_db->Connected());
}

QTEST_GUILESS_MAIN(tst_remotedb_protocol)
#include "tst_remotedb_protocol.moc"

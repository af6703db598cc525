// Tenant isolation in the database itself, seen through the real service and its real role: another
// tenant's rows can be neither read, changed, deleted nor written, for every table and view; the
// catalogue proves every tenant table is covered; and the change stamps stay strictly increasing and
// complete for a reader while many devices write at once.
#include "RemoteDbTestbed.h"
#include "ServerStatements.h"

#include "sync/RemoteDB.h"

#include <QtTest>

#include <libpq-fe.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>

namespace {

constexpr int A = RemoteDbTestbed::Tenant1;
constexpr int B = RemoteDbTestbed::Tenant2;
// The concurrent writers get a tenant of their own, so nothing else moves its stamps.
constexpr int Busy = 3;
constexpr int BusyPin = 4713;
const QString BusyPassword = QStringLiteral("Geheim-3");

struct TenantTable {
    const char* table;
    const char* columns; // of one row, Mandant_ID first
    const char* valuesA; // the same row for tenant A and for tenant B
    const char* valuesB;
    const char* newB;      // a row tenant B does not have yet
    const char* setColumn; // a column the client may update where it may update at all
};

// Every table that holds tenant data. tenantTablesAreAllCovered() keeps this list complete.
const TenantTable kTables[] = {
    {"Mandant", "Mandant_ID, Mandant_PIN, Mandant_Kennwort", "", "", "2, 9999, 'x'", "Mandant_Firma"},
    {"SyncVersion", "Mandant_ID, ID_Planung", "", "", "2, 0", "ID_Planung"},
    {"A_ADRESSEN", "Mandant_ID, ADR_ID, ADR_Name", "1, 11, 'Eigene'", "2, 21, 'Fremde'", "2, 22, 'Fremde'", "ADR_Name"},
    {"A_PERSONAL", "Mandant_ID, LPE_ID, LPE_Suchbez", "1, 11, 'Eigene'", "2, 21, 'Fremde'", "2, 22, 'Fremde'",
     "LPE_Suchbez"},
    {"Lumora_User", "Mandant_ID, USR_UserID, USR_Kurz", "1, 11, 'ei'", "2, 21, 'fr'", "2, 22, 'fr'", "USR_UserPW"},
    {"Lumora_Gruppen", "Mandant_ID, BER_ID, BER_Bezeichnung", "1, 11, 'Eigene'", "2, 21, 'Fremde'", "2, 22, 'Fremde'",
     "BER_Planung"},
    {"Lumora_GruppenKA", "Mandant_ID, GKA_ID, GKA_KA", "1, 11, '100'", "2, 21, '100'", "2, 22, '100'", "GKA_KA"},
    {"Lumora_GruppenKS", "Mandant_ID, GKS_ID, GKS_KS", "1, 11, '10'", "2, 21, '10'", "2, 22, '10'", "GKS_KS"},
    {"Lumora_GruppenTeam", "Mandant_ID, GTE_ID, GTE_LPE", "1, 11, 1", "2, 21, 2", "2, 22, 2", "GTE_LPE"},
    {"Lumora_Filter", "Mandant_ID, PFI_ID, PFI_Name", "1, 11, 'Eigene'", "2, 21, 'Fremde'", "2, 22, 'Fremde'",
     "PFI_SQL"},
    {"M_Material", "Mandant_ID, MAT_ID, MAT_Nr", "1, 11, 'E1'", "2, 21, 'F1'", "2, 22, 'F1'", "MAT_Bezeichnung"},
    {"M_MaterialPreise", "Mandant_ID, MAT_ID, MAT_MAF_NR", "1, 11, 1", "2, 21, 1", "2, 22, 1", "MAT_VP1"},
    {"P_PROJEKT", "Mandant_ID, PRO_ID, PRO_Nr", "1, 11, 'E1'", "2, 21, 'F1'", "2, 22, 'F1'", "PRO_Bezeichnung"},
    {"P_PROJEKTPHASEN", "Mandant_ID, PPH_ID, PPH_Nr", "1, 11, '01'", "2, 21, '01'", "2, 22, '01'", "PPH_Bezeichnung"},
    {"P_PROJEKTPHASEN_DETAIL", "Mandant_ID, PPD_ID, PPD_ZKA_Nr", "1, 11, '100'", "2, 21, '100'", "2, 22, '100'",
     "PPD_ZKA_Nr"},
    {"R_KAUFTRAG", "Mandant_ID, RKA_ID, RKA_ExtAufNr", "1, 11, 'A1'", "2, 21, 'A1'", "2, 22, 'A1'", "RKA_Bezeichnung"},
    {"R_KWERKAUFTRAG", "Mandant_ID, RKA_ID, RKA_ExtAufNr", "1, 11, 'W1'", "2, 21, 'W1'", "2, 22, 'W1'",
     "RKA_Bezeichnung"},
    {"Z_KOSTENART", "Mandant_ID, ZKA_Nr, ZKA_Bezeichnung", "1, '100', 'Eigene'", "2, '100', 'Fremde'",
     "2, '999', 'Neu'", "ZKA_Bezeichnung"},
    {"Z_KOSTENSTELLE", "Mandant_ID, ZKS_Nr, ZKS_Bezeichnung", "1, '10', 'Eigene'", "2, '10', 'Fremde'",
     "2, '99', 'Neu'", "ZKS_Bezeichnung"},
    {"Z_ERFASSUNG", "Mandant_ID, ZER_ID, MobileID, ZER_Text", "1, -11, -11, 'eigen'", "2, -21, -21, 'fremd'",
     "2, -22, -22, 'fremd'", "ZER_Text"},
    {"Z_PRAESENZZEIT", "Mandant_ID, ZPZ_ID, MobileID, ZPZ_MUTUSER", "1, -11, -11, 'EI-lm'", "2, -21, -21, 'FR-lm'",
     "2, -22, -22, 'FR-lm'", "ZPZ_MUTUSER"},
    {"Lumora_Team", "Mandant_ID, PTT_ZER_ID, PTT_MobileID, PTT_GUID",
     "1, -11, -11, '{11111111-1111-1111-1111-111111111111}'", "2, -21, -21, '{22222222-2222-2222-2222-222222222222}'",
     "2, -22, -22, '{22222222-2222-2222-2222-222222222222}'", "PTT_MUTUSER"},
    {"Lumora_TeamZPZ", "Mandant_ID, PTT_ZPZ_ID, PTT_MobileID, PTT_GUID",
     "1, -11, -11, '{11111111-1111-1111-1111-111111111111}'", "2, -21, -21, '{22222222-2222-2222-2222-222222222222}'",
     "2, -22, -22, '{22222222-2222-2222-2222-222222222222}'", "PTT_MUTUSER"},
    {"Lumora_Fotos", "Mandant_ID, PIC_BildName", "1, 'eigen.jpg'", "2, 'fremd.jpg'", "2, 'neu.jpg'", "PIC_BildName"},
    {"Dump_Z_Erfassung", "Mandant_ID, ZER_ID", "1, -11", "2, -21", "2, -22", "ZER_Text"},
    {"Dump_Z_PRAESENZZEIT", "Mandant_ID, ZPZ_ID", "1, -11", "2, -21", "2, -22", "ZPZ_MUTUSER"},
    {"Planung", "Mandant_ID, MPL_GUID, MPL_Betreff", "1, '{11111111-1111-1111-1111-111111111111}', 'eigen'",
     "2, '{22222222-2222-2222-2222-222222222222}', 'fremd'", "2, '{44444444-4444-4444-4444-444444444444}', 'neu'",
     "MPL_Betreff"},
    {"Planung_Team", "Mandant_ID, MTM_GUID, MTM_Bezeichnung", "1, '{11111111-1111-1111-1111-111111111111}', 'eigen'",
     "2, '{22222222-2222-2222-2222-222222222222}', 'fremd'", "2, '{44444444-4444-4444-4444-444444444444}', 'neu'",
     "MTM_Bezeichnung"},
    {"Planung_TeamPersonal", "Mandant_ID, MTP_GUID_Team, MTP_LPE_ID", "1, '{11111111-1111-1111-1111-111111111111}', 1",
     "2, '{22222222-2222-2222-2222-222222222222}', 2", "2, '{44444444-4444-4444-4444-444444444444}', 9", "MTP_Leader"},
    {"Planung_TeamErlaubnis", "Mandant_ID, PTE_UserID, PTE_TeamGuid", "1, 1, '{11111111-1111-1111-1111-111111111111}'",
     "2, 2, '{22222222-2222-2222-2222-222222222222}'", "2, 9, '{44444444-4444-4444-4444-444444444444}'", "PTE_UserID"},
};

const char* const kViews[] = {"Lumora_union_AlleMutTimeStamp", "Planung_AlleGuids"};

QString sqlText(const char* text) {
    return QString::fromUtf8(text);
}

// Everything a tenant holds in a table, so that any change, even of a stamp, shows.
QString fingerprintSql(const QString& table, int tenant) {
    return QStringLiteral("SELECT count(*) || ':' || coalesce(md5(string_agg(t::text, ',' ORDER BY t::text)), '') "
                          "FROM %1 t WHERE mandant_id = %2")
        .arg(table)
        .arg(tenant);
}

} // namespace

class tst_tenant_isolation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void serviceRoleIsNeitherSuperuserNorOwnerNorBypassing();
    void tenantTablesAreAllCovered();
    void everyTenantTableHasPolicyAndForce();
    void viewsRunWithTheCallersRights();
    void functionsRunningAsOwnerCannotBeMisled();

    void otherTenantCannotBeRead_data();
    void otherTenantCannotBeRead();
    void otherTenantCannotBeChanged_data();
    void otherTenantCannotBeChanged();
    void withoutTenantTheRoleSeesAndWritesNothing_data();
    void withoutTenantTheRoleSeesAndWritesNothing();

    void dtServerMovesOnEveryChange_data();
    void dtServerMovesOnEveryChange();
    void stampsStayIncreasingAndCompleteUnderConcurrentWriters();

private:
    std::unique_ptr<TRemoteDBDatabase> connect(int pin, const QString& password) const;
    QString value(const QString& sql) const { return m_bed.cluster.queryValue(sql); }
    QString dtServer(int tenant) const {
        return value(QStringLiteral("SELECT to_char(dtserver, 'YYYY-MM-DD HH24:MI:SS.MS') FROM syncversion WHERE "
                                    "mandant_id = %1")
                         .arg(tenant));
    }

    RemoteDbTestbed m_bed;
    std::unique_ptr<TRemoteDBDatabase> m_a;
};

void tst_tenant_isolation::initTestCase() {
    QString error;
    QVERIFY2(m_bed.setUp(error), qPrintable(error));
    QVERIFY2(m_bed.service.admin({QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(Busy),
                                  QStringLiteral("--pin"), QString::number(BusyPin), QStringLiteral("--password"),
                                  BusyPassword, QStringLiteral("--company"), QStringLiteral("Viel Betrieb GmbH")}),
             qPrintable(m_bed.service.error()));
    for (const TenantTable& t : kTables) {
        if (!*t.valuesA)
            continue;
        const QString insert =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(sqlText(t.table), sqlText(t.columns));
        QVERIFY2(execAsTenant(m_bed.cluster, A, insert.arg(sqlText(t.valuesA)), &error), qPrintable(error));
        QVERIFY2(execAsTenant(m_bed.cluster, B, insert.arg(sqlText(t.valuesB)), &error), qPrintable(error));
    }
    m_a = connect(RemoteDbTestbed::Pin1, RemoteDbTestbed::password1());
    QVERIFY2(m_a->Connected(), qPrintable(m_a->lastError()));
}

std::unique_ptr<TRemoteDBDatabase> tst_tenant_isolation::connect(int pin, const QString& password) const {
    auto db = std::make_unique<TRemoteDBDatabase>();
    db->setTenant(pin, password);
    ConnectRemoteDB(*db);
    return db;
}

void tst_tenant_isolation::serviceRoleIsNeitherSuperuserNorOwnerNorBypassing() {
    QCOMPARE(
        value(QStringLiteral("SELECT concat_ws('|', rolsuper, rolbypassrls, rolcreaterole, rolcreatedb, rolcanlogin) "
                             "FROM pg_roles WHERE rolname = 'lumora_service'")),
        QStringLiteral("f|f|f|f|t"));
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                                  "n.nspname = 'public' AND pg_get_userbyid(c.relowner) = 'lumora_service'")),
             QStringLiteral("0"));
    // And the service really works as that role.
    TXDataset who(m_a.get());
    who.setSQL(QStringLiteral("select count(*) as n from Mandant where Mandant_ID = 1"));
    QVERIFY2(who.Open(), qPrintable(who.lastError()));
    QCOMPARE(value(QStringLiteral("SELECT count(*) > 0 FROM pg_stat_activity WHERE usename = 'lumora_service'")),
             QStringLiteral("t"));
}

void tst_tenant_isolation::tenantTablesAreAllCovered() {
    QStringList listed;
    for (const TenantTable& t : kTables)
        listed << sqlText(t.table).toLower();
    listed.sort();
    const QString catalogue =
        value(QStringLiteral("SELECT string_agg(c.relname, ',' ORDER BY c.relname) FROM pg_class c JOIN pg_namespace n "
                             "ON n.oid = c.relnamespace JOIN pg_attribute a ON a.attrelid = c.oid AND a.attname = "
                             "'mandant_id' AND NOT a.attisdropped WHERE n.nspname = 'public' AND c.relkind = 'r'"));
    QCOMPARE(catalogue, listed.join(u','));
}

void tst_tenant_isolation::everyTenantTableHasPolicyAndForce() {
    const QString uncovered = value(QStringLiteral(
        "SELECT coalesce(string_agg(c.relname, ','), '') FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attname = 'mandant_id' AND NOT a.attisdropped "
        "WHERE n.nspname = 'public' AND c.relkind = 'r' AND (NOT c.relrowsecurity OR NOT c.relforcerowsecurity OR "
        "NOT EXISTS (SELECT 1 FROM pg_policy p WHERE p.polrelid = c.oid AND p.polcmd = '*' "
        "AND pg_get_expr(p.polqual, p.polrelid) LIKE '%mandant_id%lumora.mandant_id%' "
        "AND pg_get_expr(p.polwithcheck, p.polrelid) LIKE '%mandant_id%lumora.mandant_id%'))"));
    QCOMPARE(uncovered, QString());
    // No other, more permissive policy sits beside the tenant one.
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM pg_policy p JOIN pg_class c ON c.oid = p.polrelid JOIN "
                                  "pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = 'public' AND "
                                  "p.polname <> 'tenant_isolation'")),
             QStringLiteral("0"));
}

void tst_tenant_isolation::viewsRunWithTheCallersRights() {
    QCOMPARE(value(QStringLiteral("SELECT coalesce(string_agg(c.relname, ','), '') FROM pg_class c JOIN pg_namespace n "
                                  "ON n.oid = c.relnamespace WHERE n.nspname = 'public' AND c.relkind = 'v' AND NOT "
                                  "coalesce('security_invoker=true' = ANY (c.reloptions), false)")),
             QString());
}

void tst_tenant_isolation::functionsRunningAsOwnerCannotBeMisled() {
    // Their search path is fixed with temporary objects last, and the service may not make any.
    QCOMPARE(value(QStringLiteral("SELECT coalesce(string_agg(p.proname, ','), '') FROM pg_proc p JOIN pg_namespace n "
                                  "ON n.oid = p.pronamespace WHERE n.nspname = 'public' AND p.prosecdef AND NOT "
                                  "coalesce('search_path=pg_catalog, public, pg_temp' = ANY (p.proconfig), false)")),
             QString());
    QCOMPARE(value(QStringLiteral("SELECT has_database_privilege('lumora_service', current_database(), 'TEMPORARY')")),
             QStringLiteral("f"));
    // The service may call none of them but the login check.
    QCOMPARE(value(QStringLiteral("SELECT coalesce(string_agg(p.proname, ','), '') FROM pg_proc p JOIN pg_namespace n "
                                  "ON n.oid = p.pronamespace WHERE n.nspname = 'public' AND p.prosecdef AND "
                                  "has_function_privilege('lumora_service', p.oid, 'EXECUTE')")),
             QStringLiteral("lumora_auth_tenant"));
}

void tst_tenant_isolation::otherTenantCannotBeRead_data() {
    QTest::addColumn<QString>("relation");
    for (const TenantTable& t : kTables)
        QTest::newRow(t.table) << sqlText(t.table);
    for (const char* view : kViews)
        QTest::newRow(view) << sqlText(view);
}

void tst_tenant_isolation::otherTenantCannotBeRead() {
    QFETCH(QString, relation);
    QVERIFY(value(QStringLiteral("SELECT count(*) FROM %1 WHERE mandant_id = %2").arg(relation).arg(B)).toInt() > 0);

    // Naming the other tenant finds nothing; the dumps, which the service only writes, refuse to be read.
    const bool readable = !relation.startsWith(u"Dump_", Qt::CaseInsensitive);
    TXDataset named(m_a.get());
    named.setSQL(QStringLiteral("select count(*) as n from %1 where Mandant_ID = %2").arg(relation).arg(B));
    QCOMPARE(named.Open(), readable);
    if (readable)
        QCOMPARE(named.FieldByName("n").AsInteger(), 0);

    // Naming no tenant at all shows the own rows only.
    TXDataset unnamed(m_a.get());
    unnamed.setSQL(QStringLiteral("select Mandant_ID from %1").arg(relation));
    QCOMPARE(unnamed.Open(), readable);
    while (!unnamed.Eof()) {
        QCOMPARE(unnamed.FieldByName("Mandant_ID").AsInteger(), A);
        unnamed.Next();
    }
}

void tst_tenant_isolation::otherTenantCannotBeChanged_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("statements");
    for (const TenantTable& t : kTables) {
        const QString table = sqlText(t.table);
        const QString set = sqlText(t.setColumn);
        QStringList statements{
            QStringLiteral("update %1 set %2 = %2 where Mandant_ID = %3").arg(table, set).arg(B),
            QStringLiteral("update %1 set %2 = %2").arg(table, set),
            QStringLiteral("update %1 set Mandant_ID = %2 where Mandant_ID = %3").arg(table).arg(B).arg(A),
            QStringLiteral("delete from %1 where Mandant_ID = %2").arg(table).arg(B),
            QStringLiteral("delete from %1 where Mandant_ID <> %2").arg(table).arg(A),
        };
        statements << QStringLiteral("insert into %1 (%2) values (%3)").arg(table, sqlText(t.columns), sqlText(t.newB));
        QTest::newRow(t.table) << table << statements;
    }
}

void tst_tenant_isolation::otherTenantCannotBeChanged() {
    QFETCH(QString, table);
    QFETCH(QStringList, statements);
    const QString tenantB = value(fingerprintSql(table, B));
    const QString stampB = dtServer(B);
    for (const QString& sql : statements) {
        TXDataset statement(m_a.get());
        statement.setSQL(sql);
        // Refused, or run without touching a row of the other tenant.
        if (statement.ExecSQL() && sql.startsWith(u"insert"))
            QFAIL(qPrintable(QStringLiteral("accepted: ") + sql));
        QCOMPARE(value(fingerprintSql(table, B)), tenantB);
    }
    QCOMPARE(dtServer(B), stampB);
}

void tst_tenant_isolation::withoutTenantTheRoleSeesAndWritesNothing_data() {
    otherTenantCannotBeRead_data();
}

void tst_tenant_isolation::withoutTenantTheRoleSeesAndWritesNothing() {
    QFETCH(QString, relation);
    // Straight to the database as the service's role, as a request without tenant credentials runs.
    PGconn* conn = PQconnectdb(m_bed.cluster.conninfo(QStringLiteral("lumora_service")).toUtf8().constData());
    QVERIFY2(PQstatus(conn) == CONNECTION_OK, PQerrorMessage(conn));
    const auto run = [&](const QString& sql) {
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(result);
        const QString answer = status == PGRES_TUPLES_OK    ? QString::fromUtf8(PQgetvalue(result, 0, 0))
                               : status == PGRES_COMMAND_OK ? QString::fromUtf8(PQcmdTuples(result))
                                                            : QStringLiteral("refused");
        PQclear(result);
        return answer;
    };
    const QString count = run(QStringLiteral("SELECT count(*) FROM %1").arg(relation));
    QVERIFY2(count == u"0" || count == u"refused", qPrintable(count));
    const QString before = value(fingerprintSql(relation, A));
    for (const TenantTable& t : kTables) {
        if (QString::fromUtf8(t.table) != relation)
            continue;
        const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(relation, sqlText(t.columns));
        if (*t.valuesA)
            QCOMPARE(run(insert.arg(QString::fromUtf8(t.valuesA).replace(QStringLiteral("11"), QStringLiteral("12")))),
                     QStringLiteral("refused"));
        const QString update = run(QStringLiteral("UPDATE %1 SET %2 = %2").arg(relation, sqlText(t.setColumn)));
        QVERIFY2(update == u"0" || update == u"refused", qPrintable(update));
    }
    QCOMPARE(value(fingerprintSql(relation, A)), before);
    PQfinish(conn);
}

void tst_tenant_isolation::dtServerMovesOnEveryChange_data() {
    QTest::addColumn<QStringList>("statements");
    const QString team = QStringLiteral("{33333333-3333-3333-3333-333333333333}");
    QTest::newRow("new entry") << QStringList{
        QStringLiteral("insert into Z_Erfassung (Mandant_ID, ZER_ID, MobileID, Owner) values (1, -31, -31, 1)")};
    QTest::newRow("changed entry") << QStringList{
        QStringLiteral("update Z_Erfassung set ZER_Text = 'geändert' where Mandant_ID = 1 and MobileID = -31")};
    QTest::newRow("entry deleted on the device")
        << QStringList{QStringLiteral("update Z_Erfassung set geloescht = 1 where Mandant_ID = 1 and MobileID = -31")};
    QTest::newRow("new presence time") << QStringList{
        QStringLiteral("insert into Z_Praesenzzeit (Mandant_ID, ZPZ_ID, MobileID) values (1, -31, -31)")};
    QTest::newRow("team link") << QStringList{
        QStringLiteral(
            "insert into Lumora_Team (Mandant_ID, PTT_ZER_ID, PTT_MobileID, PTT_GUID) values (1, -31, -31, '%1')")
            .arg(team)};
    QTest::newRow("photo") << QStringList{
        QStringLiteral("insert into Lumora_Fotos (Mandant_ID, PIC_BildName) values (1, 'neu.jpg')")};
    QTest::newRow("assignment") << QStringList{
        QStringLiteral("insert into Planung (Mandant_ID, MPL_GUID, MPL_Betreff) values (1, '%1', 'neu')").arg(team)};
    QTest::newRow("planning team") << QStringList{
        QStringLiteral("insert into Planung_Team (Mandant_ID, MTM_GUID, SyncVersion) values (1, '%1', 1)").arg(team)};
    QTest::newRow("planning team removed")
        << QStringList{QStringLiteral("delete from Planung_Team where Mandant_ID = 1 and MTM_GUID = '%1'").arg(team)};
    QTest::newRow("team member") << QStringList{
        QStringLiteral("insert into Planung_TeamPersonal (Mandant_ID, MTP_GUID_Team, MTP_LPE_ID) values (1, '%1', 7)")
            .arg(team)};
    QTest::newRow("team member removed") << QStringList{
        QStringLiteral("delete from Planung_TeamPersonal where Mandant_ID = 1 and MTP_LPE_ID = 7")};
}

void tst_tenant_isolation::dtServerMovesOnEveryChange() {
    QFETCH(QStringList, statements);
    const QString before = dtServer(A);
    const QString otherBefore = dtServer(B);
    for (const QString& sql : statements) {
        TXDataset statement(m_a.get());
        statement.setSQL(sql);
        QVERIFY2(statement.ExecSQL(), qPrintable(statement.lastError()));
    }
    const QString after = dtServer(A);
    QVERIFY2(after > before, qPrintable(before + QStringLiteral(" -> ") + after));
    QCOMPARE(dtServer(B), otherBefore);

    // What the devices read agrees with the database.
    TXDataset read(m_a.get());
    read.setSQL(QStringLiteral(" Select dtServer from SyncVersion  Where Mandant_ID = :Mandant_ID"));
    read.ParamByName("Mandant_ID").setAsInteger(A);
    QVERIFY2(read.Open(), qPrintable(read.lastError()));
    QCOMPARE(read.FieldByName("dtServer").AsString(), after);
}

void tst_tenant_isolation::stampsStayIncreasingAndCompleteUnderConcurrentWriters() {
    constexpr int Writers = 6;
    constexpr int EntriesPerWriter = 60;
    std::atomic<int> writersRunning{Writers};
    std::atomic<int> failedWrites{0};

    std::vector<std::thread> writers;
    for (int w = 0; w < Writers; ++w) {
        writers.emplace_back([&, w] {
            auto db = connect(BusyPin, BusyPassword);
            for (int i = 0; i < EntriesPerWriter; ++i) {
                TXDataset insert(db.get());
                insert.setSQL(QStringLiteral("insert into Z_Erfassung (Mandant_ID, ZER_ID, MobileID, Owner, ZER_Text) "
                                             "values (:Mandant_ID, :ZER_ID, :MobileID, 1, 'parallel')"));
                const int mobile = -(w * 1000 + i + 1);
                insert.ParamByName("Mandant_ID").setAsInteger(Busy);
                insert.ParamByName("ZER_ID").setAsInteger(mobile);
                insert.ParamByName("MobileID").setAsInteger(mobile);
                if (!insert.ExecSQL())
                    ++failedWrites;
            }
            --writersRunning;
        });
    }

    // A device downloading all the while, batch after batch from its last stamp, as the sync does.
    auto reader = connect(BusyPin, BusyPassword);
    std::set<int> seen;
    QString last = QStringLiteral("2000-01-01 00:00:00.000");
    QStringList outOfOrder;
    int duplicates = 0;
    bool writing = true;
    while (true) {
        writing = writersRunning.load() > 0;
        TXDataset batch(reader.get());
        batch.setSQL(QStringLiteral("select top (2000) * from Z_Erfassung\nwhere  Owner = 0  and Mandant_ID = "
                                    ":Mandant_ID\nand (MUTTimeStamp > :MUTTimeStamp) \nOrder By MUTTimeStamp"));
        batch.ParamByName("Mandant_ID").setAsInteger(Busy);
        batch.ParamByName("MUTTimeStamp").setAsString(last);
        QVERIFY2(batch.Open(), qPrintable(batch.lastError()));
        while (!batch.Eof()) {
            const QString stamp = batch.FieldByName("MUTTimeStamp").AsString();
            if (!(stamp > last))
                outOfOrder << last + QStringLiteral(" then ") + stamp;
            last = stamp;
            if (!seen.insert(batch.FieldByName("MobileID").AsInteger()).second)
                ++duplicates;
            batch.Next();
        }
        // The last pass starts after every writer is done, so it finds whatever is left.
        if (!writing && batch.RecordCount() == 0)
            break;
    }
    for (std::thread& t : writers)
        t.join();

    QCOMPARE(failedWrites.load(), 0);
    QVERIFY2(outOfOrder.isEmpty(), qPrintable(outOfOrder.join(u'\n')));
    QCOMPARE(duplicates, 0);
    QCOMPARE(int(seen.size()), Writers * EntriesPerWriter);
    QCOMPARE(
        value(QStringLiteral("SELECT concat_ws('|', count(*), count(DISTINCT zer_id), min(zer_id) > 0, count(DISTINCT "
                             "muttimestamp), min(owner), max(owner)) FROM z_erfassung WHERE mandant_id = %1")
                  .arg(Busy)),
        QStringLiteral("%1|%1|t|%1|0|0").arg(Writers * EntriesPerWriter));
    QCOMPARE(dtServer(Busy), value(QStringLiteral("SELECT to_char(max(muttimestamp), 'YYYY-MM-DD HH24:MI:SS.MS') FROM "
                                                  "z_erfassung WHERE mandant_id = %1")
                                       .arg(Busy)));
}

QTEST_GUILESS_MAIN(tst_tenant_isolation)
#include "tst_tenant_isolation.moc"

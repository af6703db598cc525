// The client's server statements, run through the real lumora-remotedb over HTTPS against the real
// schema: what each read returns, what each write leaves on the server, and the download batches of
// every synchronised table.
#include "RemoteDbTestbed.h"
#include "ServerStatements.h"

#include "core/classMeineVerschluesselung.h"
#include "sync/RemoteDB.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QList<QStringList>)

namespace {

// Tenant 1 holds the fixture the reads look at and is never written by this suite; tenant 2 takes the
// writes; tenant 3 scrambles its texts; tenant 4 holds one row of every downloaded table.
constexpr int ScrambledTenant = 3;
constexpr int ScrambledPin = 4713;
constexpr int DownloadTenant = 4;
constexpr int DownloadPin = 4714;
const TVerschluesseln kTenant3Keys(101, 202, 303);

constexpr const char* kTeamNord = "{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}";
constexpr const char* kTeamSued = "{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E02}";
constexpr const char* kAssignment = "{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A01}";
constexpr const char* kDeletedAssignment = "{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A02}";
// Opens every GUID list the client sends, so that no list is ever empty.
constexpr const char* kPlaceholder = "{00000000-0000-0000-0000-000000000001}";

const char* const kTenant1Fixture = R"sql(
UPDATE mandant SET mandant_status = 1, mandant_planungaktiv = 1, mandant_serverversion = 3,
       mandant_maxalterzeiten = 45, mandant_barcodescanaktiv = 1 WHERE mandant_id = 1;
UPDATE syncversion SET id_planung = 5 WHERE mandant_id = 1;
INSERT INTO lumora_gruppen (mandant_id, ber_id, ber_bezeichnung, ber_typ, ber_teamerfassung)
    VALUES (1, 10, 'Monteure', '11111', 1);
INSERT INTO lumora_user (mandant_id, usr_userid, usr_username, usr_kurz, usr_userpw, usr_ber_id, usr_userfd)
    VALUES (1, 20, 'Max Müller', 'mm', 'pw1', 10, 30), (1, 21, 'Alt Ehemalig', 'alt', 'pw2', 10, 31);
DELETE FROM lumora_user WHERE mandant_id = 1 AND usr_userid = 21;
INSERT INTO a_adressen (mandant_id, adr_id, adr_name) VALUES (1, 40, 'Wagner');
INSERT INTO z_erfassung (mandant_id, zer_id, mobileid, zer_lpe, zer_zka, zer_datum)
    VALUES (1, 500, -5000, 30, '100', '2026-12-01');
INSERT INTO z_praesenzzeit (mandant_id, zpz_id, mobileid, zpz_lpe_id, zpz_datum)
    VALUES (1, 600, -6000, 30, '2026-12-01');
INSERT INTO planung (mandant_id, mpl_guid, mpl_datum, mpl_betreff, mpl_mtm_guid, geloescht)
    VALUES (1, '{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A01}', '2026-12-11', 'Montage', '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}', 0),
           (1, '{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A02}', '2026-12-12', 'Abgesagt', NULL, 1);
INSERT INTO planung_team (mandant_id, mtm_guid, mtm_bezeichnung, mtm_farbe, syncversion)
    VALUES (1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}', 'Trupp Nord', 4283215696, 4),
           (1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E02}', 'Trupp Süd', 0, 5);
INSERT INTO planung_teampersonal (mandant_id, mtp_guid_team, mtp_lpe_id, mtp_leader, syncversion)
    VALUES (1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}', 30, 1, 4),
           (1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}', 31, 0, 5);
INSERT INTO planung_teamerlaubnis (mandant_id, pte_userid, pte_teamguid)
    VALUES (1, 20, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}')
)sql";

QVariantMap step(const QString& sql, const QVariantMap& params) {
    QVariantMap s = params;
    s.insert(QStringLiteral("sql"), sql);
    return s;
}

QString hex(const std::string& plain) {
    return QString::fromStdString(kTenant3Keys.Verschluesseln(plain));
}

// The columns the master-data download copies from each table (the server's names).
struct DownloadTable {
    const char* table;
    const char* insert; // one live row and one deleted row of tenant 4
    const char* columns;
};

const DownloadTable kDownloadTables[] = {
    {"A_Adressen", "(mandant_id, adr_id, adr_name) VALUES (4, 1, 'Live'), (4, 2, 'Weg')",
     "Mandant_ID ADR_ID ADR_Nr ADR_Sortierung ADR_Anrede ADR_Name ADR_Vorname ADR_Zusatz ADR_Strasse ADR_Postfach "
     "ADR_Land ADR_PLZ ADR_Ort ADR_Kanton ADR_Tel1 ADR_FAX ADR_Tel2 ADR_TEL3BESCHR ADR_TEL3 ADR_TEL4BESCHR ADR_TEL4 "
     "ADR_Email FlagGeloescht"},
    {"A_Personal", "(mandant_id, lpe_id, lpe_suchbez) VALUES (4, 1, 'Live'), (4, 2, 'Weg')",
     "Mandant_ID LPE_ID LPE_Nr LPE_Suchbez LPE_Kürzel LPE_KostenStd LPE_VerrechnenStd LPE_Kennwort FlagGeloescht"},
    {"Lumora_Gruppen", "(mandant_id, ber_id) VALUES (4, 1), (4, 2)",
     "Mandant_ID BER_ID BER_Bezeichnung BER_Praesenzzeit BER_Typ BER_Art BER_KS BER_Fakt BER_ZPZ_startstop "
     "BER_ZER_startstop BER_DatumMutieren BER_Status4Mutieren BER_TageVeraenderbar BER_InZukunftErlauben "
     "BER_Buchungssperre BER_ZPZ_automatik BER_Runden BER_Planung BER_Teamerfassung BER_ZERnurAnsicht "
     "BER_Mitternacht BER_TeamPraesenzzeit BER_MitternachtStunden BER_TeamLight FlagGeloescht"},
    {"Lumora_GruppenKA", "(mandant_id, gka_id, gka_ka) VALUES (4, 1, '100'), (4, 2, '200')",
     "Mandant_ID GKA_ID GKA_BER_ID GKA_KA FlagGeloescht"},
    {"Lumora_GruppenKS", "(mandant_id, gks_id, gks_ks) VALUES (4, 1, '10'), (4, 2, '20')",
     "Mandant_ID GKS_ID GKS_BER_ID GKS_KS FlagGeloescht"},
    {"Lumora_GruppenTeam", "(mandant_id, gte_id, gte_lpe) VALUES (4, 1, 1), (4, 2, 2)",
     "Mandant_ID GTE_ID GTE_BER_ID GTE_LPE FlagGeloescht"},
    {"Lumora_User", "(mandant_id, usr_userid, usr_kurz) VALUES (4, 1, 'a'), (4, 2, 'b')",
     "Mandant_ID USR_UserID USR_UserName USR_Kurz USR_UserPW USR_BER_ID USR_UserFD FlagGeloescht"},
    {"P_PROJEKT", "(mandant_id, pro_id, pro_nr) VALUES (4, 1, 'P1'), (4, 2, 'P2')",
     "Mandant_ID PRO_ID PRO_Nr PRO_Bezeichnung PRO_Start PRO_Ende PRO_Beschreibung PRO_Erledigt PRO_KS FakturaCode "
     "PRO_ADR1 PRO_ADR2 PRO_ADRRechnung FilterZahl1 FlagGeloescht"},
    {"P_PROJEKTPHASEN", "(mandant_id, pph_id, pph_nr) VALUES (4, 1, '01'), (4, 2, '02')",
     "Mandant_ID PPH_ID PPH_PRO_ID PPH_PRO_ID_VL PPH_Nr PPH_Bezeichnung PPH_Memo PPH_Start PPH_Ende PPH_Inaktiv "
     "FlagGeloescht"},
    {"P_PROJEKTPHASEN_DETAIL", "(mandant_id, ppd_id, ppd_zka_nr) VALUES (4, 1, '100'), (4, 2, '110')",
     "Mandant_ID PPD_ID PPD_PPH_ID PPD_ZKA_Nr FlagGeloescht"},
    {"R_KAUFTRAG", "(mandant_id, rka_id, rka_extaufnr) VALUES (4, 1, 'A1'), (4, 2, 'A2')",
     "Mandant_ID RKA_ID RKA_ADR_ID RKA_ExtAufNr RKA_PRO RKA_Bezeichnung RKA_Status RKA_StatusText RKA_Datum1 "
     "RKA_Datum2 RKA_RechnungOrig RKA_KS FakturaCode FlagGeloescht"},
    {"R_KWERKAUFTRAG", "(mandant_id, rka_id, rka_extaufnr) VALUES (4, 1, 'W1'), (4, 2, 'W2')",
     "Mandant_ID RKA_ID RKA_ADR_ID RKA_ExtAufNr RKA_PRO RKA_Bezeichnung RKA_Status RKA_StatusText RKA_Datum1 "
     "RKA_Datum2 RKA_RechnungOrig RKA_KS FakturaCode FlagGeloescht"},
    {"Z_KOSTENART", "(mandant_id, zka_nr) VALUES (4, '100'), (4, '200')",
     "Mandant_ID ZKA_Nr ZKA_Bezeichnung ZKA_TYPE ZKA_StundenFaktor ZKA_Leistung ZKA_Spesen ZKA_KmAnsatz ZKA_MWSTC "
     "ZKA_MWSTExcl ZKA_Konto ZKA_Eigensch ZKA_KS ZKA_StdETyp ZKA_Lohnart ZKA_LohnartStd ZKA_Verrechnen ZKA_Inaktiv "
     "FlagGeloescht"},
    {"Z_KOSTENSTELLE", "(mandant_id, zks_nr) VALUES (4, '10'), (4, '20')",
     "Mandant_ID ZKS_Nr ZKS_Bezeichnung FlagGeloescht"},
    {"Lumora_Filter", "(mandant_id, pfi_id, pfi_name) VALUES (4, 1, 'F1'), (4, 2, 'F2')",
     "Mandant_ID PFI_ID PFI_BER_ID PFI_Tabelle PFI_Name PFI_SQL PFI_Standard FlagGeloescht"},
    {"Lumora_TeamZPZ",
     "(mandant_id, ptt_zpz_id, ptt_mobileid, ptt_guid) VALUES (4, 1, -1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}'), "
     "(4, 2, -2, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}')",
     "Mandant_ID PTT_ZPZ_ID PTT_MobileID PTT_GUID PTT_Inaktiv PTT_ERFDAT PTT_ERFUSER PTT_MUTDAT PTT_MUTUSER "
     "FlagGeloescht"},
    {"Lumora_Team",
     "(mandant_id, ptt_zer_id, ptt_mobileid, ptt_guid) VALUES (4, 1, -1, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}'), "
     "(4, 2, -2, '{5D1A0C33-2B44-4E55-8F66-7A8B9C0D1E01}')",
     "Mandant_ID PTT_ZER_ID PTT_MobileID PTT_GUID PTT_Inaktiv PTT_ERFDAT PTT_ERFUSER PTT_MUTDAT PTT_MUTUSER "
     "FlagGeloescht"},
    {"M_Material", "(mandant_id, mat_id, mat_nr) VALUES (4, 1, '10001'), (4, 2, '10002')",
     "Mandant_ID MAT_ID MAT_SP MAT_Nr MAT_AlternativNr MAT_EANCODE MAT_BerCode MAT_Suchbezeichnung MAT_Gruppe "
     "MAT_Mengeneinheit MAT_Preiseinheit MAT_Bezeichnung MTE_ZusatzText FlagGeloescht"},
    {"M_MaterialPreise", "(mandant_id, mat_id, mat_maf_nr) VALUES (4, 1, 1), (4, 2, 1)",
     "Mandant_ID MAT_ID MAT_AktiveWaehrung MAT_AktuellerEP MAT_AktuellerEP_EURO MAT_VPKalkuliert "
     "MAT_VPKalkuliert_EURO MAT_VP1 MAT_VP2 MAT_VP3 MAT_VP4 MAT_VP5 MAT_VP6 MAT_VP7 MAT_VP8 MAT_VP9 MAT_Aktionspreis "
     "MAT_VP1_EURO MAT_VP2_EURO MAT_VP3_EURO MAT_VP4_EURO MAT_VP5_EURO MAT_VP6_EURO MAT_VP7_EURO MAT_VP8_EURO "
     "MAT_VP9_EURO MAT_Aktionspreis_EURO MAT_MAF_NR FlagGeloescht"},
    {"Z_Erfassung", "(mandant_id, zer_id, mobileid) VALUES (4, 1, -1), (4, 2, -2)", "Mandant_ID ZER_ID MobileID"},
    {"Z_PRAESENZZEIT", "(mandant_id, zpz_id, mobileid) VALUES (4, 1, -1), (4, 2, -2)", "Mandant_ID ZPZ_ID MobileID"},
};

const ServerColumns& entryUploadExtras() {
    static const ServerColumns columns =
        columnsOf({QStringLiteral("Owner:i"), QStringLiteral("MobileID:i"), QStringLiteral("geloescht:i"),
                   QStringLiteral("VonIstNULL:i"), QStringLiteral("BisIstNULL:i"), QStringLiteral("StdIstNULL:i"),
                   QStringLiteral("OSVERSION:s"), QStringLiteral("AppVersion:s")});
    return columns;
}

const ServerColumns& planningColumns() {
    static const ServerColumns columns =
        columnsOf(QStringLiteral(
                      "Mandant_ID:i MPL_GUID:s MPL_Datum:d MPL_Betreff:s MPL_Text:s MPL_PRO:i MPL_RKA_ID_A:i "
                      "MPL_RKA_ID_W:i MPL_ADR_ID:i MPL_MTM_GUID:s MPL_ERFDAT:d MPL_ERFUSER:s MPL_MUTDAT:d "
                      "MPL_MUTUSER:s Owner:i gesperrt:i komplett:i erledigt:i geloescht:i ObjektAdresse:s "
                      "ObjektAuftrag:s ObjektWerkAuftrag:s ObjektProjekt:s MPL_KA:s MPL_Erledigt:i MPL_von:d MPL_bis:d")
                      .split(u' '));
    return columns;
}

const ServerColumns& teamColumns() {
    static const ServerColumns columns =
        columnsOf(QStringLiteral("Mandant_ID:i MTM_GUID:s MTM_Bezeichnung:s MTM_Farbe:i MTM_ERFDAT:d MTM_ERFUSER:s "
                                 "MTM_MUTDAT:d MTM_MUTUSER:s SyncVersion:i")
                      .split(u' '));
    return columns;
}

const ServerColumns& memberColumns() {
    static const ServerColumns columns =
        columnsOf(QStringLiteral("Mandant_ID:i MTP_GUID_Team:s MTP_LPE_ID:i MTP_Leader:i MTP_ERFDAT:d MTP_ERFUSER:s "
                                 "MTP_MUTDAT:d MTP_MUTUSER:s SyncVersion:i")
                      .split(u' '));
    return columns;
}

} // namespace

class tst_server_statements : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void photoRegistrationReturnsItsServerId();
    void dtServerIsTheNewestStamp();
    void downloadBatchOfEveryTable_data();
    void downloadBatchOfEveryTable();

private:
    std::unique_ptr<TRemoteDBDatabase> connect(int pin, const QString& password);
    TRemoteDBDatabase& tenant(int id);
    QString superuserValue(const QString& sql) const { return m_bed.cluster.queryValue(sql); }

    RemoteDbTestbed m_bed;
    std::map<int, std::unique_ptr<TRemoteDBDatabase>> m_tenants;
};

void tst_server_statements::initTestCase() {
    QString error;
    QVERIFY2(m_bed.setUp(error), qPrintable(error));
    QVERIFY2(execAsTenant(m_bed.cluster, RemoteDbTestbed::Tenant1, QString::fromUtf8(kTenant1Fixture), &error),
             qPrintable(error));

    // The scrambling tenant is made the way an operator makes one.
    QString output;
    const QString crypto = QStringLiteral("101,202,303");
    QVERIFY2(
        m_bed.service.admin({QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(ScrambledTenant),
                             QStringLiteral("--pin"), QString::number(ScrambledPin), QStringLiteral("--password"),
                             QStringLiteral("Geheim-3"), QStringLiteral("--company"), QStringLiteral("Kryptik KG"),
                             QStringLiteral("--crypto"), crypto}),
        qPrintable(m_bed.service.error()));
    QVERIFY2(
        m_bed.service.admin({QStringLiteral("add-group"), QStringLiteral("--tenant"), QString::number(ScrambledTenant),
                             QStringLiteral("--name"), QStringLiteral("Büro"), QStringLiteral("--crypto"), crypto},
                            &output),
        qPrintable(m_bed.service.error()));
    const QString group = output.trimmed();
    QVERIFY2(m_bed.service.admin({QStringLiteral("add-user"), QStringLiteral("--tenant"),
                                  QString::number(ScrambledTenant), QStringLiteral("--short"), QStringLiteral("ab"),
                                  QStringLiteral("--password"), QStringLiteral("Passwort!"), QStringLiteral("--name"),
                                  QStringLiteral("Anna Bäcker"), QStringLiteral("--group"), group,
                                  QStringLiteral("--lpe"), QStringLiteral("77"), QStringLiteral("--crypto"), crypto}),
             qPrintable(m_bed.service.error()));

    QVERIFY2(
        m_bed.service.admin({QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(DownloadTenant),
                             QStringLiteral("--pin"), QString::number(DownloadPin), QStringLiteral("--password"),
                             QStringLiteral("Geheim-4"), QStringLiteral("--company"), QStringLiteral("Tabellen GmbH")}),
        qPrintable(m_bed.service.error()));
    QStringList seed;
    for (const DownloadTable& t : kDownloadTables) {
        seed << QStringLiteral("INSERT INTO %1 %2").arg(QLatin1String(t.table), QString::fromUtf8(t.insert));
        // The second row is deleted on the server: it stays, flagged, for the devices to learn of it.
        seed << QStringLiteral("DELETE FROM %1 WHERE mandant_id = 4 AND ctid = (SELECT max(ctid) FROM %1 "
                               "WHERE mandant_id = 4)")
                    .arg(QLatin1String(t.table));
    }
    QVERIFY2(execAsTenant(m_bed.cluster, DownloadTenant, seed.join(QStringLiteral(";\n")), &error), qPrintable(error));
}

std::unique_ptr<TRemoteDBDatabase> tst_server_statements::connect(int pin, const QString& password) {
    auto db = std::make_unique<TRemoteDBDatabase>();
    db->setTenant(pin, password);
    ConnectRemoteDB(*db);
    return db;
}

TRemoteDBDatabase& tst_server_statements::tenant(int id) {
    auto& db = m_tenants[id];
    if (!db) {
        static const std::map<int, std::pair<int, QString>> logins = {
            {RemoteDbTestbed::Tenant1, {RemoteDbTestbed::Pin1, RemoteDbTestbed::password1()}},
            {RemoteDbTestbed::Tenant2, {RemoteDbTestbed::Pin2, RemoteDbTestbed::password2()}},
            {ScrambledTenant, {ScrambledPin, QStringLiteral("Geheim-3")}},
            {DownloadTenant, {DownloadPin, QStringLiteral("Geheim-4")}},
        };
        db = connect(logins.at(id).first, logins.at(id).second);
    }
    return *db;
}

void tst_server_statements::reads_data() {
    QTest::addColumn<int>("tenantId");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantMap>("params");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("sortRows");
    QTest::addColumn<QList<QStringList>>("expected");

    const QString tenantById = QStringLiteral(" select  Mandant_ID from Mandant  where Mandant_PIN = :Mandant_PIN ");
    QTest::newRow("start-up: tenant id of a remembered login")
        << 1 << tenantById << P({{"Mandant_PIN", 4711}}) << L({"Mandant_ID"}) << false << R({{"1"}});
    QTest::newRow("start-up: another tenant's PIN finds nothing")
        << 1 << tenantById << P({{"Mandant_PIN", 4712}}) << L({"Mandant_ID"}) << false << R({});

    const QString tenantQuery =
        QStringLiteral("SELECT   Mandant_ID  FROM    Mandant  WHERE  (Mandant_PIN = :Mandant_PIN ) AND "
                       "(Mandant_Kennwort = :Mandant_Kennwort) and (Mandant_inaktiv = 0)");
    QTest::newRow("login: tenant by PIN and password")
        << 1 << tenantQuery << P({{"Mandant_PIN", 4711}, {"Mandant_Kennwort", "Geheim-1"}}) << L({"Mandant_ID"})
        << false << R({{"1"}});
    QTest::newRow("login: tenant password compared without case")
        << 1 << tenantQuery << P({{"Mandant_PIN", 4711}, {"Mandant_Kennwort", "GEHEIM-1"}}) << L({"Mandant_ID"})
        << false << R({{"1"}});
    QTest::newRow("login: wrong tenant password")
        << 1 << tenantQuery << P({{"Mandant_PIN", 4711}, {"Mandant_Kennwort", "Geheim-2"}}) << L({"Mandant_ID"})
        << false << R({});

    QTest::newRow("login: company, status, planning, server version")
        << 1
        << QStringLiteral(" select Mandant_Firma m, Mandant_Status s, Mandant_PlanungAktiv mon, Mandant_ServerVersion  "
                          "from mandant  where mandant_ID = :ID")
        << P({{"ID", 1}}) << L({"m", "s", "mon", "Mandant_ServerVersion"}) << false
        << R({{"Muster Bau GmbH", "1", "1", "3"}});

    const QString userQuery = QStringLiteral(
        " SELECT        USR_UserName AS S, USR_UserFD AS I     FROM            Lumora_User  WHERE        (Mandant_ID = "
        ":Mandant_ID) AND (USR_Kurz = :LPE_Kuerzel) AND (USR_UserPW = :LPE_Kennwort) AND FlagGeloescht = 0");
    QTest::newRow("login: user of an unscrambled tenant, short name without case")
        << 1 << userQuery << P({{"Mandant_ID", 1}, {"LPE_Kuerzel", "MM"}, {"LPE_Kennwort", "pw1"}}) << L({"S", "I"})
        << false << R({{"Max Müller", "30"}});
    QTest::newRow("login: deleted user cannot log in")
        << 1 << userQuery << P({{"Mandant_ID", 1}, {"LPE_Kuerzel", "alt"}, {"LPE_Kennwort", "pw2"}}) << L({"S", "I"})
        << false << R({});
    QTest::newRow("login: user of a scrambling tenant, found by scrambled name and password")
        << ScrambledTenant << userQuery
        << P({{"Mandant_ID", ScrambledTenant}, {"LPE_Kuerzel", hex("ab")}, {"LPE_Kennwort", hex("Passwort!")}})
        << L({"S", "I"}) << false << R({{hex("Anna Bäcker"), "77"}});
    QTest::newRow("login: user of a scrambling tenant, plain name finds nothing")
        << ScrambledTenant << userQuery
        << P({{"Mandant_ID", ScrambledTenant}, {"LPE_Kuerzel", "ab"}, {"LPE_Kennwort", "Passwort!"}}) << L({"S", "I"})
        << false << R({});

    QTest::newRow("login: groups of the tenant")
        << 1 << QStringLiteral(" select * from   Lumora_Gruppen  where Mandant_ID = :Mandant_ID ")
        << P({{"Mandant_ID", 1}}) << L({"BER_ID", "BER_Bezeichnung", "BER_Typ", "BER_Teamerfassung"}) << false
        << R({{"10", "Monteure", "11111", "1"}});
    QTest::newRow("login: users of the tenant, deleted ones flagged")
        << 1 << QStringLiteral(" select * from   Lumora_User  where Mandant_ID = :Mandant_ID ")
        << P({{"Mandant_ID", 1}}) << L({"USR_UserID", "USR_Kurz", "USR_BER_ID", "FlagGeloescht"}) << true
        << R({{"20", "mm", "10", "0"}, {"21", "alt", "10", "1"}});
    QTest::newRow("login: key check of an unscrambled tenant")
        << 1
        << QStringLiteral(" select Mandant_Firma, Mandant_CryptoCheck from Mandant  where Mandant_ID = :Mandant_ID ")
        << P({{"Mandant_ID", 1}}) << L({"Mandant_Firma", "Mandant_CryptoCheck"}) << false
        << R({{"Muster Bau GmbH", "Muster Bau GmbH"}});
    QTest::newRow("sync: key check of a scrambling tenant")
        << ScrambledTenant
        << QStringLiteral(" select  Mandant_Firma, Mandant_CryptoCheck from Mandant  where Mandant_ID = :Mandant_ID ")
        << P({{"Mandant_ID", ScrambledTenant}}) << L({"Mandant_Firma", "Mandant_CryptoCheck"}) << false
        << R({{"Kryptik KG", hex("Kryptik KG")}});

    const QString count = QStringLiteral(
        " SELECT        COUNT(Mandant_ID) AS Anzahl  FROM            Lumora_union_AlleMutTimeStamp  WHERE        "
        "(Mandant_ID = :Mandant_ID ) AND (MUTTimeStamp > :MUTTimeStamp) ");
    QTest::newRow("sync: rows changed since 2000")
        << 1 << count << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2000-01-01 00:00:00.000"}}) << L({"Anzahl"}) << false
        << R({{"8"}});
    QTest::newRow("sync: rows changed after the future")
        << 1 << count << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2999-01-01 00:00:00.000"}}) << L({"Anzahl"}) << false
        << R({{"0"}});
    QTest::newRow("download: tenant settings")
        << 1
        << QStringLiteral(" SELECT Mandant_MaxAlterZeiten, Mandant_ServerVersion, Mandant_BarcodeScanAktiv, "
                          "Mandant_PlanungAktiv FROM Mandant WHERE Mandant_ID = :Mandant_ID")
        << P({{"Mandant_ID", 1}})
        << L({"Mandant_MaxAlterZeiten", "Mandant_ServerVersion", "Mandant_BarcodeScanAktiv", "Mandant_PlanungAktiv"})
        << false << R({{"45", "3", "1", "1"}});
    QTest::newRow("download: codes of the changed tables")
        << 1
        << QStringLiteral(" SELECT typ FROM Lumora_union_AlleMutTimeStamp WHERE (Mandant_ID = :Mandant_ID ) AND "
                          "(MUTTimeStamp > :MUTTimeStamp) GROUP BY typ ")
        << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2000-01-01 00:00:00.000"}}) << L({"typ"}) << true
        << R({{"A_A"}, {"MPL"}, {"U_G"}, {"U_U"}, {"ZER"}, {"ZPZ"}});

    QTest::newRow("records: repair: entry known by mobile id")
        << 1
        << QStringLiteral(
               " select count (*) as anzahl  from Z_Erfassung  where mandant_ID = :mandant_id and mobileid = "
               ":mobileid  and Mandant_ID = 1")
        << P({{"mandant_id", 1}, {"mobileid", -5000}}) << L({"anzahl"}) << false << R({{"1"}});
    QTest::newRow("records: repair: entry unknown by mobile id")
        << 1
        << QStringLiteral(
               " select count (*) as anzahl  from Z_Erfassung  where mandant_ID = :mandant_id and mobileid = "
               ":mobileid  and Mandant_ID = 1")
        << P({{"mandant_id", 1}, {"mobileid", -5001}}) << L({"anzahl"}) << false << R({{"0"}});
    QTest::newRow("records: repair: presence time known by mobile id")
        << 1
        << QStringLiteral(
               " select count (*) as anzahl  from Z_Praesenzzeit  where mandant_ID = :mandant_id and mobileid "
               "= :mobileid  and Mandant_ID = 1")
        << P({{"mandant_id", 1}, {"mobileid", -6000}}) << L({"anzahl"}) << false << R({{"1"}});
    QTest::newRow("records: upload count by mobile id")
        << 1
        << QStringLiteral(" select count(*) as anzahl from  Z_ERFASSUNG where Mandant_ID=:Mandant_ID and "
                          "MobileID=:MobileID  ")
        << P({{"Mandant_ID", 1}, {"MobileID", -5000}}) << L({"anzahl"}) << false << R({{"1"}});
    QTest::newRow("records: upload count by server id")
        << 1
        << QStringLiteral(" select count(*) as anzahl from  Z_ERFASSUNG where Mandant_ID = :Mandant_ID and  ZER_ID = "
                          ":ZER_ID ")
        << P({{"Mandant_ID", 1}, {"ZER_ID", 500}}) << L({"anzahl"}) << false << R({{"1"}});
    QTest::newRow("records: presence upload count by server id")
        << 1
        << QStringLiteral(
               " select count(*) as anzahl from  Z_PRAESENZZEIT where Mandant_ID = :Mandant_ID and  ZPZ_ID = "
               ":ZPZ_ID ")
        << P({{"Mandant_ID", 1}, {"ZPZ_ID", 600}}) << L({"anzahl"}) << false << R({{"1"}});
    QTest::newRow("records: entry download batch")
        << 1
        << QStringLiteral("select top (2000) * from Z_Erfassung\nwhere  Owner = 0  and Mandant_ID = :Mandant_ID\nand "
                          "(MUTTimeStamp > :MUTTimeStamp) \nOrder By MUTTimeStamp")
        << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2000-01-01 00:00:00.000"}})
        << L({"ZER_ID", "MobileID", "Owner", "ZER_ZKA", "ZER_Datum"}) << false
        << R({{"500", "-5000", "0", "100", "2026-12-01 00:00:00.000"}});
    QTest::newRow("records: presence download batch of a full reload")
        << 1
        << QStringLiteral(
               "select top(2000) * from Z_PRAESENZZEIT\nwhere Owner = 0  and Mandant_ID = :Mandant_ID  \nand "
               "(MUTTimeStamp > :MUTTimeStamp) \n And FlagGeloescht = 0 \nOrder By MUTTimeStamp")
        << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2000-01-01 00:00:00.000"}})
        << L({"ZPZ_ID", "MobileID", "ZPZ_LPE_ID"}) << false << R({{"600", "-6000", "30"}});

    const QString planningVersion =
        QStringLiteral(" SELECT   ID_Planung   FROM  SyncVersion  WHERE Mandant_ID = :Mandant_ID");
    QTest::newRow("planning: planning version")
        << 1 << planningVersion << P({{"Mandant_ID", 1}}) << L({"ID_Planung"}) << false << R({{"5"}});
    QTest::newRow("planning: assignments, deleted ones left out")
        << 1
        << QStringLiteral(" select top(2000) * from Planung  where Mandant_ID = :Mandant_ID and MUTTimeStamp > "
                          ":MUTTimeStamp and Owner = 0 and geloescht = 0  Order By MUTTimeStamp")
        << P({{"Mandant_ID", 1}, {"MUTTimeStamp", "2000-01-01 00:00:00.000"}})
        << L({"MPL_GUID", "MPL_Betreff", "MPL_MTM_GUID", "MPL_Datum"}) << false
        << R({{kAssignment, "Montage", kTeamNord, "2026-12-11 00:00:00.000"}});
    const QString teams =
        QStringLiteral(" select * from Planung_Team  where Mandant_ID = :Mandant_ID and syncversion > :SyncVersion ");
    QTest::newRow("planning: teams of later versions")
        << 1 << teams << P({{"Mandant_ID", 1}, {"SyncVersion", 4}}) << L({"MTM_GUID", "MTM_Bezeichnung", "MTM_Farbe"})
        << false << R({{kTeamSued, "Trupp Süd", "0"}});
    QTest::newRow("planning: all teams, colour as unsigned 32 bits")
        << 1 << teams << P({{"Mandant_ID", 1}, {"SyncVersion", 0}}) << L({"MTM_GUID", "MTM_Bezeichnung", "MTM_Farbe"})
        << true << R({{kTeamNord, "Trupp Nord", "4283215696"}, {kTeamSued, "Trupp Süd", "0"}});
    QTest::newRow("planning: members of later versions")
        << 1
        << QStringLiteral(
               " select * from Planung_TeamPersonal  where Mandant_ID = :Mandant_ID and syncversion > :SyncVersion ")
        << P({{"Mandant_ID", 1}, {"SyncVersion", 4}}) << L({"MTP_GUID_Team", "MTP_LPE_ID", "MTP_Leader"}) << false
        << R({{kTeamNord, "31", "0"}});
    QTest::newRow("planning: assignment by GUID in another case")
        << 1 << QStringLiteral(" select MPL_GUID from Planung  where mandant_id = :mandantID and MPL_GUID = :guid ")
        << P({{"mandantID", 1}, {"guid", QString::fromLatin1(kAssignment).toLower()}}) << L({"MPL_GUID"}) << false
        << R({{kAssignment}});
    QTest::newRow("planning: every live GUID")
        << 1
        << QStringLiteral(
               " SELECT        typ, guid, lpe  FROM            Planung_AlleGuids  where Mandant_ID = :Mandant_ID ")
        << P({{"Mandant_ID", 1}}) << L({"typ", "guid", "lpe"}) << true
        << R({{"P_PL", kAssignment, "0"},
              {"P_PP", kTeamNord, "30"},
              {"P_PP", kTeamNord, "31"},
              {"P_PT", kTeamNord, "0"},
              {"P_PT", kTeamSued, "0"}});
    QTest::newRow("planning: team permissions")
        << 1 << QStringLiteral(" select * from Planung_TeamErlaubnis where Mandant_ID = :id ") << P({{"id", 1}})
        << L({"Mandant_ID", "PTE_UserID", "PTE_TeamGuid"}) << false << R({{"1", "20", kTeamNord}});
}

void tst_server_statements::reads() {
    QFETCH(int, tenantId);
    QFETCH(QString, sql);
    QFETCH(QVariantMap, params);
    QFETCH(QStringList, fields);
    QFETCH(bool, sortRows);
    QFETCH(QList<QStringList>, expected);

    TRemoteDBDatabase& db = tenant(tenantId);
    QVERIFY2(db.Connected(), qPrintable(db.lastError()));
    TXDataset query(&db);
    query.setSQL(sql);
    bindParameters(query, params);
    QVERIFY2(query.Open(), qPrintable(query.lastError()));
    for (const QString& field : fields)
        QVERIFY2(query.Eof() || query.hasField(field), qPrintable(field));
    QList<QStringList> rows = readRows(query, fields);
    if (sortRows)
        std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, expected);
}

void tst_server_statements::writes_data() {
    QTest::addColumn<QString>("setup");      // superuser, before the statements
    QTest::addColumn<QVariantList>("steps"); // client statements with their parameters, in order
    QTest::addColumn<QString>("check");      // superuser query of what the server now holds
    QTest::addColumn<QString>("expected");

    const ServerColumns entryInsert = entryColumns59() + entryUploadExtras();
    const ServerColumns entryUpdate = without(entryInsert, L({"Mandant_ID", "ZER_ID", "MobileID"}));
    const QString byMobile = QStringLiteral(" where Mandant_ID = :Mandant_ID and  MobileID = :MobileID ");
    const QString byEntryId = QStringLiteral(" where Mandant_ID = :Mandant_ID and  ZER_ID = :ZER_ID ");
    const auto entry = [&](int mobile, const QVariantMap& more) {
        QVariantMap values = P({{"Mandant_ID", 2},
                                {"ZER_ID", mobile},
                                {"MobileID", mobile},
                                {"Owner", 1},
                                {"ZER_ZKA", "100"},
                                {"ZER_LPE", 30},
                                {"OSVERSION", "Linux"},
                                {"AppVersion", "1.0.0"}});
        for (auto it = more.begin(); it != more.end(); ++it)
            values.insert(it.key(), it.value());
        return parameters(entryInsert, values);
    };
    const QString entryState = QStringLiteral(
        "SELECT concat_ws('|', zer_id > 0, owner, mobileid, geloescht, flaggeloescht, zer_text, osversion, appversion) "
        "FROM z_erfassung WHERE mandant_id = 2 AND mobileid = %1");

    QTest::newRow("records: new entry gets a server id, Owner 0, its mobile id")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Erfassung"), entryInsert),
                             entry(-701, P({{"ZER_Text", "Dachlatten montiert"}})))}
        << entryState.arg(-701) << QStringLiteral("t|0|-701|0|0|Dachlatten montiert|Linux|1.0.0");
    QTest::newRow("records: entry update by mobile id, deleted on the device")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Erfassung"), entryInsert), entry(-702, {})),
                        step(updateStatement(QStringLiteral("Z_Erfassung"), entryUpdate, byMobile),
                             entry(-702, P({{"geloescht", 1}, {"ZER_Text", "storniert"}})))}
        << entryState.arg(-702) << QStringLiteral("t|0|-702|1|1|storniert|Linux|1.0.0");
    QTest::newRow("records: entry with a server id keeps it and updates by it")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Erfassung"), entryInsert),
                             entry(-703, P({{"ZER_ID", 9001}, {"MobileID", 0}}))),
                        step(updateStatement(QStringLiteral("Z_Erfassung"), entryUpdate, byEntryId),
                             entry(-703, P({{"ZER_ID", 9001}, {"ZER_Text", "nachgetragen"}, {"AppVersion", "1.0.1"}})))}
        << QStringLiteral("SELECT concat_ws('|', zer_id, owner, mobileid, zer_text, appversion) FROM z_erfassung "
                          "WHERE mandant_id = 2 AND zer_id = 9001")
        << QStringLiteral("9001|0|0|nachgetragen|1.0.1");
    QTest::newRow("records: text of 4000 characters arrives whole")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Erfassung"), entryInsert),
                             entry(-704, P({{"ZER_Text", QString(4000, u'ä')}})))}
        << QStringLiteral("SELECT length(zer_text) FROM z_erfassung WHERE mandant_id = 2 AND mobileid = -704")
        << QStringLiteral("4000");

    const ServerColumns presenceInsert = presenceColumns15() + entryUploadExtras();
    const ServerColumns presenceUpdate = without(presenceInsert, L({"Mandant_ID", "ZPZ_ID", "MobileID"}));
    const auto presence = [&](int mobile, const QVariantMap& more) {
        QVariantMap values = P({{"Mandant_ID", 2},
                                {"ZPZ_ID", mobile},
                                {"MobileID", mobile},
                                {"Owner", 1},
                                {"ZPZ_LPE_ID", 30},
                                {"ZPZ_Von", "1899-12-30 07:00:00.000"},
                                {"ZPZ_MUTUSER", "MM-lm"}});
        for (auto it = more.begin(); it != more.end(); ++it)
            values.insert(it.key(), it.value());
        return parameters(presenceInsert, values);
    };
    QTest::newRow("records: new presence time")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Praesenzzeit"), presenceInsert), presence(-801, {}))}
        << QStringLiteral(
               "SELECT concat_ws('|', zpz_id > 0, owner, mobileid, to_char(zpz_von, 'HH24:MI'), zpz_mutuser) "
               "FROM z_praesenzzeit WHERE mandant_id = 2 AND mobileid = -801")
        << QStringLiteral("t|0|-801|07:00|MM-lm");
    QTest::newRow("records: presence time closed by update")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Z_Praesenzzeit"), presenceInsert), presence(-802, {})),
                        step(updateStatement(QStringLiteral("Z_Praesenzzeit"), presenceUpdate, byMobile),
                             presence(-802, P({{"ZPZ_Bis", "1899-12-30 16:15:00.000"}, {"ZPZ_Std100", 9.25}})))}
        << QStringLiteral("SELECT concat_ws('|', owner, to_char(zpz_bis, 'HH24:MI'), zpz_std100) FROM z_praesenzzeit "
                          "WHERE mandant_id = 2 AND mobileid = -802")
        << QStringLiteral("0|16:15|9.25");
    QTest::newRow("records: clients' upload time")
        << QStringLiteral("UPDATE syncversion SET dtclients = NULL WHERE mandant_id = 2")
        << QVariantList{step(
               QStringLiteral(" Update SyncVersion  set dtClients = getdate()  Where Mandant_ID = :Mandant_ID"),
               P({{"Mandant_ID", 2}}))}
        << QStringLiteral("SELECT abs(extract(epoch FROM dtclients - localtimestamp)) < 60 FROM syncversion "
                          "WHERE mandant_id = 2")
        << QStringLiteral("t");

    const QString linkInsert = QStringLiteral(
        " INSERT INTO Lumora_Team (    Mandant_ID , PTT_ZER_ID  , PTT_MobileID , PTT_GUID , PTT_Inaktiv , PTT_ERFDAT , "
        "PTT_ERFUSER  , PTT_MUTDAT , PTT_MUTUSER  , Owner  ) VALUES (  :Mandant_ID , :PTT_ZER_ID  , :PTT_MobileID , "
        ":PTT_GUID , :PTT_Inaktiv , :PTT_ERFDAT , :PTT_ERFUSER  , :PTT_MUTDAT , :PTT_MUTUSER  , :Owner  )");
    const QVariantMap link = P({{"Mandant_ID", 2},
                                {"PTT_ZER_ID", -901},
                                {"PTT_MobileID", -901},
                                {"PTT_GUID", kTeamNord},
                                {"PTT_Inaktiv", 0},
                                {"PTT_ERFDAT", "2026-12-10 07:00:00.000"},
                                {"PTT_ERFUSER", "SB-lm"},
                                {"PTT_MUTDAT", "2026-12-10 07:00:00.000"},
                                {"PTT_MUTUSER", "SB-lm"},
                                {"Owner", 1}});
    QTest::newRow("records: team link up")
        << QString() << QVariantList{step(linkInsert, link)}
        << QStringLiteral(
               "SELECT concat_ws('|', ptt_zer_id, owner, ptt_guid) FROM lumora_team WHERE mandant_id = 2 AND "
               "ptt_mobileid = -901")
        << QStringLiteral("-901|0|") + QLatin1String(kTeamNord);
    QVariantMap dissolved = link;
    dissolved.insert(QStringLiteral("PTT_MobileID"), -902);
    QVariantMap dissolvedLater = dissolved;
    dissolvedLater.insert(QStringLiteral("PTT_Inaktiv"), 1);
    QTest::newRow("records: team link dissolved by update")
        << QString()
        << QVariantList{step(linkInsert, dissolved),
                        step(QStringLiteral(" UPDATE Lumora_Team   SET  PTT_GUID = :PTT_GUID , PTT_Inaktiv = "
                                            ":PTT_Inaktiv , PTT_ERFDAT = :PTT_ERFDAT , PTT_ERFUSER = :PTT_ERFUSER , "
                                            "PTT_MUTDAT = :PTT_MUTDAT , PTT_MUTUSER = :PTT_MUTUSER , Owner = :Owner ") +
                                 QStringLiteral(" where Mandant_ID = :Mandant_ID and  PTT_MobileID = :PTT_MobileID "),
                             dissolvedLater)}
        << QStringLiteral("SELECT concat_ws('|', ptt_inaktiv, owner) FROM lumora_team WHERE mandant_id = 2 AND "
                          "ptt_mobileid = -902")
        << QStringLiteral("1|0");
    QVariantMap serverLink = link;
    serverLink.insert(QStringLiteral("PTT_ZER_ID"), 6001);
    serverLink.insert(QStringLiteral("PTT_MobileID"), 0);
    QTest::newRow("records: team link of a server record without mobile id takes the record's id")
        << QString()
        << QVariantList{step(QString(linkInsert)
                                 .replace(QStringLiteral("Lumora_Team"), QStringLiteral("Lumora_TeamZPZ"))
                                 .replace(QStringLiteral("PTT_ZER_ID"), QStringLiteral("PTT_ZPZ_ID")),
                             P({{"Mandant_ID", 2},
                                {"PTT_ZPZ_ID", 6001},
                                {"PTT_MobileID", 0},
                                {"PTT_GUID", kTeamSued},
                                {"PTT_Inaktiv", 0},
                                {"PTT_ERFDAT", "2026-12-10 07:00:00.000"},
                                {"PTT_ERFUSER", "SB-lm"},
                                {"PTT_MUTDAT", "2026-12-10 07:00:00.000"},
                                {"PTT_MUTUSER", "SB-lm"},
                                {"Owner", 1}}))}
        << QStringLiteral("SELECT string_agg(ptt_mobileid::text, ',') FROM lumora_teamzpz WHERE mandant_id = 2 AND "
                          "ptt_zpz_id = 6001")
        << QStringLiteral("6001");

    QTest::newRow("planning: planning version row created and raised")
        << QStringLiteral("DELETE FROM syncversion WHERE mandant_id = 2")
        << QVariantList{step(QStringLiteral(" Insert into SyncVersion  (Mandant_ID, ID_Planung) VALUES  (:Mandant_ID, "
                                            ":ID_Planung)"),
                             P({{"Mandant_ID", 2}, {"ID_Planung", 0}})),
                        step(QStringLiteral(" Update SyncVersion  set ID_Planung = :ID_Planung  Where Mandant_ID = "
                                            ":Mandant_ID"),
                             P({{"Mandant_ID", 2}, {"ID_Planung", 7}}))}
        << QStringLiteral("SELECT id_planung FROM syncversion WHERE mandant_id = 2") << QStringLiteral("7");

    const QVariantMap team = parameters(teamColumns(), P({{"Mandant_ID", 2},
                                                          {"MTM_GUID", kTeamNord},
                                                          {"MTM_Bezeichnung", "Trupp Nord"},
                                                          {"MTM_Farbe", qint64(4283215696)},
                                                          {"SyncVersion", 8},
                                                          {"mandantID", 2},
                                                          {"guid", kTeamNord}}));
    const QString teamDelete =
        QStringLiteral(" delete from Planung_TEAM  where mandant_id = :mandantID and MTM_GUID = :guid ");
    QTest::newRow("planning: team up twice stays one team")
        << QString()
        << QVariantList{step(teamDelete, team),
                        step(insertStatement(QStringLiteral("Planung_TEAM"), teamColumns()), team),
                        step(teamDelete, team),
                        step(insertStatement(QStringLiteral("Planung_TEAM"), teamColumns()), team)}
        << QStringLiteral("SELECT concat_ws('|', count(*), max(mtm_farbe), max(syncversion), min(owner)) FROM "
                          "planung_team WHERE mandant_id = 2")
        << QStringLiteral("1|4283215696|8|0");
    const QVariantMap member = parameters(memberColumns(), P({{"Mandant_ID", 2},
                                                              {"MTP_GUID_Team", kTeamNord},
                                                              {"MTP_LPE_ID", 30},
                                                              {"MTP_Leader", 1},
                                                              {"SyncVersion", 8},
                                                              {"mandantID", 2},
                                                              {"guid", kTeamNord},
                                                              {"lpe", 30}}));
    const QString memberDelete = QStringLiteral(" delete from Planung_TEAMPersonal  where mandant_id = :mandantID and "
                                                "MTP_GUID_Team = :guid and MTP_LPE_ID = :lpe  ");
    QTest::newRow("planning: member up twice stays one member")
        << QStringLiteral("DELETE FROM planung_teampersonal WHERE mandant_id = 2")
        << QVariantList{step(memberDelete, member),
                        step(insertStatement(QStringLiteral("Planung_TEAMPersonal"), memberColumns()), member),
                        step(memberDelete, member),
                        step(insertStatement(QStringLiteral("Planung_TEAMPersonal"), memberColumns()), member)}
        << QStringLiteral(
               "SELECT concat_ws('|', count(*), max(mtp_leader)) FROM planung_teampersonal WHERE mandant_id = 2")
        << QStringLiteral("1|1");
    QTest::newRow("planning: teams the device does not have are removed, GUIDs in any case")
        << QStringLiteral("DELETE FROM planung_team WHERE mandant_id = 2; INSERT INTO planung_team (mandant_id, "
                          "mtm_guid) VALUES (2, '%1'), (2, '%2')")
               .arg(QLatin1String(kTeamNord), QLatin1String(kTeamSued))
        << QVariantList{step(
               QStringLiteral(" delete from Planung_Team  Where mandant_id = :mandant_id and MTM_GUID not "
                              "in ( '%1', '%2' )")
                   .arg(QLatin1String(kPlaceholder), QString::fromLatin1(kTeamNord).toLower()),
               P({{"mandant_id", 2}}))}
        << QStringLiteral("SELECT string_agg(mtm_guid::text, ',') FROM planung_team WHERE mandant_id = 2")
        << QString::fromLatin1(kTeamNord).mid(1, 36).toLower();
    QTest::newRow("planning: members the device does not have are removed")
        << QStringLiteral("DELETE FROM planung_teampersonal WHERE mandant_id = 2; INSERT INTO planung_teampersonal "
                          "(mandant_id, mtp_guid_team, mtp_lpe_id) VALUES (2, '%1', 5), (2, '%1', 6), (2, '%2', 5)")
               .arg(QLatin1String(kTeamNord), QLatin1String(kTeamSued))
        << QVariantList{step(
               QStringLiteral(" delete from Planung_TeamPersonal  Where mandant_id = :mandant_id and '{' + "
                              "CAST(MTP_GUID_Team AS varchar(50)) + '}-' + CAST(MTP_LPE_ID AS nvarchar) not "
                              "in ( '%1-0', '%2-5' )")
                   .arg(QLatin1String(kPlaceholder), QLatin1String(kTeamNord)),
               P({{"mandant_id", 2}}))}
        << QStringLiteral("SELECT string_agg(mtp_guid_team::text || '-' || mtp_lpe_id, ',') FROM planung_teampersonal "
                          "WHERE mandant_id = 2")
        << QString::fromLatin1(kTeamNord).mid(1, 36).toLower() + QStringLiteral("-5");

    const ServerColumns planningUpdate = without(planningColumns(), L({"Mandant_ID", "MPL_GUID"}));
    const QString planningWhere = QStringLiteral("where Mandant_ID = :Mandant_ID and MPL_GUID = :MPL_GUID");
    const auto assignment = [&](const QVariantMap& more) {
        QVariantMap values = P({{"Mandant_ID", 2},
                                {"MPL_GUID", kAssignment},
                                {"MPL_MTM_GUID", kTeamNord},
                                {"MPL_Betreff", "Montage"},
                                {"Owner", 1},
                                {"MPL_von", "2026-12-11 07:00:00.000"},
                                {"MPL_bis", "2026-12-11 12:00:00.000"}});
        for (auto it = more.begin(); it != more.end(); ++it)
            values.insert(it.key(), it.value());
        return parameters(planningColumns(), values);
    };
    QTest::newRow("planning: assignment up, then changed")
        << QStringLiteral("DELETE FROM planung WHERE mandant_id = 2")
        << QVariantList{step(insertStatement(QStringLiteral("Planung"), planningColumns()), assignment({})),
                        step(updateStatement(QStringLiteral("Planung"), planningUpdate, QStringLiteral(" ")) +
                                 planningWhere,
                             assignment(P({{"MPL_Betreff", "Montage verschoben"}, {"MPL_Text", QString(4000, u'x')}})))}
        << QStringLiteral("SELECT concat_ws('|', owner, mpl_betreff, length(mpl_text), flaggeloescht) FROM planung "
                          "WHERE mandant_id = 2")
        << QStringLiteral("0|Montage verschoben|4000|0");
    QTest::newRow("planning: assignment deleted on the device leaves the live list")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Planung"), planningColumns()),
                             assignment(P({{"MPL_GUID", kDeletedAssignment}}))),
                        step(updateStatement(QStringLiteral("Planung"), planningUpdate, QStringLiteral(" ")) +
                                 planningWhere,
                             assignment(P({{"MPL_GUID", kDeletedAssignment}, {"geloescht", 1}})))}
        << QStringLiteral("SELECT concat_ws('|', (SELECT flaggeloescht FROM planung WHERE mandant_id = 2 AND mpl_guid "
                          "= '%1'), (SELECT count(*) FROM planung_alleguids WHERE mandant_id = 2 AND guid = '%1'))")
               .arg(QLatin1String(kDeletedAssignment))
        << QStringLiteral("1|0");

    QTest::newRow("planning: assignment without team is kept")
        << QString()
        << QVariantList{step(
               insertStatement(QStringLiteral("Planung"), planningColumns()),
               assignment(P({{"MPL_GUID", "{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A03}"}, {"MPL_MTM_GUID", ""}})))}
        << QStringLiteral("SELECT concat_ws('|', mpl_mtm_guid = '', owner) FROM planung WHERE mandant_id = 2 AND "
                          "mpl_guid = '{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A03}'")
        << QStringLiteral("t|0");

    const ServerColumns entryDump =
        entryColumns59() +
        columnsOf({QStringLiteral("gesperrt:i"), QStringLiteral("komplett:i"), QStringLiteral("Owner:i"),
                   QStringLiteral("MobileID:i"), QStringLiteral("ZeitStempel:d")});
    const ServerColumns presenceDump =
        presenceColumns15() +
        columnsOf({QStringLiteral("SyncVersion:i"), QStringLiteral("gesperrt:i"), QStringLiteral("komplett:i"),
                   QStringLiteral("Owner:i"), QStringLiteral("MobileID:i"), QStringLiteral("ZeitStempel:d")});
    const QVariantMap dumpedEntry = parameters(
        entryDump, P({{"Mandant_ID", 2}, {"ZER_ID", -1001}, {"MobileID", -1001}, {"Owner", 1}, {"gesperrt", 1}}));
    const QVariantMap dumpedPresence =
        parameters(presenceDump, P({{"Mandant_ID", 2}, {"ZPZ_ID", -1002}, {"MobileID", -1002}, {"Owner", 1}}));
    QTest::newRow("dump: day dump keeps the device's values, every time it is sent")
        << QString()
        << QVariantList{step(insertStatement(QStringLiteral("Dump_Z_Erfassung"), entryDump), dumpedEntry),
                        step(insertStatement(QStringLiteral("Dump_Z_Erfassung"), entryDump), dumpedEntry),
                        step(insertStatement(QStringLiteral("Dump_Z_PRAESENZZEIT"), presenceDump), dumpedPresence)}
        << QStringLiteral("SELECT concat_ws('|', (SELECT count(*) FROM dump_z_erfassung WHERE mandant_id = 2 AND "
                          "zer_id = -1001 AND owner = 1 AND gesperrt = 1), (SELECT count(*) FROM dump_z_praesenzzeit "
                          "WHERE mandant_id = 2 AND zpz_id = -1002 AND owner = 1))")
        << QStringLiteral("2|1");
}

void tst_server_statements::writes() {
    QFETCH(QString, setup);
    QFETCH(QVariantList, steps);
    QFETCH(QString, check);
    QFETCH(QString, expected);

    QString error;
    if (!setup.isEmpty())
        QVERIFY2(execAsTenant(m_bed.cluster, RemoteDbTestbed::Tenant2, setup, &error), qPrintable(error));
    TRemoteDBDatabase& db = tenant(RemoteDbTestbed::Tenant2);
    QVERIFY2(db.Connected(), qPrintable(db.lastError()));
    for (const QVariant& s : steps) {
        QVariantMap params = s.toMap();
        TXDataset statement(&db);
        statement.setSQL(params.take(QStringLiteral("sql")).toString());
        bindParameters(statement, params);
        QVERIFY2(statement.ExecSQL(), qPrintable(statement.SQL() + u'\n' + statement.lastError()));
    }
    QCOMPARE(superuserValue(check), expected);
}

void tst_server_statements::photoRegistrationReturnsItsServerId() {
    TRemoteDBDatabase& db = tenant(RemoteDbTestbed::Tenant2);
    QList<qint64> ids;
    for (int photo = 0; photo < 2; ++photo) {
        TXDataset insert(&db);
        insert.setSQL(QStringLiteral(
            "INSERT INTO Lumora_Fotos  (Mandant_ID  ,PIC_ObjTyp  ,PIC_ObjID  ,PIC_BildName  ,PIC_TimeStamp  ,PIC_User  "
            ",MobileID  ,Owner  ,OwnerFTP  ,PIC_ZER_ID)  VALUES  (:Mandant_ID  ,:PIC_ObjTyp  ,:PIC_ObjID  "
            ",:PIC_BildName  "
            ",:PIC_TimeStamp  ,:PIC_User  ,:MobileID  ,0  ,1 ,:PIC_ZER_ID) Select  SCOPE_IDENTITY() as ID  "));
        insert.ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant2);
        insert.ParamByName("PIC_ObjTyp").setAsString(QStringLiteral("B"));
        insert.ParamByName("PIC_ObjID").setAsInteger(17);
        insert.ParamByName("PIC_BildName").setAsString(QStringLiteral("IMG_%1.jpg").arg(photo));
        insert.ParamByName("PIC_TimeStamp").setAsString(QStringLiteral("2026-12-10 09:15:00.000"));
        insert.ParamByName("PIC_User").setAsString(QStringLiteral("MM"));
        insert.ParamByName("MobileID").setAsLargeInt(-4000000000LL);
        insert.ParamByName("PIC_ZER_ID").setAsLargeInt(9001);
        QVERIFY2(insert.Open(), qPrintable(insert.lastError()));
        QVERIFY(!insert.Eof());
        const qint64 id = insert.FieldByName("ID").AsLargeInt();
        QVERIFY2(id > 0, qPrintable(QString::number(id)));
        QCOMPARE(superuserValue(QStringLiteral("SELECT concat_ws('|', pic_bildname, mobileid, owner, ownerftp) FROM "
                                               "lumora_fotos WHERE mandant_id = 2 AND pic_id = %1")
                                    .arg(id)),
                 QStringLiteral("IMG_%1.jpg|-4000000000|0|1").arg(photo));
        ids << id;
    }
    QVERIFY(ids[0] != ids[1]);

    // A request that gave no id reports none, never an id of an earlier request.
    TXDataset none(&db);
    none.setSQL(QStringLiteral("Select  SCOPE_IDENTITY() as ID"));
    QVERIFY2(none.Open(), qPrintable(none.lastError()));
    QVERIFY(!none.Eof());
    QVERIFY(none.FieldByName("ID").IsNull());
}

void tst_server_statements::dtServerIsTheNewestStamp() {
    TXDataset query(&tenant(RemoteDbTestbed::Tenant1));
    query.setSQL(QStringLiteral(" Select dtServer from SyncVersion  Where Mandant_ID = :Mandant_ID"));
    query.ParamByName("Mandant_ID").setAsInteger(RemoteDbTestbed::Tenant1);
    QVERIFY2(query.Open(), qPrintable(query.lastError()));
    QVERIFY(!query.Eof());
    const QString newest = superuserValue(QStringLiteral(
        "SELECT to_char(max(s), 'YYYY-MM-DD HH24:MI:SS.MS') FROM (SELECT muttimestamp s FROM "
        "lumora_union_allemuttimestamp WHERE mandant_id = 1 UNION ALL SELECT muttimestamp FROM planung_team WHERE "
        "mandant_id = 1 UNION ALL SELECT muttimestamp FROM planung_teampersonal WHERE mandant_id = 1 UNION ALL SELECT "
        "muttimestamp FROM planung_teamerlaubnis WHERE mandant_id = 1) t"));
    QCOMPARE(query.FieldByName("dtServer").AsString(), newest);
}

void tst_server_statements::downloadBatchOfEveryTable_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    for (const DownloadTable& t : kDownloadTables)
        QTest::newRow(t.table) << QString::fromLatin1(t.table)
                               << QString::fromUtf8(t.columns).split(u' ', Qt::SkipEmptyParts);
}

void tst_server_statements::downloadBatchOfEveryTable() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);

    const auto batch = [&](const QString& filter, const QString& since) {
        auto query = std::make_unique<TXDataset>(&tenant(DownloadTenant));
        query->setSQL(QStringLiteral(" select top(2000) * from ") + table +
                      QStringLiteral(" where Mandant_ID = :Mandant_ID and (MUTTimeStamp > :MUTTimeStamp) ") + filter +
                      QStringLiteral(" Order by MUTTimeStamp "));
        query->ParamByName("Mandant_ID").setAsInteger(DownloadTenant);
        query->ParamByName("MUTTimeStamp").setAsString(since);
        return query;
    };

    // Incremental: the live row and the flagged one, in stamp order, with every column the client copies.
    auto all = batch(QString(), QStringLiteral("2000-01-01 00:00:00.000"));
    QVERIFY2(all->Open(), qPrintable(all->lastError()));
    for (const QString& column : columns)
        QVERIFY2(all->hasField(column), qPrintable(column));
    QStringList stamps;
    QStringList flags;
    while (!all->Eof()) {
        stamps << all->FieldByName("MUTTimeStamp").AsString();
        flags << all->FieldByName("FlagGeloescht").AsString();
        all->Next();
    }
    QCOMPARE(flags, (L({"0", "1"})));
    QVERIFY2(stamps[0] < stamps[1], qPrintable(stamps.join(u' ')));

    // The next batch starts after the last stamp taken and comes back empty, so the copy ends.
    auto after = batch(QString(), stamps.last());
    QVERIFY2(after->Open(), qPrintable(after->lastError()));
    QVERIFY(after->Eof());

    // A full reload leaves the deleted row out.
    auto reload = batch(QStringLiteral(" And FlagGeloescht = 0 "), QStringLiteral("2000-01-01 00:00:00.000"));
    QVERIFY2(reload->Open(), qPrintable(reload->lastError()));
    QCOMPARE(reload->RecordCount(), 1);
    QCOMPARE(reload->FieldByName("MUTTimeStamp").AsString(), stamps[0]);
}

QTEST_GUILESS_MAIN(tst_server_statements)
#include "tst_server_statements.moc"

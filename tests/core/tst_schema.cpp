#include "LocalFileFixture.h"

#include "core/clock.h"
#include "core/schema_indexes.h"
#include "core/schema_ladder.h"
#include "core/settingskeys.h"
#include "fixtures/LocalPorts.h"
#include "server/RemoteDbTestbed.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The expected layout of every table of a current file, one column a line:
// name, declared type, NN for NOT NULL or -, the declared default as SQLite reports it or -.
struct Expected {
    const char* table;
    const char* key;
    const char* columns;
};

const char* const erfassungColumns = R"(
Mandant_ID int NN -
ZER_ID int NN -
ZER_LPE int NN 0
ZER_PRO int NN 0
ZER_ZKA varchar(20) NN ''
ZER_ZKS varchar(20) NN ''
ZER_Type tinyint NN 0
ZER_LA varchar(20) NN ''
ZER_Datum datetime - -
ZER_Tag varchar(2) NN ''
ZER_Von datetime - -
ZER_Bis datetime - -
ZER_Std datetime - -
ZER_Std100 float NN 0
ZER_Text text NN ''
ZER_Km int NN 0
ZER_Ansatz float NN 0
ZER_Betrag float NN 0
ZER_RechnungsBetrag float NN 0
ZER_MWSTC tinyint NN 0
ZER_StundenFaktor real NN 0
ZER_Leistung int NN 0
ZER_KostenStd float NN 0
ZER_Verrechnet tinyint NN 0
ZER_VerrechneterBetrag float NN 0
ZER_ERFDAT datetime - -
ZER_ERFUSER varchar(20) NN ''
ZER_MUTDAT datetime - -
ZER_MUTUSER varchar(20) NN ''
ZER_MAT_ID int NN 0
ZER_RKA_ID_A int NN 0
ZER_RKA_ID_W int NN 0
ZER_ADR_ID int NN 0
ZER_Konto varchar(25) NN ''
ZER_GanzerTag tinyint NN 0
ZER_Eigensch tinyint NN 0
ZER_Jahr int NN 0
ZER_Monat int NN 0
ZER_ZSP_Abteilung varchar(30) NN ''
ZER_MWStExkl tinyint NN 0
ZER_StdETyp tinyint NN 0
ZER_ExportNr varchar(25) NN ''
ZER_ExportDatum datetime - -
ZER_ExportUSER varchar(20) NN ''
ZER_Verrechnen varchar(2) NN ''
ZER_Gesperrt tinyint NN 0
ZER_SperrUSER varchar(20) NN ''
ZER_SperrDatum datetime - -
ZER_RDA_ID int NN 0
ZER_Bezeichnung varchar(90) NN ''
ZER_Feiertag varchar(255) NN ''
ZER_ID_WEB int NN 0
ZER_AKT_ID int NN 0
ZER_SSP_ID int NN 0
ZER_MOP_Nr varchar(25) NN ''
ZER_MOP_OPKey int NN 0
ZER_MPR_AuftragNr int NN 0
ZER_MPR_LosNr int NN 0
ZER_MPR_Nr varchar(30) NN ''
Owner int NN 0
MobileID int NN 0
gesperrt integer NN 0
komplett integer NN 0
ObjektAdresse nvarchar(250) NN ''
ObjektAuftrag nvarchar(250) NN ''
ObjektWerkAuftrag nvarchar(250) NN ''
ObjektProjekt nvarchar(250) NN ''
CloudStatus integer NN 0
geloescht integer NN 0
VonIstNULL integer NN 0
BisIstNULL integer NN 0
StdIstNULL integer NN 0
FlagGeloescht bit - 0
)";

const char* const praesenzColumns = R"(
Mandant_ID int NN -
ZPZ_ID int NN -
ZPZ_LPE_ID int NN 0
ZPZ_Datum datetime - -
ZPZ_Von datetime - -
ZPZ_Bis datetime - -
ZPZ_Std datetime - -
ZPZ_Std100 float NN 0
ZPZ_Jahr int NN 0
ZPZ_Monat int NN 0
ZPZ_Tag int NN 0
ZPZ_ERFDAT datetime - -
ZPZ_ERFUSER varchar(20) NN ''
ZPZ_MUTDAT datetime - -
ZPZ_MUTUSER varchar(20) NN ''
SyncVersion int NN 0
Owner int NN 0
MobileID int NN 0
gesperrt integer NN 0
komplett integer NN 0
CloudStatus integer NN 0
geloescht integer NN 0
VonIstNULL integer NN 0
BisIstNULL integer NN 0
StdIstNULL integer NN 0
FlagGeloescht bit - 0
)";

const char* const auftragColumns = R"(
Mandant_ID int NN -
RKA_ID int NN -
RKA_ADR_ID int NN 0
RKA_ExtAufNr nvarchar(250) NN ''
RKA_PRO int NN 0
RKA_Bezeichnung nvarchar(250) NN ''
RKA_Status nvarchar(50) NN ''
RKA_StatusText nvarchar(50) NN ''
RKA_Datum1 datetime - -
RKA_Datum2 datetime - -
RKA_RechnungOrig int NN 0
RKA_KS nvarchar(50) NN ''
FakturaCode nvarchar(5) NN ''
FlagGeloescht bit - 0
)";

const char* const teamColumns = R"(
Mandant_ID int NN -
%1 int NN -
PTT_MobileID int NN -
PTT_GUID guid NN -
PTT_Inaktiv bit - 0
PTT_ERFDAT datetime - -
PTT_ERFUSER varchar(20) NN ''
PTT_MUTDAT datetime - -
PTT_MUTUSER varchar(20) NN ''
Owner integer NN 0
FlagGeloescht bit - 0
)";

const char* const pauseColumns = R"(
Mandant_ID int NN -
LPE_ID int NN -
MobileID int NN -
Zeitstempel datetime - -
)";

QString materialPreise() {
    QString s = u"Mandant_ID int NN 0\nMAT_ID int NN 0\nMAT_MAF_NR int NN 0\nMAT_AktiveWaehrung int NN 0\n"_s;
    QStringList floats = {u"MAT_AktuellerEP"_s, u"MAT_AktuellerEP_EURO"_s, u"MAT_VPKalkuliert"_s,
                          u"MAT_VPKalkuliert_EURO"_s};
    for (int i = 1; i <= 9; ++i)
        floats << u"MAT_VP%1"_s.arg(i);
    floats << u"MAT_Aktionspreis"_s;
    for (int i = 1; i <= 9; ++i)
        floats << u"MAT_VP%1_EURO"_s.arg(i);
    floats << u"MAT_Aktionspreis_EURO"_s;
    for (const QString& f : floats)
        s += f + u" float NN 0\n"_s;
    return s + u"FlagGeloescht bit - 0\n"_s;
}

const Expected expectedTables[] = {
    {"INTERNAL", "KEYVALUE", R"(
KEYVALUE varchar(50) NN -
INTVALUE integer - 0
TXTVALUE varchar(255) - ''
DTVALUE datetime - -
)"},
    {"MandantenLogIn", "FirmaPin,UserKurz", R"(
FirmaPin integer NN 0
FirmaPW nvarchar(50) - ''
UserKurz nvarchar(50) NN ''
UserPW nvarchar(50) - ''
FirmaName nvarchar(50) - ''
UserName nvarchar(50) - ''
Crypto1 integer NN 0
Crypto2 integer NN 0
Crypto3 integer NN 0
MandantID integer NN 0
SyncTimeStamp varchar(25) NN ''
LastSyncDate varchar(25) NN ''
)"},
    {"SyncFortschritt", "Mandant_ID,TabellenName", R"(
Mandant_ID int NN -
TabellenName nvarchar(250) NN -
ZeitStempel nvarchar(50) NN ''
IstNeustart int - 0
)"},
    {"A_ADRESSEN", "Mandant_ID,ADR_ID", R"(
Mandant_ID int NN -
ADR_ID int NN -
ADR_Nr int NN 0
ADR_Sortierung varchar(100) NN ''
ADR_Anrede varchar(30) NN ''
ADR_Name varchar(100) NN ''
ADR_Vorname varchar(100) NN ''
ADR_Zusatz varchar(255) NN ''
ADR_Strasse varchar(100) NN ''
ADR_Postfach varchar(100) NN ''
ADR_Land varchar(100) NN ''
ADR_PLZ varchar(100) NN ''
ADR_Ort varchar(100) NN ''
ADR_Kanton varchar(100) NN ''
ADR_Tel1 varchar(100) NN ''
ADR_FAX varchar(100) NN ''
ADR_Tel2 varchar(100) NN ''
ADR_TEL3BESCHR varchar(100) NN ''
ADR_TEL3 varchar(100) NN ''
ADR_TEL4BESCHR varchar(100) NN ''
ADR_TEL4 varchar(100) NN ''
ADR_Email varchar(255) NN ''
FlagGeloescht bit - 0
)"},
    {"A_PERSONAL", "Mandant_ID,LPE_ID", R"(
Mandant_ID int NN -
LPE_ID int NN -
LPE_Nr int NN 0
LPE_Suchbez varchar(100) NN ''
LPE_Kuerzel varchar(50) NN ''
LPE_KostenStd float NN 0
LPE_VerrechnenStd float NN 0
LPE_Kennwort nvarchar(50) NN ''
FlagGeloescht bit - 0
)"},
    {"Lumora_User", "Mandant_ID,USR_UserID", R"(
Mandant_ID int NN -
USR_UserID int NN -
USR_UserName nvarchar(50) NN ''
USR_Kurz nvarchar(10) NN ''
USR_UserPW nvarchar(254) NN ''
USR_BER_ID int NN 0
USR_UserFD int NN 0
FlagGeloescht bit - 0
)"},
    {"Lumora_Gruppen", "Mandant_ID,BER_ID", R"(
Mandant_ID int NN -
BER_ID int NN -
BER_Bezeichnung nvarchar(50) NN ''
BER_Praesenzzeit int NN 0
BER_Typ nvarchar(10) NN ''
BER_Art nvarchar(10) NN ''
BER_KS int NN 0
BER_Fakt int NN 0
BER_ZPZ_startstop integer NN 0
BER_ZER_startstop integer NN 0
BER_DatumMutieren integer NN 0
BER_Status4Mutieren integer NN 0
BER_TageVeraenderbar integer NN 14
BER_Buchungssperre datetime - '1.1.2000'
BER_InZukunftErlauben integer NN 0
BER_ZPZ_automatik integer NN 0
BER_Runden integer NN 1
BER_Planung integer NN 0
BER_LoescheWieTage integer NN 0
FlagGeloescht bit - 0
BER_Teamerfassung int - 0
BER_ZERnurAnsicht int - 0
BER_IstTerminal int - 0
BER_Mitternacht int - 0
BER_TeamPraesenzzeit int - 0
BER_MitternachtStunden int - 0
BER_TeamLight int - 0
)"},
    {"Lumora_GruppenKA", "Mandant_ID,GKA_ID", R"(
Mandant_ID integer NN 0
GKA_ID integer NN 0
GKA_BER_ID integer NN 0
GKA_KA varchar(20) NN ''
FlagGeloescht bit - 0
)"},
    {"Lumora_GruppenKS", "Mandant_ID,GKS_ID", R"(
Mandant_ID integer NN 0
GKS_ID integer NN 0
GKS_BER_ID integer NN 0
GKS_KS varchar(20) NN ''
FlagGeloescht bit - 0
)"},
    {"Lumora_GruppenTeam", "Mandant_ID,GTE_ID", R"(
Mandant_ID integer NN 0
GTE_ID integer NN 0
GTE_BER_ID integer NN 0
GTE_LPE integer NN 0
FlagGeloescht bit - 0
)"},
    {"Lumora_Filter", "Mandant_ID,PFI_ID", R"(
Mandant_ID int NN -
PFI_ID int NN -
PFI_BER_ID int NN -
PFI_Tabelle nvarchar(100) NN ''
PFI_Name nvarchar(100) NN ''
PFI_SQL varchar(500) NN ''
PFI_Standard bit - 0
FlagGeloescht bit - 0
)"},
    {"M_Material", "Mandant_ID,MAT_ID", R"(
Mandant_ID int NN 0
MAT_ID int NN 0
MAT_SP int NN 0
MAT_Nr varchar NN ''
MAT_AlternativNr varchar(30) NN ''
MAT_EANCODE varchar(50) NN ''
MAT_BerCode varchar(1) NN ''
MAT_Suchbezeichnung varchar(50) NN ''
MAT_Gruppe varchar(20) NN ''
MAT_Mengeneinheit varchar(20) NN ''
MAT_Preiseinheit float NN 0
MAT_Bezeichnung varchar(90) NN ''
MTE_ZusatzText text NN ''
FlagGeloescht bit - 0
)"},
    {"M_MATERIALPREISE", "Mandant_ID,MAT_ID,MAT_MAF_NR", nullptr},
    {"P_PROJEKT", "Mandant_ID,PRO_ID", R"(
Mandant_ID int NN -
PRO_ID int NN -
PRO_Nr nvarchar(250) NN ''
PRO_Bezeichnung nvarchar(250) NN ''
PRO_Start datetime - -
PRO_Ende datetime - -
PRO_Beschreibung text NN ''
PRO_Erledigt bit NN 0
PRO_KS varchar(20) NN ''
FakturaCode nvarchar NN 'X'
SyncVersion int NN 0
PRO_ADR1 integer NN 0
PRO_ADR2 integer NN 0
PRO_ADRRechnung integer NN 0
FlagGeloescht bit - 0
FilterZahl1 int - 0
)"},
    {"P_PROJEKTPHASEN", "Mandant_ID,PPH_ID", R"(
Mandant_ID integer NN 0
PPH_ID integer NN 0
PPH_PRO_ID integer NN 0
PPH_PRO_ID_VL integer NN 0
PPH_Nr varchar(30) NN ''
PPH_Bezeichnung varchar(100) NN ''
PPH_Memo nvarchar(1000) NN ''
PPH_Start datetime - -
PPH_Ende datetime - -
PPH_Inaktiv integer NN 0
FlagGeloescht bit - 0
)"},
    {"P_PROJEKTPHASEN_DETAIL", "Mandant_ID,PPD_ID", R"(
Mandant_ID integer NN 0
PPD_ID integer NN 0
PPD_PPH_ID integer NN 0
PPD_ZKA_Nr varchar(20) NN ''
FlagGeloescht bit - 0
)"},
    {"R_KAUFTRAG", "Mandant_ID,RKA_ID", auftragColumns},
    {"R_KWERKAUFTRAG", "Mandant_ID,RKA_ID", auftragColumns},
    {"Z_KOSTENART", "Mandant_ID,ZKA_Nr", R"(
Mandant_ID int NN -
ZKA_Nr varchar(20) NN -
ZKA_Bezeichnung varchar(50) NN ''
ZKA_TYPE tinyint NN 0
ZKA_StundenFaktor real NN 0
ZKA_Leistung int NN 0
ZKA_Spesen bit NN 0
ZKA_KmAnsatz float NN 0
ZKA_MWSTC int NN 0
ZKA_MWSTExcl tinyint NN 0
ZKA_Konto varchar(20) NN ''
ZKA_Eigensch tinyint NN 0
ZKA_KS varchar(20) NN ''
ZKA_StdETyp tinyint NN 0
ZKA_Lohnart varchar(25) NN ''
ZKA_LohnartStd varchar(25) NN ''
ZKA_Verrechnen varchar(2) NN ''
ZKA_Inaktiv tinyint NN 0
FlagGeloescht bit - 0
)"},
    {"Z_KOSTENSTELLE", "Mandant_ID,ZKS_Nr", R"(
Mandant_ID int NN -
ZKS_Nr nvarchar(50) NN -
ZKS_Bezeichnung nvarchar(50) NN ''
FlagGeloescht bit - 0
)"},
    {"Z_ERFASSUNG", "Mandant_ID,ZER_ID", erfassungColumns},
    {"Z_ERFASSUNG_TEMP", "Mandant_ID,ZER_ID", erfassungColumns},
    {"Z_PRAESENZZEIT", "Mandant_ID,ZPZ_ID", praesenzColumns},
    {"Z_PRAESENZZEIT_TEMP", "Mandant_ID,ZPZ_ID", praesenzColumns},
    {"Lumora_Fotos", "Mandant_ID,PIC_ID", R"(
Mandant_ID int NN -
PIC_ID int NN -
PIC_ObjTyp nvarchar(2) NN 'I'
PIC_ObjID integer NN 0
PIC_Bild blob - -
PIC_BildName nvarchar(250) NN ''
PIC_TimeStamp datetime - -
PIC_User nvarchar(20) NN ''
SyncVersion int NN 1
Owner int NN 0
MobileID bigint NN 0
PIC_ZER_ID integer NN 0
FlagGeloescht bit - 0
)"},
    {"Lumora_Team", "Mandant_ID,PTT_MobileID,PTT_GUID", nullptr},
    {"Lumora_TeamZPZ", "Mandant_ID,PTT_MobileID,PTT_GUID", nullptr},
    {"Lumora_TeamAktiveLPE", "Mandant_ID,PTA_LPE_ID", R"(
Mandant_ID int NN -
PTA_LPE_ID int NN 0
)"},
    {"Lumora_PauseZER", "Mandant_ID,LPE_ID", pauseColumns},
    {"Lumora_PauseZPZ", "Mandant_ID,LPE_ID", pauseColumns},
    {"Planung", "Mandant_ID,MPL_GUID", R"(
Mandant_ID int NN 0
MPL_GUID guid NN -
MPL_Datum datetime - -
MPL_OrderNr integer NN 0
MPL_Betreff nvarchar(250) NN ''
MPL_Text text NN ''
MPL_PRO integer NN 0
MPL_RKA_ID_A integer NN 0
MPL_RKA_ID_W integer NN 0
MPL_ADR_ID integer NN 0
MPL_MTM_GUID guid - -
MPL_ERFDAT datetime - -
MPL_ERFUSER varchar(20) NN ''
MPL_MUTDAT datetime - -
MPL_MUTUSER varchar(20) NN ''
Owner integer NN 0
gesperrt integer NN 0
komplett integer NN 0
erledigt integer NN 0
geloescht integer NN 0
ObjektAdresse nvarchar(250) NN ''
ObjektAuftrag nvarchar(250) NN ''
ObjektWerkAuftrag nvarchar(250) NN ''
ObjektProjekt nvarchar(250) NN ''
MPL_KA nvarchar(20) NN ''
MPL_Erledigt integer NN 0
MPL_von datetime - -
MPL_bis datetime - -
MPL_TER_Backcolor varchar(20) - ''
FlagGeloescht bit - 0
)"},
    {"Planung_Team", "Mandant_ID,MTM_GUID", R"(
Mandant_ID integer NN 0
MTM_GUID guid NN -
MTM_Bezeichnung nvarchar(100) NN Team
MTM_Farbe integer NN 0
MTM_ERFDAT datetime - -
MTM_ERFUSER varchar(20) NN ''
MTM_MUTDAT datetime - -
MTM_MUTUSER varchar(20) NN ''
Owner integer NN 0
FlagGeloescht bit - 0
)"},
    {"Planung_TeamPersonal", "Mandant_ID,MTP_GUID_Team,MTP_LPE_ID", R"(
Mandant_ID integer NN 0
MTP_GUID_Team guid NN -
MTP_LPE_ID integer NN 0
MTP_Leader integer NN 0
MTP_ERFDAT datetime - -
MTP_ERFUSER varchar(20) NN ''
MTP_MUTDAT datetime - -
MTP_MUTUSER varchar(20) NN ''
Owner integer NN 0
FlagGeloescht bit - 0
)"},
    {"Planung_AktiveTeams", "Mandant_ID,MTM_GUID", R"(
Mandant_ID integer NN 0
MTM_GUID guid NN -
)"},
    {"Planung_TeamErlaubnis", "Mandant_ID,PTE_UserID,PTE_TeamGuid", R"(
Mandant_ID integer NN -
PTE_UserID integer NN -
PTE_TeamGuid guid NN -
FlagGeloescht bit - 0
)"},
    {"Lumora_Rapport", "Mandant_ID,RAP_Guid", R"(
Mandant_ID int NN -
RAP_Guid GUID NN -
RAP_TimeStamp datetime - -
RAP_Name varchar(200) NN ''
RAP_Bemerkung varchar(500) NN ''
RAP_Unterschrift blob - -
RAP_IstUnterschrieben bit - 0
RAP_ERFDAT datetime - -
RAP_ERFUSER varchar(20) NN ''
RAP_MUTDAT datetime - -
RAP_MUTUSER varchar(20) NN ''
RAP_PRO_ID int NN 0
RAP_RKA_ID_A int NN 0
RAP_RKA_ID_W int NN 0
RAP_ADR_ID int NN 0
Owner int NN 0
gesperrt int NN 0
komplett int NN 0
FlagGeloescht bit - 0
)"},
    {"Lumora_Rapport_ZER", "Mandant_ID,ZER_ID", nullptr},
};

QString expectedColumns(const Expected& e) {
    const QString name = QString::fromLatin1(e.table);
    if (name == u"M_MATERIALPREISE")
        return materialPreise();
    if (name == u"Lumora_Team")
        return QString::fromLatin1(teamColumns).arg(u"PTT_ZER_ID"_s);
    if (name == u"Lumora_TeamZPZ")
        return QString::fromLatin1(teamColumns).arg(u"PTT_ZPZ_ID"_s);
    if (name == u"Lumora_Rapport_ZER")
        return QString::fromLatin1(erfassungColumns) + u"RAP_GUID GUID - -\n"_s;
    return QString::fromLatin1(e.columns);
}

QStringList normalised(const QString& columns) {
    QStringList lines;
    for (const QString& line : columns.split(u'\n', Qt::SkipEmptyParts))
        lines.append(line.simplified());
    return lines;
}

// The layout of a table as the file reports it, in the notation of the table above.
QStringList actualColumns(LocalFileFixture& f, const QString& table, QStringList& key) {
    QStringList lines;
    QMap<int, QString> keyParts;
    auto q = f.dm().GetQueryInstance();
    q->setSQL(u"PRAGMA table_info("_s + table + u')');
    if (!q->Open())
        return lines;
    for (; !q->Eof(); q->Next()) {
        const QString name = q->FieldByName(u"name").AsString();
        const QString deflt =
            q->FieldByName(u"dflt_value").IsNull() ? u"-"_s : q->FieldByName(u"dflt_value").AsString();
        lines.append(name + u' ' + q->FieldByName(u"type").AsString() + u' ' +
                     (q->FieldByName(u"notnull").AsInteger() ? u"NN"_s : u"-"_s) + u' ' + deflt);
        if (const int pk = q->FieldByName(u"pk").AsInteger())
            keyParts.insert(pk, name);
    }
    key = keyParts.values();
    return lines;
}

QStringList allTableNames() {
    QStringList names;
    for (const Expected& e : expectedTables)
        names.append(QString::fromLatin1(e.table));
    names.sort();
    return names;
}

// A file as the client of an older version left it: the steps of that time run on an
// empty file, then its version stored.
void buildFileAtVersion(LocalFileFixture& f, int version) {
    QVERIFY(f.exec(u"CREATE TABLE IF NOT EXISTS INTERNAL (  KEYVALUE  varchar(50) PRIMARY KEY NOT NULL,  INTVALUE  "
                   u"integer DEFAULT 0,  TXTVALUE  varchar(255) DEFAULT ''  ); "_s));
    auto q = f.dm().GetQueryInstance();
    QVERIFY(q->connection()->beginTransaction());
    runSchemaLadder(f.dm(), *q, 0, version);
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::DBVERSION, version));
    QVERIFY(q->connection()->commit());
}

QString schemaText(LocalFileFixture& f) {
    return f.column(u"select type || ' ' || name || ' ' || ifnull(sql, '') from sqlite_master order by name"_s)
        .join(u'\n');
}

QString tableDump(LocalFileFixture& f, const QString& table) {
    return f
        .column(u"select quote(Mandant_ID) || '|' || quote(LPE_ID) || '|' || quote(LPE_Kuerzel) from "_s + table +
                u" order by LPE_ID"_s)
        .join(u'\n');
}

QStringList listedIndexNames() {
    QStringList names;
    for (const LokalerIndex& index : lokaleIndizes())
        names << QString::fromUtf8(index.name);
    names.sort(Qt::CaseInsensitive);
    return names;
}

QStringList indexNames(LocalFileFixture& f) {
    QStringList names = f.column(u"select name from sqlite_master where type = 'index' and sql is not null"_s);
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(TDateTime::encodeDateTime(2024, 3, 15, 10, 30, 0)); }
    void cleanup() { Clock::reset(); }

    void newFileHasEveryTableWithItsLayout_data();
    void newFileHasEveryTableWithItsLayout();
    void newFileHasNoOtherTableAndOnlyTheListedIndexes();
    void listedIndexesCoverTheirColumns_data();
    void listedIndexesCoverTheirColumns();
    void lookupsOfTheDayUseAnIndex_data();
    void lookupsOfTheDayUseAnIndex();
    void currentFileGainsMissingIndexesAndKeepsItsRows();
    void upgradedFileHasTheIndexes_data();
    void upgradedFileHasTheIndexes();
    void newFileSettings();
    void newFileIsUtf16();

    void stepsRunForVersion_data();
    void stepsRunForVersion();
    void version9DropsOldPlanningTables();
    void otherVersionsKeepOldPlanningTables();
    void version34KeepsLocalRecordsInTenantLayout();
    void step18PlannedHours_data();
    void step18PlannedHours();
    void step60KeepsShortNames();
    void version57ClampsSyncStampsTo2000();
    void version58LeavesSyncStamps();
    void step45AsksForFullReloadOfEveryRememberedTenant();
    void step26MarksEmptyTimesAndSendsThemAgain();
    void step34WithoutServerKeepsTenantIdsAtZero();
    void step34TakesTenantIdsFromServer();
    void repeatedStepsChangeNothing_data();
    void repeatedStepsChangeNothing();
    void olderFileEndsWithCurrentLayout_data();
    void olderFileEndsWithCurrentLayout();

    void secondRunChangesNothing();
    void newerFileIsLeftUntouched();
    void unreadableVersionLeavesFileAlone();
};

void TestSchema::newFileHasEveryTableWithItsLayout_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("key");
    QTest::addColumn<QStringList>("columns");
    for (const Expected& e : expectedTables)
        QTest::newRow(e.table) << QString::fromLatin1(e.table) << QString::fromLatin1(e.key).split(u',')
                               << normalised(expectedColumns(e));
}

void TestSchema::newFileHasEveryTableWithItsLayout() {
    QFETCH(QString, table);
    QFETCH(QStringList, key);
    QFETCH(QStringList, columns);
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QStringList actualKey;
    const QStringList actual = actualColumns(f, table, actualKey);
    // SQLite reports the standard type names in capitals; the declaration keeps the spelling.
    QCOMPARE(actual.join(u'\n').toLower(), columns.join(u'\n').toLower());
    QCOMPARE(actualKey, key);
    const QString sql =
        f.value(u"select sql from sqlite_master where name = '"_s + table + u'\'').toString().simplified();
    for (const QString& column : columns) {
        const QString type = column.section(u' ', 1, 1);
        QVERIFY2(sql.contains(column.section(u' ', 0, 0) + u' ' + type), qPrintable(column));
    }
}

void TestSchema::newFileHasNoOtherTableAndOnlyTheListedIndexes() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.tables(), allTableNames());
    QVERIFY(!listedIndexNames().isEmpty());
    QCOMPARE(indexNames(f), listedIndexNames());
}

void TestSchema::listedIndexesCoverTheirColumns_data() {
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    for (const LokalerIndex& index : lokaleIndizes())
        QTest::newRow(index.name) << QString::fromUtf8(index.name) << QString::fromUtf8(index.tabelle)
                                  << QString::fromUtf8(index.spalten).split(u", "_s);
}

void TestSchema::listedIndexesCoverTheirColumns() {
    QFETCH(QString, index);
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.value(u"select tbl_name from sqlite_master where type = 'index' and name = '"_s + index + u"'"_s)
                 .toString()
                 .toLower(),
             table.toLower());
    const QStringList actual = f.column(u"select name from pragma_index_info('"_s + index + u"') order by seqno"_s);
    QCOMPARE(actual.join(u',').toLower(), columns.join(u',').toLower());
}

// The lookups every recording operation makes: by mobile id, an employee's day, the records of a team GUID.
void TestSchema::lookupsOfTheDayUseAnIndex_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    QTest::newRow("entry by mobile id")
        << u" update Z_Erfassung  Set  ZER_Text = :ZER_Text  Where MobileID = :MobileID and Mandant_ID = 7"_s
        << u"IX_Z_ERFASSUNG_MobileID"_s;
    QTest::newRow("open entries of a day")
        << u" select * from z_Erfassung  where MobileID <> :MobileID and ZER_LPE = :lpe and zer_datum = :datum and "
           u"zer_type <= 3  and zer_std100 = 0 and geloescht = 0 and Mandant_ID = 7 Order by Zer_von "_s
        << u"IX_Z_ERFASSUNG_LPE_Datum"_s;
    QTest::newRow("presence by mobile id")
        << u" select komplett from z_Praesenzzeit  where mobileid = :id and Mandant_ID = 7"_s
        << u"IX_Z_PRAESENZZEIT_MobileID"_s;
    QTest::newRow("open presence of a day")
        << u" select * from Z_Praesenzzeit  where zpz_datum = :datum and ZPZ_LPE_ID = :LPE and geloescht = 0 and "
           u"BisIstNULL = 1 and Mandant_ID = 7 order by zpz_von desc "_s
        << u"IX_Z_PRAESENZZEIT_LPE_Datum"_s;
    QTest::newRow("entry links of a GUID")
        << u" select PTT_MobileID from Lumora_Team  Where Mandant_ID = :Mandant_ID and PTT_MobileID <> "
           u":PTT_MobileID and PTT_GUID = :guid "_s
        << u"IX_Lumora_Team_GUID"_s;
    QTest::newRow("entries of the recording an entry belongs to")
        << u"SELECT Lumora_Team.PTT_MobileID FROM Lumora_Team WHERE PTT_GUID IN (SELECT Lumora_Team.PTT_GUID FROM "
           u"Lumora_Team WHERE PTT_MobileID = -5 AND Mandant_ID = 7)"_s
        << u"IX_Lumora_Team_GUID"_s;
    QTest::newRow("presence links of a GUID")
        << u" select PTT_MobileID from Lumora_TeamZPZ  Where Mandant_ID = :Mandant_ID  and PTT_GUID = :guid "_s
        << u"IX_Lumora_TeamZPZ_GUID"_s;
}

void TestSchema::lookupsOfTheDayUseAnIndex() {
    QFETCH(QString, statement);
    QFETCH(QString, index);
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QStringList schritte;
    {
        auto q = f.dm().GetQueryInstance();
        q->setSQL(u"explain query plan "_s + statement);
        QVERIFY2(q->Open(), qPrintable(q->lastError()));
        for (; !q->Eof(); q->Next())
            schritte << q->FieldByName(u"detail").AsString();
    }
    const QString plan = schritte.join(u'\n');
    QVERIFY2(plan.contains(u"INDEX "_s + index + u' ', Qt::CaseInsensitive), qPrintable(plan));
}

// A file of this version made before the indexes existed gains them at the next start, with its rows intact.
void TestSchema::currentFileGainsMissingIndexesAndKeepsItsRows() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    for (const QString& name : listedIndexNames())
        QVERIFY(f.exec(u"drop index "_s + name));
    QVERIFY(f.exec(u"insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, ZER_LPE, MobileID) values (1, -5, 10, -5)"_s));
    QVERIFY(f.exec(u"insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, ZPZ_LPE_ID, MobileID) values (1, -6, 10, -6)"_s));
    QCOMPARE(indexNames(f), QStringList());
    f.reopen();
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(indexNames(f), listedIndexNames());
    QCOMPARE(f.dm().InternalLeseINT(SettingKey::DBVERSION, 0), 60);
    QCOMPARE(f.value(u"select ZER_LPE from Z_ERFASSUNG where MobileID = -5"_s).toInt(), 10);
    QCOMPARE(f.value(u"select ZPZ_LPE_ID from Z_PRAESENZZEIT where MobileID = -6"_s).toInt(), 10);
    QCOMPARE(f.value(u"pragma integrity_check"_s).toString(), u"ok"_s);
}

void TestSchema::upgradedFileHasTheIndexes_data() {
    QTest::addColumn<int>("version");
    for (int v : {1, 30, 34, 35, 59})
        QTest::newRow(qPrintable(QString::number(v))) << v;
}

// The ladder drops and recreates the tables the indexes belong to, so they must come after it.
void TestSchema::upgradedFileHasTheIndexes() {
    QFETCH(int, version);
    LocalFileFixture f;
    buildFileAtVersion(f, version);
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.dm().InternalLeseINT(SettingKey::DBVERSION, 0), 60);
    QCOMPARE(indexNames(f), listedIndexNames());
}

void TestSchema::newFileSettings() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    Tdm& dm = f.dm();
    QCOMPARE(dm.InternalLeseINT(SettingKey::DBVERSION, -1), 60);
    QVERIFY(QRegularExpression(u"^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"_s)
                .match(dm.InternalLeseTXT(SettingKey::DeviceGUID, QString()))
                .hasMatch());
    // Written, not merely missing: the defaults passed here would show otherwise.
    QCOMPARE(dm.InternalLeseINT(SettingKey::SYNCVERSION, -1), 0);
    QCOMPARE(dm.InternalLeseINT(SettingKey::SyncVersionPlanung, -1), 0);
    QCOMPARE(dm.InternalLeseBool(SettingKey::UpdateInfoAusblenden, true), false);
}

void TestSchema::newFileIsUtf16() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QVERIFY(f.value(u"PRAGMA encoding"_s).toString().startsWith(u"UTF-16"_s));
}

void TestSchema::stepsRunForVersion_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("steps");
    QStringList from35;
    for (int v = 35; v <= 57; ++v)
        from35 << QString::number(v);
    from35 << u"60"_s;
    QStringList from10;
    for (int v = 10; v <= 27; ++v)
        from10 << QString::number(v);
    from10 << u"30"_s << u"31"_s << u"32"_s << u"33"_s << u"34"_s;
    QTest::newRow("9") << 9 << (QStringList{u"9"_s} + from10 + from35);
    QTest::newRow("34") << 34 << from35;
    QTest::newRow("56") << 56 << QStringList{u"57"_s, u"60"_s};
    QTest::newRow("57") << 57 << QStringList{u"57a"_s, u"60"_s};
    QTest::newRow("58") << 58 << QStringList{u"60"_s};
    QTest::newRow("59") << 59 << QStringList{u"60"_s};
}

void TestSchema::stepsRunForVersion() {
    QFETCH(int, version);
    QFETCH(QStringList, steps);
    LocalFileFixture f;
    buildFileAtVersion(f, version);
    auto q = f.dm().GetQueryInstance();
    QCOMPARE(runSchemaLadder(f.dm(), *q, version), steps);
}

void TestSchema::version9DropsOldPlanningTables() {
    LocalFileFixture f;
    buildFileAtVersion(f, 9);
    for (const QString& t : {u"MON_Plan"_s, u"MON_Team"_s, u"MON_TeamPersonal"_s})
        QVERIFY(f.exec(u"create table "_s + t + u" (x int)"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.tables(), allTableNames());
}

void TestSchema::otherVersionsKeepOldPlanningTables() {
    for (int version : {8, 10, 57}) {
        LocalFileFixture f;
        buildFileAtVersion(f, version);
        QVERIFY(f.exec(u"create table MON_Plan (x int)"_s));
        QVERIFY(f.exec(u"insert into MON_Plan values (7)"_s));
        QVERIFY(f.dm().SQLiteDB_Erstellen());
        QCOMPARE(f.value(u"select x from MON_Plan"_s).toInt(), 7);
    }
}

// The tenant-aware layout of version 35 replaces the recording tables; what the device
// recorded and has not uploaded yet moves over to the tenant of the stored login.
void TestSchema::version34KeepsLocalRecordsInTenantLayout() {
    LocalFileFixture f;
    buildFileAtVersion(f, 34);
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::Mandant_ID, 17));
    QVERIFY(f.exec(u"insert into Z_ERFASSUNG (ZER_ID, MobileID, ZER_Text, Owner, ZER_Datum) "
                   u"values (-5000, -5000, 'Montage Halle 3', 1, '2024-03-14 00:00:00.000')"_s));
    QVERIFY(f.exec(u"insert into Z_PRAESENZZEIT (ZPZ_ID, MobileID, ZPZ_LPE_ID, Owner) values (-6000, -6000, 4, 1)"_s));
    QVERIFY(f.exec(u"insert into A_ADRESSEN (ADR_ID, ADR_Name) values (1, 'Alt')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());

    QCOMPARE(f.column(u"select Mandant_ID || '|' || ZER_ID || '|' || ZER_Text || '|' || Owner from Z_ERFASSUNG"_s),
             QStringList{u"17|-5000|Montage Halle 3|1"_s});
    QCOMPARE(f.column(u"select Mandant_ID || '|' || ZPZ_LPE_ID from Z_PRAESENZZEIT where MobileID = -6000"_s),
             QStringList{u"17|4"_s});
    // Master data comes down again with the next synchronisation.
    QCOMPARE(f.value(u"select count(*) from A_ADRESSEN"_s).toInt(), 0);
    QCOMPARE(f.tables(), allTableNames());
}

void TestSchema::step18PlannedHours_data() {
    QTest::addColumn<int>("orderNr");
    QTest::addColumn<QString>("von");
    QTest::addColumn<QString>("bis");
    QTest::newRow("before the first slot") << 3 << u"2019-06-03 06:00:00.000"_s << u"2019-06-03 07:00:00.000"_s;
    QTest::newRow("within the day") << 14 << u"2019-06-03 14:00:00.000"_s << u"2019-06-03 15:00:00.000"_s;
    QTest::newRow("after the last slot") << 25 << u"2019-06-03 20:00:00.000"_s << u"2019-06-03 21:00:00.000"_s;
}

void TestSchema::step18PlannedHours() {
    QFETCH(int, orderNr);
    QFETCH(QString, von);
    QFETCH(QString, bis);
    LocalFileFixture f;
    buildFileAtVersion(f, 17);
    QVERIFY(
        f.exec(u"insert into Planung (Mandant_ID, MPL_GUID, MPL_Datum, MPL_OrderNr, MPL_Betreff) values "
               u"(3, '{6F9619FF-8B86-D011-B42D-00C04FC964FF}', '2019-06-03 00:00:00.000', %1, 'Dach')"_s.arg(orderNr)));
    auto q = f.dm().GetQueryInstance();
    runSchemaLadder(f.dm(), *q, 17, 18);
    q.reset();
    QCOMPARE(f.column(u"select MPL_von || '|' || MPL_bis from Planung"_s), QStringList{von + u'|' + bis});
    // The full ladder keeps the plan and its span through the later rebuild of the table.
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.column(u"select MPL_Betreff || '|' || MPL_von || '|' || MPL_bis from Planung"_s),
             QStringList{u"Dach|"_s + von + u'|' + bis});
}

void TestSchema::step60KeepsShortNames() {
    LocalFileFixture f;
    buildFileAtVersion(f, 58);
    QVERIFY(f.exec(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_Nr, \"LPE_Kürzel\", LPE_Kennwort) values "
                   u"(1, 10, 100, 'MMU', 'x'), (1, 11, 101, 'Jö', 'y'), (2, 10, 102, '', 'z')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(tableDump(f, u"A_PERSONAL"_s).split(u'\n'), (QStringList{u"1|10|'MMU'"_s, u"2|10|''"_s, u"1|11|'Jö'"_s}));
    QCOMPARE(f.column(u"select Mandant_ID || '|' || LPE_Nr || '|' || LPE_Kennwort from A_PERSONAL order by LPE_Nr"_s),
             (QStringList{u"1|100|x"_s, u"1|101|y"_s, u"2|102|z"_s}));
    QVERIFY(!f.tables().contains(u"A_PERSONAL01"_s));
}

void TestSchema::version57ClampsSyncStampsTo2000() {
    LocalFileFixture f;
    buildFileAtVersion(f, 57);
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, SyncTimeStamp, LastSyncDate) values "
                   u"(1111, 'anna', 5, '2023-11-02 08:15:00.000', '2023-11-02 08:15:00.000'), "
                   u"(2222, 'bert', 6, '1999-05-01 00:00:00.000', '1999-05-01 00:00:00.000')"_s));
    QVERIFY(f.exec(u"insert into SyncFortschritt (Mandant_ID, TabellenName, ZeitStempel) values "
                   u"(5, 'A_ADRESSEN', '2023-11-02 08:15:00.000')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.column(u"select SyncTimeStamp from MandantenLogIn order by FirmaPin"_s),
             (QStringList{u"2000-01-01 00:00:00.000"_s, u"1999-05-01 00:00:00.000"_s}));
    QCOMPARE(f.value(u"select ZeitStempel from SyncFortschritt"_s).toString(), u"2000-01-01 00:00:00.000"_s);
}

void TestSchema::version58LeavesSyncStamps() {
    LocalFileFixture f;
    buildFileAtVersion(f, 58);
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, SyncTimeStamp) values "
                   u"(1111, 'anna', 5, '2023-11-02 08:15:00.000')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.value(u"select SyncTimeStamp from MandantenLogIn"_s).toString(), u"2023-11-02 08:15:00.000"_s);
    QCOMPARE(f.dm().InternalLeseINT(SettingKey::DBVERSION, 0), 60);
}

void TestSchema::step45AsksForFullReloadOfEveryRememberedTenant() {
    LocalFileFixture f;
    buildFileAtVersion(f, 44);
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, LastSyncDate) values "
                   u"(1111, 'anna', 5, '2023-11-02 08:15:00.000'), (2222, 'bert', 6, '2023-11-02 08:15:00.000')"_s));
    QVERIFY(f.exec(u"insert into SyncFortschritt (Mandant_ID, TabellenName, ZeitStempel) values "
                   u"(5, 'A_ADRESSEN', '2023-11-02 08:15:00.000'), (6, 'A_ADRESSEN', '2023-11-02 08:15:00.000'), "
                   u"(9, 'A_ADRESSEN', '2023-11-02 08:15:00.000')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.column(u"select LastSyncDate from MandantenLogIn order by FirmaPin"_s),
             (QStringList{u"2000-01-01 00:00:00.000"_s, u"2000-01-01 00:00:00.000"_s}));
    QCOMPARE(f.column(u"select Mandant_ID from SyncFortschritt"_s), QStringList{u"9"_s});
}

void TestSchema::step26MarksEmptyTimesAndSendsThemAgain() {
    LocalFileFixture f;
    buildFileAtVersion(f, 25);
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::User_LPE_ID, 4));
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::Mandant_ID, 3));
    // Without a group the booking lock is today, 15 March 2024.
    QVERIFY(f.exec(u"insert into Z_ERFASSUNG (ZER_ID, MobileID, ZER_LPE, ZER_Datum, ZER_Von, ZER_Bis, ZER_Std) values "
                   u"(-1, -1, 4, '2024-03-20 00:00:00.000', '1899-12-30 07:00:00.000', '1899-12-30 00:00:00.000', "
                   u"'1899-12-30 01:00:00.000'), "
                   u"(-2, -2, 4, '2024-03-01 00:00:00.000', '1899-12-30 07:00:00.000', '1899-12-30 00:00:00.000', "
                   u"'1899-12-30 01:00:00.000'), "
                   u"(-3, -3, 4, '2024-03-20 00:00:00.000', '1899-12-30 07:00:00.000', '1899-12-30 08:00:00.000', "
                   u"'1899-12-30 01:00:00.000')"_s));
    QVERIFY(f.exec(u"insert into Z_PRAESENZZEIT (ZPZ_ID, MobileID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Bis, ZPZ_Std) "
                   u"values (-4, -4, 4, '2024-03-21 00:00:00.000', '1899-12-30 00:00:00.000', "
                   u"'1899-12-30 16:00:00.000', '1899-12-30 16:00:00.000')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.column(u"select ZER_ID || ':' || VonIstNULL || BisIstNULL || StdIstNULL || ' owner ' || Owner "
                      u"from Z_ERFASSUNG order by ZER_ID desc"_s),
             (QStringList{u"-1:010 owner 1"_s, u"-2:010 owner 0"_s, u"-3:000 owner 0"_s}));
    QCOMPARE(f.column(u"select ZPZ_ID || ':' || VonIstNULL || BisIstNULL || StdIstNULL || ' owner ' || Owner "
                      u"from Z_PRAESENZZEIT"_s),
             QStringList{u"-4:100 owner 1"_s});
}

void TestSchema::step34WithoutServerKeepsTenantIdsAtZero() {
    qputenv("LUMORA_REMOTEDB_HOST", "127.0.0.1");
    qputenv("LUMORA_REMOTEDB_PORT", QByteArray::number(LocalPorts::freePort()));
    LocalFileFixture f;
    buildFileAtVersion(f, 33);
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz) values (4711, 'anna')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    qunsetenv("LUMORA_REMOTEDB_HOST");
    qunsetenv("LUMORA_REMOTEDB_PORT");
    // Three months before the clock's 15 March 2024, 10:30; step 45 resets nothing for a
    // login without tenant, and step 49 clamps the time stamp.
    QCOMPARE(f.column(u"select MandantID || '|' || SyncTimeStamp || '|' || LastSyncDate from MandantenLogIn"_s),
             QStringList{u"0|2017-05-01 00:00:00.001|2023-12-15 10:30:00.000"_s});
    QCOMPARE(f.dm().InternalLeseINT(SettingKey::DBVERSION, 0), 60);
}

void TestSchema::step34TakesTenantIdsFromServer() {
    RemoteDbTestbed server;
    QString error;
    if (!server.setUp(error))
        QSKIP(qPrintable(u"no remote-SQL service: "_s + error));
    LocalFileFixture f;
    buildFileAtVersion(f, 33);
    QVERIFY(f.dm().InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(RemoteDbTestbed::Pin1)));
    QVERIFY(f.dm().InternalSchreibeTXT(SettingKey::Firma_Kennwort, RemoteDbTestbed::password1()));
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz) values (%1, 'anna'), (9999, 'carl')"_s.arg(
        RemoteDbTestbed::Pin1)));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(f.column(u"select FirmaPin || '|' || MandantID from MandantenLogIn order by FirmaPin"_s),
             (QStringList{u"%1|%2"_s.arg(RemoteDbTestbed::Pin1).arg(RemoteDbTestbed::Tenant1), u"9999|0"_s}));
    // The login found its tenant, so step 45 asked for that tenant's full reload.
    QCOMPARE(f.value(u"select LastSyncDate from MandantenLogIn where FirmaPin = 9999"_s).toString(),
             u"2023-12-15 10:30:00.000"_s);
    QCOMPARE(f.value(u"select LastSyncDate from MandantenLogIn where MandantID = 1"_s).toString(),
             u"2000-01-01 00:00:00.000"_s);
}

// Steps that already ran find their tables and columns in place and change nothing.
void TestSchema::repeatedStepsChangeNothing_data() {
    QTest::addColumn<int>("version");
    QTest::newRow("35") << 35;
    QTest::newRow("57") << 57;
    QTest::newRow("58") << 58;
}

void TestSchema::repeatedStepsChangeNothing() {
    QFETCH(int, version);
    LocalFileFixture f;
    buildFileAtVersion(f, version);
    QVERIFY(f.exec(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, \"LPE_Kürzel\") values (1, 10, 'MMU')"_s));
    QVERIFY(f.exec(u"insert into MandantenLogIn (FirmaPin, UserKurz, MandantID, SyncTimeStamp) values "
                   u"(1111, 'anna', 5, '1999-01-01 00:00:00.000')"_s));
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    const QString schema = schemaText(f);
    const QString personal = tableDump(f, u"A_PERSONAL"_s);
    const QStringList logins = f.column(u"select SyncTimeStamp || LastSyncDate from MandantenLogIn"_s);
    auto q = f.dm().GetQueryInstance();
    runSchemaLadder(f.dm(), *q, version);
    q.reset();
    QCOMPARE(schemaText(f), schema);
    QCOMPARE(tableDump(f, u"A_PERSONAL"_s), personal);
    QCOMPARE(f.column(u"select SyncTimeStamp || LastSyncDate from MandantenLogIn"_s), logins);
}

void TestSchema::olderFileEndsWithCurrentLayout_data() {
    QTest::addColumn<int>("version");
    for (int v : {1, 9, 13, 25, 29, 34, 35, 44, 54, 57, 58, 59})
        QTest::newRow(qPrintable(QString::number(v))) << v;
}

void TestSchema::olderFileEndsWithCurrentLayout() {
    QFETCH(int, version);
    LocalFileFixture neu;
    QVERIFY(neu.dm().SQLiteDB_Erstellen());
    LocalFileFixture alt;
    buildFileAtVersion(alt, version);
    QVERIFY(alt.dm().SQLiteDB_Erstellen());
    QCOMPARE(schemaText(alt), schemaText(neu));
}

void TestSchema::secondRunChangesNothing() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QVERIFY(f.exec(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_Kuerzel) values (1, 10, 'MMU')"_s));
    const QString guid = f.dm().InternalLeseTXT(SettingKey::DeviceGUID, QString());
    const QString schema = schemaText(f);
    f.reopen();
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(schemaText(f), schema);
    QCOMPARE(f.dm().InternalLeseTXT(SettingKey::DeviceGUID, QString()), guid);
    QCOMPARE(tableDump(f, u"A_PERSONAL"_s), u"1|10|'MMU'"_s);
}

void TestSchema::newerFileIsLeftUntouched() {
    LocalFileFixture f;
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QVERIFY(f.exec(u"drop table Lumora_Filter"_s));
    // Nor does it gain the indexes of this version.
    QVERIFY(f.exec(u"drop index "_s + listedIndexNames().constFirst()));
    QVERIFY(f.exec(u"alter table A_PERSONAL add column LPE_Neu int"_s));
    QVERIFY(f.exec(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_Kuerzel, LPE_Neu) values (1, 10, 'MMU', 3)"_s));
    QVERIFY(f.dm().InternalSchreibeINT(SettingKey::DBVERSION, 61));
    QVERIFY(f.dm().InternalSchreibeBool(SettingKey::UpdateInfoAusblenden, true));
    const QString schema = schemaText(f);
    f.reopen();
    QVERIFY(f.dm().SQLiteDB_Erstellen());
    QCOMPARE(schemaText(f), schema);
    QCOMPARE(f.dm().InternalLeseINT(SettingKey::DBVERSION, 0), 61);
    QCOMPARE(f.dm().InternalLeseBool(SettingKey::UpdateInfoAusblenden, false), true);
    QCOMPARE(f.value(u"select LPE_Kuerzel || LPE_Neu from A_PERSONAL"_s).toString(), u"MMU3"_s);
}

// A settings table that cannot be read must not pass for a new file: the ladder would
// drop and rebuild the filled tables.
void TestSchema::unreadableVersionLeavesFileAlone() {
    LocalFileFixture f;
    QVERIFY(f.exec(u"create view INTERNAL as select 1 as KEYVALUE"_s));
    QVERIFY(f.exec(u"create table A_PERSONAL (LPE_ID int, Name text)"_s));
    QVERIFY(f.exec(u"insert into A_PERSONAL values (10, 'Muster')"_s));
    const QString schema = schemaText(f);
    QVERIFY(!f.dm().SQLiteDB_Erstellen());
    QCOMPARE(schemaText(f), schema);
    QCOMPARE(f.value(u"select Name from A_PERSONAL"_s).toString(), u"Muster"_s);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"

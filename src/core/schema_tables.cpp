#include "schema_tables.h"

namespace {

struct Definition {
    const char* name;
    const char* schluessel; // comma-separated
    const char* spalten;    // one column definition per line
};

// The tables of the current file version, columns in the order in which the upgrade steps create them.
const Definition aktuelleDefinitionen[] = {
    {"MandantenLogIn", "FirmaPin,UserKurz", R"(
FirmaPin integer NOT NULL DEFAULT 0
FirmaPW nvarchar(50) DEFAULT ''
UserKurz nvarchar(50) NOT NULL DEFAULT ''
UserPW nvarchar(50) DEFAULT ''
FirmaName nvarchar(50) DEFAULT ''
UserName nvarchar(50) DEFAULT ''
Crypto1 integer NOT NULL DEFAULT 0
Crypto2 integer NOT NULL DEFAULT 0
Crypto3 integer NOT NULL DEFAULT 0
MandantID integer NOT NULL DEFAULT 0
SyncTimeStamp varchar(25) NOT NULL DEFAULT ''
LastSyncDate varchar(25) NOT NULL DEFAULT ''
)"},
    {"SyncFortschritt", "Mandant_ID,TabellenName", R"(
Mandant_ID int NOT NULL
TabellenName nvarchar(250) NOT NULL
ZeitStempel nvarchar(50) NOT NULL DEFAULT ''
IstNeustart int DEFAULT 0
)"},
    {"A_ADRESSEN", "Mandant_ID,ADR_ID", R"(
Mandant_ID int NOT NULL
ADR_ID int NOT NULL
ADR_Nr int NOT NULL DEFAULT 0
ADR_Sortierung varchar(100) NOT NULL DEFAULT ''
ADR_Anrede varchar(30) NOT NULL DEFAULT ''
ADR_Name varchar(100) NOT NULL DEFAULT ''
ADR_Vorname varchar(100) NOT NULL DEFAULT ''
ADR_Zusatz varchar(255) NOT NULL DEFAULT ''
ADR_Strasse varchar(100) NOT NULL DEFAULT ''
ADR_Postfach varchar(100) NOT NULL DEFAULT ''
ADR_Land varchar(100) NOT NULL DEFAULT ''
ADR_PLZ varchar(100) NOT NULL DEFAULT ''
ADR_Ort varchar(100) NOT NULL DEFAULT ''
ADR_Kanton varchar(100) NOT NULL DEFAULT ''
ADR_Tel1 varchar(100) NOT NULL DEFAULT ''
ADR_FAX varchar(100) NOT NULL DEFAULT ''
ADR_Tel2 varchar(100) NOT NULL DEFAULT ''
ADR_TEL3BESCHR varchar(100) NOT NULL DEFAULT ''
ADR_TEL3 varchar(100) NOT NULL DEFAULT ''
ADR_TEL4BESCHR varchar(100) NOT NULL DEFAULT ''
ADR_TEL4 varchar(100) NOT NULL DEFAULT ''
ADR_Email varchar(255) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"A_PERSONAL", "Mandant_ID,LPE_ID", R"(
Mandant_ID int NOT NULL
LPE_ID int NOT NULL
LPE_Nr int NOT NULL DEFAULT 0
LPE_Suchbez varchar(100) NOT NULL DEFAULT ''
LPE_Kuerzel varchar(50) NOT NULL DEFAULT ''
LPE_KostenStd float NOT NULL DEFAULT 0
LPE_VerrechnenStd float NOT NULL DEFAULT 0
LPE_Kennwort nvarchar(50) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_User", "Mandant_ID,USR_UserID", R"(
Mandant_ID int NOT NULL
USR_UserID int NOT NULL
USR_UserName nvarchar(50) NOT NULL DEFAULT ''
USR_Kurz nvarchar(10) NOT NULL DEFAULT ''
USR_UserPW nvarchar(254) NOT NULL DEFAULT ''
USR_BER_ID int NOT NULL DEFAULT 0
USR_UserFD int NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_Gruppen", "Mandant_ID,BER_ID", R"(
Mandant_ID int NOT NULL
BER_ID int NOT NULL
BER_Bezeichnung nvarchar(50) NOT NULL DEFAULT ''
BER_Praesenzzeit int NOT NULL DEFAULT 0
BER_Typ nvarchar(10) NOT NULL DEFAULT ''
BER_Art nvarchar(10) NOT NULL DEFAULT ''
BER_KS int NOT NULL DEFAULT 0
BER_Fakt int NOT NULL DEFAULT 0
BER_ZPZ_startstop integer NOT NULL DEFAULT 0
BER_ZER_startstop integer NOT NULL DEFAULT 0
BER_DatumMutieren integer NOT NULL DEFAULT 0
BER_Status4Mutieren integer NOT NULL DEFAULT 0
BER_TageVeraenderbar integer NOT NULL DEFAULT 14
BER_Buchungssperre datetime DEFAULT '1.1.2000'
BER_InZukunftErlauben integer NOT NULL DEFAULT 0
BER_ZPZ_automatik integer NOT NULL DEFAULT 0
BER_Runden integer NOT NULL DEFAULT 1
BER_Planung integer NOT NULL DEFAULT 0
BER_LoescheWieTage integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
BER_Teamerfassung int DEFAULT 0
BER_ZERnurAnsicht int DEFAULT 0
BER_IstTerminal int DEFAULT 0
BER_Mitternacht int DEFAULT 0
BER_TeamPraesenzzeit int DEFAULT 0
BER_MitternachtStunden int DEFAULT 0
BER_TeamLight int DEFAULT 0
)"},
    {"Lumora_GruppenKA", "Mandant_ID,GKA_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
GKA_ID integer NOT NULL DEFAULT 0
GKA_BER_ID integer NOT NULL DEFAULT 0
GKA_KA varchar(20) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_GruppenKS", "Mandant_ID,GKS_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
GKS_ID integer NOT NULL DEFAULT 0
GKS_BER_ID integer NOT NULL DEFAULT 0
GKS_KS varchar(20) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_GruppenTeam", "Mandant_ID,GTE_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
GTE_ID integer NOT NULL DEFAULT 0
GTE_BER_ID integer NOT NULL DEFAULT 0
GTE_LPE integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_Filter", "Mandant_ID,PFI_ID", R"(
Mandant_ID int NOT NULL
PFI_ID int NOT NULL
PFI_BER_ID int NOT NULL
PFI_Tabelle nvarchar(100) NOT NULL DEFAULT ''
PFI_Name nvarchar(100) NOT NULL DEFAULT ''
PFI_SQL varchar(500) NOT NULL DEFAULT ''
PFI_Standard bit DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"M_Material", "Mandant_ID,MAT_ID", R"(
Mandant_ID int NOT NULL DEFAULT 0
MAT_ID int NOT NULL DEFAULT 0
MAT_SP int NOT NULL DEFAULT 0
MAT_Nr varchar NOT NULL DEFAULT ''
MAT_AlternativNr varchar(30) NOT NULL DEFAULT ''
MAT_EANCODE varchar(50) NOT NULL DEFAULT ''
MAT_BerCode varchar(1) NOT NULL DEFAULT ''
MAT_Suchbezeichnung varchar(50) NOT NULL DEFAULT ''
MAT_Gruppe varchar(20) NOT NULL DEFAULT ''
MAT_Mengeneinheit varchar(20) NOT NULL DEFAULT ''
MAT_Preiseinheit float NOT NULL DEFAULT 0
MAT_Bezeichnung varchar(90) NOT NULL DEFAULT ''
MTE_ZusatzText text NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"M_MATERIALPREISE", "Mandant_ID,MAT_ID,MAT_MAF_NR", R"(
Mandant_ID int NOT NULL DEFAULT 0
MAT_ID int NOT NULL DEFAULT 0
MAT_MAF_NR int NOT NULL DEFAULT 0
MAT_AktiveWaehrung int NOT NULL DEFAULT 0
MAT_AktuellerEP float NOT NULL DEFAULT 0
MAT_AktuellerEP_EURO float NOT NULL DEFAULT 0
MAT_VPKalkuliert float NOT NULL DEFAULT 0
MAT_VPKalkuliert_EURO float NOT NULL DEFAULT 0
MAT_VP1 float NOT NULL DEFAULT 0
MAT_VP2 float NOT NULL DEFAULT 0
MAT_VP3 float NOT NULL DEFAULT 0
MAT_VP4 float NOT NULL DEFAULT 0
MAT_VP5 float NOT NULL DEFAULT 0
MAT_VP6 float NOT NULL DEFAULT 0
MAT_VP7 float NOT NULL DEFAULT 0
MAT_VP8 float NOT NULL DEFAULT 0
MAT_VP9 float NOT NULL DEFAULT 0
MAT_Aktionspreis float NOT NULL DEFAULT 0
MAT_VP1_EURO float NOT NULL DEFAULT 0
MAT_VP2_EURO float NOT NULL DEFAULT 0
MAT_VP3_EURO float NOT NULL DEFAULT 0
MAT_VP4_EURO float NOT NULL DEFAULT 0
MAT_VP5_EURO float NOT NULL DEFAULT 0
MAT_VP6_EURO float NOT NULL DEFAULT 0
MAT_VP7_EURO float NOT NULL DEFAULT 0
MAT_VP8_EURO float NOT NULL DEFAULT 0
MAT_VP9_EURO float NOT NULL DEFAULT 0
MAT_Aktionspreis_EURO float NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"P_PROJEKT", "Mandant_ID,PRO_ID", R"(
Mandant_ID int NOT NULL
PRO_ID int NOT NULL
PRO_Nr nvarchar(250) NOT NULL DEFAULT ''
PRO_Bezeichnung nvarchar(250) NOT NULL DEFAULT ''
PRO_Start datetime
PRO_Ende datetime
PRO_Beschreibung text NOT NULL DEFAULT ''
PRO_Erledigt bit NOT NULL DEFAULT 0
PRO_KS varchar(20) NOT NULL DEFAULT ''
FakturaCode nvarchar NOT NULL DEFAULT 'X'
SyncVersion int NOT NULL DEFAULT 0
PRO_ADR1 integer NOT NULL DEFAULT 0
PRO_ADR2 integer NOT NULL DEFAULT 0
PRO_ADRRechnung integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
FilterZahl1 int DEFAULT 0
)"},
    {"P_PROJEKTPHASEN", "Mandant_ID,PPH_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
PPH_ID integer NOT NULL DEFAULT 0
PPH_PRO_ID integer NOT NULL DEFAULT 0
PPH_PRO_ID_VL integer NOT NULL DEFAULT 0
PPH_Nr varchar(30) NOT NULL DEFAULT ''
PPH_Bezeichnung varchar(100) NOT NULL DEFAULT ''
PPH_Memo nvarchar(1000) NOT NULL DEFAULT ''
PPH_Start datetime
PPH_Ende datetime
PPH_Inaktiv integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"P_PROJEKTPHASEN_DETAIL", "Mandant_ID,PPD_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
PPD_ID integer NOT NULL DEFAULT 0
PPD_PPH_ID integer NOT NULL DEFAULT 0
PPD_ZKA_Nr varchar(20) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"R_KAUFTRAG", "Mandant_ID,RKA_ID", R"(
Mandant_ID int NOT NULL
RKA_ID int NOT NULL
RKA_ADR_ID int NOT NULL DEFAULT 0
RKA_ExtAufNr nvarchar(250) NOT NULL DEFAULT ''
RKA_PRO int NOT NULL DEFAULT 0
RKA_Bezeichnung nvarchar(250) NOT NULL DEFAULT ''
RKA_Status nvarchar(50) NOT NULL DEFAULT ''
RKA_StatusText nvarchar(50) NOT NULL DEFAULT ''
RKA_Datum1 datetime
RKA_Datum2 datetime
RKA_RechnungOrig int NOT NULL DEFAULT 0
RKA_KS nvarchar(50) NOT NULL DEFAULT ''
FakturaCode nvarchar(5) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Z_KOSTENART", "Mandant_ID,ZKA_Nr", R"(
Mandant_ID int NOT NULL
ZKA_Nr varchar(20) NOT NULL
ZKA_Bezeichnung varchar(50) NOT NULL DEFAULT ''
ZKA_TYPE tinyint NOT NULL DEFAULT 0
ZKA_StundenFaktor real NOT NULL DEFAULT 0
ZKA_Leistung int NOT NULL DEFAULT 0
ZKA_Spesen bit NOT NULL DEFAULT 0
ZKA_KmAnsatz float NOT NULL DEFAULT 0
ZKA_MWSTC int NOT NULL DEFAULT 0
ZKA_MWSTExcl tinyint NOT NULL DEFAULT 0
ZKA_Konto varchar(20) NOT NULL DEFAULT ''
ZKA_Eigensch tinyint NOT NULL DEFAULT 0
ZKA_KS varchar(20) NOT NULL DEFAULT ''
ZKA_StdETyp tinyint NOT NULL DEFAULT 0
ZKA_Lohnart varchar(25) NOT NULL DEFAULT ''
ZKA_LohnartStd varchar(25) NOT NULL DEFAULT ''
ZKA_Verrechnen varchar(2) NOT NULL DEFAULT ''
ZKA_Inaktiv tinyint NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Z_KOSTENSTELLE", "Mandant_ID,ZKS_Nr", R"(
Mandant_ID int NOT NULL
ZKS_Nr nvarchar(50) NOT NULL
ZKS_Bezeichnung nvarchar(50) NOT NULL DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Z_ERFASSUNG", "Mandant_ID,ZER_ID", R"(
Mandant_ID int NOT NULL
ZER_ID int NOT NULL
ZER_LPE int NOT NULL DEFAULT 0
ZER_PRO int NOT NULL DEFAULT 0
ZER_ZKA varchar(20) NOT NULL DEFAULT ''
ZER_ZKS varchar(20) NOT NULL DEFAULT ''
ZER_Type tinyint NOT NULL DEFAULT 0
ZER_LA varchar(20) NOT NULL DEFAULT ''
ZER_Datum datetime
ZER_Tag varchar(2) NOT NULL DEFAULT ''
ZER_Von datetime
ZER_Bis datetime
ZER_Std datetime
ZER_Std100 float NOT NULL DEFAULT 0
ZER_Text text NOT NULL DEFAULT ''
ZER_Km int NOT NULL DEFAULT 0
ZER_Ansatz float NOT NULL DEFAULT 0
ZER_Betrag float NOT NULL DEFAULT 0
ZER_RechnungsBetrag float NOT NULL DEFAULT 0
ZER_MWSTC tinyint NOT NULL DEFAULT 0
ZER_StundenFaktor real NOT NULL DEFAULT 0
ZER_Leistung int NOT NULL DEFAULT 0
ZER_KostenStd float NOT NULL DEFAULT 0
ZER_Verrechnet tinyint NOT NULL DEFAULT 0
ZER_VerrechneterBetrag float NOT NULL DEFAULT 0
ZER_ERFDAT datetime
ZER_ERFUSER varchar(20) NOT NULL DEFAULT ''
ZER_MUTDAT datetime
ZER_MUTUSER varchar(20) NOT NULL DEFAULT ''
ZER_MAT_ID int NOT NULL DEFAULT 0
ZER_RKA_ID_A int NOT NULL DEFAULT 0
ZER_RKA_ID_W int NOT NULL DEFAULT 0
ZER_ADR_ID int NOT NULL DEFAULT 0
ZER_Konto varchar(25) NOT NULL DEFAULT ''
ZER_GanzerTag tinyint NOT NULL DEFAULT 0
ZER_Eigensch tinyint NOT NULL DEFAULT 0
ZER_Jahr int NOT NULL DEFAULT 0
ZER_Monat int NOT NULL DEFAULT 0
ZER_ZSP_Abteilung varchar(30) NOT NULL DEFAULT ''
ZER_MWStExkl tinyint NOT NULL DEFAULT 0
ZER_StdETyp tinyint NOT NULL DEFAULT 0
ZER_ExportNr varchar(25) NOT NULL DEFAULT ''
ZER_ExportDatum datetime
ZER_ExportUSER varchar(20) NOT NULL DEFAULT ''
ZER_Verrechnen varchar(2) NOT NULL DEFAULT ''
ZER_Gesperrt tinyint NOT NULL DEFAULT 0
ZER_SperrUSER varchar(20) NOT NULL DEFAULT ''
ZER_SperrDatum datetime
ZER_RDA_ID int NOT NULL DEFAULT 0
ZER_Bezeichnung varchar(90) NOT NULL DEFAULT ''
ZER_Feiertag varchar(255) NOT NULL DEFAULT ''
ZER_ID_WEB int NOT NULL DEFAULT 0
ZER_AKT_ID int NOT NULL DEFAULT 0
ZER_SSP_ID int NOT NULL DEFAULT 0
ZER_MOP_Nr varchar(25) NOT NULL DEFAULT ''
ZER_MOP_OPKey int NOT NULL DEFAULT 0
ZER_MPR_AuftragNr int NOT NULL DEFAULT 0
ZER_MPR_LosNr int NOT NULL DEFAULT 0
ZER_MPR_Nr varchar(30) NOT NULL DEFAULT ''
Owner int NOT NULL DEFAULT 0
MobileID int NOT NULL DEFAULT 0
gesperrt integer NOT NULL DEFAULT 0
komplett integer NOT NULL DEFAULT 0
ObjektAdresse nvarchar(250) NOT NULL DEFAULT ''
ObjektAuftrag nvarchar(250) NOT NULL DEFAULT ''
ObjektWerkAuftrag nvarchar(250) NOT NULL DEFAULT ''
ObjektProjekt nvarchar(250) NOT NULL DEFAULT ''
CloudStatus integer NOT NULL DEFAULT 0
geloescht integer NOT NULL DEFAULT 0
VonIstNULL integer NOT NULL DEFAULT 0
BisIstNULL integer NOT NULL DEFAULT 0
StdIstNULL integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Z_PRAESENZZEIT", "Mandant_ID,ZPZ_ID", R"(
Mandant_ID int NOT NULL
ZPZ_ID int NOT NULL
ZPZ_LPE_ID int NOT NULL DEFAULT 0
ZPZ_Datum datetime
ZPZ_Von datetime
ZPZ_Bis datetime
ZPZ_Std datetime
ZPZ_Std100 float NOT NULL DEFAULT 0
ZPZ_Jahr int NOT NULL DEFAULT 0
ZPZ_Monat int NOT NULL DEFAULT 0
ZPZ_Tag int NOT NULL DEFAULT 0
ZPZ_ERFDAT datetime
ZPZ_ERFUSER varchar(20) NOT NULL DEFAULT ''
ZPZ_MUTDAT datetime
ZPZ_MUTUSER varchar(20) NOT NULL DEFAULT ''
SyncVersion int NOT NULL DEFAULT 0
Owner int NOT NULL DEFAULT 0
MobileID int NOT NULL DEFAULT 0
gesperrt integer NOT NULL DEFAULT 0
komplett integer NOT NULL DEFAULT 0
CloudStatus integer NOT NULL DEFAULT 0
geloescht integer NOT NULL DEFAULT 0
VonIstNULL integer NOT NULL DEFAULT 0
BisIstNULL integer NOT NULL DEFAULT 0
StdIstNULL integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_Fotos", "Mandant_ID,PIC_ID", R"(
Mandant_ID int NOT NULL
PIC_ID int NOT NULL
PIC_ObjTyp nvarchar(2) NOT NULL DEFAULT 'I'
PIC_ObjID integer NOT NULL DEFAULT 0
PIC_Bild blob
PIC_BildName nvarchar(250) NOT NULL DEFAULT ''
PIC_TimeStamp datetime
PIC_User nvarchar(20) NOT NULL DEFAULT ''
SyncVersion int NOT NULL DEFAULT 1
Owner int NOT NULL DEFAULT 0
MobileID bigint NOT NULL DEFAULT 0
PIC_ZER_ID integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_Team", "Mandant_ID,PTT_MobileID,PTT_GUID", R"(
Mandant_ID int NOT NULL
PTT_ZER_ID int NOT NULL
PTT_MobileID int NOT NULL
PTT_GUID guid NOT NULL
PTT_Inaktiv bit DEFAULT 0
PTT_ERFDAT datetime
PTT_ERFUSER varchar(20) NOT NULL DEFAULT ''
PTT_MUTDAT datetime
PTT_MUTUSER varchar(20) NOT NULL DEFAULT ''
Owner integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_TeamAktiveLPE", "Mandant_ID,PTA_LPE_ID", R"(
Mandant_ID int NOT NULL
PTA_LPE_ID int NOT NULL DEFAULT 0
)"},
    {"Lumora_PauseZER", "Mandant_ID,LPE_ID", R"(
Mandant_ID int NOT NULL
LPE_ID int NOT NULL
MobileID int NOT NULL
Zeitstempel datetime
)"},
    {"Planung", "Mandant_ID,MPL_GUID", R"(
Mandant_ID int NOT NULL DEFAULT 0
MPL_GUID guid NOT NULL
MPL_Datum datetime
MPL_OrderNr integer NOT NULL DEFAULT 0
MPL_Betreff nvarchar(250) NOT NULL DEFAULT ''
MPL_Text text NOT NULL DEFAULT ''
MPL_PRO integer NOT NULL DEFAULT 0
MPL_RKA_ID_A integer NOT NULL DEFAULT 0
MPL_RKA_ID_W integer NOT NULL DEFAULT 0
MPL_ADR_ID integer NOT NULL DEFAULT 0
MPL_MTM_GUID guid
MPL_ERFDAT datetime
MPL_ERFUSER varchar(20) NOT NULL DEFAULT ''
MPL_MUTDAT datetime
MPL_MUTUSER varchar(20) NOT NULL DEFAULT ''
Owner integer NOT NULL DEFAULT 0
gesperrt integer NOT NULL DEFAULT 0
komplett integer NOT NULL DEFAULT 0
erledigt integer NOT NULL DEFAULT 0
geloescht integer NOT NULL DEFAULT 0
ObjektAdresse nvarchar(250) NOT NULL DEFAULT ''
ObjektAuftrag nvarchar(250) NOT NULL DEFAULT ''
ObjektWerkAuftrag nvarchar(250) NOT NULL DEFAULT ''
ObjektProjekt nvarchar(250) NOT NULL DEFAULT ''
MPL_KA nvarchar(20) NOT NULL DEFAULT ''
MPL_Erledigt integer NOT NULL DEFAULT 0
MPL_von datetime
MPL_bis datetime
MPL_TER_Backcolor varchar(20) DEFAULT ''
FlagGeloescht bit DEFAULT 0
)"},
    {"Planung_Team", "Mandant_ID,MTM_GUID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
MTM_GUID guid NOT NULL
MTM_Bezeichnung nvarchar(100) NOT NULL DEFAULT Team
MTM_Farbe integer NOT NULL DEFAULT 0
MTM_ERFDAT datetime
MTM_ERFUSER varchar(20) NOT NULL DEFAULT ''
MTM_MUTDAT datetime
MTM_MUTUSER varchar(20) NOT NULL DEFAULT ''
Owner integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Planung_TeamPersonal", "Mandant_ID,MTP_GUID_Team,MTP_LPE_ID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
MTP_GUID_Team guid NOT NULL
MTP_LPE_ID integer NOT NULL DEFAULT 0
MTP_Leader integer NOT NULL DEFAULT 0
MTP_ERFDAT datetime
MTP_ERFUSER varchar(20) NOT NULL DEFAULT ''
MTP_MUTDAT datetime
MTP_MUTUSER varchar(20) NOT NULL DEFAULT ''
Owner integer NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
    {"Planung_AktiveTeams", "Mandant_ID,MTM_GUID", R"(
Mandant_ID integer NOT NULL DEFAULT 0
MTM_GUID guid NOT NULL
)"},
    {"Planung_TeamErlaubnis", "Mandant_ID,PTE_UserID,PTE_TeamGuid", R"(
Mandant_ID integer NOT NULL
PTE_UserID integer NOT NULL
PTE_TeamGuid guid NOT NULL
FlagGeloescht bit DEFAULT 0
)"},
    {"Lumora_Rapport", "Mandant_ID,RAP_Guid", R"(
Mandant_ID int NOT NULL
RAP_Guid GUID NOT NULL
RAP_TimeStamp datetime
RAP_Name varchar(200) NOT NULL DEFAULT ''
RAP_Bemerkung varchar(500) NOT NULL DEFAULT ''
RAP_Unterschrift blob
RAP_IstUnterschrieben bit DEFAULT 0
RAP_ERFDAT datetime
RAP_ERFUSER varchar(20) NOT NULL DEFAULT ''
RAP_MUTDAT datetime
RAP_MUTUSER varchar(20) NOT NULL DEFAULT ''
RAP_PRO_ID int NOT NULL DEFAULT 0
RAP_RKA_ID_A int NOT NULL DEFAULT 0
RAP_RKA_ID_W int NOT NULL DEFAULT 0
RAP_ADR_ID int NOT NULL DEFAULT 0
Owner int NOT NULL DEFAULT 0
gesperrt int NOT NULL DEFAULT 0
komplett int NOT NULL DEFAULT 0
FlagGeloescht bit DEFAULT 0
)"},
};

TabellenForm ausDefinition(const Definition& d) {
    TabellenForm form;
    form.name = QString::fromUtf8(d.name);
    form.schluessel = QString::fromUtf8(d.schluessel).split(u',', Qt::SkipEmptyParts);
    const QStringList zeilen = QString::fromUtf8(d.spalten).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& zeile : zeilen) {
        const QString definition = zeile.trimmed();
        if (!definition.isEmpty())
            form.spalten.append(definition);
    }
    return form;
}

const Definition* findeDefinition(const QString& name) {
    for (const Definition& d : aktuelleDefinitionen) {
        if (name == QLatin1String(d.name))
            return &d;
    }
    return nullptr;
}

// Tables whose layout repeats another one under a new name.
TabellenForm ableitung(const QString& name) {
    if (name == u"R_KWERKAUFTRAG")
        return aktuelleTabelle(QStringLiteral("R_KAUFTRAG")).umbenannt(name);
    if (name == u"Z_ERFASSUNG_TEMP")
        return aktuelleTabelle(QStringLiteral("Z_ERFASSUNG")).umbenannt(name);
    if (name == u"Z_PRAESENZZEIT_TEMP")
        return aktuelleTabelle(QStringLiteral("Z_PRAESENZZEIT")).umbenannt(name);
    if (name == u"Lumora_Rapport_ZER")
        return aktuelleTabelle(QStringLiteral("Z_ERFASSUNG"))
            .umbenannt(name)
            .mitSpalte(QStringLiteral("RAP_GUID GUID"));
    if (name == u"Lumora_PauseZPZ")
        return aktuelleTabelle(QStringLiteral("Lumora_PauseZER")).umbenannt(name);
    if (name == u"Lumora_TeamZPZ")
        return aktuelleTabelle(QStringLiteral("Lumora_Team"))
            .umbenannt(name)
            .ersetzt(QStringLiteral("PTT_ZER_ID"), QStringLiteral("PTT_ZPZ_ID int NOT NULL"));
    return {};
}

} // namespace

QString spaltenNameAus(const QString& definition) {
    QString name = definition.section(u' ', 0, 0);
    if (name.startsWith(u'"') && name.endsWith(u'"') && name.size() >= 2)
        name = name.mid(1, name.size() - 2);
    return name;
}

QString TabellenForm::createSql(bool wennNichtVorhanden) const {
    QString sql =
        (wennNichtVorhanden ? QStringLiteral("CREATE TABLE IF NOT EXISTS ") : QStringLiteral("CREATE TABLE ")) + name +
        QStringLiteral(" (") + spalten.join(QStringLiteral(", "));
    if (!schluessel.isEmpty())
        sql += QStringLiteral(", PRIMARY KEY (") + schluessel.join(QStringLiteral(", ")) + u')';
    return sql + u')';
}

QStringList TabellenForm::spaltenNamen() const {
    QStringList namen;
    for (const QString& definition : spalten)
        namen.append(spaltenNameAus(definition));
    return namen;
}

TabellenForm TabellenForm::ohne(const QStringList& namen) const {
    TabellenForm form = *this;
    form.spalten.clear();
    for (const QString& definition : spalten) {
        if (!namen.contains(spaltenNameAus(definition)))
            form.spalten.append(definition);
    }
    return form;
}

TabellenForm TabellenForm::mitSpalte(const QString& definition) const {
    TabellenForm form = *this;
    form.spalten.append(definition);
    return form;
}

TabellenForm TabellenForm::ersetzt(const QString& spaltenName, const QString& definition) const {
    TabellenForm form = *this;
    for (QString& alt : form.spalten) {
        if (spaltenNameAus(alt) == spaltenName)
            alt = definition;
    }
    return form;
}

TabellenForm TabellenForm::mitSchluessel(const QStringList& neuerSchluessel) const {
    TabellenForm form = *this;
    form.schluessel = neuerSchluessel;
    return form;
}

TabellenForm TabellenForm::umbenannt(const QString& neuerName) const {
    TabellenForm form = *this;
    form.name = neuerName;
    return form;
}

QStringList aktuelleTabellenNamen() {
    QStringList namen;
    for (const Definition& d : aktuelleDefinitionen)
        namen.append(QString::fromUtf8(d.name));
    namen << QStringLiteral("R_KWERKAUFTRAG") << QStringLiteral("Z_ERFASSUNG_TEMP")
          << QStringLiteral("Z_PRAESENZZEIT_TEMP") << QStringLiteral("Lumora_Rapport_ZER")
          << QStringLiteral("Lumora_PauseZPZ") << QStringLiteral("Lumora_TeamZPZ");
    return namen;
}

TabellenForm aktuelleTabelle(const QString& name) {
    if (const Definition* d = findeDefinition(name))
        return ausDefinition(*d);
    return ableitung(name);
}

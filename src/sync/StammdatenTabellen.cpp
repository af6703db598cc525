#include "StammdatenTabellen.h"

namespace {

QStringList liste(const char* text)
{
    QStringList result;
    for (const QString& s : QString::fromLatin1(text).split(u',', Qt::SkipEmptyParts))
        result << s.trimmed();
    return result;
}

// Orders and work orders share their columns.
const char* const AuftragSpalten = "Mandant_ID, RKA_ID, RKA_ADR_ID, RKA_ExtAufNr, RKA_PRO, RKA_Bezeichnung, RKA_Status, "
                                   "RKA_StatusText, RKA_Datum1, RKA_Datum2, RKA_RechnungOrig, RKA_KS, FakturaCode, "
                                   "FlagGeloescht";
const char* const AuftragVerschluesselt = "RKA_ExtAufNr, RKA_Bezeichnung, RKA_Status, RKA_StatusText, RKA_KS, FakturaCode";
const char* const TeamSpaltenEnde = "PTT_MobileID, PTT_GUID, PTT_Inaktiv, PTT_ERFDAT, PTT_ERFUSER, PTT_MUTDAT, "
                                    "PTT_MUTUSER, Owner, FlagGeloescht";

TStammdatenTabelle tabelle(const char* code, const char* name, const char* stempel, const QString& spalten,
                           const char* verschluesselt)
{
    return {QString::fromLatin1(code), QString::fromLatin1(name), QString::fromLatin1(stempel),
            liste(spalten.toLatin1().constData()), liste(verschluesselt)};
}

QString s(const char* text) { return QString::fromLatin1(text); }

QString materialPreisSpalten()
{
    QString result = s("Mandant_ID, MAT_ID, MAT_AktiveWaehrung, MAT_AktuellerEP, MAT_AktuellerEP_EURO, "
                       "MAT_VPKalkuliert, MAT_VPKalkuliert_EURO");
    for (int i = 1; i <= 9; ++i)
        result += QStringLiteral(", MAT_VP%1").arg(i);
    result += s(", MAT_Aktionspreis");
    for (int i = 1; i <= 9; ++i)
        result += QStringLiteral(", MAT_VP%1_EURO").arg(i);
    return result + s(", MAT_Aktionspreis_EURO, MAT_MAF_NR, FlagGeloescht");
}

} // namespace

QString TStammdatenTabelle::serverSpalteFuer(const QString& spalte) const
{
    if (spalte == u"LPE_Kuerzel")
        return QStringLiteral("LPE_Kürzel");
    return spalte;
}

bool TStammdatenTabelle::istTeamTabelle() const { return code == u"ZPT" || code == u"ZET"; }

QString TStammdatenTabelle::insertSQL() const
{
    QStringList werte;
    for (const QString& spalte : spalten)
        werte << (istTeamTabelle() && spalte == u"Owner" ? QStringLiteral("0") : u':' + spalte);
    return QStringLiteral(" INSERT OR REPLACE INTO ") + tabelle + QStringLiteral(" (") +
           spalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + werte.join(QStringLiteral(", ")) +
           QStringLiteral(") ");
}

const std::vector<TStammdatenTabelle>& StammdatenTabellen()
{
    static const std::vector<TStammdatenTabelle> tabellen{
        tabelle("A_A", "A_ADRESSEN", "A_Adressen",
                s("Mandant_ID, ADR_ID, ADR_Nr, ADR_Sortierung, ADR_Anrede, ADR_Name, ADR_Vorname, ADR_Zusatz, "
                  "ADR_Strasse, ADR_Postfach, ADR_Land, ADR_PLZ, ADR_Ort, ADR_Kanton, ADR_Tel1, ADR_FAX, ADR_Tel2, "
                  "ADR_TEL3BESCHR, ADR_TEL3, ADR_TEL4BESCHR, ADR_TEL4, ADR_Email, FlagGeloescht"),
                "ADR_Sortierung, ADR_Anrede, ADR_Name, ADR_Vorname, ADR_Zusatz, ADR_Strasse, ADR_Postfach, ADR_Land, "
                "ADR_PLZ, ADR_Ort, ADR_Kanton, ADR_Tel1, ADR_FAX, ADR_Tel2, ADR_TEL3BESCHR, ADR_TEL3, ADR_TEL4BESCHR, "
                "ADR_TEL4, ADR_Email"),
        tabelle("A_P", "A_PERSONAL", "A_Personal",
                s("Mandant_ID, LPE_ID, LPE_Nr, LPE_Suchbez, LPE_Kuerzel, LPE_KostenStd, LPE_VerrechnenStd, "
                  "LPE_Kennwort, FlagGeloescht"),
                "LPE_Suchbez, LPE_Kuerzel, LPE_Kennwort"),
        tabelle("U_G", "Lumora_Gruppen", "Lumora_Gruppen",
                s("Mandant_ID, BER_ID, BER_Bezeichnung, BER_Praesenzzeit, BER_Typ, BER_Art, BER_KS, BER_Fakt, "
                  "BER_ZPZ_startstop, BER_ZER_startstop, BER_DatumMutieren, BER_Status4Mutieren, BER_TageVeraenderbar, "
                  "BER_InZukunftErlauben, BER_Buchungssperre, BER_ZPZ_automatik, BER_Runden, BER_Planung, "
                  "BER_Teamerfassung, BER_ZERnurAnsicht, BER_Mitternacht, BER_TeamPraesenzzeit, "
                  "BER_MitternachtStunden, BER_TeamLight, FlagGeloescht"),
                "BER_Bezeichnung"),
        tabelle("U_K", "Lumora_GruppenKA", "Lumora_GruppenKA", s("Mandant_ID, GKA_ID, GKA_BER_ID, GKA_KA, FlagGeloescht"),
                "GKA_KA"),
        tabelle("U_S", "Lumora_GruppenKS", "Lumora_GruppenKS", s("Mandant_ID, GKS_ID, GKS_BER_ID, GKS_KS, FlagGeloescht"),
                "GKS_KS"),
        tabelle("U_T", "Lumora_GruppenTeam", "Lumora_GruppenTeam",
                s("Mandant_ID, GTE_ID, GTE_BER_ID, GTE_LPE, FlagGeloescht"), ""),
        tabelle("U_U", "Lumora_User", "Lumora_User",
                s("Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_UserPW, USR_BER_ID, USR_UserFD, FlagGeloescht"),
                "USR_UserName, USR_Kurz, USR_UserPW"),
        tabelle("P_P", "P_PROJEKT", "P_PROJEKT",
                s("Mandant_ID, PRO_ID, PRO_Nr, PRO_Bezeichnung, PRO_Start, PRO_Ende, PRO_Beschreibung, PRO_Erledigt, "
                  "PRO_KS, FakturaCode, PRO_ADR1, PRO_ADR2, PRO_ADRRechnung, FilterZahl1, FlagGeloescht"),
                "PRO_Nr, PRO_Bezeichnung, PRO_Beschreibung, PRO_KS, FakturaCode"),
        tabelle("P_1", "P_PROJEKTPHASEN", "P_PROJEKTPHASEN",
                s("Mandant_ID, PPH_ID, PPH_PRO_ID, PPH_PRO_ID_VL, PPH_Nr, PPH_Bezeichnung, PPH_Memo, PPH_Start, "
                  "PPH_Ende, PPH_Inaktiv, FlagGeloescht"),
                "PPH_Nr, PPH_Bezeichnung"),
        tabelle("P_2", "P_PROJEKTPHASEN_DETAIL", "P_PROJEKTPHASEN_DETAIL",
                s("Mandant_ID, PPD_ID, PPD_PPH_ID, PPD_ZKA_Nr, FlagGeloescht"), "PPD_ZKA_Nr"),
        tabelle("R_A", "R_KAUFTRAG", "R_KAUFTRAG", s(AuftragSpalten), AuftragVerschluesselt),
        tabelle("R_W", "R_KWERKAUFTRAG", "R_KWERKAUFTRAG", s(AuftragSpalten), AuftragVerschluesselt),
        tabelle("Z_KA", "Z_KOSTENART", "Z_KOSTENART",
                s("Mandant_ID, ZKA_Nr, ZKA_Bezeichnung, ZKA_TYPE, ZKA_StundenFaktor, ZKA_Leistung, ZKA_Spesen, "
                  "ZKA_KmAnsatz, ZKA_MWSTC, ZKA_MWSTExcl, ZKA_Konto, ZKA_Eigensch, ZKA_KS, ZKA_StdETyp, ZKA_Lohnart, "
                  "ZKA_LohnartStd, ZKA_Verrechnen, ZKA_Inaktiv, FlagGeloescht"),
                "ZKA_Bezeichnung, ZKA_Konto, ZKA_KS, ZKA_Lohnart, ZKA_LohnartStd, ZKA_Verrechnen"),
        tabelle("Z_KS", "Z_KOSTENSTELLE", "Z_KOSTENSTELLE", s("Mandant_ID, ZKS_Nr, ZKS_Bezeichnung, FlagGeloescht"),
                "ZKS_Bezeichnung"),
        tabelle("PFI", "Lumora_Filter", "Lumora_Filter",
                s("Mandant_ID, PFI_ID, PFI_BER_ID, PFI_Tabelle, PFI_Name, PFI_SQL, PFI_Standard, FlagGeloescht"),
                "PFI_Tabelle, PFI_Name, PFI_SQL"),
        tabelle("ZPT", "Lumora_TeamZPZ", "Lumora_TeamZPZ", s("Mandant_ID, PTT_ZPZ_ID, ") + s(TeamSpaltenEnde),
                "PTT_ERFUSER, PTT_MUTUSER"),
        tabelle("ZET", "Lumora_Team", "Lumora_Team", s("Mandant_ID, PTT_ZER_ID, ") + s(TeamSpaltenEnde),
                "PTT_ERFUSER, PTT_MUTUSER"),
    };
    return tabellen;
}

const TStammdatenTabelle& MaterialTabelle()
{
    static const TStammdatenTabelle t =
        tabelle("", "M_Material", "M_Material",
                s("Mandant_ID, MAT_ID, MAT_SP, MAT_Nr, MAT_AlternativNr, MAT_EANCODE, MAT_BerCode, MAT_Suchbezeichnung, "
                  "MAT_Gruppe, MAT_Mengeneinheit, MAT_Preiseinheit, MAT_Bezeichnung, MTE_ZusatzText, FlagGeloescht"),
                "MAT_Nr, MAT_AlternativNr, MAT_EANCODE, MAT_BerCode, MAT_Suchbezeichnung, MAT_Gruppe, "
                "MAT_Mengeneinheit, MAT_Bezeichnung, MTE_ZusatzText");
    return t;
}

const TStammdatenTabelle& MaterialPreiseTabelle()
{
    static const TStammdatenTabelle t = tabelle("", "M_Materialpreise", "M_MaterialPreise", materialPreisSpalten(), "");
    return t;
}

const QStringList& SynchronisierteTabellen()
{
    static const QStringList tabellen = liste(
        "A_Adressen, A_Personal, M_Materialpreise, M_Material, P_Projekt, P_Projektphasen, P_PROJEKTPHASEN_DETAIL, "
        "Planung, Planung_Team, Planung_TeamPersonal, Lumora_Fotos, Lumora_Gruppen, Lumora_GruppenKA, "
        "Lumora_GruppenKS, Lumora_GruppenTeam, Lumora_User, R_KAUFTRAG, R_KWERKAUFTRAG, Z_ERFASSUNG, Z_KOSTENART, "
        "Z_KOSTENSTELLE, Z_PRAESENZZEIT, Lumora_Filter, Lumora_Team, Lumora_TeamZPZ");
    return tabellen;
}

#include "ZeitenSpalten.h"

namespace {
QStringList liste(const char* text)
{
    QStringList result;
    for (const QString& s : QString::fromLatin1(text).split(u',', Qt::SkipEmptyParts))
        result << s.trimmed();
    return result;
}
} // namespace

namespace ZeitenSpalten {

const QStringList& ErfassungDaten()
{
    static const QStringList s = liste(
        "ZER_LPE, ZER_PRO, ZER_ZKA, ZER_ZKS, ZER_Type, ZER_LA, ZER_Datum, ZER_Tag, ZER_Von, ZER_Bis, ZER_Std, "
        "ZER_Std100, ZER_Text, ZER_Km, ZER_Ansatz, ZER_Betrag, ZER_RechnungsBetrag, ZER_MWSTC, ZER_StundenFaktor, "
        "ZER_Leistung, ZER_KostenStd, ZER_Verrechnet, ZER_VerrechneterBetrag, ZER_ERFDAT, ZER_ERFUSER, ZER_MUTDAT, "
        "ZER_MUTUSER, ZER_MAT_ID, ZER_RKA_ID_A, ZER_RKA_ID_W, ZER_ADR_ID, ZER_Konto, ZER_GanzerTag, ZER_Eigensch, "
        "ZER_Jahr, ZER_Monat, ZER_ZSP_Abteilung, ZER_MWStExkl, ZER_StdETyp, ZER_ExportNr, ZER_ExportDatum, "
        "ZER_ExportUSER, ZER_Verrechnen, ZER_Gesperrt, ZER_SperrUSER, ZER_SperrDatum, ZER_RDA_ID, ZER_Bezeichnung, "
        "ZER_Feiertag, ZER_ID_WEB, ZER_AKT_ID, ZER_SSP_ID, ZER_MOP_Nr, ZER_MOP_OPKey, ZER_MPR_AuftragNr, "
        "ZER_MPR_LosNr, ZER_MPR_Nr");
    return s;
}

const QStringList& ErfassungVerschluesselt()
{
    static const QStringList s =
        liste("ZER_ZKA, ZER_ZKS, ZER_LA, ZER_Tag, ZER_Text, ZER_ERFUSER, ZER_MUTUSER, ZER_Konto, ZER_ZSP_Abteilung, "
              "ZER_ExportNr, ZER_ExportUSER, ZER_Verrechnen, ZER_SperrUSER, ZER_Bezeichnung, ZER_Feiertag, "
              "ZER_MOP_Nr, ZER_MPR_Nr");
    return s;
}

const QStringList& ErfassungObjektTexte()
{
    static const QStringList s = liste("ObjektAdresse, ObjektAuftrag, ObjektWerkAuftrag, ObjektProjekt");
    return s;
}

const QStringList& PraesenzDaten()
{
    static const QStringList s = liste("ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Bis, ZPZ_Std, ZPZ_Std100, ZPZ_Jahr, "
                                       "ZPZ_Monat, ZPZ_Tag, ZPZ_ERFDAT, ZPZ_ERFUSER, ZPZ_MUTDAT, ZPZ_MUTUSER");
    return s;
}

const QStringList& PraesenzVerschluesselt()
{
    static const QStringList s = liste("ZPZ_ERFUSER, ZPZ_MUTUSER");
    return s;
}

const QStringList& TeamVerschluesselt()
{
    static const QStringList s = liste("PTT_ERFUSER, PTT_MUTUSER");
    return s;
}

} // namespace ZeitenSpalten

// Activity entries: creation, the field writes of the entry editor, completion, locking and deletion.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "recording/recording_sql.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaengeBezeichnung = 90;

} // namespace

int Tdm::ZER_Neu(TDateTime Zeitstempel) {
    const int gewuenscht = NeueMobileID();
    if (AktuelleLPE_ID <= 0)
        return -1;
    const int nummer = freieMobileID(*this, u"Z_Erfassung"_s, u"ZER_ID"_s, gewuenscht);
    if (nummer == 0)
        return 0;

    const TDateTime jetzt = Clock::now();
    const TDateTime von = ZeitRunden(Zeitstempel, 0, AktuelleLPE_ID).timePart();
    int jahr = 0, monat = 0, tag = 0;
    Zeitstempel.decodeDate(jahr, monat, tag);

    auto q = GetQueryInstance();
    q->setSQL(u" Insert into  Z_ERFASSUNG  (Mandant_ID, ZER_ID, ZER_LPE, ZER_Type, ZER_Datum, ZER_von, ZER_Monat, "
              u"ZER_Jahr, ZER_ID_WEB,  ZER_ERFDAT, ZER_ERFUSER, ZER_MUTDAT, ZER_MUTUSER, MobileID, Owner, komplett, "
              u"VonIstNull, BisIstNULL, StdIstNULL, ZER_Verrechnen )  VALUES  (:Mandant_ID, :ZER_ID, :ZER_LPE, "
              u":ZER_Type, :ZER_Datum, :ZER_von, :ZER_Monat, :ZER_Jahr, :ZER_ID_WEB,   :ZER_ERFDAT, :ZER_ERFUSER,  "
              u":ZER_MUTDAT, :ZER_MUTUSER, :MobileID, 1 ,1,0,1,1,'V' ) "_s);
    q->ParamByName(u"Mandant_ID"_s).setAsInteger(FMandantID);
    q->ParamByName(u"ZER_ID"_s).setAsInteger(nummer);
    q->ParamByName(u"ZER_LPE"_s).setAsInteger(AktuelleLPE_ID);
    q->ParamByName(u"ZER_Type"_s).setAsInteger(1);
    q->ParamByName(u"ZER_Datum"_s).setAsDateTime(Zeitstempel.datePart());
    q->ParamByName(u"ZER_von"_s).setAsDateTime(von);
    q->ParamByName(u"ZER_Monat"_s).setAsInteger(monat);
    q->ParamByName(u"ZER_Jahr"_s).setAsInteger(jahr);
    q->ParamByName(u"ZER_ID_WEB"_s).setAsInteger(nummer);
    q->ParamByName(u"ZER_ERFDAT"_s).setAsDateTime(jetzt);
    q->ParamByName(u"ZER_ERFUSER"_s).setAsString(mutUser());
    q->ParamByName(u"ZER_MUTDAT"_s).setAsDateTime(jetzt);
    q->ParamByName(u"ZER_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID"_s).setAsInteger(nummer);
    return q->ExecSQL() ? nummer : 0;
}

void Tdm::ZER_speichernDatum(int MobileID, TDateTime datum) {
    int jahr = 0, monat = 0, tag = 0;
    datum.decodeDate(jahr, monat, tag);
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Datum = :ZER_Datum,  ZER_Tag = '', ZER_Monat = :ZER_Monat , "
                     u"ZER_Jahr = :ZER_Jahr, ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Datum"_s, sqlDatum(datum.datePart())}, {u"ZER_Monat"_s, monat}, {u"ZER_Jahr"_s, jahr}});
}

void Tdm::ZER_speichernZeiten(int MobileID, TDateTime von, TDateTime bis, TDateTime dauer, double std100,
                              bool nurVonZeit, bool VonIstNULL) {
    if (nurVonZeit) {
        aendereDatensatz(*this, u"ZER", MobileID,
                         u" update Z_Erfassung  Set  ZER_Von = :ZER_Von, ZER_MUTDAT = :ZER_MUTDAT, "
                         u"ZER_MUTUSER = :ZER_MUTUSER, VonIstNULL = 0  "_s,
                         {{u"ZER_Von"_s, sqlDatum(von)}});
        return;
    }
    const QString v = (von.value() == 0.0 && VonIstNULL) ? u"1"_s : u"0"_s;
    const QString b = bis.value() == 0.0 ? u"1"_s : u"0"_s;
    const QString s = dauer.value() == 0.0 ? u"1"_s : u"0"_s;
    // An end of one day or more is midnight or later: keep it past the day so that 24:00 stays 24:00.
    const TDateTime gespeichertesBis = bis.value() >= 1.0 ? TDateTime(bis.timePart().value() + 1.0) : bis;
    aendereDatensatz(
        *this, u"ZER", MobileID,
        u" update Z_Erfassung  Set  ZER_Von = :ZER_Von, ZER_Bis = :ZER_Bis, ZER_Std = :ZER_Std, "
        u"ZER_Std100 = :ZER_Std100, ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , VonIstNULL = "_s +
            v + u", BisIstNULL = "_s + b + u", StdIstNULL = "_s + s + u" "_s + u" "_s,
        {{u"ZER_Von"_s, sqlDatum(von)},
         {u"ZER_Bis"_s, sqlDatum(gespeichertesBis)},
         {u"ZER_Std"_s, sqlDatum(dauer)},
         {u"ZER_Std100"_s, std100}});
}

void Tdm::ZER_speichernType(int MobileID, int ZerType) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Type = :ZER_Type, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Type"_s, ZerType}});
}

void Tdm::ZER_speichernKA(int MobileID, const QString& KA) {
    int mwstExkl = 1;
    int mwstCode = 1;
    QString konto;
    int stdETyp = 0;
    int art = 0;
    {
        auto q = GetQueryInstance();
        q->setSQL(u" select * from Z_Kostenart  where ZKA_Nr = :ka and Mandant_ID = "_s + mandantSql(*this));
        q->ParamByName(u"ka"_s).setAsString(KA);
        if (q->Open() && !q->Eof()) {
            mwstExkl = q->FieldByName(u"ZKA_MWSTexcl"_s).AsInteger();
            mwstCode = q->FieldByName(u"ZKA_MWSTC"_s).AsInteger();
            konto = q->FieldByName(u"ZKA_Konto"_s).AsString();
            stdETyp = q->FieldByName(u"ZKA_StdETyp"_s).AsInteger();
            art = q->FieldByName(u"ZKA_Type"_s).AsInteger();
        }
    }
    if (art == 3)
        mwstExkl = 1;
    aendereDatensatz(
        *this, u"ZER", MobileID,
        u" update Z_Erfassung  Set  ZER_ZKA = :ZER_ZKA, ZER_MWStExkl = :ZER_MWStExkl,  ZER_Konto = :ZER_Konto, "
        u"ZER_MWSTC = :ZER_MWSTC, ZER_StdETyp = :ZER_StdETyp,  ZER_MUTDAT = :ZER_MUTDAT, "
        u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
        {{u"ZER_ZKA"_s, KA},
         {u"ZER_MWStExkl"_s, mwstExkl},
         {u"ZER_Konto"_s, konto},
         {u"ZER_MWSTC"_s, mwstCode},
         {u"ZER_StdETyp"_s, stdETyp}});
}

void Tdm::ZER_speichernKS(int MobileID, const QString& KS) {
    aendereDatensatz(
        *this, u"ZER", MobileID,
        u" update Z_Erfassung  Set  ZER_ZKS = :ZER_ZKS, ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  "_s,
        {{u"ZER_ZKS"_s, KS}});
}

void Tdm::ZER_speichernFAKT(int MobileID, const QString& fakt) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Verrechnen = :ZER_Verrechnen, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Verrechnen"_s, fakt}});
}

void Tdm::ZER_speichernBeleg(int MobileID, TObjektTyp Art, int ID) {
    QString anzeigeSql;
    QString updateSql;
    switch (Art) {
    case TObjektTyp::Auftrag:
        anzeigeSql = u" Select RKA_ExtAufNr || ' - ' || RKA_Bezeichnung as Objekt from R_Kauftrag  Where RKA_ID = :id "
                     u"and Mandant_ID = "_s;
        updateSql = u" update Z_Erfassung  Set  ZER_PRO = 0, ZER_RKA_ID_A = :ID, ZER_RKA_ID_W = 0, ZER_ADR_ID = 0, "
                    u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , ObjektAdresse = '' , "
                    u"ObjektAuftrag = :objekt , ObjektWerkAuftrag = '', ObjektProjekt = ''  "_s;
        break;
    case TObjektTyp::Werkauftrag:
        anzeigeSql = u" Select RKA_ExtAufNr || ' - ' || RKA_Bezeichnung as Objekt from R_KWerkAuftrag  Where "
                     u"RKA_ID = :id and Mandant_ID = "_s;
        updateSql = u" update Z_Erfassung  Set  ZER_PRO = 0, ZER_RKA_ID_A = 0, ZER_RKA_ID_W = :ID, ZER_ADR_ID = 0, "
                    u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , ObjektAdresse = '', "
                    u"ObjektAuftrag = '', ObjektWerkAuftrag = :objekt, ObjektProjekt = ''  "_s;
        break;
    case TObjektTyp::Projekt:
        anzeigeSql = u" Select Pro_NR || ' - ' || PRO_Bezeichnung as Objekt from P_Projekt  Where PRO_ID = :id and "
                     u"Mandant_ID = "_s;
        updateSql = u" update Z_Erfassung  Set  ZER_PRO = :ID, ZER_RKA_ID_A = 0, ZER_RKA_ID_W = 0, ZER_ADR_ID = 0, "
                    u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , ObjektAdresse = '', "
                    u"ObjektAuftrag = '', ObjektWerkAuftrag = '', ObjektProjekt = :objekt  "_s;
        break;
    case TObjektTyp::Adresse:
        anzeigeSql = u" Select CAST(A_ADRESSEN.ADR_Nr AS VARCHAR) || ' - ' || adr_sortierung as Objekt from "
                     u"A_Adressen  Where ADR_ID = :id and Mandant_ID = "_s;
        updateSql = u" update Z_Erfassung  Set  ZER_PRO = 0, ZER_RKA_ID_A = 0, ZER_RKA_ID_W = 0, ZER_ADR_ID = :ID, "
                    u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , ObjektAdresse = :objekt, "
                    u"ObjektAuftrag = '', ObjektWerkAuftrag = '', ObjektProjekt = ''  "_s;
        break;
    case TObjektTyp::Intern:
        aendereDatensatz(*this, u"ZER", MobileID,
                         u" update Z_Erfassung  Set  ZER_PRO = 0, ZER_RKA_ID_A = 0, ZER_RKA_ID_W = 0, ZER_ADR_ID = 0, "
                         u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  , ObjektAdresse = '', "
                         u"ObjektAuftrag = '', ObjektWerkAuftrag = '', ObjektProjekt = ''  "_s,
                         {});
        return;
    default:
        return;
    }

    QString objekt;
    {
        auto q = GetQueryInstance();
        q->setSQL(anzeigeSql + mandantSql(*this));
        q->ParamByName(u"id"_s).setAsInteger(ID);
        if (q->Open() && !q->Eof())
            objekt = q->Fields(0).AsString();
    }
    // An object that cannot be shown is not booked: the entry keeps the object it had.
    if (objekt.isEmpty())
        return;
    aendereDatensatz(*this, u"ZER", MobileID, updateSql, {{u"ID"_s, ID}, {u"objekt"_s, objekt}});
}

void Tdm::ZER_SetzeIntern(int MobileID) {
    auto q = GetQueryInstance();
    q->setSQL(u" Update Z_Erfassung  SET ZER_PRO = 0, ZER_RKA_ID_A = 0, ZER_RKA_ID_W = 0, ZER_ADR_ID = 0  Where "
              u"MobileID = :MobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
    q->ExecSQL();
}

void Tdm::ZER_speichernBez(int MobileID, const QString& Bezeichnung) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Bezeichnung = :ZER_Bezeichnung, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Bezeichnung"_s, Bezeichnung.left(kLaengeBezeichnung)}});
}

void Tdm::ZER_speichernText(int MobileID, const QString& Zusatztext) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Text = :ZER_Text, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Text"_s, Zusatztext}});
}

void Tdm::ZER_speichernAnzahl(int MobileID, double anzahl) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Std100 = :ZER_Std100, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Std100"_s, anzahl}});
}

void Tdm::ZER_speichernKM(int MobileID, int km) {
    aendereDatensatz(
        *this, u"ZER", MobileID,
        u" update Z_Erfassung  Set  ZER_Km = :ZER_Km, ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER, "
        u"VonIstNull = 1, BisIstNULL = 1, StdIstNULL = 1 "_s,
        {{u"ZER_Km"_s, km}});
}

void Tdm::ZER_speichernMaterial(int MobileID, int MatID) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_MAT_ID = :ZER_MAT_ID, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER, VonIstNull = 1, BisIstNULL = 1, StdIstNULL = 0  "_s,
                     {{u"ZER_MAT_ID"_s, MatID}});
}

void Tdm::ZER_speichernZerLeistung(int MobileID, int MatID) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Leistung = :ZER_Leistung, ZER_MUTDAT = :ZER_MUTDAT, "
                     u"ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"ZER_Leistung"_s, MatID}});
}

void Tdm::ZER_speichernIstKomplett(int MobileID, bool komplett) {
    aendereDatensatz(*this, u"ZER", MobileID,
                     u" update Z_Erfassung  Set  ZER_Tag = '', CloudStatus=0, komplett = :komplett, "
                     u"ZER_MUTDAT = :ZER_MUTDAT, ZER_MUTUSER = :ZER_MUTUSER  "_s,
                     {{u"komplett"_s, komplett ? 0 : 1}});
}

bool Tdm::ZER_gibIstKomplett(int MobileID) {
    auto q = GetQueryInstance();
    q->setSQL(u" select komplett from z_erfassung  where mobileid = :id and Mandant_ID = "_s + mandantSql(*this));
    q->ParamByName(u"id"_s).setAsInteger(MobileID);
    if (!q->Open() || q->Eof())
        return false;
    return q->FieldByName(u"komplett"_s).AsInteger() == 0;
}

void Tdm::ZER_SetzeSperre(int MobileID, bool sperren) {
    auto q = GetQueryInstance();
    q->setSQL(u" update Z_Erfassung  Set Owner = 1, gesperrt = :gesperrt , ZER_MUTDAT = :ZER_MUTDAT , "
              u"ZER_MUTUSER = :ZER_MUTUSER  WHERE MobileID = :MobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"gesperrt"_s).setAsInteger(sperren ? 1 : 0);
    q->ParamByName(u"ZER_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"ZER_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
    q->ExecSQL();
}

void Tdm::ZER_TauscheLPEID(int MobileID, int NeueLPEID) {
    auto q = GetQueryInstance();
    q->setSQL(u" Update Z_Erfassung  SET ZER_LPE = :ZER_LPE  where mobileid = :mobileid and ZER_LPE <> :NeueLPEID "
              u"and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"ZER_LPE"_s).setAsInteger(NeueLPEID);
    q->ParamByName(u"mobileid"_s).setAsInteger(MobileID);
    q->ParamByName(u"NeueLPEID"_s).setAsInteger(NeueLPEID);
    q->ExecSQL();
}

bool Tdm::ZER_LoescheDatensatz(int MobileID) {
    auto q = GetQueryInstance();
    q->setSQL(u" update Z_Erfassung  SET   geloescht = 1 , gesperrt = 0 , komplett = 0 , owner = 1 , "
              u"ZER_MUTDAT = :ZER_MUTDAT , ZER_MUTUSER = :ZER_MUTUSER  where mobileid = :mobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"ZER_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"ZER_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"mobileID"_s).setAsInteger(MobileID);
    return q->ExecSQL();
}

double Tdm::ZER_GibStundenZuTag(TDateTime datum, int LPEID) {
    auto q = GetQueryInstance();
    q->setSQL(u" Select sum(Zer_std100) as std from Z_Erfassung  where Zer_datum = :datum and zer_lpe = :lpe and "
              u"zer_type <= 3 and geloescht = 0 and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"datum"_s).setAsDateTime(datum.datePart());
    q->ParamByName(u"lpe"_s).setAsInteger(LPEID);
    if (!q->Open() || q->Eof())
        return 0.0;
    return q->FieldByName(u"std"_s).AsFloat();
}

void Tdm::ZER_AktuelleMobileIDschreibe(int MobileID) {
    InternalSchreibeINT(u"aktuelleZER"_s, MobileID);
}

int Tdm::Zer_AktuelleMobileIDlese() {
    return InternalLeseINT(u"aktuelleZER"_s, 0);
}

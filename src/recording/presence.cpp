// Presence times: creation, the automatic start, the writes of the presence panel and deletion.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "recording/recording_sql.h"
#include "recording/schreibvorgang.h"

#include <optional>

using namespace Qt::StringLiterals;

int Tdm::ZPZ_Neu(TDateTime Zeitstempel, int LPE_ID) {
    const int gewuenscht = NeueMobileID();
    if (LPE_ID <= 0 || (LPE_ID != AngemeldeteLPE_ID && !fBER_TeamPraesenzzeit))
        return -1;
    const int nummer = freieMobileID(*this, u"Z_Praesenzzeit"_s, u"ZPZ_ID"_s, gewuenscht);
    if (nummer == 0)
        return 0;

    const TDateTime jetzt = Clock::now();
    auto q = GetQueryInstance();
    q->setSQL(u" Insert into  Z_Praesenzzeit  (Mandant_ID, ZPZ_ID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Monat,  "
              u"ZPZ_ERFDAT, ZPZ_ERFUSER,  ZPZ_MUTDAT, ZPZ_MUTUSER, MobileID, Owner, komplett, BisIstNULL, StdIstNULL)  "
              u"VALUES  (:Mandant_ID, :ZPZ_ID, :ZPZ_LPE_ID, :ZPZ_Datum, :ZPZ_Von, :ZPZ_Monat,  :ZPZ_ERFDAT, "
              u":ZPZ_ERFUSER,  :ZPZ_MUTDAT, :ZPZ_MUTUSER, :MobileID, 1, 0, 1, 1) "_s);
    q->ParamByName(u"Mandant_ID"_s).setAsInteger(FMandantID);
    q->ParamByName(u"ZPZ_ID"_s).setAsInteger(nummer);
    q->ParamByName(u"ZPZ_LPE_ID"_s).setAsInteger(LPE_ID);
    q->ParamByName(u"ZPZ_Datum"_s).setAsDateTime(Zeitstempel.datePart());
    q->ParamByName(u"ZPZ_Von"_s).setAsDateTime(ZeitRunden(Zeitstempel, 0, LPE_ID).timePart());
    q->ParamByName(u"ZPZ_Monat"_s).setAsInteger(nummer);
    q->ParamByName(u"ZPZ_ERFDAT"_s).setAsDateTime(jetzt);
    q->ParamByName(u"ZPZ_ERFUSER"_s).setAsString(mutUser());
    q->ParamByName(u"ZPZ_MUTDAT"_s).setAsDateTime(jetzt);
    q->ParamByName(u"ZPZ_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID"_s).setAsInteger(nummer);
    return q->ExecSQL() ? nummer : 0;
}

namespace {

// "hh:nn:00" of a stamp, the form SQLite's time() gives, so that the comparison with stored times holds as text.
QString minuteAlsSqlZeit(TDateTime zeit) {
    return u"%1:%2:00"_s.arg(zeit.hour(), 2, 10, QLatin1Char('0')).arg(zeit.minute(), 2, 10, QLatin1Char('0'));
}

struct OffenePraesenz {
    bool gelesen = false;
    bool vorhanden = false;
    TDateTime bis; // time part of its to-time, 0 when it has none
};

OffenePraesenz leseOffenePraesenz(Tdm& dm, TDateTime datum, int lpeId) {
    OffenePraesenz offen;
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select * from Z_Praesenzzeit  where zpz_datum = :datum and ZPZ_LPE_ID = :LPE and geloescht = 0 and "
              u"BisIstNULL = 1 and Mandant_ID = "_s +
              mandantSql(dm) + u" order by zpz_von desc "_s);
    q->ParamByName(u"datum").setAsDateTime(datum.datePart());
    q->ParamByName(u"LPE").setAsInteger(lpeId);
    offen.gelesen = q->Open();
    offen.vorhanden = offen.gelesen && !q->Eof();
    if (offen.vorhanden)
        offen.bis = q->FieldByName(u"ZPZ_Bis").AsDateTime().timePart();
    return offen;
}

// Whether a presence time of the stamp's day spans the stamp's minute; nullopt when the file cannot be read.
std::optional<bool> istMinuteAbgedeckt(Tdm& dm, TDateTime zeitstempel, int lpeId) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select * from Z_Praesenzzeit  where zpz_datum = :datum and ZPZ_LPE_ID = :LPE and geloescht = 0  and "
              u"time(zpz_von) <= :von1 and time(zpz_bis) > :von2 and Mandant_ID = "_s +
              mandantSql(dm) + u" order by zpz_von desc "_s);
    q->ParamByName(u"datum").setAsDateTime(zeitstempel.datePart());
    q->ParamByName(u"LPE").setAsInteger(lpeId);
    q->ParamByName(u"von1").setAsString(minuteAlsSqlZeit(zeitstempel));
    q->ParamByName(u"von2").setAsString(minuteAlsSqlZeit(zeitstempel));
    if (!q->Open())
        return std::nullopt;
    return !q->Eof();
}

} // namespace

bool Tdm::ZPZ_PruefeAufOffeneZPZundStarteZPZ(int LPE_ID, TDateTime Zeitstempel, bool bIstTerminal) {
    if (!GibBerechtigungBoolean(u"BER_Praesenzzeit"_s, LPE_ID))
        return false;
    if (LPE_ID != AngemeldeteLPE_ID && !fBER_TeamPraesenzzeit)
        return false;
    if (!Zeitstempel.sameDay(Clock::today()))
        return false;
    const bool automatisch = GibBerechtigungBoolean(u"BER_ZPZ_automatik"_s, LPE_ID);
    if (!automatisch && !(bIstTerminal && GibBerechtigungBoolean(u"BER_ZPZ_startstop"_s, LPE_ID)))
        return false;

    // When the file cannot be read no start is made: one started blindly could double a running presence time.
    const OffenePraesenz offen = leseOffenePraesenz(*this, Zeitstempel, LPE_ID);
    const std::optional<bool> abgedeckt = istMinuteAbgedeckt(*this, Zeitstempel, LPE_ID);
    if (!offen.gelesen || !abgedeckt || *abgedeckt)
        return false;
    if (offen.vorhanden) {
        const int stempelMinute = Zeitstempel.hour() * 60 + Zeitstempel.minute();
        const int bisMinute = offen.bis.hour() * 60 + offen.bis.minute();
        if (offen.bis.value() <= 0.0 || stempelMinute < bisMinute)
            return false;
    }
    ZPZ_Neu(Zeitstempel, LPE_ID);
    return true;
}

void Tdm::ZPZ_speichernZeiten(int MobileID, TDateTime datum, TDateTime von, TDateTime bis, TDateTime dauer,
                              double std100, bool nurVonZeit) {
    EinSchreibvorgang schreibvorgang(*this);
    const bool mitTeam = TeamAktiveTeamMitgliederVorhanden();
    if (nurVonZeit) {
        aendereDatensatz(*this, u"ZPZ", MobileID,
                         u" update Z_Praesenzzeit  Set  ZPZ_Von = :ZPZ_Von, ZPZ_MUTDAT = :ZPZ_MUTDAT, "
                         u"ZPZ_MUTUSER = :ZPZ_MUTUSER, VonIstNULL = 0  "_s,
                         {{u"ZPZ_Von"_s, sqlDatum(von)}});
        return;
    }
    const bool gespeichert =
        aendereDatensatz(*this, u"ZPZ", MobileID,
                         u" update Z_Praesenzzeit  Set  ZPZ_Von = :ZPZ_Von, ZPZ_Bis = :ZPZ_Bis, ZPZ_Std = :ZPZ_Std, "
                         u"ZPZ_Std100 = :ZPZ_Std100, ZPZ_MUTDAT = :ZPZ_MUTDAT, ZPZ_MUTUSER = :ZPZ_MUTUSER  , "
                         u"VonIstNULL = 0, BisIstNULL = 0, StdIstNULL = 0  "_s,
                         {{u"ZPZ_Von"_s, sqlDatum(von)},
                          {u"ZPZ_Bis"_s, sqlDatum(bis)},
                          {u"ZPZ_Std"_s, sqlDatum(dauer)},
                          {u"ZPZ_Std100"_s, std100}});
    // Activities end with the presence only when the presence did end.
    if (!gespeichert)
        return;
    if (bis.value() == 0.0 || !datum.sameDay(Clock::today()) ||
        !GibBerechtigungBoolean(u"BER_ZPZ_automatik"_s, AktuelleLPE_ID))
        return;
    if (fBER_Teamerfassung && !fBER_TeamLight && mitTeam)
        TeamOffeneZeitenAbschliessen(true, datum, bis);
    else
        ZER_offeneZeitenAbschliessen(datum, bis, AktuelleLPE_ID, -2, false, false, true);
}

void Tdm::ZPZ_speichernDatum(int MobileID, TDateTime datum) {
    aendereDatensatz(*this, u"ZPZ", MobileID,
                     u" update Z_Praesenzzeit  Set  ZPZ_Datum = :ZPZ_Datum, ZPZ_MUTDAT = :ZPZ_MUTDAT, "
                     u"ZPZ_MUTUSER = :ZPZ_MUTUSER  "_s,
                     {{u"ZPZ_Datum"_s, sqlDatum(datum.datePart())}});
}

void Tdm::ZPZ_speichernIstKomplett(int MobileID, bool komplett) {
    aendereDatensatz(*this, u"ZPZ", MobileID,
                     u" update Z_Praesenzzeit  Set  ZPZ_Tag = 0, CloudStatus=0, komplett = :komplett, "
                     u"ZPZ_MUTDAT = :ZPZ_MUTDAT, ZPZ_MUTUSER = :ZPZ_MUTUSER  "_s,
                     {{u"komplett"_s, komplett ? 0 : 1}});
}

bool Tdm::ZPZ_gibIstKomplett(int MobileID) {
    auto q = GetQueryInstance();
    q->setSQL(u" select komplett from z_Praesenzzeit  where mobileid = :id and Mandant_ID = "_s + mandantSql(*this));
    q->ParamByName(u"id"_s).setAsInteger(MobileID);
    if (!q->Open() || q->Eof())
        return false;
    return q->FieldByName(u"komplett"_s).AsInteger() == 0;
}

void Tdm::ZPZ_SetzeGeperrt(int MobileID, bool sperren) {
    auto q = GetQueryInstance();
    q->setSQL(u" update Z_Praesenzzeit  Set Owner = 1,  gesperrt = :gesperrt , ZPZ_MUTDAT = :ZPZ_MUTDAT , "
              u"ZPZ_MUTUSER = :ZPZ_MUTUSER  WHERE MobileID = :MobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"gesperrt"_s).setAsInteger(sperren ? 1 : 0);
    q->ParamByName(u"ZPZ_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"ZPZ_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
    q->ExecSQL();
}

bool Tdm::ZPZ_LoescheDatensatz(int MobileID) {
    auto q = GetQueryInstance();
    q->setSQL(u" update Z_Praesenzzeit  SET   geloescht = 1 , gesperrt = 0 , komplett = 0 , owner = 1 , "
              u"ZPZ_MUTDAT = :ZPZ_MUTDAT , ZPZ_MUTUSER = :ZPZ_MUTUSER  where mobileid = :mobileID and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"ZPZ_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"ZPZ_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"mobileID"_s).setAsInteger(MobileID);
    return q->ExecSQL();
}

double Tdm::ZPZ_GibStundenZuTag(TDateTime datum, int LPEID) {
    auto q = GetQueryInstance();
    q->setSQL(u" Select sum(ZPZ_std100) as std from Z_Praesenzzeit  where ZPZ_datum = :datum and ZPZ_lpe_id = :lpe "
              u"and geloescht = 0 and Mandant_ID = "_s +
              mandantSql(*this));
    q->ParamByName(u"datum"_s).setAsDateTime(datum.datePart());
    q->ParamByName(u"lpe"_s).setAsInteger(LPEID);
    if (!q->Open() || q->Eof())
        return 0.0;
    return q->FieldByName(u"std"_s).AsFloat();
}

void Tdm::ZPZ_AktuelleMobileIDschreibe(int MobileID) {
    InternalSchreibeINT(u"aktuelleZPZ"_s, MobileID);
}

int Tdm::ZPZ_AktuelleMobileIDlese() {
    return InternalLeseINT(u"aktuelleZPZ"_s, 0);
}

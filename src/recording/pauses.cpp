// Pauses: interrupting the running work of the current employee and continuing it afterwards.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "recording/recording_sql.h"
#include "recording/rounding.h"
#include "recording/schreibvorgang.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kPauseZER = u"Lumora_PauseZER"_s;
const QString kPauseZPZ = u"Lumora_PauseZPZ"_s;

// How long an answer about a running pause is reused; the pause button asks on every repaint.
constexpr std::int64_t kPauseCacheMSecs = 1000;

// The day whose work a pause interrupts: yesterday while midnight stamping closes it at 24:00.
TDateTime pausenTag(TDateTime zeit) {
    const TDateTime tag = zeit.datePart();
    return MitternachtsStempelungLaeuft ? tag - 1.0 : tag;
}

void schreibePausenzeile(Tdm& dm, const QString& tabelle, int lpeId, int mobileId) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" INSERT OR REPLACE INTO "_s + tabelle +
              u"  ( Mandant_ID, LPE_ID, MobileID, Zeitstempel) Values  ( :Mandant_ID, :LPE_ID, :MobileID, "
              u":Zeitstempel)"_s);
    q->ParamByName(u"Mandant_ID").setAsInteger(dm.FMandantID);
    q->ParamByName(u"LPE_ID").setAsInteger(lpeId);
    q->ParamByName(u"MobileID").setAsInteger(mobileId);
    q->ParamByName(u"Zeitstempel").setAsDateTime(Clock::now());
    q->ExecSQL();
    // A pause just started must show at once, not when the cached answer runs out.
    PauseStatusCacheGueltig = false;
}

int lesePausenzeile(Tdm& dm, const QString& tabelle, int lpeId) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select MobileID from "_s + tabelle + u"  where Mandant_ID = :Mandant_ID and LPE_ID = :LPE_ID"_s);
    q->ParamByName(u"Mandant_ID").setAsInteger(dm.FMandantID);
    q->ParamByName(u"LPE_ID").setAsInteger(lpeId);
    if (!q->Open() || q->Eof())
        return 0;
    return q->Fields(0).AsInteger();
}

void loeschePausenzeile(Tdm& dm, const QString& tabelle, int lpeId) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" delete from "_s + tabelle + u"  where Mandant_ID = :Mandant_ID and LPE_ID = :LPE_ID"_s);
    q->ParamByName(u"Mandant_ID").setAsInteger(dm.FMandantID);
    q->ParamByName(u"LPE_ID").setAsInteger(lpeId);
    q->ExecSQL();
    PauseStatusCacheGueltig = false;
}

bool lesePausenZeitstempel(Tdm& dm, const QString& tabelle, int lpeId, TDateTime& zeitstempel) {
    auto q = dm.GetQueryInstance();
    q->setSQL(u" select Zeitstempel from "_s + tabelle + u"  where Mandant_ID = :Mandant_ID and LPE_ID = :LPE_ID"_s);
    q->ParamByName(u"Mandant_ID").setAsInteger(dm.FMandantID);
    q->ParamByName(u"LPE_ID").setAsInteger(lpeId);
    if (!q->Open() || q->Eof())
        return false;
    zeitstempel = q->Fields(0).AsDateTime();
    return true;
}

// Whole minutes of a duration as decimal hours.
double stundenAusDauer(TDateTime dauer) {
    return rundeAufHundertstel((dauer.hour() * 60 + dauer.minute()) / 60.0);
}

// A new time entry for the current employee at `start` with the booking data of `unterbrochen`; its MobileID,
// or 0 when the interrupted entry is gone or no new entry could be made.
int setzeEintragFort(Tdm& dm, int unterbrochen, TDateTime start) {
    auto m = dm.GetQueryInstance();
    m->setSQL(u" select * from z_erfassung  where Mandant_ID = :mid and MobileID = :mobid");
    m->ParamByName(u"mid").setAsInteger(dm.FMandantID);
    m->ParamByName(u"mobid").setAsInteger(unterbrochen);
    if (!m->Open() || m->Eof())
        return 0;

    const int n = dm.ZER_Neu(start);
    // 0 and -1 are no entry: the copy below must never reach rows that happen to carry such a number.
    if (n >= 0)
        return 0;

    static const QString ganzzahlig[] = {u"ZER_PRO"_s,      u"ZER_Type"_s,     u"ZER_MWSTC"_s,    u"ZER_Leistung"_s,
                                         u"ZER_RKA_ID_A"_s, u"ZER_RKA_ID_W"_s, u"ZER_ADR_ID"_s,   u"ZER_Eigensch"_s,
                                         u"ZER_Jahr"_s,     u"ZER_Monat"_s,    u"ZER_MWStExkl"_s, u"ZER_StdETyp"_s};
    static const QString texte[] = {
        u"ZER_ZKA"_s,         u"ZER_ZKS"_s,       u"ZER_Text"_s,      u"ZER_Konto"_s,         u"ZER_Verrechnen"_s,
        u"ZER_Bezeichnung"_s, u"ObjektAdresse"_s, u"ObjektAuftrag"_s, u"ObjektWerkAuftrag"_s, u"ObjektProjekt"_s};
    auto q = dm.GetQueryInstance();
    q->setSQL(u" update Z_Erfassung  set ZER_PRO =:ZER_PRO, ZER_ZKA =:ZER_ZKA, ZER_ZKS =:ZER_ZKS, ZER_Type =:ZER_Type, "
              u"ZER_Text =:ZER_Text, ZER_MWSTC =:ZER_MWSTC, ZER_Leistung =:ZER_Leistung, "
              u"ZER_RKA_ID_A =:ZER_RKA_ID_A, ZER_RKA_ID_W =:ZER_RKA_ID_W, ZER_ADR_ID =:ZER_ADR_ID, "
              u"ZER_Konto =:ZER_Konto, ZER_Eigensch =:ZER_Eigensch, ZER_Jahr =:ZER_Jahr, ZER_Monat =:ZER_Monat, "
              u"ZER_MWStExkl =:ZER_MWStExkl, ZER_StdETyp =:ZER_StdETyp, ZER_Verrechnen =:ZER_Verrechnen, "
              u"ZER_Bezeichnung =:ZER_Bezeichnung, ObjektAdresse =:ObjektAdresse, ObjektAuftrag =:ObjektAuftrag, "
              u"ObjektWerkAuftrag =:ObjektWerkAuftrag, ObjektProjekt =:ObjektProjekt where mandant_ID = :manID "
              u"and MobileID = :mobid");
    for (const QString& spalte : ganzzahlig)
        q->ParamByName(spalte).setAsInteger(m->FieldByName(spalte).AsInteger());
    for (const QString& spalte : texte)
        q->ParamByName(spalte).setAsString(m->FieldByName(spalte).AsString());
    q->ParamByName(u"manID").setAsInteger(dm.FMandantID);
    q->ParamByName(u"mobid").setAsInteger(n);
    q->ExecSQL();

    dm.ZER_SetzeSperre(n, false);
    dm.ZER_speichernIstKomplett(n, true);
    return n;
}

} // namespace

void Tdm::PauseSchreibeMobileID_ZER(int LPE_ID, int MobileID) {
    schreibePausenzeile(*this, kPauseZER, LPE_ID, MobileID);
}

void Tdm::PauseSchreibeMobileID_ZPZ(int LPE_ID, int MobileID) {
    schreibePausenzeile(*this, kPauseZPZ, LPE_ID, MobileID);
}

int Tdm::PauseLeseMobileID_ZER(int LPE_ID) {
    return lesePausenzeile(*this, kPauseZER, LPE_ID);
}

int Tdm::PauseLeseMobileID_ZPZ(int LPE_ID) {
    return lesePausenzeile(*this, kPauseZPZ, LPE_ID);
}

void Tdm::PauseLoescheMobileID_ZER(int LPE_ID) {
    loeschePausenzeile(*this, kPauseZER, LPE_ID);
}

void Tdm::PauseLoescheMobileID_ZPZ(int LPE_ID) {
    loeschePausenzeile(*this, kPauseZPZ, LPE_ID);
}

bool Tdm::PauseGibIstPauseAktiv(int LPE_ID, TDateTime& Zeitstempel) {
    const TDateTime jetzt = Clock::now();
    if (PauseStatusCacheGueltig && PauseStatusCacheAbfragezeit.msecsTo(jetzt) <= kPauseCacheMSecs) {
        Zeitstempel = PauseStatusCacheZeitstempel;
        return PauseStatusCacheAktiv;
    }

    Zeitstempel = TDateTime::encodeDate(1900, 1, 1);
    const bool aktiv = lesePausenZeitstempel(*this, kPauseZER, LPE_ID, Zeitstempel) ||
                       lesePausenZeitstempel(*this, kPauseZPZ, LPE_ID, Zeitstempel);

    PauseStatusCacheGueltig = true;
    PauseStatusCacheAktiv = aktiv;
    PauseStatusCacheZeitstempel = Zeitstempel;
    PauseStatusCacheAbfragezeit = jetzt;
    return aktiv;
}

void Tdm::PauseStartePause(bool MitTeam, TDateTime dtJetzt) {
    EinSchreibvorgang schreibvorgang(*this);
    PauseStartLaeuft = true;
    const TDateTime gerundet = ZeitRunden(dtJetzt, 0, AktuelleLPE_ID);
    const TDateTime tag = pausenTag(dtJetzt);
    // At midnight the cut keeps today's date, which the close stores as an end of 24:00.
    const TDateTime schnitt = MitternachtsStempelungLaeuft ? gerundet : gerundet.timePart();

    ZER_offeneZeitenAbschliessen(tag, schnitt, AktuelleLPE_ID, -2, true, fBER_Teamerfassung, true);
    if (MitTeam && fBER_Teamerfassung)
        TeamOffeneZeitenAbschliessen(true, tag, schnitt);
    if (GibBerechtigungBoolean(u"BER_Praesenzzeit"_s, AktuelleLPE_ID) &&
        GibBerechtigungBoolean(u"BER_ZPZ_automatik"_s, AktuelleLPE_ID))
        PauseBeendePraesenzzeit(dtJetzt);
    PauseStartLaeuft = false;
}

void Tdm::PauseBeendePraesenzzeit(TDateTime dtJetzt) {
    EinSchreibvorgang schreibvorgang(*this);
    const TDateTime t = ZeitRunden(dtJetzt, 0, AktuelleLPE_ID);
    if (!GibBerechtigungBoolean(u"BER_Praesenzzeit"_s, AktuelleLPE_ID))
        return;

    struct OffenePraesenz {
        int mobileId;
        TDateTime von;
    };
    std::vector<OffenePraesenz> offene;
    {
        auto q = GetQueryInstance();
        q->setSQL(u" select * from Z_Praesenzzeit  where zpz_datum = :datum and ZPZ_LPE_ID = :LPE and geloescht = 0 "
                  u"and Mandant_ID = "_s +
                  mandantSql(*this) + u" AND BisIstNULL = 1 "_s + u" order by zpz_von desc "_s);
        q->ParamByName(u"datum").setAsDateTime(pausenTag(t));
        q->ParamByName(u"LPE").setAsInteger(AktuelleLPE_ID);
        if (!q->Open())
            return;
        for (; !q->Eof(); q->Next())
            offene.push_back({q->FieldByName(u"MobileID").AsInteger(), q->FieldByName(u"ZPZ_Von").AsDateTime()});
    }

    // While midnight stamping runs the presence ends at 24:00 of yesterday.
    const TDateTime ende = MitternachtsStempelungLaeuft ? t.timePart() + 1.0 : t.timePart();
    for (const OffenePraesenz& praesenz : offene) {
        PauseSchreibeMobileID_ZPZ(AktuelleLPE_ID, praesenz.mobileId);
        if (praesenz.mobileId == 0)
            continue;
        const TDateTime start = praesenz.von.timePart();
        // A presence set to start after the pause ends where it starts, never before.
        const TDateTime bis = std::max(ende, start);
        const TDateTime dauer(bis - start);
        const bool gespeichert = aendereDatensatz(
            *this, u"ZPZ", praesenz.mobileId,
            u" update Z_Praesenzzeit  Set  ZPZ_Bis = :ZPZ_Bis, ZPZ_Std = :ZPZ_Std, ZPZ_Std100 = :ZPZ_Std100, "
            u"ZPZ_MUTDAT = :ZPZ_MUTDAT, ZPZ_MUTUSER = :ZPZ_MUTUSER  , VonIstNULL = 0, BisIstNULL = 0, "
            u"StdIstNULL = 0  "_s,
            {{u"ZPZ_Bis"_s, sqlDatum(bis)},
             {u"ZPZ_Std"_s, sqlDatum(dauer)},
             {u"ZPZ_Std100"_s, stundenAusDauer(dauer)}});
        if (!gespeichert)
            return;
        ZPZ_SetzeGeperrt(praesenz.mobileId, false);
        ZPZ_speichernIstKomplett(praesenz.mobileId, true);
    }
}

void Tdm::PauseBeendenUndFortsetzen(int LPE_ID, bool MitTeam, TDateTime dtJetzt) {
    EinSchreibvorgang schreibvorgang(*this);
    const TDateTime t = ZeitRunden(dtJetzt, 0, LPE_ID);

    if (GibBerechtigungBoolean(u"BER_Praesenzzeit"_s, LPE_ID) &&
        GibBerechtigungBoolean(u"BER_ZPZ_automatik"_s, LPE_ID)) {
        TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(PauseLeseMobileID_ZPZ(AktuelleLPE_ID));
        ZPZ_Neu(t, LPE_ID);
    }

    const int unterbrochen = PauseLeseMobileID_ZER(LPE_ID);
    const bool warTeamEintrag = TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(unterbrochen);
    const int fortsetzung = unterbrochen != 0 ? setzeEintragFort(*this, unterbrochen, t) : 0;

    PauseLoescheMobileID_ZPZ(AktuelleLPE_ID);
    PauseLoescheMobileID_ZER(AktuelleLPE_ID);

    if (MitTeam && fBER_Teamerfassung && warTeamEintrag && fortsetzung != 0)
        TeamZerSpeichernFuerAlle(fortsetzung);
}

void Tdm::PauseAbbrechen() {
    EinSchreibvorgang schreibvorgang(*this);
    PauseLoescheMobileID_ZPZ(AktuelleLPE_ID);
    PauseLoescheMobileID_ZER(AktuelleLPE_ID);
}

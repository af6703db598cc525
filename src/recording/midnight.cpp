// Midnight stamping: work still open from yesterday ends at 24:00 and continues from 00:00 today.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "recording/recording_sql.h"
#include "recording/schreibvorgang.h"

using namespace Qt::StringLiterals;

namespace {

int summeAnzahl(Tdm& dm, const QString& sql, TDateTime datum, int lpeId, bool& ok) {
    auto q = dm.GetQueryInstance();
    q->setSQL(sql);
    q->ParamByName(u"Datum1"_s).setAsDateTime(datum);
    q->ParamByName(u"id1"_s).setAsInteger(lpeId);
    q->ParamByName(u"Datum2"_s).setAsDateTime(datum);
    q->ParamByName(u"id2"_s).setAsInteger(lpeId);
    ok = q->Open() && !q->Eof();
    return ok ? q->FieldByName(u"a"_s).AsInteger() : 0;
}

} // namespace

bool Tdm::MitternachtsStempelnNotwendig() {
    const QString mandant = mandantSql(*this);
    const TDateTime jetzt = Clock::now();
    const TDateTime heute = jetzt.datePart();

    const QStringList heuteZeilen = {u"select sum(anzahl)a from("_s,
                                     u"SELECT count(ZPZ_ID) AS anzahl FROM Z_Praesenzzeit"_s,
                                     u"WHERE"_s,
                                     u"  ZPZ_Datum = :Datum1 and ZPZ_LPE_ID = :id1 and Mandant_ID = "_s + mandant,
                                     u" and geloescht = 0"_s,
                                     u"  union  all"_s,
                                     u" SELECT count(ZER_ID) AS anzahl FROM Z_ERFASSUNG"_s,
                                     u"WHERE ZER_Datum = :Datum2  and ZER_LPE = :id2"_s,
                                     u" and geloescht = 0"_s,
                                     u"  and ZER_Type IN (1,2,3) and Mandant_ID = "_s + mandant,
                                     u")"_s};
    bool ok = false;
    if (summeAnzahl(*this, heuteZeilen.join(u'\n'), heute, AktuelleLPE_ID, ok) != 0 || !ok)
        return false;

    const int n = GibBerechtigungInteger(u"BER_MitternachtStunden"_s, AktuelleLPE_ID);
    const int h = jetzt.hour();
    if (h >= n)
        return false;
    const QString abStunde = QString::number(24 - (n - h));

    const QStringList gesternZeilen = {u"select sum(anzahl)a from("_s,
                                       u"SELECT count(ZPZ_ID) AS anzahl FROM Z_Praesenzzeit"_s,
                                       u"WHERE"_s,
                                       u"  ZPZ_Datum = :Datum1 and ZPZ_LPE_ID = :id1 "_s,
                                       u" and geloescht = 0"_s,
                                       u"  and VonIstNULL = 0 and BisIstNULL = 1 and Mandant_ID = "_s + mandant,
                                       u" and cast(strftime('%H',zpz_von) as integer) >= "_s + abStunde,
                                       u"  union  all"_s,
                                       u" SELECT count(ZER_ID) AS anzahl FROM Z_ERFASSUNG"_s,
                                       u"WHERE ZER_Datum = :Datum2  and ZER_LPE = :id2"_s,
                                       u"  and ZER_Type IN (1,2,3)"_s,
                                       u" and geloescht = 0"_s,
                                       u"  and VonIstNULL = 0 and BisIstNULL = 1 and Mandant_ID = "_s + mandant,
                                       u" and cast(strftime('%H',zer_von) as integer) >= "_s + abStunde,
                                       u")"_s};
    const int offenGestern =
        summeAnzahl(*this, gesternZeilen.join(u'\n'), TDateTime(heute.value() - 1.0), AktuelleLPE_ID, ok);
    return ok && offenGestern > 0;
}

bool Tdm::MitternachtsStempelung() {
    bool gestempelt = false;
    if (fBER_Mitternacht && MitternachtsStempelnNotwendig()) {
        EinSchreibvorgang schreibvorgang(*this);
        MitternachtsStempelungLaeuft = true;
        const TDateTime mitternacht = Clock::today();
        PauseStartePause(fBER_Teamerfassung, mitternacht);
        PauseBeendenUndFortsetzen(AktuelleLPE_ID, true, mitternacht);
        PauseAbbrechen();
        UpdateRestart();
        gestempelt = true;
    }
    MitternachtsStempelungLaeuft = false;
    return gestempelt;
}

// Closing an employee's open time entries of a day at one moment.
#include "core/tdm.h"

#include "core/globals.h"
#include "recording/recording_sql.h"
#include "recording/rounding.h"
#include "recording/schreibvorgang.h"

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct OffenerEintrag {
    int mobileId = 0;
    TDateTime von;
    bool bisIstNull = false;
};

} // namespace

bool Tdm::ZER_offeneZeitenAbschliessen(TDateTime datum, TDateTime AktuellesVon, int LPEID, int MobileID,
                                       bool PauseSchreibeMobileID, bool IstTeamBerechtigung, bool IstTeamStempelung) {
    EinSchreibvorgang schreibvorgang(*this);
    std::vector<OffenerEintrag> offene;
    {
        auto q = GetQueryInstance();
        q->setSQL(u" select * from z_Erfassung  where MobileID <> :MobileID and ZER_LPE = :lpe and zer_datum = :datum "
                  u"and zer_type <= 3  and zer_std100 = 0 and geloescht = 0 and Mandant_ID = "_s +
                  mandantSql(*this) + u" Order by Zer_von "_s);
        q->ParamByName(u"MobileID"_s).setAsInteger(MobileID);
        q->ParamByName(u"lpe"_s).setAsInteger(LPEID);
        q->ParamByName(u"datum"_s).setAsDateTime(datum.datePart());
        if (!q->Open())
            return false;
        for (; !q->Eof(); q->Next())
            offene.push_back({q->FieldByName(u"MobileID"_s).AsInteger(), q->FieldByName(u"ZER_Von"_s).AsDateTime(),
                              q->FieldByName(u"BisIstNULL"_s).AsInteger() == 1});
    }

    bool geschlossen = false;
    int letzteGeschlossene = 0;
    for (const OffenerEintrag& eintrag : offene) {
        if (!IstTeamBerechtigung && !fBER_Teamerfassung && TeamIstBestehenderEintrag(eintrag.mobileId))
            continue;
        if (!eintrag.bisIstNull)
            continue;
        const TDateTime start = eintrag.von.timePart();
        if (!PauseStartLaeuft && start.value() > AktuellesVon.value())
            continue;

        // A pause closes entries that were set to start after the cut as well; they end where they start rather
        // than before it.
        const TDateTime ende = AktuellesVon.value() < start.value() ? start : AktuellesVon;
        const TDateTime dauer = TDateTime(ende.value() - start.value()).timePart();
        int stunden = 0, minuten = 0, sekunden = 0, ms = 0;
        dauer.decodeTime(stunden, minuten, sekunden, ms);
        const double std100 = rundeAufHundertstel((stunden * 60 + minuten) / 60.0);

        ZER_speichernZeiten(eintrag.mobileId, start, ende, dauer, std100, false, false);
        ZER_speichernKosten(eintrag.mobileId);
        ZER_SetzeSperre(eintrag.mobileId, false);
        ZER_speichernIstKomplett(eintrag.mobileId, true);
        geschlossen = true;

        if (PauseSchreibeMobileID && LPEID == AktuelleLPE_ID)
            PauseSchreibeMobileID_ZER(LPEID, eintrag.mobileId);
        letzteGeschlossene = IstTeamBerechtigung ? eintrag.mobileId : 0;
    }

    if (IstTeamBerechtigung && letzteGeschlossene != 0)
        TeamSchliesseMehrereOffeneZERs(datum, AktuellesVon, letzteGeschlossene, IstTeamStempelung ? -2 : MobileID);
    return geschlossen;
}

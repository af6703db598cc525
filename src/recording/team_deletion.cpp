// Deleting an entry or presence time together with every record of its team recording.
#include "core/tdm.h"

#include "core/clock.h"
#include "recording/recording_sql.h"
#include "recording/schreibvorgang.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Deletes every record linked under `guid` and withdraws the links; false when a deletion did not go through.
bool loescheTeamaufnahme(Tdm& dm, const QString& linkTabelle, const QString& guid, bool (Tdm::*loesche)(int)) {
    EinSchreibvorgang schreibvorgang(dm);
    std::vector<int> mitglieder;
    {
        auto q = dm.GetQueryInstance();
        q->setSQL(u" select PTT_MobileID from "_s + linkTabelle +
                  u"  Where Mandant_ID = :Mandant_ID  and PTT_GUID = :guid "_s);
        q->ParamByName(u"Mandant_ID"_s).setAsInteger(dm.FMandantID);
        q->ParamByName(u"guid"_s).setAsString(guid);
        if (!q->Open())
            return false;
        for (; !q->Eof(); q->Next())
            mitglieder.push_back(q->FieldByName(u"PTT_MobileID"_s).AsInteger());
    }
    bool alleGeloescht = true;
    for (int mobileId : mitglieder)
        alleGeloescht = (dm.*loesche)(mobileId) && alleGeloescht;

    auto q = dm.GetQueryInstance();
    q->setSQL(u" update "_s + linkTabelle +
              u"  SET  PTT_Inaktiv = 1 , PTT_MUTDAT = :PTT_MUTDAT , PTT_MUTUSER = :PTT_MUTUSER , Owner = 1  Where "
              u"Mandant_ID = :Mandant_ID and PTT_GUID = :guid "_s);
    q->ParamByName(u"PTT_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"PTT_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"Mandant_ID"_s).setAsInteger(dm.FMandantID);
    q->ParamByName(u"guid"_s).setAsString(guid);
    q->ExecSQL();
    return alleGeloescht;
}

} // namespace

bool Tdm::ZER_LoescheDatensatzTeam(int MobileID) {
    QString guid;
    if (TeamIstBestehenderEintragGibGUIDZER(MobileID, guid))
        return loescheTeamaufnahme(*this, u"Lumora_Team"_s, guid, &Tdm::ZER_LoescheDatensatz);
    return ZER_LoescheDatensatz(MobileID);
}

bool Tdm::ZPZ_LoescheDatensatzTeam(int MobileID) {
    QString guid;
    if (TeamIstBestehenderEintragGibGUIDZPZ(MobileID, guid))
        return loescheTeamaufnahme(*this, u"Lumora_TeamZPZ"_s, guid, &Tdm::ZPZ_LoescheDatensatz);
    return ZPZ_LoescheDatensatz(MobileID);
}

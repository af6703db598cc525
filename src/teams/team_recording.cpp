// Team recording: one activity entry copied to every active team member, the copies linked by one GUID.
#include "core/tdm.h"

#include "core/clock.h"
#include "core/globals.h"
#include "recording/einzelwert.h"
#include "recording/recording_sql.h"
#include "recording/schreibvorgang.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Ids of copies step by 100 past a taken one; a bound keeps a failing file from looping for ever.
constexpr int kIdSchrittNachKonflikt = 100;
constexpr int kMaxKopierVersuche = 20;

// Entry kinds: below 4 are times that end the work running before them; 1 to 3 start presence.
constexpr int kErsteNichtZeitArt = 4;
bool startetPraesenz(int zerType) {
    return zerType >= 1 && zerType <= 3;
}

QString zeilen(std::initializer_list<QString> teile) {
    return QStringList(teile).join(u'\n');
}

std::vector<int> leseZahlen(Tdm& dm, const QString& sql, std::initializer_list<std::pair<QString, QVariant>> werte,
                            bool* ok = nullptr) {
    std::vector<int> zahlen;
    auto q = dm.GetQueryInstance();
    q->setSQL(sql);
    for (const auto& [name, wert] : werte)
        q->ParamByName(name).setValue(wert);
    const bool gelesen = q->Open();
    for (; gelesen && !q->Eof(); q->Next())
        zahlen.push_back(q->Fields(0).AsInteger());
    if (ok)
        *ok = gelesen;
    return zahlen;
}

// The other entries linked under the GUID.
std::vector<int> andereVerlinkteEintraege(Tdm& dm, const QString& guid, int ausser) {
    return leseZahlen(dm,
                      u" select PTT_MobileID from Lumora_Team  Where Mandant_ID = :Mandant_ID and PTT_MobileID <> "
                      u":PTT_MobileID and PTT_GUID = :guid "_s,
                      {{u"Mandant_ID"_s, dm.FMandantID}, {u"PTT_MobileID"_s, ausser}, {u"guid"_s, guid}});
}

// Withdraws the links of the GUID, all of them or all but the given entry's.
void zieheLinksZurueck(Tdm& dm, const QString& guid, int ausser) {
    auto q = dm.GetQueryInstance();
    q->setSQL(ausser != 0 ? u" update Lumora_Team  SET  PTT_Inaktiv = 1 , PTT_MUTDAT = :PTT_MUTDAT , PTT_MUTUSER = "
                            u":PTT_MUTUSER , Owner = 1  Where Mandant_ID = :Mandant_ID and PTT_MobileID <> "
                            u":PTT_MobileID and PTT_GUID = :guid "_s
                          : u" update Lumora_Team  SET  PTT_Inaktiv = 1 , PTT_MUTDAT = :PTT_MUTDAT , PTT_MUTUSER = "
                            u":PTT_MUTUSER , Owner = 1  Where Mandant_ID = :Mandant_ID  and PTT_GUID = :guid "_s);
    q->ParamByName(u"PTT_MUTDAT"_s).setAsDateTime(Clock::now());
    q->ParamByName(u"PTT_MUTUSER"_s).setAsString(mutUser());
    q->ParamByName(u"Mandant_ID"_s).setAsInteger(dm.FMandantID);
    q->ParamByName(u"PTT_MobileID"_s).setAsInteger(ausser);
    q->ParamByName(u"guid"_s).setAsString(guid);
    q->ExecSQL();
}

bool fuehreAus(Tdm& dm, const QString& sql, std::initializer_list<std::pair<QString, QVariant>> werte) {
    auto q = dm.GetQueryInstance();
    q->setSQL(sql);
    for (const auto& [name, wert] : werte)
        q->ParamByName(name).setValue(wert);
    return q->ExecSQL();
}

// Copies the source entry as the member's own entry with the new mobile id; false when a step failed.
bool kopiereEintrag(Tdm& dm, int quelle, int mitglied, int neueId) {
    return fuehreAus(dm, u"delete from Z_ERFASSUNG_TEMP"_s, {}) &&
           fuehreAus(dm,
                     zeilen({u"insert into Z_ERFASSUNG_TEMP "_s, u"select *"_s, u"from Z_Erfassung"_s,
                             u"where mandant_id = "_s + mandantSql(dm) + u" and mobileid = :mobid"_s}),
                     {{u"mobid"_s, quelle}}) &&
           fuehreAus(dm,
                     zeilen({u"update Z_ERFASSUNG_TEMP "_s, u"set "_s, u"  ZER_LPE = :lpe"_s, u", MobileID = :mobid"_s,
                             u", ZER_ID = :zerid"_s, u", ZER_ID_WEB = :ZER_ID_WEB"_s}),
                     {{u"lpe"_s, mitglied}, {u"mobid"_s, neueId}, {u"zerid"_s, neueId}, {u"ZER_ID_WEB"_s, neueId}}) &&
           fuehreAus(dm, zeilen({u"insert into Z_ERFASSUNG "_s, u"select *"_s, u"from Z_Erfassung_TEMP"_s}), {});
}

// Copies the source entry for the member, starting at `kandidat` and stepping past taken ids; the id used, or 0.
// MobileID has no key of its own, so an id is also refused when a renumbered row still carries it.
int kopiereMitFreierId(Tdm& dm, int quelle, int mitglied, int kandidat) {
    for (int versuch = 0; versuch < kMaxKopierVersuche; ++versuch, kandidat += kIdSchrittNachKonflikt) {
        // Device ids stay negative; positive ones belong to the server.
        if (kandidat >= 0)
            kandidat = freieMobileID(dm, u"Z_Erfassung"_s, u"ZER_ID"_s, -1);
        if (kandidat == 0)
            return 0;
        if (freieMobileID(dm, u"Z_Erfassung"_s, u"ZER_ID"_s, kandidat) == kandidat &&
            kopiereEintrag(dm, quelle, mitglied, kandidat))
            return kandidat;
    }
    return 0;
}

} // namespace

void Tdm::TeamSchreibeLumora_Team(int ZerID, int MobileID, const QString& GUID) {
    const QVariant jetzt = sqlDatum(Clock::now());
    fuehreAus(
        *this,
        u" Insert or Replace into Lumora_Team (   Mandant_ID , PTT_ZER_ID , PTT_MobileID , PTT_GUID , PTT_Inaktiv , "
        u"PTT_ERFDAT , PTT_ERFUSER , PTT_MUTDAT , PTT_MUTUSER , Owner , FlagGeloescht )VALUES(  :Mandant_ID , "
        u":PTT_ZER_ID , :PTT_MobileID , :PTT_GUID , 0 , :PTT_ERFDAT , :PTT_ERFUSER , :PTT_MUTDAT , :PTT_MUTUSER "
        u", 1 , 0 )"_s,
        {{u"Mandant_ID"_s, FMandantID},
         {u"PTT_ZER_ID"_s, ZerID},
         {u"PTT_MobileID"_s, MobileID},
         {u"PTT_GUID"_s, GUID},
         {u"PTT_ERFDAT"_s, jetzt},
         {u"PTT_ERFUSER"_s, mutUser()},
         {u"PTT_MUTDAT"_s, jetzt},
         {u"PTT_MUTUSER"_s, mutUser()}});
}

void Tdm::TeamZerSpeichernFuerAlle(int ORIGMobileID) {
    int quellLPE = 0;
    int zerType = 0;
    TDateTime tag;
    TDateTime von;
    {
        auto q = GetQueryInstance();
        q->setSQL(u" select * from z_erfassung where mandant_id = "_s + mandantSql(*this) + u" and mobileid = "_s +
                  QString::number(ORIGMobileID));
        if (!q->Open() || q->Eof())
            return;
        quellLPE = q->FieldByName(u"ZER_LPE").AsInteger();
        zerType = q->FieldByName(u"ZER_Type").AsInteger();
        tag = q->FieldByName(u"ZER_Datum").AsDateTime().datePart();
        von = q->FieldByName(u"ZER_Von").AsDateTime().timePart();
    }

    EinSchreibvorgang schreibvorgang(*this);
    QString guid;
    const bool bestehend = TeamIstBestehenderEintragGibGUIDZER(ORIGMobileID, guid);
    const bool eigenerImTeam = TeamIstLPEImTeamOrSet(quellLPE);

    std::vector<int> alteKopien;
    if (bestehend) {
        zieheLinksZurueck(*this, guid, ORIGMobileID);
        alteKopien = andereVerlinkteEintraege(*this, guid, ORIGMobileID);
    }

    const std::vector<int> mitglieder =
        leseZahlen(*this,
                   zeilen({u"SELECT  Lumora_User.USR_UserFD"_s, u"FROM"_s, u"Lumora_User"_s,
                           u"LEFT OUTER JOIN Lumora_TeamAktiveLPE ON (Lumora_User.Mandant_ID = "
                           u"Lumora_TeamAktiveLPE.Mandant_ID)"_s,
                           u"AND (Lumora_User.USR_UserFD = Lumora_TeamAktiveLPE.PTA_LPE_ID)"_s, u"WHERE"_s,
                           u"Lumora_User.Mandant_ID = "_s + mandantSql(*this),
                           u"AND Lumora_User.USR_UserFD <> "_s + QString::number(quellLPE),
                           u"AND (case when ifnull(Lumora_TeamAktiveLPE.PTA_LPE_ID, 0) = 0 then 0 else 1 end) =1"_s,
                           u"ORDER BY"_s, u"Lumora_User.USR_UserName"_s}),
                   {});

    // Ends the work running before this entry and opens presence, for one employee of the recording.
    auto schliesseAbUndStarte = [&](int lpe, int mobileId, bool istTeamBerechtigung, bool praesenzErlaubt) {
        if (zerType < kErsteNichtZeitArt)
            ZER_offeneZeitenAbschliessen(tag, von, lpe, mobileId, false, istTeamBerechtigung, true);
        if (praesenzErlaubt && startetPraesenz(zerType))
            ZPZ_PruefeAufOffeneZPZundStarteZPZ(lpe, tag + von.value(), false);
        ZER_speichernKosten(mobileId);
        ZER_SetzeSperre(mobileId, false);
        ZER_speichernIstKomplett(mobileId, true);
    };

    int p = ORIGMobileID;
    std::vector<int> ohneNeueKopie;
    for (int mitglied : mitglieder) {
        const int kopie = kopiereMitFreierId(*this, ORIGMobileID, mitglied, p + 1);
        if (kopie == 0) {
            ohneNeueKopie.push_back(mitglied);
            continue;
        }
        p = kopie;
        TeamSchreibeLumora_Team(p, p, guid);
        schliesseAbUndStarte(mitglied, p, !bestehend, mitglied == AngemeldeteLPE_ID || fBER_TeamPraesenzzeit);
    }

    // The earlier copies go only now, so that a member whose fresh copy failed keeps his entry and its link.
    for (int alt : alteKopien) {
        const int lpe = ersterWert(*this,
                                   u" select ZER_LPE from Z_Erfassung  where geloescht = 0 and MobileID = :m and "
                                   u"Mandant_ID = "_s +
                                       mandantSql(*this),
                                   {{u"m"_s, alt}}, 0)
                            .toInt();
        if (lpe != 0 && std::find(ohneNeueKopie.begin(), ohneNeueKopie.end(), lpe) != ohneNeueKopie.end())
            TeamSchreibeLumora_Team(alt, alt, guid);
        else
            ZER_LoescheDatensatz(alt);
    }

    if (eigenerImTeam) {
        TeamSchreibeLumora_Team(ORIGMobileID, ORIGMobileID, guid);
        schliesseAbUndStarte(AktuelleLPE_ID, ORIGMobileID, false, true);
    } else {
        // The recording then consists of the members' copies only.
        ZER_LoescheDatensatz(ORIGMobileID);
    }
}

void Tdm::TeamZERLoescheAlleTeameintraege(int MobileID) {
    EinSchreibvorgang schreibvorgang(*this);
    QString guid;
    if (!TeamIstBestehenderEintragGibGUIDZER(MobileID, guid))
        return;
    for (int andere : andereVerlinkteEintraege(*this, guid, MobileID))
        ZER_LoescheDatensatz(andere);
    zieheLinksZurueck(*this, guid, 0);
}

void Tdm::TeamOffeneZeitenAbschliessen(bool bZER, TDateTime datum, TDateTime AktuellesVon) {
    if (!bZER)
        return;
    EinSchreibvorgang schreibvorgang(*this);
    const std::vector<int> mitglieder = leseZahlen(
        *this, u" select PTA_LPE_ID from Lumora_TeamAktiveLPE where mandant_id = "_s + mandantSql(*this), {});
    for (int mitglied : mitglieder)
        ZER_offeneZeitenAbschliessen(datum, AktuellesVon, mitglied, -2, false, false, true);
}

void Tdm::TeamSchliesseMehrereOffeneZERs(TDateTime datum, TDateTime AktuellesVon, int MobileID, int EigeneMobileID) {
    EinSchreibvorgang schreibvorgang(*this);
    const QString mandant = mandantSql(*this);
    bool ok = false;
    const std::vector<int> mitarbeiter = leseZahlen(
        *this,
        zeilen({u"SELECT  Z_ERFASSUNG.ZER_LPE"_s, u"FROM"_s, u"  Z_ERFASSUNG"_s, u"WHERE"_s,
                u"  Z_ERFASSUNG.Mandant_ID = "_s + mandant + u" AND Z_ERFASSUNG.MobileID"_s,
                u"   IN (SELECT Lumora_Team.PTT_MobileID FROM Lumora_Team WHERE PTT_GUID"_s,
                u"   IN (SELECT Lumora_Team.PTT_GUID FROM Lumora_Team WHERE "_s,
                u"   PTT_MobileID = "_s + QString::number(MobileID) + u" AND Mandant_ID = "_s + mandant + u"))"_s,
                u"  AND Z_ERFASSUNG.ZER_LPE not in"_s, u"  (SELECT PTA_LPE_ID from Lumora_TeamAktiveLPE "_s,
                u"  where Lumora_TeamAktiveLPE.Mandant_ID = "_s + mandant + u")"_s}),
        {}, &ok);
    if (!ok)
        return;
    for (int lpe : mitarbeiter)
        ZER_offeneZeitenAbschliessen(datum, AktuellesVon, lpe, EigeneMobileID, false, false, true);
}

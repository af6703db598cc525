// Team membership: who may be taken into a team, the active team of this device, and the team of an entry.
#include "core/tdm.h"

#include "core/globals.h"
#include "recording/einzelwert.h"
#include "recording/recording_sql.h"
#include "recording/schreibvorgang.h"

#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

// A GUID as the links store it: 38 characters in braces.
constexpr qsizetype kGuidLaenge = 38;

QString neueGuid() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString zeilen(std::initializer_list<QString> teile) {
    return QStringList(teile).join(u'\n');
}

// The first GUID linked to the record in `linkTabelle`; false (with a fresh GUID) when it has no links.
bool linkGuid(Tdm& dm, const QString& linkTabelle, int MobileID, QString& GUID) {
    const QVariant gefunden = ersterWert(dm,
                                         u" select PTT_GUID from "_s + linkTabelle + u"  where mandant_id = "_s +
                                             mandantSql(dm) + u" and PTT_MobileID = "_s + QString::number(MobileID),
                                         {}, {});
    if (!gefunden.isValid()) {
        GUID = neueGuid();
        return false;
    }
    GUID = gefunden.toString().left(kGuidLaenge);
    return true;
}

// The users of the member lists: the logged-in employee first, then the others the filter allows, by name.
QList<TTeamListenEintrag> leseTeamListe(Tdm& dm, const QString& sqlEigener, const QString& sqlAndere, bool mitAktiv) {
    QList<TTeamListenEintrag> liste;
    for (const QString& sql : {sqlEigener, sqlAndere}) {
        auto q = dm.GetQueryInstance();
        q->setSQL(sql);
        q->ParamByName(u"mandantid"_s).setAsInteger(dm.FMandantID);
        if (!q->Open())
            continue;
        for (; !q->Eof(); q->Next()) {
            liste.append({q->FieldByName(u"USR_UserName").AsString(), q->FieldByName(u"USR_UserFD").AsInteger(),
                          mitAktiv && q->FieldByName(u"Aktiv").AsInteger() == 1});
        }
    }
    return liste;
}

int anzahlAktive(Tdm& dm, const QString& zusatz) {
    return ersterWert(dm,
                      u" select count(pta_LPE_ID) from Lumora_TeamAktiveLPE  where mandant_id = "_s + mandantSql(dm) +
                          zusatz,
                      {}, 0)
        .toInt();
}

// Empties the active set and fills it with the employees of the records still actively linked under the GUID.
void aktiviereTeamVonGuid(Tdm& dm, const QString& sqlEinfuegen, const QString& guid) {
    EinSchreibvorgang schreibvorgang(dm);
    auto leeren = dm.GetQueryInstance();
    leeren->setSQL(u" delete from Lumora_TeamAktiveLPE  where Mandant_ID = "_s + mandantSql(dm));
    leeren->ExecSQL();
    leeren.reset();
    if (guid.isEmpty())
        return;
    auto q = dm.GetQueryInstance();
    q->setSQL(sqlEinfuegen);
    q->ParamByName(u"guid"_s).setAsString(guid);
    q->ExecSQL();
}

} // namespace

QString Tdm::TeamGibTeamFilterAusBerechtigungen(int iUserLPEID) {
    const QStringList erlaubt = ersteSpalte(
        *this, u" SELECT   Lumora_GruppenTeam.GTE_LPE  FROM    Lumora_User    INNER JOIN Lumora_GruppenTeam "
               u"ON (Lumora_User.USR_BER_ID = Lumora_GruppenTeam.GTE_BER_ID)  AND (Lumora_User.Mandant_ID "
               u"= Lumora_GruppenTeam.Mandant_ID)  WHERE    Lumora_User.Mandant_ID = "_s +
                   mandantSql(*this) + u" AND  Lumora_User.USR_UserFD = "_s + QString::number(iUserLPEID) +
                   u" Group by Lumora_GruppenTeam.GTE_LPE"_s);
    const QString liste = erlaubt.join(u',');
    if (liste.trimmed().isEmpty())
        return {};
    return u" AND Lumora_User.USR_UserFD in ("_s + liste + u")"_s;
}

QList<TTeamListenEintrag> Tdm::TeamFuelleListView() {
    const QString filter = TeamGibTeamFilterAusBerechtigungen(AngemeldeteLPE_ID);
    const QString kopf =
        zeilen({u"SELECT  Lumora_User.USR_UserFD, Lumora_User.USR_UserName,"_s,
                u"(case when ifnull(Lumora_TeamAktiveLPE.PTA_LPE_ID, 0) = 0 then 0 else 1 end) AS Aktiv"_s, u"FROM"_s,
                u"Lumora_User"_s,
                u"LEFT OUTER JOIN Lumora_TeamAktiveLPE ON (Lumora_User.Mandant_ID = "
                u"Lumora_TeamAktiveLPE.Mandant_ID)"_s,
                u"AND (Lumora_User.USR_UserFD = Lumora_TeamAktiveLPE.PTA_LPE_ID)"_s, u"WHERE"_s,
                u"Lumora_User.Mandant_ID = "_s + mandantSql(*this)});
    const QString angemeldeter = QString::number(AngemeldeteLPE_ID);
    return leseTeamListe(
        *this,
        zeilen({kopf, u"AND Lumora_User.USR_UserFD = "_s + angemeldeter, u"ORDER BY"_s, u"Lumora_User.USR_UserName"_s}),
        zeilen({kopf, u"AND Lumora_User.USR_UserFD <> "_s + angemeldeter, filter, u"ORDER BY"_s,
                u"Lumora_User.USR_UserName"_s}),
        true);
}

QList<TTeamListenEintrag> Tdm::TeamFuelleListViewEinzel() {
    const QString filter = TeamGibTeamFilterAusBerechtigungen(AngemeldeteLPE_ID);
    const QString kopf =
        zeilen({u"SELECT  Lumora_User.USR_UserFD, Lumora_User.USR_UserName"_s, u"FROM"_s, u"Lumora_User"_s});
    const QString angemeldeter = QString::number(AngemeldeteLPE_ID);
    return leseTeamListe(*this, zeilen({kopf, u"Where mandant_ID = :mandantid and USR_UserFD = "_s + angemeldeter}),
                         zeilen({kopf, u"Where mandant_ID = :mandantid and USR_UserFD <> "_s + angemeldeter, filter,
                                 u"ORDER BY"_s, u"Lumora_User.USR_UserName"_s}),
                         false);
}

void Tdm::TeamToggleTeamInListView(int LPE_ID, bool Aktiv) {
    auto q = GetQueryInstance();
    if (Aktiv)
        q->setSQL(u" Insert or Replace into Lumora_TeamAktiveLPE  (Mandant_ID, PTA_LPE_ID) VALUES ("_s +
                  mandantSql(*this) + u", "_s + QString::number(LPE_ID) + u")"_s);
    else
        q->setSQL(u" Delete from Lumora_TeamAktiveLPE  where Mandant_ID = "_s + mandantSql(*this) +
                  u" AND PTA_LPE_ID = "_s + QString::number(LPE_ID));
    q->ExecSQL();
}

void Tdm::TeamLoescheAktiveTeamLPEs() {
    auto q = GetQueryInstance();
    q->setSQL(u" Delete from Lumora_TeamAktiveLPE  where mandant_id = "_s + mandantSql(*this));
    q->ExecSQL();
}

void Tdm::TeamLoescheUngueltigeAktiveTeamLPE() {
    const int gruppe = GibUserBerID(AngemeldeteLPE_ID);
    const int erlaubte =
        ersterWert(*this,
                   zeilen({u"select count(mandant_id) a from Lumora_GruppenTeam"_s,
                           u"where mandant_id = "_s + mandantSql(*this) + u" and GTE_BER_ID = :berid"_s}),
                   {{u"berid"_s, gruppe}}, 0)
            .toInt();
    // A group without a team list may take anyone.
    if (erlaubte <= 0)
        return;
    auto q = GetQueryInstance();
    q->setSQL(zeilen({u"DELETE  FROM Lumora_TeamAktiveLPE"_s, u"WHERE"_s,
                      u"  Lumora_TeamAktiveLPE.Mandant_ID = "_s + mandantSql(*this) + u" AND "_s,
                      u"  pta_lpe_id NOT IN ("_s, u"  SELECT Lumora_GruppenTeam.gte_lpe FROM Lumora_GruppenTeam "_s,
                      u"  WHERE Lumora_GruppenTeam.Mandant_ID = "_s + mandantSql(*this) + u" AND gte_ber_id = "_s +
                          QString::number(gruppe),
                      u"  )"_s}));
    q->ExecSQL();
}

bool Tdm::TeamAktiveTeamMitgliederVorhanden() {
    return anzahlAktive(*this, QString()) != 0;
}

bool Tdm::TeamIstLPEImTeamOrSet(int LPEID) {
    if (anzahlAktive(*this, QString()) == 0)
        TeamToggleTeamInListView(AktuelleLPE_ID, true);
    return anzahlAktive(*this, u" and pta_LPE_ID = "_s + QString::number(LPEID)) != 0;
}

QString Tdm::TeamGibTeamMitgliederAlsString() {
    const QString kopf = u" Select u.USR_UserName, u.USR_Kurz from Lumora_User u "_s;
    const QStringList namen =
        ersteSpalte(*this, kopf +
                               u" inner join Lumora_TeamAktiveLPE a on  u.USR_UserFD = a.PTA_LPE_ID and "
                               u"u.Mandant_ID = a.Mandant_ID  where u.Mandant_ID = "_s +
                               mandantSql(*this));
    if (!namen.isEmpty())
        return namen.join(u" | "_s);
    return ersterWert(*this,
                      kopf + u" where u.USR_UserFD = "_s + QString::number(AktuelleLPE_ID) + u" and u.Mandant_ID = "_s +
                          mandantSql(*this),
                      {}, QString())
        .toString();
}

bool Tdm::TeamIstBestehenderEintrag(int MobileID) {
    QString guid;
    return linkGuid(*this, u"Lumora_Team"_s, MobileID, guid);
}

bool Tdm::TeamIstBestehenderEintragZPZ(int MobileID) {
    QString guid;
    return linkGuid(*this, u"Lumora_TeamZPZ"_s, MobileID, guid);
}

bool Tdm::TeamIstBestehenderEintragGibGUIDZER(int MobileID, QString& GUID) {
    return linkGuid(*this, u"Lumora_Team"_s, MobileID, GUID);
}

bool Tdm::TeamIstBestehenderEintragGibGUIDZPZ(int MobileID, QString& GUID) {
    return linkGuid(*this, u"Lumora_TeamZPZ"_s, MobileID, GUID);
}

bool Tdm::TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(int MobileID) {
    QString guid;
    const bool hatTeam = TeamIstBestehenderEintragGibGUIDZER(MobileID, guid);
    aktiviereTeamVonGuid(
        *this,
        u" Insert into Lumora_TeamAktiveLPE   Select z.Mandant_id, z.ZER_LPE from Z_Erfassung z   inner "
        u"join  Lumora_Team t on  z.MobileID = t.PTT_MobileID and z.Mandant_ID = t.Mandant_ID  where "
        u"t.mandant_ID = "_s +
            mandantSql(*this) + u" and t.PTT_GUID = :guid and t.PTT_Inaktiv = 0"_s + u" group by ZER_LPE"_s,
        hatTeam && MobileID != 0 ? guid : QString());
    return hatTeam;
}

void Tdm::TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(int MobileID) {
    QString guid;
    const bool hatTeam = TeamIstBestehenderEintragGibGUIDZPZ(MobileID, guid);
    aktiviereTeamVonGuid(
        *this,
        u" Insert into Lumora_TeamAktiveLPE   Select p.Mandant_id, p.ZPZ_LPE_ID from Z_Praesenzzeit p   "
        u"inner join  Lumora_TeamZPZ t on  p.MobileID = t.PTT_MobileID and p.Mandant_ID = t.Mandant_ID "
        u" where t.mandant_ID = "_s +
            mandantSql(*this) + u" and t.PTT_GUID = :guid and t.PTT_Inaktiv = 0"_s + u" group by ZPZ_LPE_ID"_s,
        hatTeam ? guid : QString());
}

bool Tdm::TeamTeamZERistAbweichendAktiveTeamLPEs(int MobileID) {
    auto leseListe = [this, MobileID](const QString& sql) {
        auto q = GetQueryInstance();
        q->setSQL(sql);
        q->ParamByName(u"mandantID"_s).setAsInteger(FMandantID);
        q->ParamByName(u"mobId"_s).setAsInteger(MobileID);
        QStringList werte;
        if (q->Open()) {
            for (; !q->Eof(); q->Next())
                werte.append(q->Fields(0).AsString());
        }
        return werte.join(u',');
    };
    const QString teamDesEintrags =
        leseListe(zeilen({u"SELECT  Z_ERFASSUNG.ZER_LPE FROM"_s, u"  Lumora_Team"_s,
                          u"  INNER JOIN Z_ERFASSUNG ON (Lumora_Team.Mandant_ID = Z_ERFASSUNG.Mandant_ID)"_s,
                          u"  AND (Lumora_Team.PTT_MobileID = Z_ERFASSUNG.MobileID)"_s, u"WHERE"_s,
                          u" Lumora_Team.PTT_Inaktiv = 0 and Lumora_Team.PTT_GUID = "_s,
                          u"   (select ptt_guid from Lumora_Team where Lumora_Team.Mandant_ID = :mandantID "_s,
                          u"    and Lumora_Team.PTT_MobileID = :mobId)"_s, u"GROUP BY Z_ERFASSUNG.ZER_LPE"_s,
                          u"ORDER BY Z_ERFASSUNG.ZER_LPE"_s}));
    const QString aktiveMitglieder = leseListe(zeilen(
        {u"SELECT "_s, u"  Lumora_TeamAktiveLPE.PTA_LPE_ID"_s, u"FROM"_s, u"  Lumora_TeamAktiveLPE"_s, u"WHERE"_s,
         u"  Lumora_TeamAktiveLPE.Mandant_ID = :mandantID"_s, u"ORDER BY Lumora_TeamAktiveLPE.PTA_LPE_ID"_s}));
    return teamDesEintrags != aktiveMitglieder;
}

#include "PlanungSpalten.h"
#include "Thread.DatenAusCloud1.h"

#include "core/settingskeys.h"

// The planning step of the cycle: assignments, planning teams, their members and the
// users' team permissions. Assignments travel by change stamp, teams and members by the
// tenant's planning version.

using PlanungSpalten::SqlListe;

bool TDatenAusCloudThread::PlanungsAenderungenAnstehend() {
    if (FMandantStatus == 2)
        return false;
    // Rows of other tenants on this device belong to their own logins.
    const QString m = QStringLiteral(" where Mandant_ID = ") + mandantText();
    auto q = lokal(QStringLiteral(" select sum(Anzahl) as Anzahl from ( select Owner as Anzahl from Planung") + m +
                   QStringLiteral(" union all select Owner as Anzahl from Planung_team") + m +
                   QStringLiteral(" union all select Owner as Anzahl from Planung_TEAMPersonal") + m +
                   QStringLiteral(" union all select 0 as Anzahl ) "));
    lokalOpenOderAbbruch(*q);
    return !q->Eof() && q->Fields(0).AsInteger() > 0;
}

void TDatenAusCloudThread::PlanungSynchronisieren() {
    FbPlanung = false;
    if (Terminated())
        return;
    // A full reload has marked every row; those still to be uploaded are the device's and
    // not the server's to sweep, whether their upload succeeds in this run or not.
    if (FIstFullsync)
        for (const char* tabelle : {"Planung", "Planung_Team", "Planung_TeamPersonal"})
            lokal(QStringLiteral(" update ") + QLatin1String(tabelle) +
                  QStringLiteral(" set FlagGeloescht = 0 where Owner = 1 and Mandant_ID = ") + mandantText())
                ->ExecSQL();
    const int serverVersion = GibServerPlanungsVersion();
    FStartFromSyncVersion = LeseINT(SettingKey::SyncVersionPlanung, 0);
    // Assignments come by their change stamp whoever changed them; the version only tells
    // whether teams or members changed.
    bool allesGeladen = PlanungenLaden();
    if (!Terminated() && FStartFromSyncVersion < serverVersion) {
        FServerSyncVersion = serverVersion;
        allesGeladen &= PlanungTeamsLaden();
    }
    if (Terminated())
        return;
    // Whether the device holds every team the server announced.
    const bool teamsAktuell = serverVersion >= 0 && allesGeladen;
    PlanungTeamsHochladen();
    // Otherwise a failed read or insert would delete on the server what the device lacks.
    if (!Terminated() && teamsAktuell)
        PlanungTeamsAufServerBereinigen();
    if (!Terminated() && PlanungsAenderungenAnstehend())
        PlanungenHochladen();
    if (!Terminated())
        PlanungLokalBereinigen();
    if (!Terminated() && FPlanungGeloescht) {
        const int naechste = NaechstePlanungsVersion();
        if (naechste > 0) {
            auto ds = remote(u" Update SyncVersion  set ID_Planung = :ID_Planung  Where Mandant_ID = :Mandant_ID");
            ds->ParamByName(u"ID_Planung").setAsInteger(naechste);
            ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            // What failed to come down in this run must come down again.
            if (remoteExec(*ds) && teamsAktuell)
                SchreibeINT(SettingKey::SyncVersionPlanung, naechste);
        }
    }
    if (!Terminated() && FbPlanung)
        PlanungErlaubnisLaden();
}

// ---- the tenant's planning version ----

int TDatenAusCloudThread::GibServerPlanungsVersion() {
    if (!serverErreichbar())
        return -1;
    auto ds = remote(u" SELECT   ID_Planung   FROM  SyncVersion  WHERE Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    if (!remoteOpen(*ds))
        return -1;
    return ds->Eof() ? 0 : ds->Fields(0).AsInteger();
}

int TDatenAusCloudThread::NaechstePlanungsVersion() {
    if (!serverErreichbar())
        return 0;
    auto ds = remote(u" SELECT   ID_Planung   FROM  SyncVersion  WHERE Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    remoteOpenOderAbbruch(*ds);
    if (!ds->Eof())
        return ds->Fields(0).AsInteger() + 1;
    auto neu = remote(u" Insert into SyncVersion  (Mandant_ID, ID_Planung) VALUES  (:Mandant_ID, :ID_Planung)");
    neu->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    neu->ParamByName(u"ID_Planung").setAsInteger(0);
    remoteExec(*neu);
    return 1;
}

bool TDatenAusCloudThread::ErhoehePlanungsVersion(int version) {
    const int naechste = NaechstePlanungsVersion();
    if (naechste == 0 || naechste - 1 >= version)
        return false;
    auto ds = remote(u" Update SyncVersion  set ID_Planung = :ID_Planung  Where Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"ID_Planung").setAsInteger(version);
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    return remoteExec(*ds);
}

// ---- clean-up against what the server still has ----

void TDatenAusCloudThread::PlanungLokalBereinigen() {
    if (!serverErreichbar())
        return;
    QStringList planungen, teams, mitglieder;
    {
        auto ds = remote(
            u" SELECT        typ, guid, lpe  FROM            Planung_AlleGuids  where Mandant_ID = :Mandant_ID ");
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        remoteOpenOderAbbruch(*ds);
        for (; !ds->Eof(); ds->Next()) {
            const QString typ = ds->FieldByName(u"typ").AsString();
            const QString guid = PlanungSpalten::Guid(ds->FieldByName(u"guid").AsString());
            if (!PlanungSpalten::IstGuid(guid))
                continue;
            if (typ == u"P_PL")
                planungen << guid;
            else if (typ == u"P_PT")
                teams << guid;
            else if (typ == u"P_PP")
                mitglieder << PlanungSpalten::MitgliedSchluessel(guid, ds->FieldByName(u"lpe").AsLargeInt());
        }
    }
    const QString m = QStringLiteral(" and Mandant_ID = ") + mandantText();
    {
        auto q = lokal(
            planungen.isEmpty()
                ? QStringLiteral(" delete from Planung  Where gesperrt = 0 and owner = 0 and Mandant_ID = ") +
                      mandantText()
                : QStringLiteral(" delete from Planung  Where gesperrt = 0 and owner = 0 and MPL_GUID not in ( ") +
                      SqlListe(planungen) + QStringLiteral(" ) ") + m);
        if (q->ExecSQL() && q->RowsAffected() > 0)
            FbPlanung = true;
    }
    lokal(teams.isEmpty()
              ? QStringLiteral(" delete from Planung_Team  Where owner = 0 and Mandant_ID = ") + mandantText()
              : QStringLiteral(" delete from Planung_Team  Where owner = 0 and MTM_GUID not in ( ") + SqlListe(teams) +
                    QStringLiteral(" ) ") + m)
        ->ExecSQL();
    lokal(mitglieder.isEmpty()
              ? QStringLiteral(" delete from Planung_TeamPersonal  Where owner = 0 and Mandant_ID = ") + mandantText()
              : QStringLiteral(" delete from Planung_TeamPersonal  Where owner = 0 and (MTP_GUID_Team ||'-'|| "
                               "MTP_LPE_ID)  not in ( ") +
                    SqlListe(mitglieder) + QStringLiteral(" ) ") + m)
        ->ExecSQL();
}

// ---- team permissions of the users ----

void TDatenAusCloudThread::PlanungErlaubnisLaden() {
    if (!serverErreichbar())
        return;
    struct Erlaubnis {
        qint64 user;
        QString team;
    };
    std::vector<Erlaubnis> erlaubnisse;
    {
        auto ds = remote(QStringLiteral(" select * from ") + QStringLiteral("Planung_TeamErlaubnis") +
                         QStringLiteral(" where Mandant_ID = :id "));
        ds->ParamByName(u"id").setAsInteger(FmandantID);
        remoteOpenOderAbbruch(*ds);
        for (; !ds->Eof(); ds->Next())
            erlaubnisse.push_back({ds->FieldByName(u"PTE_UserID").AsLargeInt(),
                                   PlanungSpalten::Guid(ds->FieldByName(u"PTE_TeamGuid").AsString())});
    }
    // An empty answer says nothing about the permissions: the local ones stay.
    if (erlaubnisse.empty())
        return;
    Fcon_sqlite.beginBatch();
    const auto lokalOderAbbruch = [this](const QString& sql) {
        auto q = lokal(sql);
        q->ParamByName(u"id").setAsInteger(FmandantID);
        if (!q->ExecSQL()) {
            Fcon_sqlite.endBatch();
            throw Abbruch(q->lastError().toStdString());
        }
    };
    lokalOderAbbruch(QStringLiteral(" update Planung_TeamErlaubnis  set FlagGeloescht = 1  where Mandant_ID = :id "));
    for (const Erlaubnis& e : erlaubnisse) {
        auto q = lokal(u" insert or replace into Planung_TeamErlaubnis  ( Mandant_ID, PTE_UserID, PTE_TeamGuid, "
                       u"FlagGeloescht ) values ( :Mandant_ID, :PTE_UserID, :PTE_TeamGuid, 0 ) ");
        q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        q->ParamByName(u"PTE_UserID").setAsLargeInt(e.user);
        q->ParamByName(u"PTE_TeamGuid").setAsString(e.team);
        q->ExecSQL();
    }
    lokalOderAbbruch(
        QStringLiteral(" delete from Planung_TeamErlaubnis  where Mandant_ID = :id and FlagGeloescht = 1 "));
    Fcon_sqlite.endBatch();
}

#include "LokaleZeilen.h"
#include "PlanungSpalten.h"
#include "Thread.DatenAusCloud1.h"

#include "core/settingskeys.h"

// The upload of planning teams, members and assignments, and the removal from the server
// of the teams this device no longer has.

using LokaleZeilen::TZeile;
using LokaleZeilen::wert;
using PlanungSpalten::SqlListe;

namespace {

// A local value as the server takes it: GUIDs in their braced form, colours unsigned.
QVariant serverWert(const TZeile& zeile, const QString& spalte) {
    const QVariant w = wert(zeile, spalte);
    if (PlanungSpalten::IstGuidSpalte(spalte) && !w.isNull() && !w.toString().isEmpty())
        return PlanungSpalten::Guid(w.toString());
    if (spalte == u"MTM_Farbe")
        return qint64(quint32(w.toLongLong()));
    return w;
}

} // namespace

void TDatenAusCloudThread::PlanungTeamsHochladen() {
    if (FMandantStatus == 2 || !serverErreichbar())
        return;
    const int bekannt = LeseINT(SettingKey::SyncVersionPlanung, 0);
    const int version = NaechstePlanungsVersion();
    if (version == 0 || Terminated())
        return;
    bool erhoeht = PlanungTeamTabelleHochladen(false, version);
    if (!Terminated())
        erhoeht |= PlanungTeamTabelleHochladen(true, version);
    // A device that knew every team before and announced its own under the new version
    // knows that version too; fetching its own rows again would bring back what it
    // deleted in the meantime.
    if (erhoeht && bekannt == version - 1)
        SchreibeINT(SettingKey::SyncVersionPlanung, version);
}

bool TDatenAusCloudThread::PlanungTeamTabelleHochladen(bool mitglieder, int version) {
    const QStringList& spalten = mitglieder ? PlanungSpalten::TeamPersonal() : PlanungSpalten::Team();
    const QString tabelle = mitglieder ? QStringLiteral("Planung_TEAMPersonal") : QStringLiteral("Planung_TEAM");
    std::vector<TZeile> zeilen;
    {
        // Rows of other tenants on this device belong to their own logins.
        auto q = lokal((mitglieder ? QStringLiteral(" select * from Planung_TEAMPersonal  where owner = 1 ")
                                   : QStringLiteral(" select * from Planung_team  where Owner = 1 ")) +
                       QStringLiteral(" and Mandant_ID = ") + mandantText());
        lokalOpenOderAbbruch(*q);
        zeilen = LokaleZeilen::alleZeilen(*q);
    }
    if (zeilen.empty())
        return false;
    const QStringList einfuegeSpalten = spalten + QStringList{QStringLiteral("SyncVersion")};
    const QString einfuegen = QStringLiteral("Insert into ") + tabelle + QStringLiteral(" (") +
                              einfuegeSpalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                              LokaleZeilen::spaltenListe(einfuegeSpalten, QStringLiteral(":")) + QStringLiteral(")");
    QStringList hochgeladen;
    bool fehler = false;
    for (const TZeile& zeile : zeilen) {
        if (Terminated())
            return false;
        const QString guid = serverWert(zeile, spalten[1]).toString();
        const qint64 lpe = wert(zeile, QStringLiteral("MTP_LPE_ID")).toLongLong();
        auto loeschen =
            remote(mitglieder ? QStringLiteral(" delete from Planung_TEAMPersonal  where mandant_id = :mandantID "
                                               "and MTP_GUID_Team = :guid and MTP_LPE_ID = :lpe  ")
                              : QStringLiteral(" delete from Planung_TEAM  where mandant_id = :mandantID and "
                                               "MTM_GUID = :guid "));
        loeschen->ParamByName(u"mandantID").setAsInteger(FmandantID);
        loeschen->ParamByName(u"guid").setAsString(guid);
        if (mitglieder)
            loeschen->ParamByName(u"lpe").setAsLargeInt(lpe);
        remoteExec(*loeschen);

        auto ds = remote(einfuegen);
        for (const QString& spalte : spalten)
            ds->ParamByName(spalte).setValue(serverWert(zeile, spalte));
        ds->ParamByName(u"SyncVersion").setAsInteger(version);
        if (!remoteExec(*ds))
            fehler = true;
        else if (!fehler && PlanungSpalten::IstGuid(guid))
            hochgeladen << (mitglieder ? PlanungSpalten::MitgliedSchluessel(guid, lpe) : guid);
    }
    // One failed insert keeps the whole table queued and the version where it was.
    if (fehler || hochgeladen.isEmpty())
        return false;
    lokal((mitglieder ? QStringLiteral(" update Planung_TEAMPersonal set Owner = 0 where (MTP_GUID_Team ||'-'|| "
                                       "MTP_LPE_ID) in (")
                      : QStringLiteral(" update Planung_team set Owner = 0 where MTM_guid in (")) +
          SqlListe(hochgeladen) + QStringLiteral(")"))
        ->ExecSQL();
    return ErhoehePlanungsVersion(version);
}

void TDatenAusCloudThread::PlanungTeamsAufServerBereinigen() {
    if (FMandantStatus == 2 || !serverErreichbar())
        return;
    QStringList teams{PlanungSpalten::PlatzhalterGuid};
    QStringList mitglieder{PlanungSpalten::MitgliedSchluessel(PlanungSpalten::PlatzhalterGuid, 0)};
    {
        auto q = lokal(u" select MTM_GUID as ID  from   Planung_Team ");
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next()) {
            const QString guid = PlanungSpalten::Guid(q->FieldByName(u"ID").AsString());
            if (PlanungSpalten::IstGuid(guid))
                teams << guid;
        }
    }
    {
        auto q = lokal(u" select MTP_GUID_Team as ID, MTP_LPE_ID as LPE  from   Planung_TeamPersonal ");
        lokalOpenOderAbbruch(*q);
        for (; !q->Eof(); q->Next()) {
            const QString guid = PlanungSpalten::Guid(q->FieldByName(u"ID").AsString());
            if (PlanungSpalten::IstGuid(guid))
                mitglieder << PlanungSpalten::MitgliedSchluessel(guid, q->FieldByName(u"LPE").AsLargeInt());
        }
    }
    auto ds =
        remote(QStringLiteral(" delete from Planung_Team  Where mandant_id = :mandant_id and MTM_GUID not in ( ") +
               SqlListe(teams) + QStringLiteral(" )"));
    ds->ParamByName(u"mandant_id").setAsInteger(FmandantID);
    remoteExec(*ds);
    ds = remote(QStringLiteral(" delete from Planung_TeamPersonal  Where mandant_id = :mandant_id and '{' + "
                               "CAST(MTP_GUID_Team AS varchar(50)) + '}-' + CAST(MTP_LPE_ID AS nvarchar) not in ( ") +
                SqlListe(mitglieder) + QStringLiteral(" )"));
    ds->ParamByName(u"mandant_id").setAsInteger(FmandantID);
    remoteExec(*ds);
}

void TDatenAusCloudThread::PlanungenHochladen() {
    if (FMandantStatus == 2 || !serverErreichbar())
        return;
    // The tenant's version row must exist before assignments go up.
    NaechstePlanungsVersion();
    std::vector<TZeile> zeilen;
    {
        auto q = lokal(QStringLiteral(" select * from Planung  where owner = 1 ") +
                       QStringLiteral(" and Mandant_ID = ") + mandantText());
        lokalOpenOderAbbruch(*q);
        zeilen = LokaleZeilen::alleZeilen(*q);
    }
    const QStringList& spalten = PlanungSpalten::PlanungHochladen();
    const QString einfuegen = QStringLiteral("Insert into Planung (") + spalten.join(QStringLiteral(", ")) +
                              QStringLiteral(") VALUES (") + LokaleZeilen::spaltenListe(spalten, QStringLiteral(":")) +
                              QStringLiteral(")");
    QStringList zuweisungen;
    for (const QString& s : spalten)
        if (s != u"Mandant_ID" && s != u"MPL_GUID")
            zuweisungen << s + QStringLiteral(" = :") + s;
    const QString aendern = QStringLiteral("Update Planung SET ") + zuweisungen.join(QStringLiteral(", ")) +
                            QStringLiteral(" where Mandant_ID = :Mandant_ID and MPL_GUID = :MPL_GUID");
    struct Bestaetigung {
        QString guid;
        QVariant mutDat;
    };
    std::vector<Bestaetigung> bestaetigen;
    int verarbeitet = 0;
    for (const TZeile& zeile : zeilen) {
        if (Terminated())
            break;
        const QString guid = serverWert(zeile, QStringLiteral("MPL_GUID")).toString();
        // Its GUID goes into statements as text; a row without a proper one cannot go up.
        if (!PlanungSpalten::IstGuid(guid))
            continue;
        auto vorhanden = remote(u" select MPL_GUID from Planung  where mandant_id = :mandantID and MPL_GUID = :guid ");
        vorhanden->ParamByName(u"mandantID").setAsInteger(FmandantID);
        vorhanden->ParamByName(u"guid").setAsString(guid);
        // Without an answer or a stored row the assignment stays queued: confirming it would
        // let the clean-up delete what the user planned.
        if (!remoteOpen(*vorhanden))
            continue;
        auto ds = remote(vorhanden->Eof() ? einfuegen : aendern);
        for (const QString& spalte : spalten) {
            QVariant w = serverWert(zeile, spalte);
            if (PlanungSpalten::VerschluesseltHochladen(spalte)) {
                QString text = w.toString();
                if (spalte == u"MPL_Text")
                    text = text.left(LokaleZeilen::MaxTextLaenge);
                w = scramble(text);
            }
            ds->ParamByName(spalte).setValue(w);
        }
        if (!remoteExec(*ds))
            continue;
        ++verarbeitet;
        if (wert(zeile, QStringLiteral("geloescht")).toInt() != 0)
            lokal(QStringLiteral(" delete from  Planung where MPL_GUID = '") + guid +
                  QStringLiteral("' and Mandant_ID = ") + mandantText())
                ->ExecSQL();
        else
            bestaetigen.push_back({guid, wert(zeile, QStringLiteral("MPL_MUTDAT"))});
    }
    // Changed again during the upload: it goes up again in the next cycle.
    for (const Bestaetigung& b : bestaetigen) {
        auto q = lokal(QStringLiteral(" update Planung set Owner = 0 where MPL_GUID = '") + b.guid +
                       QStringLiteral("' and Mandant_ID = ") + mandantText() +
                       QStringLiteral(" and MPL_MUTDAT is :MPL_MUTDAT"));
        q->ParamByName(u"MPL_MUTDAT").setValue(b.mutDat);
        q->ExecSQL();
    }
    if (verarbeitet > 0)
        MeldeClientAenderung();
}

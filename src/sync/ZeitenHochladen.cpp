#include "LokaleZeilen.h"
#include "Thread.DatenAusCloud1.h"
#include "ZeitenSpalten.h"

#include "core/clock.h"

#include <QSet>
#include <QSysInfo>

// The upload of entries, presence times and their team links, and the tests that find
// pending work. A row is confirmed only if its change time is still the one uploaded,
// so a change made during the upload goes up again in the next cycle.
struct TZeitenUpload {
    QString tabelle;
    QString id; // ZER_ID / ZPZ_ID
    QString mutDat;
    QString auswahlSql;
    QStringList daten; // the data columns, updated as they are
    QSet<QString> verschluesselt;
};

namespace {

using LokaleZeilen::alleZeilen;
using LokaleZeilen::spaltenListe;
using LokaleZeilen::TZeile;
using LokaleZeilen::MaxTextLaenge;
using LokaleZeilen::wert;

} // namespace

bool TDatenAusCloudThread::UploadsAnstehend()
{
    if (FMandantStatus == 2)
        return false;
    const TDateTime grenze = Clock::now().addMinutes(-120);
    for (const auto& [tabelle, mutDat] : {std::pair{QStringLiteral("Z_Praesenzzeit"), QStringLiteral("ZPZ_MUTDAT")},
                                    std::pair{QStringLiteral("Z_ERFASSUNG"), QStringLiteral("ZER_MUTDAT")}}) {
        auto q = lokal(QStringLiteral(" update ") + tabelle +
                       QStringLiteral("  set  gesperrt = 0, komplett = 0, Owner = 1  where (gesperrt + komplett) > 0 and ") +
                       mutDat + QStringLiteral(" < :mutdat and  Mandant_ID = ") + mandantText());
        q->ParamByName(u"mutdat").setAsDateTime(grenze);
        q->ExecSQL();
    }
    const QString m = QStringLiteral(" and Mandant_ID = ") + mandantText();
    auto q = lokal(QStringLiteral(" select sum(Anzahl) as Anzahl from(") +
                   QStringLiteral("select Owner as Anzahl from Z_PRAESENZZEIT where gesperrt = 0 and komplett = 0") + m +
                   QStringLiteral(" union all ") +
                   QStringLiteral("select 1 as Anzahl from Z_PRAESENZZEIT where gesperrt = 0 and komplett = 0 and "
                                  "CloudStatus = 0 and owner = 0") +
                   m + QStringLiteral(" union all ") +
                   QStringLiteral("select Owner as Anzahl from Z_ERFASSUNG where gesperrt = 0 and komplett = 0 AND "
                                  "(ZER_ZKA <> '' or ZER_Type = 9)") +
                   m + QStringLiteral(" union all ") + QStringLiteral(" select 0 as Anzahl ") + QStringLiteral(" ) "));
    lokalOpenOderAbbruch(*q);
    return !q->Eof() && q->Fields(0).AsInteger() > 0;
}

void TDatenAusCloudThread::GibGesperrtePraesenzzeitenFrei()
{
    if (FMandantStatus == 2)
        return;
    auto q = lokal(QStringLiteral(" update Z_Praesenzzeit  set gesperrt = 0  where gesperrt = 1 and mandant_id = ") +
                   mandantText() + QStringLiteral(" and ZPZ_MutDat < :mutdat "));
    q->ParamByName(u"mutdat").setAsDateTime(Clock::now().addSeconds(-60));
    q->ExecSQL();
}

void TDatenAusCloudThread::RepariereNichtGesendete()
{
    for (const auto& [tabelle, id] : {std::pair{QStringLiteral("Z_Erfassung"), QStringLiteral("zer_id")},
                                    std::pair{QStringLiteral("Z_PRAESENZZEIT"), QStringLiteral("zpz_id")}}) {
        std::vector<int> mobileIds;
        {
            auto q = lokal(QStringLiteral(" select mobileid from ") + tabelle + QStringLiteral(" where ") +
                           id + QStringLiteral(" < 0 and owner = 0 and Mandant_ID = ") + mandantText());
            if (q->Open())
                for (; !q->Eof(); q->Next())
                    mobileIds.push_back(q->Fields(0).AsInteger());
        }
        for (const int mobileId : mobileIds) {
            if (Terminated() || !serverErreichbar())
                return;
            auto ds = remote(QStringLiteral(" select count (*) as anzahl  from ") + tabelle +
                             QStringLiteral("  where mandant_ID = :mandant_id and mobileid = :mobileid  and Mandant_ID = ") +
                             mandantText());
            ds->ParamByName(u"mandant_id").setAsInteger(FmandantID);
            ds->ParamByName(u"mobileid").setAsInteger(mobileId);
            if (!remoteOpen(*ds) || ds->Eof() || ds->Fields(0).AsInteger() != 0)
                continue;
            auto q = lokal(QStringLiteral(" update ") + tabelle.toLower() +
                           QStringLiteral("  set owner = 1  where mobileid = :mobileid  and Mandant_ID = ") + mandantText());
            q->ParamByName(u"mobileid").setAsInteger(mobileId);
            q->ExecSQL();
        }
    }
}

void TDatenAusCloudThread::MeldeClientAenderung()
{
    auto ds = remote(u" Update SyncVersion  set dtClients = getdate()  Where Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    remoteExec(*ds);
}

void TDatenAusCloudThread::ErfassungenHochladen()
{
    const QStringList& v = ZeitenSpalten::ErfassungVerschluesselt();
    ZeitenHochladen({QStringLiteral("Z_Erfassung"), QStringLiteral("ZER_ID"), QStringLiteral("ZER_MUTDAT"),
                     QStringLiteral(" SELECT * FROM Z_Erfassung  WHERE    Owner = 1 and gesperrt = 0 and komplett = 0  "
                                    "AND (ZER_ZKA <> '' or ZER_Type = 9)"),
                     ZeitenSpalten::ErfassungDaten(), QSet<QString>(v.begin(), v.end())});
}

void TDatenAusCloudThread::PraesenzzeitenHochladen()
{
    const QStringList& v = ZeitenSpalten::PraesenzVerschluesselt();
    ZeitenHochladen({QStringLiteral("Z_Praesenzzeit"), QStringLiteral("ZPZ_ID"), QStringLiteral("ZPZ_MUTDAT"),
                     QStringLiteral(" SELECT * FROM Z_Praesenzzeit  WHERE   ( Owner = 1 or CloudStatus = 0 ) and "
                                    "(gesperrt = 0) and (komplett = 0)"),
                     ZeitenSpalten::PraesenzDaten(), QSet<QString>(v.begin(), v.end())});
}

void TDatenAusCloudThread::ZeitenHochladen(const TZeitenUpload& art)
{
    if (FMandantStatus == 2)
        return;
    std::vector<TZeile> zeilen;
    {
        // Rows of other tenants on this device belong to their own logins.
        auto q = lokal(art.auswahlSql + QStringLiteral(" and Mandant_ID = ") + mandantText());
        lokalOpenOderAbbruch(*q);
        zeilen = alleZeilen(*q);
    }
    if (zeilen.empty() || !serverErreichbar())
        return;
    const QStringList flags{QStringLiteral("VonIstNULL"), QStringLiteral("BisIstNULL"), QStringLiteral("StdIstNULL")};
    const QStringList einfuegeSpalten = QStringList{QStringLiteral("Mandant_ID"), art.id} + art.daten +
                                        QStringList{QStringLiteral("Owner"), QStringLiteral("MobileID"),
                                                    QStringLiteral("geloescht")} +
                                        flags + QStringList{QStringLiteral("OSVERSION"), QStringLiteral("AppVersion")};
    const QStringList aenderSpalten = art.daten + QStringList{QStringLiteral("Owner"), QStringLiteral("geloescht")} + flags +
                                      QStringList{QStringLiteral("OSVERSION"), QStringLiteral("AppVersion")};
    QStringList zuweisungen;
    for (const QString& s : aenderSpalten)
        zuweisungen << s + QStringLiteral(" = :") + s;
    int hochgeladen = 0;
    for (const TZeile& zeile : zeilen) {
        if (Terminated())
            break;
        const bool geloescht = wert(zeile, QStringLiteral("geloescht")).toInt() != 0;
        const QVariant mutDat = wert(zeile, art.mutDat);
        const qint64 id = wert(zeile, art.id).toLongLong();
        const qint64 mobileId = wert(zeile, QStringLiteral("MobileID")).toLongLong();
        const bool nachMobileId = id < 0;
        const QString where = nachMobileId ? QStringLiteral(" where Mandant_ID = :Mandant_ID and  MobileID = :MobileID ")
                                           : QStringLiteral(" where Mandant_ID = :Mandant_ID and  ") + art.id +
                                                 QStringLiteral(" = :") + art.id + u' ';
        auto zaehlen = remote(QStringLiteral(" select count(*) as anzahl from  ") + art.tabelle.toUpper() + where);
        zaehlen->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        if (nachMobileId)
            zaehlen->ParamByName(u"MobileID").setAsLargeInt(mobileId);
        else
            zaehlen->ParamByName(art.id).setAsLargeInt(id);
        remoteOpenOderAbbruch(*zaehlen);
        const bool neu = zaehlen->Eof() || zaehlen->Fields(0).AsInteger() < 1;

        auto ds = remote(neu ? QStringLiteral("INSERT INTO ") + art.tabelle + QStringLiteral(" (") +
                                   einfuegeSpalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                                   spaltenListe(einfuegeSpalten, QStringLiteral(":")) + QStringLiteral(")")
                             : QStringLiteral("UPDATE ") + art.tabelle + QStringLiteral(" SET ") +
                                   zuweisungen.join(QStringLiteral(", ")) + where);
        for (const QString& spalte : neu ? einfuegeSpalten : aenderSpalten) {
            QVariant w = wert(zeile, spalte);
            if (spalte == u"OSVERSION")
                w = QSysInfo::prettyProductName();
            else if (spalte == u"AppVersion")
                w = FAppVersion;
            else if (spalte == u"MobileID")
                w = mobileId <= 0 ? mobileId : qint64(0);
            else if (art.verschluesselt.contains(spalte)) {
                QString text = w.toString();
                if (spalte == u"ZER_Text")
                    text = text.left(MaxTextLaenge);
                w = scramble(text);
            }
            ds->ParamByName(spalte).setValue(w);
        }
        if (!neu) {
            ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            if (nachMobileId)
                ds->ParamByName(u"MobileID").setAsLargeInt(mobileId);
            else
                ds->ParamByName(art.id).setAsLargeInt(id);
        }
        if (!remoteExec(*ds))
            continue;
        ++hochgeladen;
        if (geloescht) {
            auto q = lokal(QStringLiteral(" delete from ") + art.tabelle + QStringLiteral(" where ") + art.id +
                           QStringLiteral(" = :") + art.id + QStringLiteral(" and Mandant_ID = :Mandant_ID"));
            q->ParamByName(art.id).setAsLargeInt(id);
            q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            q->ExecSQL();
        } else {
            auto q = lokal(QStringLiteral(" Update ") + art.tabelle + QStringLiteral(" set Owner = 0, CloudStatus=1  where ") +
                           art.id + QStringLiteral(" = :") + art.id +
                           QStringLiteral("  and Mandant_ID = :Mandant_ID and ") + art.mutDat + QStringLiteral(" = :") +
                           art.mutDat);
            q->ParamByName(art.id).setAsLargeInt(id);
            q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            q->ParamByName(art.mutDat).setValue(mutDat);
            q->ExecSQL();
        }
    }
    if (hochgeladen > 0)
        MeldeClientAenderung();
}

void TDatenAusCloudThread::TeamHochladen() { TeamLinksHochladen(QStringLiteral("Lumora_Team"), QStringLiteral("PTT_ZER_ID")); }

void TDatenAusCloudThread::TeamZPZHochladen()
{
    TeamLinksHochladen(QStringLiteral("Lumora_TeamZPZ"), QStringLiteral("PTT_ZPZ_ID"));
}

void TDatenAusCloudThread::TeamLinksHochladen(const QString& tabelle, const QString& idSpalte)
{
    if (FMandantStatus == 2)
        return;
    std::vector<TZeile> zeilen;
    {
        auto q = lokal(QStringLiteral(" SELECT * FROM ") + tabelle + QStringLiteral("  WHERE   ( Owner = 1 ) and Mandant_ID = ") +
                       mandantText());
        lokalOpenOderAbbruch(*q);
        zeilen = alleZeilen(*q);
    }
    if (zeilen.empty() || !serverErreichbar())
        return;
    std::vector<qint64> bestaetigen;
    for (const TZeile& zeile : zeilen) {
        if (Terminated())
            break;
        const qint64 mobileId = wert(zeile, QStringLiteral("PTT_MobileID")).toLongLong();
        const qint64 objektId = wert(zeile, idSpalte).toLongLong();
        const QString schluessel = mobileId < 0 ? QStringLiteral("PTT_MobileID") : idSpalte;
        const QString where = QStringLiteral(" where Mandant_ID = :Mandant_ID and  ") + schluessel + QStringLiteral(" = :") +
                              schluessel + u' ';
        auto zaehlen = remote(QStringLiteral(" select count(*) as anzahl from  ") + tabelle + where);
        zaehlen->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        zaehlen->ParamByName(schluessel).setAsLargeInt(mobileId < 0 ? mobileId : objektId);
        remoteOpenOderAbbruch(*zaehlen);
        const bool neu = zaehlen->Eof() || zaehlen->Fields(0).AsInteger() < 1;
        auto ds = remote(neu ? QStringLiteral(" INSERT INTO ") + tabelle + QStringLiteral(" (    Mandant_ID , ") + idSpalte +
                                   QStringLiteral("  , PTT_MobileID , PTT_GUID , PTT_Inaktiv , PTT_ERFDAT , PTT_ERFUSER  , "
                                                  "PTT_MUTDAT , PTT_MUTUSER  , Owner  ) VALUES (  :Mandant_ID , :") +
                                   idSpalte +
                                   QStringLiteral("  , :PTT_MobileID , :PTT_GUID , :PTT_Inaktiv , :PTT_ERFDAT , "
                                                  ":PTT_ERFUSER  , :PTT_MUTDAT , :PTT_MUTUSER  , :Owner  )")
                             : QStringLiteral(" UPDATE ") + tabelle +
                                   QStringLiteral("   SET  PTT_GUID = :PTT_GUID , PTT_Inaktiv = :PTT_Inaktiv , PTT_ERFDAT = "
                                                  ":PTT_ERFDAT , PTT_ERFUSER = :PTT_ERFUSER , PTT_MUTDAT = :PTT_MUTDAT , "
                                                  "PTT_MUTUSER = :PTT_MUTUSER , Owner = :Owner ") +
                                   where);
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        if (neu) {
            ds->ParamByName(idSpalte).setAsLargeInt(objektId);
            ds->ParamByName(u"PTT_MobileID").setAsLargeInt(mobileId <= 0 ? mobileId : 0);
        } else {
            ds->ParamByName(schluessel).setAsLargeInt(mobileId < 0 ? mobileId : objektId);
        }
        for (const char* spalte : {"PTT_GUID", "PTT_Inaktiv", "PTT_ERFDAT", "PTT_MUTDAT", "Owner"})
            ds->ParamByName(QLatin1String(spalte)).setValue(wert(zeile, QLatin1String(spalte)));
        for (const QString& spalte : ZeitenSpalten::TeamVerschluesselt())
            ds->ParamByName(spalte).setAsString(scramble(wert(zeile, spalte).toString()));
        remoteExec(*ds); // a failure goes unnoticed: the link is settled locally all the same

        if (wert(zeile, QStringLiteral("PTT_Inaktiv")).toInt() != 0) {
            auto q = lokal(QStringLiteral(" delete from ") + tabelle +
                           QStringLiteral(" where PTT_MobileID = :PTT_MobileID and Mandant_ID = :Mandant_ID "));
            q->ParamByName(u"PTT_MobileID").setAsLargeInt(mobileId);
            q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            q->ExecSQL();
        } else {
            bestaetigen.push_back(mobileId);
        }
    }
    for (const qint64 mobileId : bestaetigen) {
        auto q = lokal(QStringLiteral(" Update ") + tabelle + QStringLiteral(" set Owner = 0 where PTT_MobileID = :PTT_MobileID ") +
                       QStringLiteral(" and Mandant_ID = ") + mandantText());
        q->ParamByName(u"PTT_MobileID").setAsLargeInt(mobileId);
        q->ExecSQL();
    }
    if (!bestaetigen.empty())
        MeldeClientAenderung();
}

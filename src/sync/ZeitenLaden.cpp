#include "ServerWerte.h"
#include "Thread.DatenAusCloud1.h"
#include "ZeitenSpalten.h"

#include "core/clock.h"

#include <QSet>

// The download of entries and presence times: rows come back with the server's ids, the
// device's own rows are renumbered by their mobile id, and a local change that is newer
// than the server's by 500 ms or more wins and goes up again.
struct TZeitenDownload {
    QString tabelle;
    QString stempelName;
    QString id;     // ZER_ID / ZPZ_ID
    QString mutDat; // ZER_MUTDAT / ZPZ_MUTDAT
    QString batchSql;
    QString pendingSql;
    QStringList spalten; // written besides the key
    QSet<QString> verschluesselt;
    bool insertOderErsetzen;
};

namespace {

const QStringList& SyncSpalten()
{
    static const QStringList s{QStringLiteral("MobileID"),   QStringLiteral("Owner"),      QStringLiteral("geloescht"),
                               QStringLiteral("VonIstNULL"), QStringLiteral("BisIstNULL"), QStringLiteral("StdIstNULL"),
                               QStringLiteral("FlagGeloescht")};
    return s;
}

QString parameterListe(const QStringList& spalten)
{
    QStringList p;
    for (const QString& s : spalten)
        p << u':' + s;
    return p.join(QStringLiteral(", "));
}

QString zuweisungen(const QStringList& spalten)
{
    QStringList z;
    for (const QString& s : spalten)
        z << s + QStringLiteral(" = :") + s;
    return z.join(QStringLiteral(", "));
}

} // namespace

void TDatenAusCloudThread::ErfassungenLaden()
{
    const QStringList& verschluesselt = ZeitenSpalten::ErfassungVerschluesselt();
    TZeitenDownload art{
        QStringLiteral("Z_Erfassung"),
        QStringLiteral("Z_Erfassung"),
        QStringLiteral("ZER_ID"),
        QStringLiteral("ZER_MUTDAT"),
        QStringLiteral("select top (2000) * from Z_Erfassung") + QStringLiteral(" where  Owner = 0  and Mandant_ID = :Mandant_ID") +
            QStringLiteral(" and (MUTTimeStamp > :MUTTimeStamp) ") + FullsyncFilter() + QStringLiteral("Order By MUTTimeStamp"),
        QStringLiteral(" select Owner from Z_Erfassung where "),
        ZeitenSpalten::ErfassungDaten() + ZeitenSpalten::ErfassungObjektTexte() + SyncSpalten(),
        QSet<QString>(verschluesselt.begin(), verschluesselt.end()) +
            QSet<QString>(ZeitenSpalten::ErfassungObjektTexte().begin(), ZeitenSpalten::ErfassungObjektTexte().end()),
        true};
    ZeitenLaden(art, FZER_IDneu, FZER_MutDatOK);
}

void TDatenAusCloudThread::PraesenzzeitenLaden()
{
    const QStringList& verschluesselt = ZeitenSpalten::PraesenzVerschluesselt();
    TZeitenDownload art{
        QStringLiteral("Z_PRAESENZZEIT"),
        QStringLiteral("Z_PRAESENZZEIT"),
        QStringLiteral("ZPZ_ID"),
        QStringLiteral("ZPZ_MUTDAT"),
        QStringLiteral("select top(2000) * from Z_PRAESENZZEIT") + QStringLiteral(" where Owner = 0  and Mandant_ID = :Mandant_ID  ") +
            QStringLiteral("and (MUTTimeStamp > :MUTTimeStamp) ") + FullsyncFilter() + QStringLiteral("Order By MUTTimeStamp"),
        QStringLiteral(" select Owner, CloudStatus from Z_PRaesenzzeit where "),
        ZeitenSpalten::PraesenzDaten() + SyncSpalten(),
        QSet<QString>(verschluesselt.begin(), verschluesselt.end()),
        false};
    ZeitenLaden(art, FZPZ_IDneu, FZPZ_MutDatOK);
}

void TDatenAusCloudThread::ZeitenLaden(const TZeitenDownload& art, bool& idNeu, bool& mutDatOK)
{
    if (!serverErreichbar())
        return;
    const QString mandant = QStringLiteral(" and Mandant_ID = ") + mandantText();
    const QHash<QString, TSpaltenArt> arten = LeseSpaltenArten(Fcon_sqlite, art.tabelle);
    const QStringList schluessel{QStringLiteral("Mandant_ID"), art.id};
    TSyncStatement aendern(Fcon_sqlite,
                           QStringLiteral(" update ") + art.tabelle + QStringLiteral(" set ") + zuweisungen(art.spalten) +
                               QStringLiteral(", CloudStatus = 2  where ") + art.id + QStringLiteral(" = :") + art.id +
                               QStringLiteral(" and  Owner = 0 and  Mandant_ID = :Mandant_ID "),
                           art.spalten + schluessel);
    TSyncStatement einfuegen(Fcon_sqlite,
                             (art.insertOderErsetzen ? QStringLiteral(" INSERT or REPLACE into ")
                                                     : QStringLiteral(" INSERT into ")) +
                                 art.tabelle + QStringLiteral(" (") + (schluessel + art.spalten).join(QStringLiteral(", ")) +
                                 QStringLiteral(", CloudStatus) VALUES (") + parameterListe(schluessel + art.spalten) +
                                 QStringLiteral(", 2) "),
                             schluessel + art.spalten);

    TDateTime stempel = LeseTabellenStempel(art.stempelName);
    bool fertig = false;
    while (!fertig && !Terminated()) {
        auto ds = remote(art.batchSql);
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"MUTTimeStamp").setAsDateTime(stempel);
        remoteOpenOderAbbruch(*ds);
        fertig = true;
        const TDateTime batchStart = stempel;
        Fcon_sqlite.beginBatch();
        for (; !ds->Eof() && !Terminated(); ds->Next()) {
            const int serverId = ds->FieldByName(art.id).AsInteger();
            const int serverMobileId = ds->FieldByName(u"MobileID").AsInteger();
            if (ds->FieldByName(u"FlagGeloescht").AsBoolean()) {
                auto q = lokal(QStringLiteral(" delete from ") + art.tabelle +
                               QStringLiteral("  where  Mandant_ID = :Mandant_ID and ") + art.id +
                               QStringLiteral(" = :") + art.id + u' ');
                q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
                q->ParamByName(art.id).setAsInteger(serverId);
                q->ExecSQL();
            } else {
                bool pending = false;
                {
                    auto q = lokal(art.pendingSql + (serverMobileId != 0 ? QStringLiteral("mobileID") : art.id) +
                                   QStringLiteral(" = :id ") + mandant);
                    q->ParamByName(u"id").setAsInteger(serverMobileId != 0 ? serverMobileId : serverId);
                    if (q->Open() && !q->Eof())
                        pending = q->FieldByName(u"Owner").AsInteger() > 0 ||
                                  (q->hasField(u"CloudStatus") && q->FieldByName(u"CloudStatus").AsInteger() == 0);
                }
                idNeu = false;
                mutDatOK = true;
                auto lokaleAenderung = [&](int id, TDateTime& mutDat) {
                    auto q = lokal(QStringLiteral(" select ") + art.mutDat + QStringLiteral(" from ") + art.tabelle +
                                   QStringLiteral(" where ") + art.id + QStringLiteral(" = :id ") + mandant);
                    q->ParamByName(u"id").setAsInteger(id);
                    if (!q->Open() || q->Eof())
                        return false;
                    mutDat = q->Fields(0).AsDateTime();
                    return true;
                };
                TDateTime lokalMutDat;
                bool lokalVorhanden = lokaleAenderung(serverId, lokalMutDat);
                if (!lokalVorhanden && serverMobileId != 0 && lokaleAenderung(serverMobileId, lokalMutDat)) {
                    auto q = lokal(QStringLiteral(" update ") + art.tabelle.toUpper() + QStringLiteral("  set ") +
                                   art.id.toLower() + QStringLiteral(" = :") + art.id +
                                   QStringLiteral("  where mobileid = :mobileid  and Mandant_ID = ") + mandantText());
                    q->ParamByName(art.id).setAsInteger(serverId);
                    q->ParamByName(u"mobileid").setAsInteger(serverMobileId);
                    lokalVorhanden = q->ExecSQL() && q->RowsAffected() > 0;
                    idNeu = lokalVorhanden;
                }
                if (lokalVorhanden) {
                    const TDateTime serverMutDat = ds->FieldByName(art.mutDat).AsDateTime();
                    if (serverMutDat.msecsTo(lokalMutDat) >= 500) {
                        mutDatOK = false;
                        auto q = lokal(QStringLiteral(" update ") + art.tabelle.toUpper() +
                                       QStringLiteral("  set Owner = 1  , CloudStatus = 0  , ") + art.mutDat +
                                       QStringLiteral(" = :MutDat  where ") + art.id + QStringLiteral(" = :") + art.id +
                                       QStringLiteral(" and Mandant_ID = ") + mandantText());
                        q->ParamByName(u"MutDat").setAsDateTime(Clock::now());
                        q->ParamByName(art.id).setAsInteger(serverId);
                        q->ExecSQL();
                    }
                }
                if (!pending && mutDatOK) {
                    TSyncStatement& ziel = lokalVorhanden ? aendern : einfuegen;
                    for (const QString& spalte : art.spalten) {
                        const TXField field = ds->FieldByName(spalte);
                        QVariant wert = art.verschluesselt.contains(spalte)
                                            ? QVariant(unscramble(field.AsString()))
                                            : LokalerWert(field, SpaltenArt(arten, spalte));
                        if (spalte == u"MobileID" && serverMobileId == 0)
                            wert = QVariant(qint64(serverId));
                        ziel.setValue(ziel.indexOf(spalte), wert);
                    }
                    ziel.setValue(ziel.indexOf(QStringLiteral("Mandant_ID")), QVariant(qint64(FmandantID)));
                    ziel.setValue(ziel.indexOf(art.id), QVariant(qint64(serverId)));
                    ziel.exec();
                }
            }
            if (ZaehleZeile()) {
                fertig = true;
                break;
            }
            stempel = ds->FieldByName(u"MUTTimeStamp").AsDateTime();
            fertig = false;
        }
        Fcon_sqlite.endBatch();
        if (ds->RecordCount() == 0 || stempel.totalMSecs() == batchStart.totalMSecs())
            fertig = true;
    }
    SchreibeTabellenStempel(art.stempelName, stempel);
    FortschrittMelden(false);
    TabelleAbschliessen(art.stempelName);
}

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
    bool unbestaetigtIstOffen; // a local row never confirmed (CloudStatus 0) is pending too
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

// A local date-time as a lookup returns it: stored text or a day number.
TDateTime alsDatumZeit(const QVariant& wert)
{
    if (wert.typeId() == QMetaType::QString) {
        TDateTime dt;
        return parseStoredDateTime(wert.toString(), dt) ? dt : TDateTime();
    }
    return wert.isValid() ? TDateTime(wert.toDouble()) : TDateTime();
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
        true,
        false};
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
        false,
        true};
    ZeitenLaden(art, FZPZ_IDneu, FZPZ_MutDatOK);
}

void TDatenAusCloudThread::ZeitenLaden(const TZeitenDownload& art, bool& idNeu, bool& mutDatOK)
{
    if (!serverErreichbar())
        return;
    const QString mandant = QStringLiteral(" and Mandant_ID = ") + mandantText();
    const QHash<QString, TSpaltenArt> arten = LeseSpaltenArten(Fcon_sqlite, art.tabelle);
    const QStringList schluessel{QStringLiteral("Mandant_ID"), art.id};
    const QStringList nurId{QStringLiteral("id")};
    // Every statement of a row is prepared once for the whole table.
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
    TSyncStatement loeschen(Fcon_sqlite,
                            QStringLiteral(" delete from ") + art.tabelle +
                                QStringLiteral("  where  Mandant_ID = :Mandant_ID and ") + art.id + QStringLiteral(" = :") +
                                art.id + u' ',
                            schluessel);
    TSyncStatement offenNachMobileId(Fcon_sqlite, art.pendingSql + QStringLiteral("mobileID = :id ") + mandant, nurId);
    TSyncStatement offenNachId(Fcon_sqlite, art.pendingSql + art.id + QStringLiteral(" = :id ") + mandant, nurId);
    TSyncStatement lokaleAenderung(Fcon_sqlite,
                                   QStringLiteral(" select ") + art.mutDat + QStringLiteral(" from ") + art.tabelle +
                                       QStringLiteral(" where ") + art.id + QStringLiteral(" = :id ") + mandant,
                                   nurId);
    TSyncStatement umnummerieren(Fcon_sqlite,
                                 QStringLiteral(" update ") + art.tabelle.toUpper() + QStringLiteral("  set ") +
                                     art.id.toLower() + QStringLiteral(" = :") + art.id +
                                     QStringLiteral("  where mobileid = :mobileid  and Mandant_ID = ") + mandantText(),
                                 {art.id, QStringLiteral("mobileid")});
    TSyncStatement lokalGewinnt(Fcon_sqlite,
                                QStringLiteral(" update ") + art.tabelle.toUpper() +
                                    QStringLiteral("  set Owner = 1  , CloudStatus = 0  , ") + art.mutDat +
                                    QStringLiteral(" = :MutDat  where ") + art.id + QStringLiteral(" = :") + art.id +
                                    QStringLiteral(" and Mandant_ID = ") + mandantText(),
                                {QStringLiteral("MutDat"), art.id});
    const auto lokaleMutDat = [&](int id, TDateTime& mutDat) {
        lokaleAenderung.setValue(0, QVariant(qint64(id)));
        if (!lokaleAenderung.lookup())
            return false;
        mutDat = alsDatumZeit(lokaleAenderung.column(0));
        return true;
    };
    struct Spalte {
        TSpaltenArt art;
        bool verschluesselt;
        int inAendern;
        int inEinfuegen;
    };
    std::vector<Spalte> spalten;
    for (const QString& spalte : art.spalten)
        spalten.push_back({SpaltenArt(arten, spalte), art.verschluesselt.contains(spalte), aendern.indexOf(spalte),
                           einfuegen.indexOf(spalte)});
    const std::size_t mobileIdSpalte = std::size_t(art.spalten.indexOf(u"MobileID"));
    QStringList serverSpalten = art.spalten;
    serverSpalten << art.id << art.mutDat << QStringLiteral("MUTTimeStamp");

    TDateTime stempel = LeseTabellenStempel(art.stempelName);
    bool fertig = false;
    while (!fertig && !Terminated()) {
        auto ds = remote(art.batchSql);
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"MUTTimeStamp").setAsDateTime(stempel);
        remoteOpenOderAbbruch(*ds);
        fertig = true;
        const std::vector<int> positionen = SpaltenPositionen(*ds, serverSpalten);
        const std::size_t datenSpalten = std::size_t(art.spalten.size());
        const int idPosition = positionen[datenSpalten];
        const int mutDatPosition = positionen[datenSpalten + 1];
        const int stempelPosition = positionen[datenSpalten + 2];
        const int mobileIdPosition = positionen[mobileIdSpalte];
        const int geloeschtPosition = positionen[std::size_t(art.spalten.indexOf(u"FlagGeloescht"))];
        TXField letzterStempel;
        bool zeileGenommen = false;
        Fcon_sqlite.beginBatch();
        for (; !ds->Eof() && !Terminated(); ds->Next()) {
            const int serverId = ds->Fields(idPosition).AsInteger();
            const int serverMobileId = ds->Fields(mobileIdPosition).AsInteger();
            if (ds->Fields(geloeschtPosition).AsBoolean()) {
                loeschen.setValue(0, QVariant(qint64(FmandantID)));
                loeschen.setValue(1, QVariant(qint64(serverId)));
                loeschen.exec();
            } else {
                TSyncStatement& offen = serverMobileId != 0 ? offenNachMobileId : offenNachId;
                offen.setValue(0, QVariant(qint64(serverMobileId != 0 ? serverMobileId : serverId)));
                const bool pending = offen.lookup() && (offen.column(0).toLongLong() > 0 ||
                                                        (art.unbestaetigtIstOffen && offen.column(1).toLongLong() == 0));
                idNeu = false;
                mutDatOK = true;
                TDateTime lokalMutDat;
                bool lokalVorhanden = lokaleMutDat(serverId, lokalMutDat);
                if (!lokalVorhanden && serverMobileId != 0 && lokaleMutDat(serverMobileId, lokalMutDat)) {
                    umnummerieren.setValue(0, QVariant(qint64(serverId)));
                    umnummerieren.setValue(1, QVariant(qint64(serverMobileId)));
                    lokalVorhanden = umnummerieren.exec() && umnummerieren.changes() > 0;
                    idNeu = lokalVorhanden;
                }
                if (lokalVorhanden) {
                    const TDateTime serverMutDat = ds->Fields(mutDatPosition).AsDateTime();
                    if (serverMutDat.msecsTo(lokalMutDat) >= 500) {
                        mutDatOK = false;
                        lokalGewinnt.setValue(0, QVariant(DTDatetimeToString(Clock::now())));
                        lokalGewinnt.setValue(1, QVariant(qint64(serverId)));
                        lokalGewinnt.exec();
                    }
                }
                if (!pending && mutDatOK) {
                    TSyncStatement& ziel = lokalVorhanden ? aendern : einfuegen;
                    for (std::size_t i = 0; i < datenSpalten; ++i) {
                        const Spalte& sp = spalten[i];
                        const TXField field = ds->Fields(positionen[i]);
                        QVariant wert;
                        if (i == mobileIdSpalte && serverMobileId == 0) {
                            wert = QVariant(qint64(serverId));
                        } else if (sp.verschluesselt) {
                            const QString text = field.AsString();
                            wert = QVariant(text.isEmpty() ? text : unscramble(text));
                        } else {
                            wert = LokalerWert(field, sp.art);
                        }
                        ziel.setValue(lokalVorhanden ? sp.inAendern : sp.inEinfuegen, wert);
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
            letzterStempel = ds->Fields(stempelPosition);
            zeileGenommen = true;
            fertig = false;
        }
        if (BatchAbschliessen(zeileGenommen ? &letzterStempel : nullptr, stempel))
            fertig = true;
    }
    SchreibeTabellenStempel(art.stempelName, stempel);
    FortschrittMelden(false);
    TabelleAbschliessen(art.stempelName);
}

#include "ServerWerte.h"
#include "StammdatenTabellen.h"
#include "Thread.DatenAusCloud1.h"

#include "core/settingskeys.h"

#include <QSet>

QString TDatenAusCloudThread::FullsyncFilter() const
{
    return FIstFullsync ? QStringLiteral(" And FlagGeloescht = 0 ") : QString();
}

void TDatenAusCloudThread::MandantEinstellungenLaden()
{
    if (Terminated() || !serverErreichbar())
        return;
    auto ds = remote(u" SELECT Mandant_MaxAlterZeiten, Mandant_ServerVersion, Mandant_BarcodeScanAktiv, Mandant_PlanungAktiv FROM Mandant WHERE Mandant_ID = :Mandant_ID");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    if (!remoteOpen(*ds) || ds->Eof())
        return;
    SchreibeINT(SettingKey::MaxAlterDerZeiten, ds->FieldByName(u"Mandant_MaxAlterZeiten").AsInteger());
    SchreibeINT(SettingKey::BarcodeScanAktiv, ds->FieldByName(u"Mandant_BarcodeScanAktiv").AsInteger());
    const int planung = ds->FieldByName(u"Mandant_PlanungAktiv").AsInteger();
    SchreibeINT(SettingKey::PlanungAktiv, planung);
    FPlanungAktiv = planung == 1;
    const int serverVersion = ds->FieldByName(u"Mandant_ServerVersion").AsInteger();
    if (LeseINT(SettingKey::ServerVersion, 0) != serverVersion) {
        SchreibeINT(SettingKey::ServerVersion, serverVersion);
        SchreibeBool(SettingKey::ServerVersionINFO, false);
    }
}

void TDatenAusCloudThread::StammdatenLaden(bool nurMaterial)
{
    if (nurMaterial) {
        for (const TStammdatenTabelle* t : {&MaterialTabelle(), &MaterialPreiseTabelle()}) {
            if (Terminated() || !WarteBisInternetWiederDa())
                return;
            KopiereTabelle(*t, FullsyncFilter());
            TabelleAbschliessen(t->stempelName);
        }
        return;
    }
    const QString filter = FullsyncFilter();
    if (FbIstNeustart)
        FStartVonTimeStamp = TDateTime::encodeDate(2000, 1, 1);
    if (!serverErreichbar())
        return;
    QString codes;
    {
        auto ds = remote(u" SELECT typ FROM Lumora_union_AlleMutTimeStamp WHERE (Mandant_ID = :Mandant_ID ) AND (MUTTimeStamp > :MUTTimeStamp) GROUP BY typ ");
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"MUTTimeStamp").setAsDateTime(FStartVonTimeStamp);
        if (remoteOpen(*ds))
            for (; !ds->Eof(); ds->Next())
                codes += ds->Fields(0).AsString() + QStringLiteral(", ");
    }
    for (const TStammdatenTabelle& t : StammdatenTabellen()) {
        if (Terminated())
            return;
        if (codes.contains(t.code))
            KopiereTabelle(t, filter);
        TabelleAbschliessen(t.stempelName);
        if (t.code == u"U_T" && codes.contains(t.code) && !Terminated()) {
            melde(TSyncStatus::SyncTeamAenderung);
            schlafe(500);
        }
    }
}

void TDatenAusCloudThread::KopiereTabelle(const TStammdatenTabelle& tabelle, const QString& filter)
{
    const QHash<QString, TSpaltenArt> arten = LeseSpaltenArten(Fcon_sqlite, tabelle.tabelle);
    TSyncStatement insert(Fcon_sqlite, tabelle.insertSQL(), tabelle.spalten);
    const QSet<QString> verschluesselt(tabelle.verschluesselt.begin(), tabelle.verschluesselt.end());
    struct Spalte {
        int index;
        TSpaltenArt art;
        bool verschluesselt;
    };
    std::vector<Spalte> spalten;
    QStringList serverSpalten;
    for (const QString& spalte : tabelle.spalten) {
        spalten.push_back({insert.indexOf(spalte), SpaltenArt(arten, spalte), verschluesselt.contains(spalte)});
        serverSpalten << tabelle.serverSpalteFuer(spalte);
    }
    serverSpalten << QStringLiteral("MUTTimeStamp");

    TDateTime stempel = LeseTabellenStempel(tabelle.stempelName);
    bool fertig = false;
    while (!fertig && !Terminated()) {
        auto ds = remote(QStringLiteral(" select top(2000) * from ") + tabelle.tabelle +
                         QStringLiteral(" where Mandant_ID = :Mandant_ID and (MUTTimeStamp > :MUTTimeStamp) ") + filter +
                         QStringLiteral(" Order by MUTTimeStamp "));
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"MUTTimeStamp").setAsDateTime(stempel);
        if (!remoteOpen(*ds)) {
            // Material and prices are part of every run: without them the run cannot end well.
            if (tabelle.code.isEmpty())
                throw Abbruch(ds->lastError().toStdString());
            break;
        }
        fertig = true;
        const std::vector<int> positionen = SpaltenPositionen(*ds, serverSpalten);
        const int stempelPosition = positionen.back();
        // Only the stamp of the last row taken matters; it is read once the batch is written.
        TXField letzterStempel;
        bool zeileGenommen = false;
        Fcon_sqlite.beginBatch();
        for (; !ds->Eof() && !Terminated(); ds->Next()) {
            for (std::size_t i = 0; i < spalten.size(); ++i) {
                const Spalte& s = spalten[i];
                const TXField field = ds->Fields(positionen[i]);
                if (s.verschluesselt) {
                    const QString text = field.AsString();
                    // An empty value is empty scrambled or not.
                    insert.setValue(s.index, QVariant(text.isEmpty() ? text : unscramble(text)));
                } else {
                    insert.setValue(s.index, LokalerWert(field, s.art));
                }
            }
            insert.exec();
            fertig = ZaehleZeile();
            if (fertig)
                break;
            letzterStempel = ds->Fields(stempelPosition);
            zeileGenommen = true;
        }
        if (BatchAbschliessen(zeileGenommen ? &letzterStempel : nullptr, stempel))
            fertig = true;
    }
    SchreibeTabellenStempel(tabelle.stempelName, stempel);
    FortschrittMelden(false);
}

bool TDatenAusCloudThread::BatchAbschliessen(const TXField* letzterStempel, TDateTime& stempel)
{
    Fcon_sqlite.endBatch();
    // A batch that brought nothing new (or nothing at all) ends the table.
    if (!letzterStempel)
        return true;
    const TDateTime batchStart = stempel;
    stempel = letzterStempel->AsDateTime();
    return stempel.totalMSecs() <= batchStart.totalMSecs();
}

void TDatenAusCloudThread::MarkiereAlleAlsGeloescht()
{
    Fcon_sqlite.beginBatch();
    for (const QString& tabelle : SynchronisierteTabellen()) {
        QString sql = QStringLiteral(" Update ") + tabelle + QStringLiteral(" Set FlagGeloescht = 1") +
                      QStringLiteral(" where Mandant_ID = ") + mandantText();
        // Links and photos still to be uploaded exist only here; a photo never comes back down.
        if (tabelle == u"Lumora_Team" || tabelle == u"Lumora_TeamZPZ" || tabelle == u"Lumora_Fotos")
            sql += QStringLiteral(" AND Owner = 0 ");
        else if (tabelle == u"Z_ERFASSUNG" || tabelle == u"Z_PRAESENZZEIT")
            // A confirmed row changed again on the device is not the server's to sweep.
            sql += QStringLiteral(" AND CloudStatus > 0  AND Owner = 0 ");
        lokal(sql)->ExecSQL();
    }
    Fcon_sqlite.endBatch();
}

void TDatenAusCloudThread::LoescheGeloeschteZeilen(bool nurZeiten)
{
    const QStringList tabellen =
        nurZeiten ? QStringList{QStringLiteral("Z_Erfassung"), QStringLiteral("Z_Praesenzzeit")} : SynchronisierteTabellen();
    Fcon_sqlite.beginBatch();
    for (const QString& tabelle : tabellen)
        lokal(QStringLiteral(" delete from ") + tabelle + QStringLiteral(" where FlagGeloescht = 1") +
              QStringLiteral(" AND Mandant_ID = ") + mandantText())
            ->ExecSQL();
    Fcon_sqlite.endBatch();
}

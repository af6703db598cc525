#include "PlanungSpalten.h"
#include "ServerWerte.h"
#include "Thread.DatenAusCloud1.h"

#include "core/settingskeys.h"

#include <functional>

// The download of planning data: assignments by change stamp, teams and members by the
// planning version. A row changed on the device and not yet uploaded is not overwritten.

namespace {

const QString PlanungStempel = QStringLiteral("Planung");

QString insertSql(const QString& tabelle, const QStringList& spalten) {
    QStringList parameter;
    for (const QString& s : spalten)
        parameter << u':' + s;
    return QStringLiteral("Insert or Replace into ") + tabelle + QStringLiteral(" (") +
           spalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + parameter.join(QStringLiteral(", ")) +
           QStringLiteral(")");
}

// Copies a server row into the insert's parameters as the local columns take it.
class TPlanungZeile {
public:
    using Entschluesseln = std::function<QString(const QString&)>;

    TPlanungZeile(TSyncConnection& connection, const QString& tabelle, const QStringList& spalten,
                  Entschluesseln entschluesseln = {})
        : m_insert(connection, insertSql(tabelle, spalten), spalten), m_spalten(spalten),
          m_arten(LeseSpaltenArten(connection, tabelle)), m_entschluesseln(std::move(entschluesseln)) {}

    bool schreibe(const TXDataset& ds) {
        for (int i = 0; i < m_spalten.size(); ++i) {
            const QString& spalte = m_spalten[i];
            const TXField field = ds.FieldByName(spalte);
            QVariant wert;
            if (PlanungSpalten::IstGuidSpalte(spalte))
                wert = PlanungSpalten::Guid(field.AsString());
            else if (m_entschluesseln && PlanungSpalten::VerschluesseltLaden(spalte))
                wert = m_entschluesseln(field.AsString());
            else if (spalte == u"MTM_Farbe")
                wert = qint64(quint32(field.AsLargeInt()));
            else
                wert = LokalerWert(field, SpaltenArt(m_arten, spalte));
            if (spalte == u"MPL_MTM_GUID" && wert.toString().isEmpty())
                wert = PlanungSpalten::OhneTeamGuid;
            m_insert.setValue(i, wert);
        }
        return m_insert.exec();
    }

private:
    TSyncStatement m_insert;
    QStringList m_spalten;
    QHash<QString, TSpaltenArt> m_arten;
    Entschluesseln m_entschluesseln;
};

} // namespace

bool TDatenAusCloudThread::PlanungTeamsLaden() {
    if (!serverErreichbar())
        return false;
    bool allesEingefuegt = PlanungTeamTabelleLaden(
        QStringLiteral(" select * from Planung_Team  where Mandant_ID = :Mandant_ID and syncversion > :SyncVersion "),
        QStringLiteral("Planung_Team"), PlanungSpalten::Team(), {QStringLiteral("MTM_GUID")});
    if (Terminated())
        return false;
    allesEingefuegt &= PlanungTeamTabelleLaden(
        QStringLiteral(
            " select * from Planung_TeamPersonal  where Mandant_ID = :Mandant_ID and syncversion > :SyncVersion "),
        QStringLiteral("Planung_TEAMPersonal"), PlanungSpalten::TeamPersonal(),
        {QStringLiteral("MTP_GUID_Team"), QStringLiteral("MTP_LPE_ID")});
    if (allesEingefuegt && !Terminated())
        SchreibeINT(SettingKey::SyncVersionPlanung, FServerSyncVersion);
    return allesEingefuegt;
}

bool TDatenAusCloudThread::PlanungenLaden() {
    if (!serverErreichbar())
        return false;
    TPlanungZeile zeile(Fcon_sqlite, QStringLiteral("Planung"), PlanungSpalten::Planung(),
                        [this](const QString& s) { return unscramble(s); });
    bool allesEingefuegt = true;
    TDateTime stempel = LeseTabellenStempel(PlanungStempel);
    bool fertig = false;
    while (!fertig && !Terminated()) {
        auto ds = remote(u" select top(2000) * from Planung  where Mandant_ID = :Mandant_ID and MUTTimeStamp > "
                         u":MUTTimeStamp and Owner = 0 and geloescht = 0  Order By MUTTimeStamp");
        ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
        ds->ParamByName(u"MUTTimeStamp").setAsDateTime(stempel);
        remoteOpenOderAbbruch(*ds);
        if (!ds->Eof())
            FbPlanung = true;
        fertig = true;
        const TDateTime batchStart = stempel;
        Fcon_sqlite.beginBatch();
        for (; !ds->Eof() && !Terminated(); ds->Next()) {
            auto owner = lokal(u" select Owner  from Planung  where MPL_GUID = :MPL_GUID ");
            owner->ParamByName(u"MPL_GUID").setAsString(PlanungSpalten::Guid(ds->FieldByName(u"MPL_GUID").AsString()));
            const bool aufGeraetGeaendert = owner->Open() && !owner->Eof() && owner->Fields(0).AsInteger() != 0;
            owner.reset();
            if (!aufGeraetGeaendert) {
                allesEingefuegt &= zeile.schreibe(*ds);
                fertig = ZaehleZeile();
                if (fertig)
                    break;
            }
            stempel = ds->FieldByName(u"MUTTimeStamp").AsDateTime();
        }
        Fcon_sqlite.endBatch();
        if (ds->RecordCount() == 0 || stempel.totalMSecs() == batchStart.totalMSecs())
            fertig = true;
    }
    SchreibeTabellenStempel(PlanungStempel, stempel);
    FortschrittMelden(false);
    TabelleAbschliessen(PlanungStempel);
    return allesEingefuegt;
}

bool TDatenAusCloudThread::PlanungTeamTabelleLaden(const QString& serverSql, const QString& tabelle,
                                                   const QStringList& spalten, const QStringList& schluessel) {
    auto ds = remote(serverSql);
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    ds->ParamByName(u"SyncVersion").setAsInteger(FStartFromSyncVersion);
    remoteOpenOderAbbruch(*ds);
    if (!ds->Eof())
        FbPlanung = true;
    QStringList bedingungen;
    for (const QString& s : schluessel)
        bedingungen << s + QStringLiteral(" = :") + s;
    const QString ownerSql = QStringLiteral(" select Owner from ") + tabelle + QStringLiteral(" where ") +
                             bedingungen.join(QStringLiteral(" and ")) + QStringLiteral(" and Mandant_ID = ") +
                             mandantText();
    TPlanungZeile zeile(Fcon_sqlite, tabelle, spalten);
    bool allesEingefuegt = true;
    Fcon_sqlite.beginBatch();
    for (; !ds->Eof() && !Terminated(); ds->Next()) {
        auto owner = lokal(ownerSql);
        for (const QString& s : schluessel) {
            const TXField field = ds->FieldByName(s);
            if (PlanungSpalten::IstGuidSpalte(s))
                owner->ParamByName(s).setAsString(PlanungSpalten::Guid(field.AsString()));
            else
                owner->ParamByName(s).setAsLargeInt(field.AsLargeInt());
        }
        const bool aufGeraetGeaendert = owner->Open() && !owner->Eof() && owner->Fields(0).AsInteger() != 0;
        owner.reset();
        if (!aufGeraetGeaendert)
            allesEingefuegt &= zeile.schreibe(*ds);
    }
    Fcon_sqlite.endBatch();
    return allesEingefuegt;
}

#include "TagesDumpDatum.h"
#include "Thread.DatenAusCloud1.h"
#include "ZeitenSpalten.h"

#include "core/clock.h"
#include "core/settingskeys.h"

// The day dump: on request, every entry and presence time of one day goes, as stored on
// this device, into the server's dump tables, where the office can look at what the device
// really holds.

namespace {

struct TDumpArt {
    QString auswahlSql;
    QString zielTabelle;
    QStringList spalten; // without Mandant_ID and ZeitStempel
};

QString platzhalter(const QStringList& spalten) {
    QStringList teile;
    for (const QString& s : spalten)
        teile << u':' + s;
    return teile.join(QStringLiteral(", "));
}

} // namespace

bool TDatenAusCloudThread::TagesDumpAngefordert() {
    return !LeseTXT(SettingKey::TagesDumpDatum, QString()).isEmpty();
}

void TDatenAusCloudThread::TagesDumpHochladen() {
    const QString text = LeseTXT(SettingKey::TagesDumpDatum, QString());
    TDateTime tag = TDateTime::encodeDate(2000, 1, 1);
    TagesDumpDatum::lese(text, tag);
    // A text that names no usable day is dropped: kept, it would start a cycle at every check.
    if (tag > TDateTime::encodeDate(2000, 1, 1)) {
        const QStringList gemeinsam{QStringLiteral("gesperrt"), QStringLiteral("komplett"), QStringLiteral("Owner"),
                                    QStringLiteral("MobileID")};
        const TDumpArt arten[] = {
            {QStringLiteral(" SELECT * FROM Z_Erfassung  WHERE    ZER_Datum = :dasDatum "),
             QStringLiteral("Dump_Z_Erfassung"),
             QStringList{QStringLiteral("ZER_ID")} + ZeitenSpalten::ErfassungDaten() + gemeinsam},
            {QStringLiteral(" SELECT * FROM Z_Praesenzzeit  WHERE    ZPZ_Datum = :dasDatum "),
             QStringLiteral("Dump_Z_PRAESENZZEIT"),
             QStringList{QStringLiteral("ZPZ_ID")} + ZeitenSpalten::PraesenzDaten() +
                 QStringList{QStringLiteral("SyncVersion")} + gemeinsam},
        };
        const TDateTime jetzt = Clock::now();
        for (const TDumpArt& art : arten) {
            std::vector<QVariantList> zeilen;
            {
                // Rows of other tenants on this device are not this tenant's to show.
                auto q = lokal(art.auswahlSql + QStringLiteral(" and Mandant_ID = ") + mandantText());
                q->ParamByName(u"dasDatum").setAsDateTime(tag);
                if (q->Open()) {
                    for (; !q->Eof(); q->Next()) {
                        QVariantList werte;
                        for (const QString& spalte : art.spalten)
                            werte << q->FieldByName(spalte).AsVariant();
                        zeilen.push_back(std::move(werte));
                    }
                }
            }
            const QStringList ziel =
                QStringList{QStringLiteral("Mandant_ID")} + art.spalten + QStringList{QStringLiteral("ZeitStempel")};
            const QString sql = QStringLiteral("INSERT INTO ") + art.zielTabelle + QStringLiteral(" (") +
                                ziel.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + platzhalter(ziel) +
                                QStringLiteral(")");
            for (const QVariantList& werte : zeilen) {
                if (Terminated())
                    return;
                auto ds = remote(sql);
                ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
                for (qsizetype i = 0; i < art.spalten.size(); ++i)
                    ds->ParamByName(art.spalten.at(i)).setValue(werte.at(i));
                ds->ParamByName(u"ZeitStempel").setAsDateTime(jetzt);
                remoteExec(*ds); // a row that does not go in must not keep the others out
            }
        }
    }
    // A cycle stopped half-way keeps the request, so that the next one sends the whole day.
    if (!Terminated())
        SchreibeTXT(SettingKey::TagesDumpDatum, QString());
}

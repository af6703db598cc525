#include "LokaleZeilen.h"

namespace LokaleZeilen {

std::vector<TZeile> alleZeilen(DatenAusCloud::TMeineFDQuery& q) {
    std::vector<TZeile> zeilen;
    for (; !q.Eof(); q.Next()) {
        TZeile zeile;
        for (int i = 0; i < q.FieldCount(); ++i)
            zeile[q.FieldName(i).toLower()] = q.Fields(i).AsVariant();
        zeilen.push_back(std::move(zeile));
    }
    return zeilen;
}

QVariant wert(const TZeile& zeile, const QString& spalte) {
    const auto it = zeile.find(spalte.toLower());
    return it == zeile.end() ? QVariant() : it->second;
}

QString spaltenListe(const QStringList& spalten, const QString& praefix) {
    QStringList teile;
    for (const QString& s : spalten)
        teile << praefix + s;
    return teile.join(QStringLiteral(", "));
}

} // namespace LokaleZeilen

#include "TagesDumpDatum.h"

#include <QDate>

namespace TagesDumpDatum {

QString alsText(TDateTime tag) {
    return tag.datePart().format(QStringLiteral("dd.mm.yyyy"));
}

bool lese(const QString& text, TDateTime& tag) {
    const QDate datum = QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy"));
    if (!datum.isValid())
        return false;
    tag = TDateTime::fromQDate(datum);
    return true;
}

} // namespace TagesDumpDatum

#include "recording/einzelwert.h"

#include "core/tdm.h"

using namespace Qt::StringLiterals;

QVariant ersterWert(Tdm& dm, const QString& sql, std::initializer_list<std::pair<QString, QVariant>> werte,
                    const QVariant& standard) {
    auto q = dm.GetQueryInstance();
    q->setSQL(sql);
    for (const auto& [name, wert] : werte)
        q->ParamByName(name).setValue(wert);
    if (!q->Open() || q->Eof())
        return standard;
    return q->Fields(0).AsVariant();
}

QStringList ersteSpalte(Tdm& dm, const QString& sql, bool* ok) {
    QStringList werte;
    auto q = dm.GetQueryInstance();
    q->setSQL(sql);
    const bool gelesen = q->Open();
    for (; gelesen && !q->Eof(); q->Next())
        werte.append(q->Fields(0).AsString());
    if (ok)
        *ok = gelesen;
    return werte;
}

QString alsSqlListe(const QStringList& werte) {
    QStringList literale;
    literale.reserve(werte.size());
    for (const QString& wert : werte)
        literale.append(u'\'' + QString(wert).replace(u"'"_s, u"''"_s) + u'\'');
    return literale.join(u',');
}

#include "ServerWerte.h"

#include "RemoteDB.h"
#include "SyncQuery.h"

QHash<QString, TSpaltenArt> LeseSpaltenArten(TSyncConnection& connection, const QString& tabelle)
{
    QHash<QString, TSpaltenArt> arten;
    DatenAusCloud::TMeineFDQuery q(&connection);
    q.setSQL(QStringLiteral("PRAGMA table_info(") + tabelle + u')');
    if (!q.Open())
        return arten;
    for (; !q.Eof(); q.Next())
        arten.insert(q.FieldByName(u"name").AsString().toLower(), SpaltenArtAusTyp(q.FieldByName(u"type").AsString()));
    return arten;
}

TSpaltenArt SpaltenArtAusTyp(const QString& deklarierterTyp)
{
    const QString typ = deklarierterTyp.toLower();
    if (typ == u"bit")
        return TSpaltenArt::Bit;
    if (typ == u"datetime")
        return TSpaltenArt::DatumZeit;
    if (typ == u"float" || typ == u"real")
        return TSpaltenArt::Zahl;
    if (typ.contains(u"int"))
        return TSpaltenArt::Ganzzahl;
    return TSpaltenArt::Text;
}

TSpaltenArt SpaltenArt(const QHash<QString, TSpaltenArt>& arten, const QString& spalte)
{
    return arten.value(spalte.toLower(), TSpaltenArt::Text);
}

QVariant LokalerWert(const TXField& field, TSpaltenArt art)
{
    switch (art) {
    case TSpaltenArt::Ganzzahl:
        return QVariant(field.AsLargeInt());
    case TSpaltenArt::Bit:
        return QVariant(qint64(field.AsBoolean() ? 1 : 0));
    case TSpaltenArt::Zahl:
        return QVariant(field.AsFloat());
    case TSpaltenArt::DatumZeit:
        return field.IsNull() ? QVariant() : QVariant(DTDatetimeToString(field.AsDateTime()));
    case TSpaltenArt::Text:
        break;
    }
    return QVariant(field.AsString());
}

std::vector<int> SpaltenPositionen(const TXDataset& ds, const QStringList& spalten)
{
    QHash<QString, int> positionen;
    for (int i = 0; i < ds.FieldCount(); ++i)
        positionen.insert(ds.FieldName(i), i); // the answer's names are lower case
    std::vector<int> result;
    result.reserve(std::size_t(spalten.size()));
    for (const QString& spalte : spalten)
        result.push_back(positionen.value(spalte.toLower(), -1));
    return result;
}

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

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
    for (; !q.Eof(); q.Next()) {
        const QString typ = q.FieldByName(u"type").AsString().toLower();
        TSpaltenArt art = TSpaltenArt::Text;
        if (typ == u"bit")
            art = TSpaltenArt::Bit;
        else if (typ == u"datetime")
            art = TSpaltenArt::DatumZeit;
        else if (typ == u"float" || typ == u"real")
            art = TSpaltenArt::Zahl;
        else if (typ.contains(u"int"))
            art = TSpaltenArt::Ganzzahl;
        arten.insert(q.FieldByName(u"name").AsString().toLower(), art);
    }
    return arten;
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

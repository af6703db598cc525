#include "ServerStatements.h"

#include "fixtures/PgCluster.h"
#include "sync/RemoteDB.h"

#include <QRegularExpression>

namespace {

ServerColumns parseColumnList(const char* descriptions) {
    return columnsOf(QString::fromLatin1(descriptions).split(u' ', Qt::SkipEmptyParts));
}

} // namespace

QVariantMap P(std::initializer_list<std::pair<const char*, TestValue>> items) {
    QVariantMap map;
    for (const auto& [key, value] : items)
        map.insert(QString::fromUtf8(key), value.value);
    return map;
}

QStringList L(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

QList<QStringList> R(std::initializer_list<std::initializer_list<TestValue>> rows) {
    QList<QStringList> result;
    for (const auto& row : rows) {
        QStringList cells;
        for (const TestValue& cell : row)
            cells << cell.value.toString();
        result << cells;
    }
    return result;
}

const ServerColumns& entryColumns59() {
    static const ServerColumns columns = parseColumnList(
        "Mandant_ID:i ZER_ID:i ZER_LPE:i ZER_PRO:i ZER_ZKA:s ZER_ZKS:s ZER_Type:i ZER_LA:s ZER_Datum:d ZER_Tag:s "
        "ZER_Von:d ZER_Bis:d ZER_Std:d ZER_Std100:f ZER_Text:s ZER_Km:i ZER_Ansatz:f ZER_Betrag:f "
        "ZER_RechnungsBetrag:f ZER_MWSTC:i ZER_StundenFaktor:f ZER_Leistung:i ZER_KostenStd:f ZER_Verrechnet:i "
        "ZER_VerrechneterBetrag:f ZER_ERFDAT:d ZER_ERFUSER:s ZER_MUTDAT:d ZER_MUTUSER:s ZER_MAT_ID:i "
        "ZER_RKA_ID_A:i ZER_RKA_ID_W:i ZER_ADR_ID:i ZER_Konto:s ZER_GanzerTag:i ZER_Eigensch:i ZER_Jahr:i "
        "ZER_Monat:i ZER_ZSP_Abteilung:s ZER_MWStExkl:i ZER_StdETyp:i ZER_ExportNr:s ZER_ExportDatum:d "
        "ZER_ExportUSER:s ZER_Verrechnen:s ZER_Gesperrt:i ZER_SperrUSER:s ZER_SperrDatum:d ZER_RDA_ID:i "
        "ZER_Bezeichnung:s ZER_Feiertag:s ZER_ID_WEB:i ZER_AKT_ID:i ZER_SSP_ID:i ZER_MOP_Nr:s ZER_MOP_OPKey:i "
        "ZER_MPR_AuftragNr:i ZER_MPR_LosNr:i ZER_MPR_Nr:s");
    return columns;
}

const ServerColumns& presenceColumns15() {
    static const ServerColumns columns = parseColumnList(
        "Mandant_ID:i ZPZ_ID:i ZPZ_LPE_ID:i ZPZ_Datum:d ZPZ_Von:d ZPZ_Bis:d ZPZ_Std:d ZPZ_Std100:f ZPZ_Jahr:i "
        "ZPZ_Monat:i ZPZ_Tag:i ZPZ_ERFDAT:d ZPZ_ERFUSER:s ZPZ_MUTDAT:d ZPZ_MUTUSER:s");
    return columns;
}

ServerColumns columnsOf(const QStringList& descriptions) {
    ServerColumns columns;
    for (const QString& definition : descriptions)
        columns.append({definition.section(u':', 0, 0), definition.section(u':', 1, 1).at(0).toLatin1()});
    return columns;
}

ServerColumns without(ServerColumns columns, const QStringList& names) {
    columns.removeIf([&](const ServerColumn& c) { return names.contains(c.name, Qt::CaseInsensitive); });
    return columns;
}

QString insertStatement(const QString& table, const ServerColumns& columns) {
    QStringList names;
    QStringList params;
    for (const ServerColumn& c : columns) {
        names << c.name;
        params << u':' + c.name;
    }
    return QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names.join(u", ") +
           QStringLiteral(") VALUES (") + params.join(u", ") + QStringLiteral(")");
}

QString updateStatement(const QString& table, const ServerColumns& columns, const QString& where) {
    QStringList sets;
    for (const ServerColumn& c : columns)
        sets << c.name + QStringLiteral(" = :") + c.name;
    return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets.join(u", ") + where;
}

QVariantMap parameters(const ServerColumns& columns, const QVariantMap& overrides) {
    QVariantMap values;
    for (const ServerColumn& c : columns) {
        switch (c.kind) {
        case 'i':
            values.insert(c.name, qint64(0));
            break;
        case 'f':
            values.insert(c.name, 0.0);
            break;
        case 'd':
            values.insert(c.name, QStringLiteral("2026-12-10 00:00:00.000"));
            break;
        default:
            values.insert(c.name, QString());
            break;
        }
    }
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        values.insert(it.key(), it.value());
    return values;
}

void bindParameters(TXDataset& query, const QVariantMap& parameters) {
    // The service refuses parameters its statement does not name, so a shared table of values binds only
    // what each statement uses.
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        const QRegularExpression named(QStringLiteral(":%1\\b").arg(QRegularExpression::escape(it.key())),
                                       QRegularExpression::CaseInsensitiveOption);
        if (named.match(query.SQL()).hasMatch())
            query.ParamByName(it.key()).setValue(it.value());
    }
}

QList<QStringList> readRows(TXDataset& query, const QStringList& fields) {
    QList<QStringList> rows;
    while (!query.Eof()) {
        QStringList row;
        for (const QString& field : fields)
            row << query.FieldByName(field).AsString();
        rows << row;
        query.Next();
    }
    return rows;
}

bool execAsTenant(const PgCluster& cluster, int tenant, const QString& sql, QString* error) {
    return cluster.exec(
        QStringLiteral("BEGIN; SELECT set_config('lumora.mandant_id', '%1', true); %2; COMMIT;").arg(tenant).arg(sql),
        error);
}

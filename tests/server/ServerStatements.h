#pragma once

// Helpers of the suites that run the client's server statements through the real service.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

class PgCluster;

// Literal test tables under QT_NO_CAST_FROM_ASCII: texts given as UTF-8 literals.
struct TestValue {
    TestValue(int v) : value(qint64(v)) {}
    TestValue(qint64 v) : value(v) {}
    TestValue(double v) : value(v) {}
    TestValue(const char* v) : value(QString::fromUtf8(v)) {}
    TestValue(const QString& v) : value(v) {}
    QVariant value;
};
QVariantMap P(std::initializer_list<std::pair<const char*, TestValue>> items);
QStringList L(std::initializer_list<const char*> items);
QList<QStringList> R(std::initializer_list<std::initializer_list<TestValue>> rows);
class TXDataset;

// Column name and kind ('i' integer, 's' text, 'd' date-time, 'f' float) of a table the client
// writes, in the order the client lists them.
struct ServerColumn {
    QString name;
    char kind;
};
using ServerColumns = QList<ServerColumn>;

// The 59 columns of Z_ERFASSUNG from Mandant_ID to ZER_MPR_Nr.
const ServerColumns& entryColumns59();
// The presence-time columns from Mandant_ID to ZPZ_MUTUSER.
const ServerColumns& presenceColumns15();
ServerColumns columnsOf(const QStringList& descriptions); // "Name:k"
// The same list without the named columns.
ServerColumns without(ServerColumns columns, const QStringList& names);

// "INSERT INTO table (a, b) VALUES (:a, :b)", each column a parameter of its own name.
QString insertStatement(const QString& table, const ServerColumns& columns);
// "UPDATE table SET a = :a, b = :b" + where.
QString updateStatement(const QString& table, const ServerColumns& columns, const QString& where);
// A value for every column (0, empty text, a fixed day), overridden by the given ones.
QVariantMap parameters(const ServerColumns& columns, const QVariantMap& overrides);

// Binds the parameters the statement names.
void bindParameters(TXDataset& query, const QVariantMap& parameters);
// The named fields of every row, as the client reads them as text.
QList<QStringList> readRows(TXDataset& query, const QStringList& fields);

// Runs SQL as superuser inside a transaction of the given tenant, so the triggers accept it.
bool execAsTenant(const PgCluster& cluster, int tenant, const QString& sql, QString* error = nullptr);

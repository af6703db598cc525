#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <utility>

class Tdm;

// Small read helpers of the lookups and team operations.

// The first column of the first row of `sql` with the given parameters; `standard` without a row or on failure.
QVariant ersterWert(Tdm& dm, const QString& sql, std::initializer_list<std::pair<QString, QVariant>> werte,
                    const QVariant& standard);

// The first column of every row; ok (when given) is false when the statement failed.
QStringList ersteSpalte(Tdm& dm, const QString& sql, bool* ok = nullptr);

// The values as SQL string literals joined with ",", for an "in (...)" list.
QString alsSqlListe(const QStringList& werte);

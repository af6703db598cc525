#pragma once

#include "SyncQuery.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <vector>

// Local rows read whole before an upload talks to the server, so that the thread never
// holds the local file across the network.
namespace LokaleZeilen {

// Longest free text the server takes; longer texts go up cut to it.
constexpr int MaxTextLaenge = 4000;

// One row by lower-case column name.
using TZeile = std::map<QString, QVariant>;

std::vector<TZeile> alleZeilen(DatenAusCloud::TMeineFDQuery& q);
// The value of a column, whatever the case of its name; invalid when the row has none.
QVariant wert(const TZeile& zeile, const QString& spalte);
// "a, b, c" with each name prefixed (":" gives the parameter list).
QString spaltenListe(const QStringList& spalten, const QString& praefix);

} // namespace LokaleZeilen

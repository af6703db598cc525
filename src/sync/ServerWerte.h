#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class TSyncConnection;
class TXDataset;
class TXField;

// How a local column takes a server value: by its declared type in the local file.
enum class TSpaltenArt { Ganzzahl, Zahl, Text, DatumZeit, Bit };

// The kind of a local column from its declared type ("bit", "datetime", "int", ...).
TSpaltenArt SpaltenArtAusTyp(const QString& deklarierterTyp);
// Declared kinds of the columns of a local table, keyed by lower-case column name.
QHash<QString, TSpaltenArt> LeseSpaltenArten(TSyncConnection& connection, const QString& tabelle);
TSpaltenArt SpaltenArt(const QHash<QString, TSpaltenArt>& arten, const QString& spalte);

// The server value as the local column stores it; a missing date-time stays NULL.
QVariant LokalerWert(const TXField& field, TSpaltenArt art);

// Where each wanted column stands in a batch's answer (-1 where the answer has none), so
// that the rows of a batch are read by position instead of by name.
std::vector<int> SpaltenPositionen(const TXDataset& ds, const QStringList& spalten);

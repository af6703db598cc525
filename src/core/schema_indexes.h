#pragma once

#include <QString>

#include <vector>

class TSqlQuery;

// An index of the local file beyond the primary keys: the day's operations find a record by its mobile id and an
// employee's records by day, and without these every such lookup reads the whole table.
struct LokalerIndex {
    const char* name;
    const char* tabelle;
    const char* spalten; // comma-separated, in index order

    QString createSql() const; // "CREATE INDEX IF NOT EXISTS name ON tabelle (spalten)"
};

const std::vector<LokalerIndex>& lokaleIndizes();

// Creates the indexes a file lacks. A failure (a table or column missing in an odd file) is swallowed: the file
// stays usable, only slower.
void erstelleLokaleIndizes(TSqlQuery& q);

#pragma once

#include "core/SqliteConnection.h"

#include <QStringList>
#include <QVariant>

#include <vector>

struct sqlite3_stmt;
class TSyncStatement;

// The synchronisation thread's own connection to the local file. It holds the file only
// while the thread's statements run: before each statement it takes the file (waiting
// while the main thread holds it) and hands it back as soon as the main thread asks and
// nothing of the thread is in flight. Statements between beginBatch and endBatch run in
// one transaction; handing the file back in the middle commits what is done and a new
// transaction starts when the thread takes the file again.
class TSyncConnection : public TSqliteConnection {
public:
    explicit TSyncConnection(QString databasePath);
    ~TSyncConnection() override;

    // Before a statement: yields to a waiting main thread, then takes and opens the file.
    bool claim();
    // True when the main thread waits for the file and the caller should yield.
    bool mainWaits() const;
    // Commits an open batch, closes the connection and hands the file back. Does nothing
    // while a statement of this connection is still prepared.
    void releaseFile();
    bool holdsFile() const;

    void beginBatch();
    bool endBatch();

    // Live query objects; freeing the last one releases the file outside a batch.
    void queryCreated() { ++m_liveQueries; }
    void queryFreed();

    // Statements kept prepared across rows; handing the file back finalises them.
    void attach(TSyncStatement* statement) { m_statements.push_back(statement); }
    void detach(TSyncStatement* statement);

private:
    bool hasPreparedStatements() const;

    std::vector<TSyncStatement*> m_statements;

    int m_liveQueries = 0;
    int m_batchDepth = 0;
    bool m_batchFailed = false;
};

// One statement of the thread prepared once and run for many rows (the inserts of a
// download batch). Values are set by parameter name (without the colon) before each run.
class TSyncStatement {
public:
    TSyncStatement(TSyncConnection& connection, QString sql, const QStringList& parameterNames);
    ~TSyncStatement();
    TSyncStatement(const TSyncStatement&) = delete;
    TSyncStatement& operator=(const TSyncStatement&) = delete;

    // Index of a parameter in parameterNames, -1 when unknown.
    int indexOf(const QString& name) const { return m_names.indexOf(name); }
    void setValue(int index, QVariant value) { m_values[size_t(index)] = std::move(value); }
    bool exec();
    void finalize();
    QString lastError() const { return m_error; }

private:
    bool prepare();

    TSyncConnection& m_connection;
    QString m_sql;
    QStringList m_names;
    std::vector<QVariant> m_values;
    std::vector<int> m_slots; // statement parameter index per name, 0 when absent
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
};

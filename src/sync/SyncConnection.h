#pragma once

#include "core/SqliteConnection.h"

#include <QStringList>
#include <QVariant>

#include <functional>
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

    // Statements between beginBatch and endBatch share transactions: each endBatch commits,
    // an inner one too, and the next statement starts a new transaction while a batch is open.
    void beginBatch();
    bool endBatch();
    // Commits what an open batch has written so far.
    void commitBatch();

    // Runs call (a network round trip, never a statement of this connection) on a helper
    // thread. Meanwhile the file stays with this thread, so nothing is committed or reopened
    // for the call, but goes to the main thread as soon as that asks for it.
    bool runAside(const std::function<bool()>& call);

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

// One statement of the thread prepared once and run for many rows (the inserts and
// lookups of a download batch). Values are set by parameter name (without the colon)
// before each run.
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
    // Runs a query: true when it yields a row, whose columns column() then reads.
    bool lookup();
    // A column of the row of the last lookup; NULL or a missing column is an invalid value.
    QVariant column(int index) const;
    // Rows the last exec changed.
    int changes() const { return m_changes; }
    void finalize();
    QString lastError() const { return m_error; }

private:
    bool prepare();
    // Takes the file, prepares and binds; the sqlite3_step result, or an error code.
    int run();

    TSyncConnection& m_connection;
    QString m_sql;
    QStringList m_names;
    std::vector<QVariant> m_values;
    std::vector<int> m_slots; // statement parameter index per name, 0 when absent
    sqlite3_stmt* m_stmt = nullptr;
    std::vector<QVariant> m_row;
    int m_changes = 0;
    QString m_error;
};

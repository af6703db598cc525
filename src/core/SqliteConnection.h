#pragma once

#include <QString>

struct sqlite3;

// One connection to the local file with the settings every side uses: created when
// missing, UTF-16 text for a new file, exclusive locking mode. Opening is lazy so
// that the file is held only while queries need it.
class TSqliteConnection {
public:
    explicit TSqliteConnection(QString databasePath);
    virtual ~TSqliteConnection();
    TSqliteConnection(const TSqliteConnection&) = delete;
    TSqliteConnection& operator=(const TSqliteConnection&) = delete;

    const QString& databasePath() const { return m_path; }
    void setDatabasePath(const QString& path);

    // Opens when closed. Fails (false, lastError) for a file that is not an SQLite
    // database or cannot be created; such a file is left untouched.
    bool open();
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // How long a statement waits for a lock held by another connection before it fails.
    void setBusyTimeout(int msecs);

    // Statements without parameters or rows (pragmas, BEGIN/COMMIT).
    bool execDirect(const QString& sql);
    bool beginTransaction() { return execDirect(QStringLiteral("BEGIN IMMEDIATE")); }
    bool commit() { return execDirect(QStringLiteral("COMMIT")); }
    bool rollback() { return execDirect(QStringLiteral("ROLLBACK")); }
    bool inTransaction() const;

    QString lastError() const { return m_lastError; }
    void setLastError(const QString& error) { m_lastError = error; }

private:
    QString m_path;
    sqlite3* m_db = nullptr;
    int m_busyTimeout = 5000;
    QString m_lastError;
};

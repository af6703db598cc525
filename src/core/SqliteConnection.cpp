#include "SqliteConnection.h"


#include <sqlite3.h>

TSqliteConnection::TSqliteConnection(QString databasePath) : m_path(std::move(databasePath)) {}

TSqliteConnection::~TSqliteConnection() { close(); }

void TSqliteConnection::setDatabasePath(const QString& path)
{
    close();
    m_path = path;
}

bool TSqliteConnection::open()
{
    if (m_db)
        return true;
    sqlite3* db = nullptr;
    const QByteArray path = m_path.toUtf8();
    const int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        m_lastError = QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden: %2")
                          .arg(m_path, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close(db);
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, m_busyTimeout);
    // Order matters: the encoding only takes on a file without tables, and reading the
    // schema afterwards is what detects a file that is not a database at all.
    const char* setup = "PRAGMA encoding = 'UTF-16'; PRAGMA locking_mode = EXCLUSIVE; SELECT count(*) FROM sqlite_master;";
    char* err = nullptr;
    if (sqlite3_exec(db, setup, nullptr, nullptr, &err) != SQLITE_OK) {
        m_lastError = QStringLiteral("Die Datei %1 ist keine gültige Lumora-Datenbank: %2")
                          .arg(m_path, QString::fromUtf8(err ? err : sqlite3_errmsg(db)));
        sqlite3_free(err);
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    m_lastError.clear();
    return true;
}

void TSqliteConnection::close()
{
    if (!m_db)
        return;
    // Statements belong to their queries, which finalise them; until the last one is
    // gone the handle lingers and keeps the exclusive lock.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void TSqliteConnection::setBusyTimeout(int msecs)
{
    m_busyTimeout = msecs;
    if (m_db)
        sqlite3_busy_timeout(m_db, msecs);
}

bool TSqliteConnection::execDirect(const QString& sql)
{
    if (!open())
        return false;
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
        sqlite3_free(err);
        return false;
    }
    return true;
}

bool TSqliteConnection::inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

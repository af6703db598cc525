#include "SyncConnection.h"

#include "LocalFileHandover.h"

#include <sqlite3.h>

TSyncConnection::TSyncConnection(QString databasePath) : TSqliteConnection(std::move(databasePath))
{
    // The hand-over decides who may open the file; a lock met anyway is an error at once.
    setBusyTimeout(0);
}

TSyncConnection::~TSyncConnection()
{
    m_batchDepth = 0;
    releaseFile();
    close();
    LocalFileHandover::releaseFromThread(this);
}

bool TSyncConnection::hasPreparedStatements() const
{
    return handle() && sqlite3_next_stmt(handle(), nullptr) != nullptr;
}

bool TSyncConnection::mainWaits() const { return LocalFileHandover::mainClaims(); }

bool TSyncConnection::holdsFile() const { return LocalFileHandover::threadHolds(this); }

bool TSyncConnection::claim()
{
    if (holdsFile() && mainWaits())
        releaseFile();
    // No way out of this wait: the open that follows must never meet the main lock.
    LocalFileHandover::acquireForThread(this);
    if (isOpen())
        return true;
    if (!open()) {
        LocalFileHandover::releaseFromThread(this);
        return false;
    }
    if (m_batchDepth > 0 && !beginTransaction())
        m_batchFailed = true;
    return true;
}

void TSyncConnection::detach(TSyncStatement* statement)
{
    std::erase(m_statements, statement);
}

void TSyncConnection::releaseFile()
{
    if (!holdsFile())
        return;
    for (TSyncStatement* statement : m_statements)
        statement->finalize();
    if (hasPreparedStatements())
        return;
    if (inTransaction() && !commit())
        m_batchFailed = true;
    close();
    LocalFileHandover::releaseFromThread(this);
}

void TSyncConnection::beginBatch()
{
    if (m_batchDepth++ == 0) {
        m_batchFailed = false;
        if (isOpen() && !inTransaction() && !beginTransaction())
            m_batchFailed = true;
    }
}

bool TSyncConnection::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return true;
    if (inTransaction() && !commit())
        m_batchFailed = true;
    if (m_liveQueries == 0)
        releaseFile();
    return !m_batchFailed;
}

void TSyncConnection::queryFreed()
{
    if (--m_liveQueries <= 0) {
        m_liveQueries = 0;
        if (m_batchDepth == 0)
            releaseFile();
    }
}

// ---- TSyncStatement ----

TSyncStatement::TSyncStatement(TSyncConnection& connection, QString sql, const QStringList& parameterNames)
    : m_connection(connection), m_sql(std::move(sql)), m_names(parameterNames), m_values(size_t(parameterNames.size()))
{
    m_connection.attach(this);
}

TSyncStatement::~TSyncStatement()
{
    finalize();
    m_connection.detach(this);
}

void TSyncStatement::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

bool TSyncStatement::prepare()
{
    const QByteArray sql = m_sql.toUtf8();
    if (sqlite3_prepare_v2(m_connection.handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
        m_stmt = nullptr;
        return false;
    }
    m_slots.clear();
    for (const QString& name : std::as_const(m_names))
        m_slots.push_back(sqlite3_bind_parameter_index(m_stmt, (u':' + name).toUtf8().constData()));
    return true;
}

bool TSyncStatement::exec()
{
    if (!m_stmt && (!m_connection.claim() || !prepare()))
        return false;
    if (m_connection.mainWaits()) {
        m_connection.releaseFile(); // finalises this statement too
        if (!m_connection.claim() || !prepare())
            return false;
    }
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const int slot = m_slots[i];
        if (slot == 0)
            continue;
        const QVariant& v = m_values[i];
        int rc;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, slot);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::LongLong:
                rc = sqlite3_bind_int64(m_stmt, slot, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(m_stmt, slot, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(m_stmt, slot, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString s = v.toString();
                rc = sqlite3_bind_text16(m_stmt, slot, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
            sqlite3_reset(m_stmt);
            return false;
        }
    }
    const int rc = sqlite3_step(m_stmt);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (!ok)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return ok;
}

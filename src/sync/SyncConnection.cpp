#include "SyncConnection.h"

#include "LocalFileHandover.h"

#include <sqlite3.h>

#include <chrono>
#include <future>

namespace {
// How often a thread waiting for a network answer looks whether the main thread wants the file.
constexpr auto HandOverPoll = std::chrono::milliseconds(2);
} // namespace

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
    if (!isOpen() && !open()) {
        LocalFileHandover::releaseFromThread(this);
        return false;
    }
    if (m_batchDepth > 0 && !inTransaction() && !beginTransaction())
        m_batchFailed = true;
    return true;
}

bool TSyncConnection::runAside(const std::function<bool()>& call)
{
    if (!holdsFile())
        return call();
    auto answer = std::async(std::launch::async, call);
    while (answer.wait_for(HandOverPoll) != std::future_status::ready)
        if (mainWaits())
            releaseFile();
    return answer.get();
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
    if (m_batchDepth++ == 0)
        m_batchFailed = false;
    if (isOpen() && !inTransaction() && !beginTransaction())
        m_batchFailed = true;
}

bool TSyncConnection::endBatch()
{
    if (m_batchDepth == 0)
        return true;
    commitBatch();
    const bool ok = !m_batchFailed;
    if (--m_batchDepth == 0 && m_liveQueries == 0)
        releaseFile();
    return ok;
}

void TSyncConnection::commitBatch()
{
    if (inTransaction() && !commit())
        m_batchFailed = true;
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

int TSyncStatement::run()
{
    if (!m_stmt && (!m_connection.claim() || !prepare()))
        return SQLITE_ERROR;
    if (m_connection.mainWaits()) {
        m_connection.releaseFile(); // finalises this statement too
        if (!m_connection.claim() || !prepare())
            return SQLITE_ERROR;
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
            return rc;
        }
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_connection.handle()));
    return rc;
}

bool TSyncStatement::exec()
{
    m_changes = 0;
    const int rc = run();
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (m_stmt) {
        if (ok)
            m_changes = sqlite3_changes(m_connection.handle());
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    return ok;
}

bool TSyncStatement::lookup()
{
    m_row.clear();
    const int rc = run();
    if (!m_stmt)
        return false;
    if (rc == SQLITE_ROW) {
        // The row is copied out and the statement reset at once, so that no read stays
        // open when the file is handed over.
        const int n = sqlite3_column_count(m_stmt);
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(m_stmt, c)) {
            case SQLITE_INTEGER:
                m_row.emplace_back(qint64(sqlite3_column_int64(m_stmt, c)));
                break;
            case SQLITE_FLOAT:
                m_row.emplace_back(sqlite3_column_double(m_stmt, c));
                break;
            case SQLITE_NULL:
                m_row.emplace_back();
                break;
            default: {
                const void* text = sqlite3_column_text16(m_stmt, c);
                m_row.emplace_back(QString::fromUtf16(static_cast<const char16_t*>(text),
                                                      sqlite3_column_bytes16(m_stmt, c) / 2));
            }
            }
        }
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return rc == SQLITE_ROW;
}

QVariant TSyncStatement::column(int index) const
{
    return index >= 0 && std::size_t(index) < m_row.size() ? m_row[std::size_t(index)] : QVariant();
}

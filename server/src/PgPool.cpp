#include "PgPool.h"

namespace remotedb {

const std::vector<std::pair<const char*, const char*>>& preparedStatements() {
    static const std::vector<std::pair<const char*, const char*>> statements = {
        {PreparedBegin, "BEGIN"},
        {PreparedCommit, "COMMIT"},
        {PreparedTenant, "SELECT set_config('lumora.mandant_id', "
                         "coalesce(lumora_auth_tenant($1::integer, $2::text)::text, ''), true)"},
    };
    return statements;
}

PgPool::PgPool(std::string conninfo, std::size_t size) : m_conninfo(std::move(conninfo)), m_size(size) {}

PgPool::~PgPool() {
    for (PGconn* c : m_idle)
        PQfinish(c);
}

PgPool::Lease::~Lease() {
    if (m_conn)
        m_pool->release(m_conn);
}

PgPool::Lease PgPool::acquire(std::chrono::milliseconds timeout, std::string& error) {
    std::unique_lock lock(m_mutex);
    if (!m_freed.wait_for(lock, timeout, [this] { return !m_idle.empty() || m_open < m_size; })) {
        error = "all database sessions are busy";
        return {};
    }
    if (!m_idle.empty()) {
        PGconn* c = m_idle.back();
        m_idle.pop_back();
        lock.unlock();
        if (PQstatus(c) == CONNECTION_OK)
            return Lease(this, c);
        PQreset(c);
        if (PQstatus(c) == CONNECTION_OK)
            return Lease(this, c);
        error = PQerrorMessage(c);
        PQfinish(c);
        std::lock_guard relock(m_mutex);
        --m_open;
        m_freed.notify_one();
        return {};
    }
    ++m_open;
    lock.unlock();
    if (PGconn* c = open(error))
        return Lease(this, c);
    std::lock_guard relock(m_mutex);
    --m_open;
    m_freed.notify_one();
    return {};
}

PGconn* PgPool::open(std::string& error) {
    PGconn* c = PQconnectdb(m_conninfo.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        error = PQerrorMessage(c);
        PQfinish(c);
        return nullptr;
    }
    // A runaway statement or a forgotten transaction must not hold a session for ever.
    PGresult* r = PQexec(c, "SET statement_timeout = '60s'; SET client_encoding = 'UTF8'; "
                            "SET idle_in_transaction_session_timeout = '60s'; SET DateStyle = 'ISO, YMD'");
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok)
        error = PQerrorMessage(c);
    PQclear(r);
    if (!ok) {
        PQfinish(c);
        return nullptr;
    }
    // The statements every request runs are parsed and planned once per session.
    for (const auto& [name, sql] : preparedStatements()) {
        PGresult* p = PQprepare(c, name, sql, 0, nullptr);
        const bool prepared = PQresultStatus(p) == PGRES_COMMAND_OK;
        if (!prepared)
            error = PQerrorMessage(c);
        PQclear(p);
        if (!prepared) {
            PQfinish(c);
            return nullptr;
        }
    }
    return c;
}

void PgPool::release(PGconn* conn) {
    // A session left inside a pipeline or broken is not reused; a failed request's
    // transaction is rolled back before the next request can see it.
    if (PQstatus(conn) != CONNECTION_OK || PQpipelineStatus(conn) != PQ_PIPELINE_OFF) {
        PQfinish(conn);
        {
            std::lock_guard lock(m_mutex);
            --m_open;
        }
        m_freed.notify_one();
        return;
    }
    if (PQtransactionStatus(conn) != PQTRANS_IDLE)
        PQclear(PQexec(conn, "ROLLBACK"));
    {
        std::lock_guard lock(m_mutex);
        m_idle.push_back(conn);
    }
    m_freed.notify_one();
}

} // namespace remotedb

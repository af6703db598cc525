#pragma once

#include <libpq-fe.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace remotedb {

// Statements prepared in every session: the frame of each request's transaction, and the
// tenant lookup that scopes it ($1 company PIN, $2 company password).
inline constexpr const char* PreparedBegin = "lumora_begin";
inline constexpr const char* PreparedCommit = "lumora_commit";
inline constexpr const char* PreparedTenant = "lumora_tenant";
const std::vector<std::pair<const char*, const char*>>& preparedStatements();

// A fixed number of PostgreSQL sessions shared by the request threads. A session is
// opened on first use and opened again when the server dropped it.
class PgPool {
public:
    PgPool(std::string conninfo, std::size_t size);
    ~PgPool();
    PgPool(const PgPool&) = delete;
    PgPool& operator=(const PgPool&) = delete;

    class Lease {
    public:
        Lease() = default;
        Lease(PgPool* pool, PGconn* conn) : m_pool(pool), m_conn(conn) {}
        Lease(Lease&& other) noexcept : m_pool(other.m_pool), m_conn(other.m_conn) { other.m_conn = nullptr; }
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        PGconn* get() const { return m_conn; }
        explicit operator bool() const { return m_conn != nullptr; }

    private:
        PgPool* m_pool = nullptr;
        PGconn* m_conn = nullptr;
    };

    // Waits up to timeout for a free session; an empty lease with error set when none
    // comes free or the database cannot be reached.
    Lease acquire(std::chrono::milliseconds timeout, std::string& error);

private:
    void release(PGconn* conn);
    PGconn* open(std::string& error);

    std::string m_conninfo;
    std::size_t m_size;
    std::size_t m_open = 0;
    std::vector<PGconn*> m_idle;
    std::mutex m_mutex;
    std::condition_variable m_freed;
};

} // namespace remotedb

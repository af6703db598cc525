#pragma once

#include <libpq-fe.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumora::admin {

// Every failure of an admin command; its text is what the operator reads.
class AdminError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Value = std::optional<std::string>;
using Row = std::vector<Value>;

// One libpq session of the admin commands. Parameters travel as untyped text, so PostgreSQL takes
// each one's type from where it is used.
class PgConnection {
public:
    explicit PgConnection(const std::string& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Runs SQL text that may hold several statements.
    void exec(const std::string& sql);
    std::vector<Row> query(const std::string& sql, const std::vector<Value>& params = {});
    // The first column of the first row; empty when there is no row or it is NULL.
    Value scalar(const std::string& sql, const std::vector<Value>& params = {});

    std::string quoteIdentifier(const std::string& name) const;

private:
    PGconn* m_conn = nullptr;
};

// A transaction writing the data of one tenant: the triggers stamp and check every row against the
// tenant set here. Rolled back unless committed.
class TenantTransaction {
public:
    TenantTransaction(PgConnection& conn, int mandantId);
    ~TenantTransaction();
    TenantTransaction(const TenantTransaction&) = delete;
    TenantTransaction& operator=(const TenantTransaction&) = delete;

    void commit();

private:
    PgConnection& m_conn;
    bool m_open = true;
};

} // namespace lumora::admin

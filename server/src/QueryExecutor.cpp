#include "QueryExecutor.h"

#include "Protocol.h"
#include "SqlRewriter.h"

#include <climits>
#include <memory>

namespace remotedb {
namespace {

using protocol::Error;

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

Reply errorReply(const Error& e) { return {e.httpStatus, protocol::errorBody(e)}; }

Error sqlError(PGconn* conn, const PGresult* r) {
    if (PQstatus(conn) != CONNECTION_OK)
        return {503, "unavailable", "the database connection was lost", {}};
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string message = primary ? primary : PQerrorMessage(conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return {422, "sql_error", message, state ? state : ""};
}

// Values for $1..$n in the statement's order of first use.
bool bindParams(const RewrittenStatement& stmt, const std::vector<protocol::Param>& given,
                std::vector<const char*>& values, Error& error) {
    const std::size_t n = stmt.paramNames.size();
    values.assign(n, nullptr);
    std::vector<bool> bound(n, false);
    for (const protocol::Param& p : given) {
        std::size_t slot = n;
        if (p.index >= 0) {
            slot = std::size_t(p.index);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                if (stmt.paramNames[i] == p.name)
                    slot = i;
        }
        const std::string label = p.index >= 0 ? "position " + std::to_string(p.index) : "'" + p.name + "'";
        if (slot >= n) {
            error = {400, "unknown_parameter", "the statement has no parameter " + label, {}};
            return false;
        }
        if (bound[slot]) {
            error = {400, "bad_parameter", "parameter " + label + " is given twice", {}};
            return false;
        }
        bound[slot] = true;
        values[slot] = p.value ? p.value->c_str() : nullptr;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!bound[i]) {
            error = {400, "missing_parameter", "parameter '" + stmt.paramNames[i] + "' has no value", {}};
            return false;
        }
    }
    return true;
}

// The tenant is taken only from the credentials and set for this transaction alone;
// unknown or inactive credentials leave it unset, and then every policy sees nothing.
std::string beginSql(PGconn* conn, const protocol::QueryRequest& request) {
    std::string sql = "BEGIN";
    if (!request.tenant || request.tenant->pin < INT_MIN || request.tenant->pin > INT_MAX)
        return sql;
    char* password = PQescapeLiteral(conn, request.tenant->password.c_str(), request.tenant->password.size());
    if (!password)
        return sql;
    sql += "; SELECT set_config('lumora.mandant_id', coalesce(lumora_auth_tenant(" +
           std::to_string(request.tenant->pin) + ", " + password + ")::text, ''), true)";
    PQfreemem(password);
    return sql;
}

int affectedRows(const PGresult* r) {
    const char* n = PQcmdTuples(const_cast<PGresult*>(r));
    if (n && *n)
        return std::atoi(n);
    return PQresultStatus(r) == PGRES_TUPLES_OK ? PQntuples(r) : 0;
}

} // namespace

Reply QueryExecutor::run(const std::string& requestBody) {
    protocol::QueryRequest request;
    Error error;
    if (!protocol::parseQueryRequest(requestBody, request, error))
        return errorReply(error);

    RewrittenStatement stmt;
    RewriteError rewriteError;
    if (!rewriteStatement(request.sql, stmt, rewriteError))
        return errorReply({rewriteError.code == "syntax" ? 400 : 403, rewriteError.code, rewriteError.message, {}});

    std::vector<const char*> values;
    if (!bindParams(stmt, request.params, values, error))
        return errorReply(error);

    std::string poolError;
    PgPool::Lease lease = m_pool.acquire(std::chrono::seconds(15), poolError);
    if (!lease)
        return errorReply({503, "unavailable", "database not available: " + poolError, {}});
    PGconn* conn = lease.get();

    Result begin(PQexec(conn, beginSql(conn, request).c_str()));
    if (PQresultStatus(begin.get()) != PGRES_TUPLES_OK && PQresultStatus(begin.get()) != PGRES_COMMAND_OK)
        return errorReply(sqlError(conn, begin.get()));

    Result main(PQexecParams(conn, stmt.sql.c_str(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
    const ExecStatusType mainStatus = PQresultStatus(main.get());
    if (mainStatus != PGRES_TUPLES_OK && mainStatus != PGRES_COMMAND_OK)
        return errorReply(sqlError(conn, main.get()));
    const int rowsAffected = affectedRows(main.get());

    Result rows;
    if (!stmt.identitySql.empty()) {
        rows.reset(PQexec(conn, stmt.identitySql.c_str()));
        if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK)
            return errorReply(sqlError(conn, rows.get()));
    } else if (mainStatus == PGRES_TUPLES_OK) {
        rows = std::move(main);
    }

    Result commit(PQexec(conn, "COMMIT"));
    if (PQresultStatus(commit.get()) != PGRES_COMMAND_OK)
        return errorReply(sqlError(conn, commit.get()));

    Reply reply;
    reply.body.reserve(rows ? std::size_t(PQntuples(rows.get())) * 64 + 128 : 128);
    reply.body = "{\"ok\":true,\"rowsAffected\":" + std::to_string(rowsAffected) + ",";
    if (rows)
        protocol::appendResultSet(reply.body, rows.get());
    else
        reply.body += "\"columns\":[],\"rows\":[]";
    reply.body += '}';
    return reply;
}

} // namespace remotedb

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

Reply errorReply(const Error& e) {
    return {e.httpStatus, protocol::errorBody(e)};
}

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

// One query of the request's pipeline.
struct Step {
    std::string sql; // or the name of a statement prepared in every session
    std::vector<const char*> values;
    bool prepared = false;
};

// Sends every step and the sync at once, so the whole transaction costs one round trip,
// then collects one result per step. A failed step makes the server skip the rest (the
// COMMIT too); the open transaction is rolled back when the session goes back to the pool.
bool runPipeline(PGconn* conn, const std::vector<Step>& steps, std::vector<Result>& results, Error& error) {
    results.clear();
    if (!PQenterPipelineMode(conn)) {
        error = sqlError(conn, nullptr);
        return false;
    }
    bool sent = true;
    for (const Step& step : steps)
        sent = sent && (step.prepared ? PQsendQueryPrepared(conn, step.sql.c_str(), int(step.values.size()),
                                                            step.values.data(), nullptr, nullptr, 0)
                                      : PQsendQueryParams(conn, step.sql.c_str(), int(step.values.size()), nullptr,
                                                          step.values.data(), nullptr, nullptr, 0));
    sent = sent && PQpipelineSync(conn);
    if (!sent) {
        error = {503, "unavailable", "the database connection was lost", {}};
        return false;
    }
    bool ok = true;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        Result r(PQgetResult(conn));
        const ExecStatusType status = PQresultStatus(r.get());
        const bool good = r && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK);
        if (ok && !good) {
            error = sqlError(conn, r.get());
            ok = false;
        }
        if (!r)
            return false;                          // the connection broke; the pool reopens it
        while (PGresult* rest = PQgetResult(conn)) // the end of this step's results
            PQclear(rest);
        results.push_back(std::move(r));
    }
    Result sync(PQgetResult(conn));
    if (PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC) {
        if (ok)
            error = sqlError(conn, sync.get());
        return false;
    }
    PQexitPipelineMode(conn);
    return ok;
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

    // The tenant comes only from the credentials and holds for this transaction alone;
    // unknown or inactive credentials leave it unset, and then every policy sees nothing.
    std::vector<Step> steps;
    steps.push_back({PreparedBegin, {}, true});
    const std::string pin = request.tenant ? std::to_string(request.tenant->pin) : std::string();
    if (request.tenant && request.tenant->pin >= INT_MIN && request.tenant->pin <= INT_MAX)
        steps.push_back({PreparedTenant, {pin.c_str(), request.tenant->password.c_str()}, true});
    const std::size_t mainStep = steps.size();
    steps.push_back({stmt.sql, values});
    if (!stmt.identitySql.empty())
        steps.push_back({stmt.identitySql, {}});
    steps.push_back({PreparedCommit, {}, true});

    std::vector<Result> results;
    if (!runPipeline(conn, steps, results, error))
        return errorReply(error);
    const int rowsAffected = affectedRows(results[mainStep].get());
    const PGresult* rows = results[steps.size() - 2].get();
    if (PQresultStatus(rows) != PGRES_TUPLES_OK)
        rows = nullptr;

    Reply reply;
    reply.body = "{\"ok\":true,\"rowsAffected\":" + std::to_string(rowsAffected) + ",";
    if (rows)
        protocol::appendResultSet(reply.body, rows);
    else
        reply.body += "\"columns\":[],\"rows\":[]";
    reply.body += '}';
    return reply;
}

} // namespace remotedb

#include "PgConnection.h"

#include <memory>

namespace lumora::admin {

namespace {

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

std::string trimmedError(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

void ignoreNotice(void*, const char*) {}

} // namespace

PgConnection::PgConnection(const std::string& conninfo) : m_conn(PQconnectdb(conninfo.c_str())) {
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const std::string error = trimmedError(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw AdminError("cannot connect to PostgreSQL: " + error);
    }
    // "already exists, skipping" and the like are no news to the operator.
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
}

PgConnection::~PgConnection() {
    if (m_conn)
        PQfinish(m_conn);
}

void PgConnection::exec(const std::string& sql) {
    ResultPtr result(PQexec(m_conn, sql.c_str()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw AdminError(trimmedError(PQerrorMessage(m_conn)));
}

std::vector<Row> PgConnection::query(const std::string& sql, const std::vector<Value>& params) {
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const Value& param : params)
        values.push_back(param ? param->c_str() : nullptr);
    ResultPtr result(PQexecParams(m_conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                                  nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw AdminError(trimmedError(PQerrorMessage(m_conn)));
    std::vector<Row> rows;
    const int rowCount = PQntuples(result.get());
    const int columnCount = PQnfields(result.get());
    rows.reserve(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        Row row;
        row.reserve(static_cast<std::size_t>(columnCount));
        for (int c = 0; c < columnCount; ++c) {
            if (PQgetisnull(result.get(), r, c))
                row.emplace_back(std::nullopt);
            else
                row.emplace_back(std::string(PQgetvalue(result.get(), r, c)));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Value PgConnection::scalar(const std::string& sql, const std::vector<Value>& params) {
    const std::vector<Row> rows = query(sql, params);
    if (rows.empty() || rows.front().empty())
        return std::nullopt;
    return rows.front().front();
}

std::string PgConnection::quoteIdentifier(const std::string& name) const {
    char* quoted = PQescapeIdentifier(m_conn, name.c_str(), name.size());
    if (!quoted)
        throw AdminError(trimmedError(PQerrorMessage(m_conn)));
    std::string result(quoted);
    PQfreemem(quoted);
    return result;
}

TenantTransaction::TenantTransaction(PgConnection& conn, int mandantId) : m_conn(conn) {
    m_conn.exec("BEGIN");
    try {
        m_conn.query("SELECT set_config('lumora.mandant_id', $1, true)", {std::to_string(mandantId)});
    } catch (const AdminError&) {
        m_conn.exec("ROLLBACK");
        throw;
    }
}

TenantTransaction::~TenantTransaction() {
    if (!m_open)
        return;
    try {
        m_conn.exec("ROLLBACK");
    } catch (const AdminError&) {
        // The session is gone; nothing was committed.
    }
}

void TenantTransaction::commit() {
    m_open = false;
    m_conn.exec("COMMIT");
}

} // namespace lumora::admin

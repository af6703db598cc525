#pragma once

#include "PgPool.h"

#include <string>

namespace remotedb {

struct Reply {
    int httpStatus = 200;
    std::string body;
};

// Runs one client request: checks and translates the statement, opens a transaction
// scoped to the tenant of the request's credentials, runs it and answers in JSON.
class QueryExecutor {
public:
    explicit QueryExecutor(PgPool& pool) : m_pool(pool) {}
    Reply run(const std::string& requestBody);

private:
    PgPool& m_pool;
};

} // namespace remotedb

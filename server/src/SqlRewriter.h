#pragma once

#include <string>
#include <vector>

namespace remotedb {

// A client statement translated for PostgreSQL: ":name" parameters numbered as $1..$n
// in order of first use, "top(n)" moved to a LIMIT, and a trailing
// "Select SCOPE_IDENTITY() as ID" after an insert split off as a second statement.
struct RewrittenStatement {
    std::string sql;
    std::vector<std::string> paramNames; // lower case, index i is $(i+1)
    std::string identitySql;             // empty unless the insert asked for its identity
};

struct RewriteError {
    std::string code; // "forbidden_statement" or "syntax"
    std::string message;
};

// Returns false and fills error when the text is outside the dialect.
bool rewriteStatement(const std::string& clientSql, RewrittenStatement& out, RewriteError& error);

} // namespace remotedb

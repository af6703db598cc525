#pragma once

#include <libpq-fe.h>

#include <optional>
#include <string>
#include <vector>

// The JSON request and answer of the query endpoint (described in server/PROTOCOL.md).
namespace remotedb::protocol {

struct Param {
    std::string name;                 // lower case; empty when given by position
    int index = -1;                   // position among the statement's distinct names
    std::optional<std::string> value; // text handed to PostgreSQL, nullopt = NULL
};

struct Tenant {
    long long pin = 0;
    std::string password;
};

struct QueryRequest {
    std::optional<Tenant> tenant;
    std::string sql;
    std::vector<Param> params;
};

struct Error {
    int httpStatus = 400;
    std::string code;
    std::string message;
    std::string sqlstate;
};

bool parseQueryRequest(const std::string& body, QueryRequest& request, Error& error);

// Appends "columns" and "rows" members (without braces) for a result set.
void appendResultSet(std::string& out, const PGresult* result);

std::string errorBody(const Error& error);

// Appends s as a JSON string literal; bytes that are not valid UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view s);

} // namespace remotedb::protocol

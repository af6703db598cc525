#include "allowlist.h"

#include <algorithm>
#include <array>

namespace remotedb::allowlist {
namespace {

template <std::size_t N> bool contains(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

constexpr std::array<std::string_view, 4> statementKeywords = {"select", "insert", "update", "delete"};

// The schema's shims, then plain SQL helpers. The operator functions behind "+" and the
// case-insensitive comparisons are never named by client SQL and stay off the list.
constexpr std::array<std::string_view, 24> functions = {
    "getdate",   "scope_identity", "count", "sum",   "min",   "max",     "avg",      "coalesce",
    "nullif",    "upper",          "lower", "trim",  "ltrim", "rtrim",   "length",   "char_length",
    "substring", "replace",        "abs",   "round", "floor", "ceiling", "greatest", "least"};

constexpr std::array<std::string_view, 8> castTypes = {"varchar", "nvarchar", "char",  "nchar",
                                                       "numeric", "decimal",  "float", "varbinary"};

constexpr std::array<std::string_view, 33> keywordsBeforeParen = {
    "in",    "exists", "values",  "on",   "and",      "or",    "not",   "where",  "select", "from",  "join",
    "any",   "all",    "some",    "cast", "when",     "then",  "else",  "by",     "having", "union", "like",
    "ilike", "is",     "between", "top",  "distinct", "using", "limit", "offset", "set",    "case",  "returning"};

} // namespace

bool isStatementKeyword(std::string_view lowerWord) {
    return contains(statementKeywords, lowerWord);
}

bool isAllowedFunction(std::string_view lowerName) {
    return contains(functions, lowerName);
}

bool isCastType(std::string_view lowerName) {
    return contains(castTypes, lowerName);
}

bool isKeywordBeforeParen(std::string_view lowerWord) {
    return contains(keywordsBeforeParen, lowerWord);
}

bool isForbiddenIdentifier(std::string_view lowerWord) {
    return lowerWord.starts_with("pg_") || lowerWord == "information_schema" || lowerWord == "set_config" ||
           lowerWord == "current_setting";
}

} // namespace remotedb::allowlist

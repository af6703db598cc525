#pragma once

#include <string_view>

// What a client statement may contain. Everything not listed here is refused, so a
// client can neither change its tenant nor reach the database's own functions.
namespace remotedb::allowlist {

// First keyword of a statement.
bool isStatementKeyword(std::string_view lowerWord);

// Functions a statement may call (the dialect's shims and plain SQL helpers).
bool isAllowedFunction(std::string_view lowerName);

// Type names that may carry a length in CAST(... AS name(n)).
bool isCastType(std::string_view lowerName);

// Keywords that may be followed by an opening parenthesis without being a call.
bool isKeywordBeforeParen(std::string_view lowerWord);

// Names that point into the database's catalogues; never allowed in client SQL.
bool isForbiddenIdentifier(std::string_view lowerWord);

} // namespace remotedb::allowlist

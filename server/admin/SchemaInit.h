#pragma once

#include <optional>
#include <string>

namespace lumora::admin {

class PgConnection;

// Creates the roles, the schema with its shims, triggers, policies and grants. Runs on a fresh
// database; on one that already has the schema it only refreshes the roles. Needs a superuser.
// Returns whether the schema was created.
bool initSchema(PgConnection& conn, const std::optional<std::string>& servicePassword);

} // namespace lumora::admin

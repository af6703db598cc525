#include "SchemaInit.h"

#include "PgConnection.h"
#include "schema_sql.h"

namespace lumora::admin {

namespace {

// lumora_owner owns every object; lumora_service is what the service logs in as and can do only
// what the grants allow; lumora_auth reads tenants for the login check and nothing else.
constexpr const char* kRoles = R"sql(
DO $roles$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'lumora_owner') THEN
        CREATE ROLE lumora_owner NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'lumora_auth') THEN
        CREATE ROLE lumora_auth NOLOGIN BYPASSRLS;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'lumora_service') THEN
        CREATE ROLE lumora_service LOGIN;
    END IF;
    ALTER ROLE lumora_service NOSUPERUSER NOBYPASSRLS NOCREATEDB NOCREATEROLE NOREPLICATION;
END
$roles$;
)sql";

} // namespace

bool initSchema(PgConnection& conn, const std::optional<std::string>& servicePassword) {
    if (conn.scalar("SELECT rolsuper FROM pg_roles WHERE rolname = current_user") != "t")
        throw AdminError("init needs a superuser connection");

    conn.exec("BEGIN");
    try {
        conn.exec(kRoles);
        if (servicePassword) {
            const auto statement =
                conn.scalar("SELECT format('ALTER ROLE lumora_service PASSWORD %L', $1::text)", {*servicePassword});
            conn.exec(*statement);
        }
        const bool present = conn.scalar("SELECT to_regclass('public.mandant') IS NOT NULL") == "t";
        if (!present) {
            conn.exec("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public");
            conn.exec("GRANT CREATE, USAGE ON SCHEMA public TO lumora_owner");
            conn.exec("SET LOCAL ROLE lumora_owner");
            for (const SchemaFile& file : embeddedSchema()) {
                try {
                    conn.exec(file.sql);
                } catch (const AdminError& error) {
                    throw AdminError(std::string(file.name) + ": " + error.what());
                }
            }
            conn.exec("RESET ROLE");
            conn.exec("ALTER FUNCTION lumora_auth_tenant(integer, text) OWNER TO lumora_auth");
            // Temporary tables could shadow the tables the triggers write; nobody here needs them.
            conn.exec(*conn.scalar("SELECT format('REVOKE TEMPORARY ON DATABASE %I FROM PUBLIC', current_database())"));
        }
        conn.exec("COMMIT");
        return !present;
    } catch (const AdminError&) {
        conn.exec("ROLLBACK");
        throw;
    }
}

} // namespace lumora::admin

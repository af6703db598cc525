#include "admin.h"

#include "AdminOptions.h"
#include "DemoSeed.h"
#include "PgConnection.h"
#include "SchemaInit.h"
#include "StartLink.h"
#include "TenantData.h"

#include <functional>
#include <iostream>
#include <map>

namespace lumora::admin {

namespace {

constexpr const char* kUsage = R"(usage: lumora-remotedb admin <command> [options]
  init          --pg CONNINFO [--service-role-password PW]
  create-tenant --pg CONNINFO --pin N --password PW --company NAME [--id N] [--crypto A,B,C]
                [--status S] [--inactive] [--planning 0|1] [--server-version N] [--setting KEY=VALUE ...]
  add-group     --pg CONNINFO --tenant ID --name NAME [--crypto A,B,C] [--set BER_COLUMN=VALUE ...]
  add-user      --pg CONNINFO --tenant ID --short KURZ --password PW --name NAME --group BER_ID --lpe LPE_ID
                [--crypto A,B,C]
  add-row       --pg CONNINFO --tenant ID --table TABLE --set COLUMN=VALUE ... [--crypto A,B,C]
  seed-demo     --pg CONNINFO [--id N] [--pin N] [--password PW] [--crypto A,B,C]
  start-link    --tenant-pin N --company-password PW --user KURZ --user-password PW [--crypto A,B,C]
--pg needs a superuser connection. Texts the devices unscramble are scrambled with the tenant's
key triple; --crypto may be left out for a tenant that does not scramble (triple 0,0,0).
)";

std::optional<CryptoTriple> givenCrypto(const AdminOptions& options) {
    const auto text = options.optional("crypto");
    if (!text)
        return std::nullopt;
    return parseCryptoTriple(*text);
}

// Writes one tenant's rows in a single transaction and prints the new id.
void writeTenantRows(const AdminOptions& options, const std::function<int(TenantWriter&)>& write) {
    PgConnection conn(options.required("pg"));
    const int tenant = options.requiredInt("tenant");
    const TVerschluesseln keys = tenantKeys(conn, tenant, givenCrypto(options));
    TenantTransaction transaction(conn, tenant);
    TenantWriter writer(conn, tenant, keys);
    const int id = write(writer);
    transaction.commit();
    std::cout << id << '\n';
}

int commandInit(const AdminOptions& options) {
    options.allowOnly({"pg", "service-role-password"});
    PgConnection conn(options.required("pg"));
    const bool created = initSchema(conn, options.optional("service-role-password"));
    std::cout << (created ? "schema created\n" : "schema already present; roles refreshed\n");
    return 0;
}

int commandCreateTenant(const AdminOptions& options) {
    options.allowOnly({"pg", "id", "pin", "password", "company", "crypto", "status", "inactive", "planning",
                       "server-version", "setting"});
    TenantDefinition definition;
    definition.id = options.optionalInt("id");
    definition.pin = options.requiredInt("pin");
    definition.password = options.required("password");
    definition.company = options.required("company");
    definition.crypto = givenCrypto(options).value_or(CryptoTriple{});
    definition.status = options.optionalInt("status").value_or(0);
    definition.inactive = options.flag("inactive");
    definition.planning = options.optionalInt("planning").value_or(0);
    definition.serverVersion = options.optionalInt("server-version").value_or(0);
    definition.settings = options.assignments("setting");
    PgConnection conn(options.required("pg"));
    std::cout << createTenant(conn, definition) << '\n';
    return 0;
}

int commandAddGroup(const AdminOptions& options) {
    options.allowOnly({"pg", "tenant", "name", "crypto", "set"});
    Columns columns = {{"BER_Bezeichnung", options.required("name")}};
    for (const auto& assignment : options.assignments("set"))
        columns.push_back(assignment);
    writeTenantRows(options, [&](TenantWriter& writer) { return writer.insert("Lumora_Gruppen", columns); });
    return 0;
}

int commandAddUser(const AdminOptions& options) {
    options.allowOnly({"pg", "tenant", "short", "password", "name", "group", "lpe", "crypto"});
    const Columns columns = {{"USR_Kurz", options.required("short")},
                             {"USR_UserPW", options.required("password")},
                             {"USR_UserName", options.required("name")},
                             {"USR_BER_ID", std::to_string(options.requiredInt("group"))},
                             {"USR_UserFD", std::to_string(options.requiredInt("lpe"))}};
    writeTenantRows(options, [&](TenantWriter& writer) { return writer.insert("Lumora_User", columns); });
    return 0;
}

int commandAddRow(const AdminOptions& options) {
    options.allowOnly({"pg", "tenant", "table", "set", "crypto"});
    const std::string table = options.required("table");
    const Columns columns = options.assignments("set");
    writeTenantRows(options, [&](TenantWriter& writer) { return writer.insert(table, columns); });
    return 0;
}

int commandSeedDemo(const AdminOptions& options) {
    options.allowOnly({"pg", "id", "pin", "password", "crypto"});
    DemoTenant demo;
    demo.id = options.optionalInt("id");
    demo.pin = options.optionalInt("pin").value_or(demo.pin);
    demo.password = options.optional("password").value_or(demo.password);
    demo.crypto = givenCrypto(options).value_or(demo.crypto);
    PgConnection conn(options.required("pg"));
    const DemoLogin login = seedDemo(conn, demo);
    // Lines a script can read, then the same for a person.
    const DemoUser& main = login.users.at(login.mainUser);
    std::cout << "DEMO_MANDANT_ID=" << login.mandantId << '\n'
              << "DEMO_PIN=" << login.pin << '\n'
              << "DEMO_PASSWORD=" << login.companyPassword << '\n'
              << "DEMO_CRYPTO=" << login.crypto.text() << '\n'
              << "DEMO_USER=" << main.shortName << '\n'
              << "DEMO_USER_PASSWORD=" << main.password << '\n'
              << "DEMO_START_LINK="
              << makeStartLink({login.pin, login.companyPassword, main.shortName, main.password}, login.crypto)
              << "\n\n";
    std::cout << "Demo tenant " << login.mandantId << " \"" << login.company << "\"\n"
              << "  company PIN:      " << login.pin << '\n'
              << "  company password: " << login.companyPassword << '\n'
              << "  key triple:       " << login.crypto.text() << '\n';
    for (const DemoUser& user : login.users) {
        std::cout << "  user " << user.shortName << " / " << user.password << "  (" << user.name << ", " << user.group
                  << ")\n"
                  << "    start link: "
                  << makeStartLink({login.pin, login.companyPassword, user.shortName, user.password}, login.crypto)
                  << '\n';
    }
    return 0;
}

int commandStartLink(const AdminOptions& options) {
    // --pg is accepted so that every command can be called the same way; a link needs no database.
    options.allowOnly({"pg", "tenant-pin", "company-password", "user", "user-password", "crypto"});
    const StartLinkLogin login{options.requiredInt("tenant-pin"), options.required("company-password"),
                               options.required("user"), options.required("user-password")};
    std::cout << makeStartLink(login, givenCrypto(options).value_or(CryptoTriple{})) << '\n';
    return 0;
}

} // namespace

} // namespace lumora::admin

int runAdmin(int argc, char** argv) {
    using namespace lumora::admin;
    static const std::map<std::string, std::function<int(const AdminOptions&)>> commands = {
        {"init", commandInit},
        {"create-tenant", commandCreateTenant},
        {"add-group", commandAddGroup},
        {"add-user", commandAddUser},
        {"add-row", commandAddRow},
        {"seed-demo", commandSeedDemo},
        {"start-link", commandStartLink},
    };
    if (argc < 3 || commands.find(argv[2]) == commands.end()) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        return commands.at(argv[2])(AdminOptions::parse(argc, argv, 3));
    } catch (const std::exception& error) {
        std::cerr << "lumora-remotedb admin " << argv[2] << ": " << error.what() << '\n';
        return 1;
    }
}

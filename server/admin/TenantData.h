#pragma once

#include "classMeineVerschluesselung.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumora::admin {

class PgConnection;

struct CryptoTriple {
    std::int32_t crypto1 = 0;
    std::int32_t crypto2 = 0;
    std::int32_t crypto3 = 0;

    TVerschluesseln keys() const { return TVerschluesseln(crypto1, crypto2, crypto3); }
    std::string text() const;
};

// "A,B,C" as Crypto1, Crypto2, Crypto3.
CryptoTriple parseCryptoTriple(const std::string& text);

struct TenantDefinition {
    std::optional<int> id; // the next free id when not given
    int pin = 0;
    std::string password;
    std::string company;
    CryptoTriple crypto;
    int status = 0;
    bool inactive = false;
    int planning = 0;
    int serverVersion = 0;
    // Further Mandant columns, named with or without the "Mandant_" prefix.
    std::vector<std::pair<std::string, std::string>> settings;
};

// Creates the tenant with its SyncVersion row; returns its id.
int createTenant(PgConnection& conn, const TenantDefinition& definition);
// The two halves of createTenant, for a caller that writes the tenant's data in the same transaction:
// the id the tenant will get (refused when id or PIN are taken), and the rows, inside a tenant transaction.
int newTenantId(PgConnection& conn, const TenantDefinition& definition);
void insertTenant(PgConnection& conn, const TenantDefinition& definition, int id);

// The key triple of a tenant, checked against its Mandant_CryptoCheck the way the client checks it.
// Without a triple the tenant must be one that does not scramble.
TVerschluesseln tenantKeys(PgConnection& conn, int mandantId, const std::optional<CryptoTriple>& given);

using Columns = std::vector<std::pair<std::string, std::string>>;

// Writes master data of one tenant inside the caller's tenant transaction. Column names are those
// of the schema (any case); the columns the devices unscramble are scrambled with the tenant's keys.
class TenantWriter {
public:
    TenantWriter(PgConnection& conn, int mandantId, TVerschluesseln keys);

    // Inserts a row; returns the id the server gave it (0 for tables keyed by text or several columns).
    int insert(const std::string& table, const Columns& columns);

    int mandantId() const { return m_mandantId; }

private:
    PgConnection& m_conn;
    int m_mandantId;
    TVerschluesseln m_keys;
};

// Tables the admin commands write, with their server-numbered id column.
const std::map<std::string, std::string>& masterTables();

} // namespace lumora::admin

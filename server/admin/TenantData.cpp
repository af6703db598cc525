#include "TenantData.h"

#include "AdminOptions.h"
#include "PgConnection.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace lumora::admin {

namespace {

std::string lower(std::string text) {
    // ASCII only: PostgreSQL folds unquoted names the same way, so "LPE_Kürzel" keeps its umlaut.
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct TableRule {
    std::string idColumn;
    std::set<std::string> scrambled;
};

// The text columns the devices unscramble on download; everything else travels plain.
// Tables the admin commands write, with the id column the server numbers (none for text or compound keys).
const std::map<std::string, TableRule>& tableRules() {
    static const std::map<std::string, TableRule> rules = {
        {"a_adressen",
         {"adr_id",
          {"adr_sortierung", "adr_anrede", "adr_name", "adr_vorname", "adr_zusatz", "adr_strasse", "adr_postfach",
           "adr_land", "adr_plz", "adr_ort", "adr_kanton", "adr_tel1", "adr_fax", "adr_tel2", "adr_tel3beschr",
           "adr_tel3", "adr_tel4beschr", "adr_tel4", "adr_email"}}},
        {"a_personal", {"lpe_id", {"lpe_suchbez", "lpe_kürzel", "lpe_kennwort"}}},
        {"lumora_gruppen", {"ber_id", {"ber_bezeichnung"}}},
        {"lumora_gruppenka", {"gka_id", {"gka_ka"}}},
        {"lumora_gruppenks", {"gks_id", {"gks_ks"}}},
        {"lumora_gruppenteam", {"gte_id", {}}},
        {"lumora_user", {"usr_userid", {"usr_username", "usr_kurz", "usr_userpw"}}},
        {"p_projekt", {"pro_id", {"pro_nr", "pro_bezeichnung", "pro_beschreibung", "pro_ks", "fakturacode"}}},
        {"p_projektphasen", {"pph_id", {"pph_nr", "pph_bezeichnung"}}},
        {"p_projektphasen_detail", {"ppd_id", {"ppd_zka_nr"}}},
        {"r_kauftrag",
         {"rka_id", {"rka_extaufnr", "rka_bezeichnung", "rka_status", "rka_statustext", "rka_ks", "fakturacode"}}},
        {"r_kwerkauftrag",
         {"rka_id", {"rka_extaufnr", "rka_bezeichnung", "rka_status", "rka_statustext", "rka_ks", "fakturacode"}}},
        {"z_kostenart",
         {"", {"zka_bezeichnung", "zka_konto", "zka_ks", "zka_lohnart", "zka_lohnartstd", "zka_verrechnen"}}},
        {"z_kostenstelle", {"", {"zks_bezeichnung"}}},
        {"lumora_filter", {"pfi_id", {"pfi_tabelle", "pfi_name", "pfi_sql"}}},
        {"m_material",
         {"mat_id",
          {"mat_nr", "mat_alternativnr", "mat_eancode", "mat_bercode", "mat_suchbezeichnung", "mat_gruppe",
           "mat_mengeneinheit", "mat_bezeichnung", "mte_zusatztext"}}},
        {"m_materialpreise", {"", {}}},
        {"planung",
         {"",
          {"mpl_betreff", "mpl_text", "mpl_erfuser", "mpl_mutuser", "objektadresse", "objektauftrag",
           "objektwerkauftrag", "objektprojekt", "mpl_ka", "mpl_ter_backcolor"}}},
        {"z_erfassung",
         {"zer_id", {"zer_zka",        "zer_zks",        "zer_la",        "zer_tag",           "zer_text",
                     "zer_erfuser",    "zer_mutuser",    "zer_konto",     "zer_zsp_abteilung", "zer_exportnr",
                     "zer_exportuser", "zer_verrechnen", "zer_sperruser", "zer_bezeichnung",   "zer_feiertag",
                     "zer_mop_nr",     "zer_mpr_nr",     "objektadresse", "objektauftrag",     "objektwerkauftrag",
                     "objektprojekt"}}},
        {"z_praesenzzeit", {"zpz_id", {"zpz_erfuser", "zpz_mutuser"}}},
        {"planung_team", {"", {}}},
        {"planung_teampersonal", {"", {}}},
        {"planung_teamerlaubnis", {"", {}}},
    };
    return rules;
}

std::string mandantColumn(PgConnection& conn, const std::string& key) {
    std::string column = lower(key);
    if (column.rfind("mandant_", 0) != 0)
        column = "mandant_" + column;
    static const std::set<std::string> fixed = {"mandant_id", "mandant_pin", "mandant_kennwort", "mandant_cryptocheck"};
    const bool known = conn.scalar("SELECT 1 FROM information_schema.columns "
                                   "WHERE table_schema = 'public' AND table_name = 'mandant' AND column_name = $1",
                                   {column})
                           .has_value();
    if (!known || fixed.count(column))
        throw AdminError("unknown tenant setting \"" + key + "\"");
    return column;
}

} // namespace

std::string CryptoTriple::text() const {
    return std::to_string(crypto1) + "," + std::to_string(crypto2) + "," + std::to_string(crypto3);
}

CryptoTriple parseCryptoTriple(const std::string& text) {
    std::vector<std::int32_t> values;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) {
        const auto value = parseInt32(trimmed(part));
        if (!value)
            throw AdminError("a key triple is three integers \"A,B,C\", not \"" + text + "\"");
        values.push_back(*value);
    }
    if (values.size() != 3)
        throw AdminError("a key triple is three integers \"A,B,C\", not \"" + text + "\"");
    return {values[0], values[1], values[2]};
}

int newTenantId(PgConnection& conn, const TenantDefinition& definition) {
    const int id = definition.id ? *definition.id
                                 : std::stoi(*conn.scalar("SELECT coalesce(max(mandant_id), 0) + 1 FROM mandant"));
    if (id <= 0)
        throw AdminError("a tenant id must be positive");
    if (conn.scalar("SELECT 1 FROM mandant WHERE mandant_id = $1 OR mandant_pin = $2",
                    {std::to_string(id), std::to_string(definition.pin)}))
        throw AdminError("a tenant with id " + std::to_string(id) + " or PIN " + std::to_string(definition.pin) +
                         " exists already");
    return id;
}

void insertTenant(PgConnection& conn, const TenantDefinition& definition, int id) {
    if (definition.password.empty() || definition.company.empty())
        throw AdminError("a tenant needs a password and a company name");
    // The devices test a key triple by unscrambling this back to the company name.
    const std::string cryptoCheck = definition.crypto.keys().Verschluesseln(definition.company);
    conn.query("INSERT INTO mandant (mandant_id, mandant_pin, mandant_kennwort, mandant_firma, mandant_status, "
               "mandant_inaktiv, mandant_planungaktiv, mandant_serverversion, mandant_cryptocheck) "
               "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
               {std::to_string(id), std::to_string(definition.pin), definition.password, definition.company,
                std::to_string(definition.status), definition.inactive ? "1" : "0", std::to_string(definition.planning),
                std::to_string(definition.serverVersion), cryptoCheck});
    conn.query("INSERT INTO syncversion (mandant_id) VALUES ($1)", {std::to_string(id)});
    for (const auto& [key, value] : definition.settings) {
        conn.query("UPDATE mandant SET " + conn.quoteIdentifier(mandantColumn(conn, key)) +
                       " = $1 WHERE mandant_id = $2",
                   {value, std::to_string(id)});
    }
}

int createTenant(PgConnection& conn, const TenantDefinition& definition) {
    const int id = newTenantId(conn, definition);
    TenantTransaction transaction(conn, id);
    insertTenant(conn, definition, id);
    transaction.commit();
    return id;
}

TVerschluesseln tenantKeys(PgConnection& conn, int mandantId, const std::optional<CryptoTriple>& given) {
    const std::vector<Row> rows = conn.query(
        "SELECT mandant_firma, mandant_cryptocheck FROM mandant WHERE mandant_id = $1", {std::to_string(mandantId)});
    if (rows.empty())
        throw AdminError("there is no tenant " + std::to_string(mandantId));
    const std::string company = trimmed(rows.front()[0].value_or(""));
    const std::string check = trimmed(rows.front()[1].value_or(""));
    const TVerschluesseln keys = given.value_or(CryptoTriple{}).keys();
    const bool fits = check == company ? keys.GetSummeKeyValues() == 0 : keys.Entschluesseln(check) == company;
    if (!fits) {
        throw AdminError(given ? "the key triple " + given->text() + " does not fit tenant " + std::to_string(mandantId)
                               : "tenant " + std::to_string(mandantId) + " scrambles its data: give --crypto A,B,C");
    }
    return keys;
}

const std::map<std::string, std::string>& masterTables() {
    static const std::map<std::string, std::string> tables = [] {
        std::map<std::string, std::string> result;
        for (const auto& [table, rule] : tableRules())
            result.emplace(table, rule.idColumn);
        return result;
    }();
    return tables;
}

TenantWriter::TenantWriter(PgConnection& conn, int mandantId, TVerschluesseln keys)
    : m_conn(conn), m_mandantId(mandantId), m_keys(keys) {}

int TenantWriter::insert(const std::string& table, const Columns& columns) {
    const std::string name = lower(table);
    const auto rule = tableRules().find(name);
    if (rule == tableRules().end())
        throw AdminError("the admin commands do not write table \"" + table + "\"");

    std::string columnList = "mandant_id";
    std::string valueList = "$1";
    std::vector<Value> values = {std::to_string(m_mandantId)};
    for (const auto& [column, value] : columns) {
        const std::string columnName = lower(column);
        if (columnName == "mandant_id")
            throw AdminError("the tenant of a row is the command's --tenant");
        values.emplace_back(rule->second.scrambled.count(columnName) ? m_keys.Verschluesseln(value) : value);
        columnList += ", " + m_conn.quoteIdentifier(columnName);
        valueList += ", $" + std::to_string(values.size());
    }
    const std::string& idColumn = rule->second.idColumn;
    const std::string returning = idColumn.empty() ? "" : " RETURNING " + m_conn.quoteIdentifier(idColumn);
    const Value id = m_conn.scalar("INSERT INTO " + m_conn.quoteIdentifier(name) + " (" + columnList + ") VALUES (" +
                                       valueList + ")" + returning,
                                   values);
    return id ? std::stoi(*id) : 0;
}

} // namespace lumora::admin

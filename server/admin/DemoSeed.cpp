#include "DemoSeed.h"

#include "PgConnection.h"

#include <map>
#include <string_view>

namespace lumora::admin {

namespace {

constexpr const char* kCompany = "Schreinerei Brandl GmbH";

struct Person {
    const char* nr;
    const char* suchbez;
    const char* kuerzel;
    const char* kostenStd;
    const char* verrechnenStd;
};

const Person kPersonal[] = {
    {"101", "Müller Max", "MM", "38.5", "62"},  {"102", "Becker Sabine", "SB", "45", "72"},
    {"103", "Schmidt Jonas", "JS", "32", "55"}, {"104", "Yılmaz Emre", "EY", "34.5", "58"},
    {"105", "Weber Anna", "AW", "29", "0"},     {"106", "Fischer Lukas", "LF", "18", "35"},
};

struct Group {
    const char* name;
    Columns permissions;
};

const Group kGroups[] = {
    {"Monteure",
     {{"BER_Praesenzzeit", "1"},
      {"BER_Typ", "11111"},
      {"BER_Art", "1111"},
      {"BER_KS", "1"},
      {"BER_Fakt", "1"},
      {"BER_ZPZ_startstop", "1"},
      {"BER_TageVeraenderbar", "7"},
      {"BER_ZPZ_automatik", "1"},
      {"BER_Runden", "15"},
      {"BER_Mitternacht", "1"},
      {"BER_MitternachtStunden", "8"}}},
    {"Bauleitung",
     {{"BER_Praesenzzeit", "1"},
      {"BER_Typ", "11111"},
      {"BER_Art", "1111"},
      {"BER_KS", "2"},
      {"BER_Fakt", "2"},
      {"BER_DatumMutieren", "1"},
      {"BER_TageVeraenderbar", "30"},
      {"BER_InZukunftErlauben", "1"},
      {"BER_Runden", "5"},
      {"BER_Planung", "2"},
      {"BER_Teamerfassung", "1"},
      {"BER_TeamPraesenzzeit", "1"}}},
    {"Auszubildende",
     {{"BER_Praesenzzeit", "1"},
      {"BER_Typ", "10101"},
      {"BER_Art", "1000"},
      {"BER_KS", "0"},
      {"BER_Fakt", "0"},
      {"BER_ZPZ_startstop", "1"},
      {"BER_ZER_startstop", "1"},
      {"BER_TageVeraenderbar", "2"},
      {"BER_Runden", "15"}}},
    {"Büro",
     {{"BER_Praesenzzeit", "1"},
      {"BER_Typ", "11111"},
      {"BER_Art", "1111"},
      {"BER_KS", "2"},
      {"BER_Fakt", "2"},
      {"BER_DatumMutieren", "1"},
      {"BER_TageVeraenderbar", "60"},
      {"BER_Planung", "1"},
      {"BER_ZERnurAnsicht", "1"},
      {"BER_Runden", "1"}}},
    {"Terminal",
     {{"BER_Praesenzzeit", "1"},
      {"BER_Typ", "10000"},
      {"BER_Art", "1000"},
      {"BER_KS", "0"},
      {"BER_Fakt", "0"},
      {"BER_ZPZ_startstop", "1"},
      {"BER_ZER_startstop", "1"},
      {"BER_IstTerminal", "1"},
      {"BER_TageVeraenderbar", "0"},
      {"BER_Runden", "15"}}},
};

struct DemoUserRow {
    const char* kurz;
    const char* password;
    const char* name;
    const char* group;
    const char* personKuerzel;
};

const DemoUserRow kUsers[] = {
    {"mm", "Fichte1", "Max Müller", "Monteure", "MM"},
    {"sb", "Eiche22", "Sabine Becker", "Bauleitung", "SB"},
    {"js", "Ahorn3", "Jonas Schmidt", "Monteure", "JS"},
    {"ey", "Buche44", "Emre Yılmaz", "Monteure", "EY"},
    {"aw", "Linde5", "Anna Weber", "Büro", "AW"},
    {"lf", "Kiefer6", "Lukas Fischer", "Auszubildende", "LF"},
    {"term", "Werkstatt", "Werkstatt-Terminal", "Terminal", "AW"},
};

const Columns kAddresses[] = {
    {{"ADR_Nr", "10010"},
     {"ADR_Sortierung", "WAGNER THOMAS"},
     {"ADR_Anrede", "Herr"},
     {"ADR_Name", "Wagner"},
     {"ADR_Vorname", "Thomas"},
     {"ADR_Strasse", "Lindenstraße 12"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "80331"},
     {"ADR_Ort", "München"},
     {"ADR_Tel1", "089 2318840"},
     {"ADR_Email", "t.wagner@example.de"}},
    {{"ADR_Nr", "10011"},
     {"ADR_Sortierung", "SCHULZE PETRA"},
     {"ADR_Anrede", "Frau"},
     {"ADR_Name", "Schulze"},
     {"ADR_Vorname", "Petra"},
     {"ADR_Strasse", "Am Stadtpark 3"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "85049"},
     {"ADR_Ort", "Ingolstadt"},
     {"ADR_Tel1", "0841 9312207"}},
    {{"ADR_Nr", "10020"},
     {"ADR_Sortierung", "STADTWERKE ROSENHEIM"},
     {"ADR_Anrede", "Firma"},
     {"ADR_Name", "Stadtwerke Rosenheim GmbH"},
     {"ADR_Zusatz", "Abteilung Gebäudemanagement"},
     {"ADR_Strasse", "Bahnhofstraße 45"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "83022"},
     {"ADR_Ort", "Rosenheim"},
     {"ADR_Tel1", "08031 36500"},
     {"ADR_FAX", "08031 365099"},
     {"ADR_TEL3BESCHR", "Hausmeister"},
     {"ADR_TEL3", "0171 4408812"}},
    {{"ADR_Nr", "10031"},
     {"ADR_Sortierung", "HOTEL ALPENBLICK"},
     {"ADR_Anrede", "Firma"},
     {"ADR_Name", "Hotel Alpenblick"},
     {"ADR_Zusatz", "Inh. Georg Huber"},
     {"ADR_Strasse", "Seestraße 8"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "83209"},
     {"ADR_Ort", "Prien am Chiemsee"},
     {"ADR_Tel1", "08051 69020"},
     {"ADR_Email", "info@alpenblick-prien.example"}},
    {{"ADR_Nr", "10045"},
     {"ADR_Sortierung", "HOFMANN FAMILIE"},
     {"ADR_Anrede", "Familie"},
     {"ADR_Name", "Hofmann"},
     {"ADR_Strasse", "Kirchweg 21"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "84028"},
     {"ADR_Ort", "Landshut"},
     {"ADR_Tel1", "0871 4471190"}},
    {{"ADR_Nr", "10052"},
     {"ADR_Sortierung", "BERGER AUTOHAUS"},
     {"ADR_Anrede", "Firma"},
     {"ADR_Name", "Autohaus Berger KG"},
     {"ADR_Strasse", "Industriestraße 17"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "85221"},
     {"ADR_Ort", "Dachau"},
     {"ADR_Tel1", "08131 27740"}},
    {{"ADR_Nr", "10060"},
     {"ADR_Sortierung", "GEMEINDE KIRCHSEEON"},
     {"ADR_Anrede", "Gemeinde"},
     {"ADR_Name", "Gemeinde Kirchseeon"},
     {"ADR_Zusatz", "Bauamt"},
     {"ADR_Strasse", "Rathausplatz 1"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "85614"},
     {"ADR_Ort", "Kirchseeon"},
     {"ADR_Tel1", "08091 55100"}},
    {{"ADR_Nr", "10071"},
     {"ADR_Sortierung", "RICHTER JULIA DR"},
     {"ADR_Anrede", "Frau Dr. med."},
     {"ADR_Name", "Richter"},
     {"ADR_Vorname", "Julia"},
     {"ADR_Zusatz", "Hausarztpraxis"},
     {"ADR_Strasse", "Marienplatz 5"},
     {"ADR_Land", "D"},
     {"ADR_PLZ", "83512"},
     {"ADR_Ort", "Wasserburg am Inn"},
     {"ADR_Tel1", "08071 92210"}},
};

const Columns kCostTypes[] = {
    {{"ZKA_Nr", "100"},
     {"ZKA_Bezeichnung", "Montage"},
     {"ZKA_TYPE", "1"},
     {"ZKA_MWSTC", "19"},
     {"ZKA_KS", "10"},
     {"ZKA_Lohnart", "L100"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "110"},
     {"ZKA_Bezeichnung", "Montage Überstunden"},
     {"ZKA_TYPE", "2"},
     {"ZKA_StundenFaktor", "1.25"},
     {"ZKA_MWSTC", "19"},
     {"ZKA_KS", "10"},
     {"ZKA_Lohnart", "L110"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "120"},
     {"ZKA_Bezeichnung", "Werkstattarbeit"},
     {"ZKA_TYPE", "1"},
     {"ZKA_MWSTC", "19"},
     {"ZKA_KS", "20"},
     {"ZKA_Lohnart", "L100"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "130"},
     {"ZKA_Bezeichnung", "Regiearbeit"},
     {"ZKA_TYPE", "0"},
     {"ZKA_MWSTC", "19"},
     {"ZKA_StdETyp", "2"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "150"},
     {"ZKA_Bezeichnung", "Fahrzeit"},
     {"ZKA_TYPE", "1"},
     {"ZKA_StdETyp", "1"},
     {"ZKA_KS", "40"},
     {"ZKA_Verrechnen", "N"}},
    {{"ZKA_Nr", "200"},
     {"ZKA_Bezeichnung", "Verpflegungspauschale"},
     {"ZKA_TYPE", "4"},
     {"ZKA_Spesen", "1"},
     {"ZKA_KmAnsatz", "14"},
     {"ZKA_Konto", "4670"},
     {"ZKA_Verrechnen", "N"}},
    {{"ZKA_Nr", "210"},
     {"ZKA_Bezeichnung", "Übernachtung"},
     {"ZKA_TYPE", "6"},
     {"ZKA_Spesen", "1"},
     {"ZKA_KmAnsatz", "80"},
     {"ZKA_Konto", "4676"},
     {"ZKA_Verrechnen", "N"}},
    {{"ZKA_Nr", "300"},
     {"ZKA_Bezeichnung", "Kilometer Firmenwagen"},
     {"ZKA_TYPE", "5"},
     {"ZKA_KmAnsatz", "0.3"},
     {"ZKA_KS", "40"},
     {"ZKA_Konto", "4530"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "400"},
     {"ZKA_Bezeichnung", "Materialverbrauch"},
     {"ZKA_TYPE", "9"},
     {"ZKA_MWSTC", "19"},
     {"ZKA_Verrechnen", "V"}},
    {{"ZKA_Nr", "990"},
     {"ZKA_Bezeichnung", "Interne Arbeit"},
     {"ZKA_TYPE", "0"},
     {"ZKA_KS", "30"},
     {"ZKA_Verrechnen", "N"}},
    {{"ZKA_Nr", "995"},
     {"ZKA_Bezeichnung", "Schulung / Unterweisung"},
     {"ZKA_TYPE", "0"},
     {"ZKA_KS", "30"},
     {"ZKA_Verrechnen", "N"}},
};

const std::pair<const char*, const char*> kCostCentres[] = {
    {"10", "Montage"}, {"20", "Werkstatt"}, {"30", "Verwaltung"}, {"40", "Fuhrpark"}};

struct Article {
    Columns columns;
    const char* einkauf;
    const char* verkauf;
};

const Article kMaterial[] = {
    {{{"MAT_Nr", "10001"},
      {"MAT_EANCODE", "4012345100017"},
      {"MAT_BerCode", "A"},
      {"MAT_Suchbezeichnung", "KVH 60x120"},
      {"MAT_Gruppe", "Holz"},
      {"MAT_Mengeneinheit", "m"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Konstruktionsvollholz KVH Fichte 60x120 mm"}},
     "6.8",
     "11.9"},
    {{{"MAT_Nr", "10002"},
      {"MAT_EANCODE", "4012345100024"},
      {"MAT_BerCode", "A"},
      {"MAT_Suchbezeichnung", "Terrassendiele Lärche"},
      {"MAT_Gruppe", "Holz"},
      {"MAT_Mengeneinheit", "m"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Terrassendiele sibirische Lärche 27x145 mm"},
      {"MTE_ZusatzText", "glatt/genutet, Längen 3,0 bis 5,1 m"}},
     "5.2",
     "9.4"},
    {{{"MAT_Nr", "20001"},
      {"MAT_AlternativNr", "SP-5060"},
      {"MAT_EANCODE", "4012345200014"},
      {"MAT_BerCode", "B"},
      {"MAT_Suchbezeichnung", "Edelstahlschraube 5x60"},
      {"MAT_Gruppe", "Befestigung"},
      {"MAT_Mengeneinheit", "Stk"},
      {"MAT_Preiseinheit", "100"},
      {"MAT_Bezeichnung", "Terrassenschraube A2 5x60 mm"}},
     "14.5",
     "24.9"},
    {{{"MAT_Nr", "20005"},
      {"MAT_EANCODE", "4012345200052"},
      {"MAT_BerCode", "B"},
      {"MAT_Suchbezeichnung", "Winkelverbinder 90"},
      {"MAT_Gruppe", "Befestigung"},
      {"MAT_Mengeneinheit", "Stk"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Winkelverbinder 90x90x65 mm feuerverzinkt"}},
     "1.35",
     "2.6"},
    {{{"MAT_Nr", "30010"},
      {"MAT_EANCODE", "4012345300103"},
      {"MAT_BerCode", "C"},
      {"MAT_Suchbezeichnung", "Holzschutzlasur farblos"},
      {"MAT_Gruppe", "Oberfläche"},
      {"MAT_Mengeneinheit", "Dose"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Holzschutzlasur farblos 2,5 l"}},
     "27.9",
     "44.5"},
    {{{"MAT_Nr", "40001"},
      {"MAT_EANCODE", "4012345400018"},
      {"MAT_BerCode", "A"},
      {"MAT_Suchbezeichnung", "Dachlatte 30x50"},
      {"MAT_Gruppe", "Holz"},
      {"MAT_Mengeneinheit", "m"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Dachlatte 30x50 mm imprägniert, sortiert"}},
     "0.85",
     "1.6"},
    {{{"MAT_Nr", "50002"},
      {"MAT_EANCODE", "4012345500022"},
      {"MAT_BerCode", "C"},
      {"MAT_Suchbezeichnung", "Dampfbremse 1,5x50"},
      {"MAT_Gruppe", "Dämmung"},
      {"MAT_Mengeneinheit", "Rolle"},
      {"MAT_Preiseinheit", "1"},
      {"MAT_Bezeichnung", "Dampfbremsfolie sd 2 m, 1,5x50 m"}},
     "48",
     "79"},
};

class DemoBuilder {
public:
    DemoBuilder(PgConnection& conn, TenantWriter& writer) : m_conn(conn), m_writer(writer) {}

    void build() {
        personnel();
        groups();
        addresses();
        costTypesAndCentres();
        groupLists();
        projects();
        orders();
        material();
        filter();
        planning();
        lastWeek();
    }

    std::map<std::string, int> personId;
    std::map<std::string, int> groupId;

private:
    // Days relative to the server's today, in the stored form.
    std::string day(int offset, const char* time = "00:00:00") {
        return *m_conn.scalar("SELECT to_char(current_date + $1::int, 'YYYY-MM-DD') || ' ' || $2 || '.000'",
                              {std::to_string(offset), std::string(time)});
    }

    void personnel() {
        for (const Person& p : kPersonal) {
            personId[p.kuerzel] = m_writer.insert("A_PERSONAL", {{"LPE_Nr", p.nr},
                                                                 {"LPE_Suchbez", p.suchbez},
                                                                 {"LPE_Kürzel", p.kuerzel},
                                                                 {"LPE_KostenStd", p.kostenStd},
                                                                 {"LPE_VerrechnenStd", p.verrechnenStd}});
        }
    }

    void groups() {
        for (const Group& g : kGroups) {
            Columns columns = g.permissions;
            columns.emplace_back("BER_Bezeichnung", g.name);
            columns.emplace_back("BER_Buchungssperre", day(-90));
            groupId[g.name] = m_writer.insert("Lumora_Gruppen", columns);
        }
        for (const DemoUserRow& u : kUsers) {
            m_writer.insert("Lumora_User", {{"USR_Kurz", u.kurz},
                                            {"USR_UserPW", u.password},
                                            {"USR_UserName", u.name},
                                            {"USR_BER_ID", std::to_string(groupId.at(u.group))},
                                            {"USR_UserFD", std::to_string(personId.at(u.personKuerzel))}});
        }
    }

    void addresses() {
        for (const Columns& address : kAddresses)
            m_addressIds.push_back(m_writer.insert("A_ADRESSEN", address));
    }

    void costTypesAndCentres() {
        for (const Columns& costType : kCostTypes)
            m_writer.insert("Z_KOSTENART", costType);
        for (const auto& [nr, name] : kCostCentres)
            m_writer.insert("Z_KOSTENSTELLE", {{"ZKS_Nr", nr}, {"ZKS_Bezeichnung", name}});
    }

    // What each group may book, and whom the site managers record for.
    void groupLists() {
        const std::map<std::string, std::vector<const char*>> costTypes = {
            {"Monteure", {"100", "110", "120", "150", "200", "210", "300", "400"}},
            {"Bauleitung", {"100", "110", "120", "130", "150", "200", "210", "300", "400", "990", "995"}},
            {"Auszubildende", {"100", "120", "990", "995"}},
            {"Terminal", {"120", "990"}},
        };
        for (const auto& [group, list] : costTypes) {
            for (const char* ka : list)
                m_writer.insert("Lumora_GruppenKA",
                                {{"GKA_BER_ID", std::to_string(groupId.at(group))}, {"GKA_KA", ka}});
        }
        for (const char* ks : {"10", "20"})
            m_writer.insert("Lumora_GruppenKS",
                            {{"GKS_BER_ID", std::to_string(groupId.at("Monteure"))}, {"GKS_KS", ks}});
        for (const auto& [nr, name] : kCostCentres)
            m_writer.insert("Lumora_GruppenKS",
                            {{"GKS_BER_ID", std::to_string(groupId.at("Bauleitung"))}, {"GKS_KS", nr}});
        for (const char* member : {"MM", "JS", "EY", "LF"})
            m_writer.insert("Lumora_GruppenTeam", {{"GTE_BER_ID", std::to_string(groupId.at("Bauleitung"))},
                                                   {"GTE_LPE", std::to_string(personId.at(member))}});
    }

    void projects() {
        m_projectIds.push_back(m_writer.insert(
            "P_PROJEKT", {{"PRO_Nr", "P-2024-017"},
                          {"PRO_Bezeichnung", "Dachstuhl Neubau Wagner"},
                          {"PRO_Start", day(-40)},
                          {"PRO_Ende", day(20)},
                          {"PRO_Beschreibung", "Abbund und Aufrichten Satteldach, Eindeckung mit Tondachziegeln"},
                          {"PRO_KS", "10"},
                          {"FakturaCode", "V"},
                          {"PRO_ADR1", std::to_string(m_addressIds[0])},
                          {"PRO_ADRRechnung", std::to_string(m_addressIds[0])}}));
        m_projectIds.push_back(
            m_writer.insert("P_PROJEKT", {{"PRO_Nr", "P-2024-021"},
                                          {"PRO_Bezeichnung", "Sanierung Hotel Alpenblick, Zimmer 1–12"},
                                          {"PRO_Start", day(-75)},
                                          {"PRO_Ende", day(45)},
                                          {"PRO_Beschreibung", "Einbauschränke, Türen und Wandverkleidungen in Eiche"},
                                          {"PRO_KS", "20"},
                                          {"FakturaCode", "V"},
                                          {"PRO_ADR1", std::to_string(m_addressIds[3])},
                                          {"PRO_ADRRechnung", std::to_string(m_addressIds[3])}}));
        m_projectIds.push_back(
            m_writer.insert("P_PROJEKT", {{"PRO_Nr", "P-2025-003"},
                                          {"PRO_Bezeichnung", "Kindergarten Kirchseeon – Innenausbau"},
                                          {"PRO_Start", day(-10)},
                                          {"PRO_Ende", day(120)},
                                          {"PRO_Beschreibung", "Garderoben, Akustikdecken und Spielpodeste"},
                                          {"PRO_KS", "10"},
                                          {"FakturaCode", "V"},
                                          {"PRO_ADR1", std::to_string(m_addressIds[6])},
                                          {"PRO_ADRRechnung", std::to_string(m_addressIds[6])},
                                          {"FilterZahl1", "1"}}));
        m_projectIds.push_back(m_writer.insert("P_PROJEKT", {{"PRO_Nr", "P-2023-044"},
                                                             {"PRO_Bezeichnung", "Praxisumbau Dr. Richter"},
                                                             {"PRO_Start", day(-400)},
                                                             {"PRO_Ende", day(-300)},
                                                             {"PRO_Erledigt", "1"},
                                                             {"PRO_KS", "20"},
                                                             {"FakturaCode", "V"},
                                                             {"PRO_ADR1", std::to_string(m_addressIds[7])}}));

        const char* phases[][2] = {{"01", "Abbund"}, {"02", "Aufrichten"}, {"03", "Eindeckung"}};
        int offset = -40;
        for (const auto& [nr, name] : phases) {
            const int phase = m_writer.insert("P_PROJEKTPHASEN", {{"PPH_PRO_ID", std::to_string(m_projectIds[0])},
                                                                  {"PPH_Nr", nr},
                                                                  {"PPH_Bezeichnung", name},
                                                                  {"PPH_Start", day(offset)},
                                                                  {"PPH_Ende", day(offset + 19)}});
            offset += 20;
            for (const char* ka : {"100", "110", "150"})
                m_writer.insert("P_PROJEKTPHASEN_DETAIL", {{"PPD_PPH_ID", std::to_string(phase)}, {"PPD_ZKA_Nr", ka}});
        }
    }

    void orders() {
        struct Order {
            const char* table;
            const char* nr;
            const char* name;
            int address;
            int project;
            const char* status;
            const char* statusText;
            const char* ks;
        };
        const Order orders[] = {
            {"R_KAUFTRAG", "A-24117", "Holzterrasse Lärche 40 m²", 1, -1, "offen", "in Arbeit", "10"},
            {"R_KAUFTRAG", "A-24125", "Carport Doppelgarage", 4, -1, "offen", "Material bestellt", "10"},
            {"R_KAUFTRAG", "A-24131", "Treppenrenovierung Eiche", 7, -1, "offen", "Aufmaß erfolgt", "20"},
            {"R_KAUFTRAG", "A-25002", "Wartung Holzfenster Verwaltungsgebäude", 2, -1, "offen", "Rahmenvertrag", "10"},
            {"R_KAUFTRAG", "A-25009", "Einbauschränke Zimmer 1–6", 3, 1, "offen", "in Fertigung", "20"},
            {"R_KAUFTRAG", "A-24098", "Werkstatttor erneuern", 5, -1, "erledigt", "abgerechnet", "20"},
            {"R_KWERKAUFTRAG", "W-5012", "Montage Terrassendielen", 1, -1, "offen", "geplant", "10"},
            {"R_KWERKAUFTRAG", "W-5013", "Fenster einstellen und abdichten", 2, -1, "offen", "geplant", "10"},
            {"R_KWERKAUFTRAG", "W-5020", "Carport Fundamente prüfen", 4, -1, "offen", "neu", "10"},
            {"R_KWERKAUFTRAG", "W-5021", "Schranktüren anschlagen Zimmer 3", 3, 1, "offen", "in Arbeit", "20"},
        };
        for (const Order& o : orders) {
            m_orderIds.push_back(
                m_writer.insert(o.table, {{"RKA_ExtAufNr", o.nr},
                                          {"RKA_Bezeichnung", o.name},
                                          {"RKA_ADR_ID", std::to_string(m_addressIds[o.address])},
                                          {"RKA_PRO", std::to_string(o.project < 0 ? 0 : m_projectIds[o.project])},
                                          {"RKA_Status", o.status},
                                          {"RKA_StatusText", o.statusText},
                                          {"RKA_Datum1", day(-20)},
                                          {"RKA_Datum2", day(25)},
                                          {"RKA_KS", o.ks},
                                          {"FakturaCode", "V"}}));
        }
    }

    void material() {
        for (const Article& article : kMaterial) {
            const int id = m_writer.insert("M_Material", article.columns);
            m_writer.insert("M_MaterialPreise", {{"MAT_ID", std::to_string(id)},
                                                 {"MAT_MAF_NR", "1"},
                                                 {"MAT_AktiveWaehrung", "1"},
                                                 {"MAT_AktuellerEP", article.einkauf},
                                                 {"MAT_AktuellerEP_EURO", article.einkauf},
                                                 {"MAT_VPKalkuliert", article.verkauf},
                                                 {"MAT_VPKalkuliert_EURO", article.verkauf},
                                                 {"MAT_VP1", article.verkauf},
                                                 {"MAT_VP1_EURO", article.verkauf}});
        }
    }

    void filter() {
        m_writer.insert("Lumora_Filter", {{"PFI_BER_ID", std::to_string(groupId.at("Monteure"))},
                                          {"PFI_Tabelle", "P_PROJEKT"},
                                          {"PFI_Name", "Laufende Projekte"},
                                          {"PFI_SQL", "PRO_Erledigt = 0"},
                                          {"PFI_Standard", "1"}});
    }

    void planning() {
        struct Team {
            const char* guid;
            const char* name;
            const char* colour;
            std::vector<std::pair<const char*, bool>> members;
        };
        const Team teams[] = {
            {"{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A01}",
             "Montagetrupp Nord",
             "4283215696",
             {{"MM", true}, {"JS", false}}},
            {"{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A02}", "Montagetrupp Süd", "4294934352", {{"EY", true}, {"LF", false}}},
        };
        const std::string erfdat = day(-1, "16:30:00");
        for (const Team& team : teams) {
            m_writer.insert("Planung_Team", {{"MTM_GUID", team.guid},
                                             {"MTM_Bezeichnung", team.name},
                                             {"MTM_Farbe", team.colour},
                                             {"MTM_ERFDAT", erfdat},
                                             {"MTM_ERFUSER", "SB-lm"},
                                             {"MTM_MUTDAT", erfdat},
                                             {"MTM_MUTUSER", "SB-lm"},
                                             {"SyncVersion", "1"}});
            for (const auto& [member, leader] : team.members) {
                m_writer.insert("Planung_TeamPersonal", {{"MTP_GUID_Team", team.guid},
                                                         {"MTP_LPE_ID", std::to_string(personId.at(member))},
                                                         {"MTP_Leader", leader ? "1" : "0"},
                                                         {"MTP_ERFDAT", erfdat},
                                                         {"MTP_ERFUSER", "SB-lm"},
                                                         {"MTP_MUTDAT", erfdat},
                                                         {"MTP_MUTUSER", "SB-lm"},
                                                         {"SyncVersion", "1"}});
            }
        }
        m_conn.query("UPDATE syncversion SET id_planung = 1 WHERE mandant_id = $1",
                     {std::to_string(m_writer.mandantId())});

        struct Assignment {
            const char* guid;
            int day;
            const char* from;
            const char* to;
            int team;
            const char* subject;
            const char* text;
            const char* object;
        };
        const Assignment assignments[] = {
            {"{9B0D3E21-7C44-4E8A-B1F2-3A6C5D7E8F01}", 0, "07:00:00", "12:00:00", 0, "Terrasse Schulze",
             "Unterkonstruktion ausrichten, Dielen verlegen", "A-24117 Holzterrasse Lärche 40 m²"},
            {"{9B0D3E21-7C44-4E8A-B1F2-3A6C5D7E8F02}", 0, "07:30:00", "16:00:00", 1, "Hotel Alpenblick",
             "Einbauschränke Zimmer 1–3 montieren", "A-25009 Einbauschränke Zimmer 1–6"},
            {"{9B0D3E21-7C44-4E8A-B1F2-3A6C5D7E8F03}", 1, "07:00:00", "15:30:00", 0, "Dachstuhl Wagner",
             "Aufrichten, Kran ab 7:30 Uhr bestellt", "P-2024-017 Dachstuhl Neubau Wagner"},
            {"{9B0D3E21-7C44-4E8A-B1F2-3A6C5D7E8F04}", 2, "08:00:00", "12:00:00", 1, "Fenster Stadtwerke",
             "Fenster 2. OG einstellen und abdichten", "W-5013 Fenster einstellen und abdichten"},
        };
        for (const Assignment& a : assignments) {
            m_writer.insert("Planung", {{"MPL_GUID", a.guid},
                                        {"MPL_Datum", day(a.day)},
                                        {"MPL_von", day(a.day, a.from)},
                                        {"MPL_bis", day(a.day, a.to)},
                                        {"MPL_Betreff", a.subject},
                                        {"MPL_Text", a.text},
                                        {"MPL_MTM_GUID", teams[a.team].guid},
                                        {"ObjektAuftrag", a.object},
                                        {"MPL_KA", "100"},
                                        {"MPL_ERFDAT", erfdat},
                                        {"MPL_ERFUSER", "SB-lm"},
                                        {"MPL_MUTDAT", erfdat},
                                        {"MPL_MUTUSER", "SB-lm"}});
        }
    }

    // The past working days of two employees, so that the overview and the calendar are not empty.
    void lastWeek() {
        struct Booking {
            const char* kuerzel;
            const char* from;
            const char* to;
            const char* hours;
            const char* costType;
            const char* object;
            const char* text;
            int order;
        };
        const Booking bookings[] = {
            {"MM", "07:00:00", "12:00:00", "5", "100", "A-24117 Holzterrasse Lärche 40 m²",
             "Unterkonstruktion gesetzt, Dielen zugeschnitten", 0},
            {"MM", "12:30:00", "16:00:00", "3.5", "120", "", "Zuschnitt Einbauschränke Hotel Alpenblick", -1},
            {"SB", "07:30:00", "09:00:00", "1.5", "150", "", "Fahrt zu den Baustellen", -1},
            {"SB", "09:00:00", "15:30:00", "6.5", "130", "A-25009 Einbauschränke Zimmer 1–6",
             "Aufmaß und Abstimmung mit Herrn Huber", 4},
        };
        const std::vector<Row> days =
            m_conn.query("SELECT d, to_char(current_date + d, 'YYYY-MM-DD'), extract(year FROM current_date + d)::int, "
                         "extract(month FROM current_date + d)::int, extract(day FROM current_date + d)::int "
                         "FROM generate_series(-7, -1) d WHERE extract(isodow FROM current_date + d) < 6");
        for (const Row& day : days) {
            const std::string date = *day[1] + " 00:00:00.000";
            const std::string stamp = *day[1] + " 17:00:00.000";
            for (const char* person : {"MM", "SB"}) {
                const std::string user = std::string(person) + "-lm";
                m_writer.insert("Z_PRAESENZZEIT", {{"ZPZ_LPE_ID", std::to_string(personId.at(person))},
                                                   {"ZPZ_Datum", date},
                                                   {"ZPZ_Von", std::string("1899-12-30 07:00:00.000")},
                                                   {"ZPZ_Bis", std::string("1899-12-30 16:00:00.000")},
                                                   {"ZPZ_Std", std::string("1899-12-30 09:00:00.000")},
                                                   {"ZPZ_Std100", "9"},
                                                   {"ZPZ_Jahr", *day[2]},
                                                   {"ZPZ_Monat", *day[3]},
                                                   {"ZPZ_Tag", *day[4]},
                                                   {"ZPZ_ERFDAT", stamp},
                                                   {"ZPZ_ERFUSER", user},
                                                   {"ZPZ_MUTDAT", stamp},
                                                   {"ZPZ_MUTUSER", user}});
            }
            for (const Booking& b : bookings) {
                const std::string user = std::string(b.kuerzel) + "-lm";
                m_writer.insert("Z_ERFASSUNG",
                                {{"ZER_LPE", std::to_string(personId.at(b.kuerzel))},
                                 {"ZER_ZKA", b.costType},
                                 {"ZER_ZKS", std::string(b.costType) == "120" ? "20" : "10"},
                                 {"ZER_Type", "1"},
                                 {"ZER_Datum", date},
                                 {"ZER_Von", std::string("1899-12-30 ") + b.from + ".000"},
                                 {"ZER_Bis", std::string("1899-12-30 ") + b.to + ".000"},
                                 {"ZER_Std100", b.hours},
                                 {"ZER_Text", b.text},
                                 {"ZER_Jahr", *day[2]},
                                 {"ZER_Monat", *day[3]},
                                 {"ZER_RKA_ID_A", b.order < 0 ? "0" : std::to_string(m_orderIds.at(b.order))},
                                 {"ObjektAuftrag", b.object},
                                 {"ZER_Verrechnen", std::string(b.costType) == "150" ? "N" : "V"},
                                 {"ZER_ERFDAT", stamp},
                                 {"ZER_ERFUSER", user},
                                 {"ZER_MUTDAT", stamp},
                                 {"ZER_MUTUSER", user}});
            }
        }
    }

    PgConnection& m_conn;
    TenantWriter& m_writer;
    std::vector<int> m_orderIds;
    std::vector<int> m_addressIds;
    std::vector<int> m_projectIds;
};

} // namespace

DemoLogin seedDemo(PgConnection& conn, const DemoTenant& demo) {
    TenantDefinition definition;
    definition.id = demo.id;
    definition.pin = demo.pin;
    definition.password = demo.password;
    definition.company = kCompany;
    definition.crypto = demo.crypto;
    definition.planning = 1;
    definition.serverVersion = 3;
    definition.settings = {{"MaxAlterZeiten", "60"}, {"BarcodeScanAktiv", "1"}};
    const int id = newTenantId(conn, definition);
    TenantTransaction transaction(conn, id);
    insertTenant(conn, definition, id);
    TenantWriter writer(conn, id, demo.crypto.keys());
    DemoBuilder builder(conn, writer);
    builder.build();

    const std::vector<Row> users =
        conn.query("SELECT usr_userid FROM lumora_user WHERE mandant_id = $1", {std::to_string(id)});
    for (const char* team : {"{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A01}", "{6F1C2A10-4B7E-4C1D-9A55-0E2D8B3C4A02}"}) {
        for (const Row& user : users)
            writer.insert("Planung_TeamErlaubnis", {{"PTE_UserID", *user[0]}, {"PTE_TeamGuid", team}});
    }
    transaction.commit();

    DemoLogin login{id, kCompany, demo.pin, demo.password, demo.crypto, {}};
    for (const DemoUserRow& u : kUsers) {
        if (std::string_view(u.group) == "Bauleitung")
            login.mainUser = login.users.size();
        login.users.push_back({u.kurz, u.password, u.name, u.group});
    }
    return login;
}

} // namespace lumora::admin

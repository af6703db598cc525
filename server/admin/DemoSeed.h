#pragma once

#include "TenantData.h"

#include <optional>
#include <string>
#include <vector>

namespace lumora::admin {

class PgConnection;

struct DemoTenant {
    std::optional<int> id;
    int pin = 4711;
    std::string password = "Hobelbank";
    CryptoTriple crypto{14143, 27901, 5309};
};

struct DemoUser {
    std::string shortName;
    std::string password;
    std::string name;
    std::string group;
};

struct DemoLogin {
    int mandantId = 0;
    std::string company;
    int pin = 0;
    std::string companyPassword;
    CryptoTriple crypto;
    std::vector<DemoUser> users;
    // The user a demo logs in as: the site manager, who sees teams and planning.
    std::size_t mainUser = 0;
};

// A joinery with staff, groups of different rights, customers, projects, orders, work orders, cost
// types and centres, material with prices, a list filter and two planning teams with assignments.
DemoLogin seedDemo(PgConnection& conn, const DemoTenant& demo);

} // namespace lumora::admin

#pragma once

#include <string>

namespace lumora::admin {

struct CryptoTriple;

struct StartLinkLogin {
    int pin = 0;
    std::string companyPassword;
    std::string userShort;
    std::string userPassword;
};

// "lumora://" and the login fields scrambled with the built-in triple, as the client reads them
// from its command line. Texts holding "|" cannot travel in a link and are refused.
std::string makeStartLink(const StartLinkLogin& login, const CryptoTriple& crypto);

} // namespace lumora::admin

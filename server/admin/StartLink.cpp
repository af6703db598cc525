#include "StartLink.h"

#include "PgConnection.h"
#include "TenantData.h"

namespace lumora::admin {

std::string makeStartLink(const StartLinkLogin& login, const CryptoTriple& crypto) {
    for (const std::string* text : {&login.companyPassword, &login.userShort, &login.userPassword}) {
        if (text->empty())
            throw AdminError("a start link needs the company password, the user and the user's password");
        if (text->find('|') != std::string::npos)
            throw AdminError("a start link cannot carry a text with \"|\"");
    }
    if (login.pin == 0)
        throw AdminError("a start link needs the company PIN");
    // The fields are tagged by their first digit; the client accepts them in any order.
    const std::string plain = "vavIve|1" + std::to_string(login.pin) + "|2" + login.companyPassword + "|3" +
                              login.userShort + "|4" + login.userPassword + "|5" + std::to_string(crypto.crypto1) +
                              "|6" + std::to_string(crypto.crypto2) + "|7" + std::to_string(crypto.crypto3);
    return "lumora://" + TVerschluesseln::CreateWithStandart().Verschluesseln(plain);
}

} // namespace lumora::admin

#include "ServeOptions.h"

#include <charconv>

namespace remotedb {

// Built-in service credentials; the client carries the same defaults, so a service
// started without them is reached by a client started without them.
namespace {
constexpr const char* DefaultServiceUser = "[8D2A41C6-5E0B-4F1D-9A63-2C7B5E8F0A14]";
constexpr const char* DefaultServicePassword = "[F3B9C07E-61A4-4D28-B5E2-9C0D7A3F6B81]";

bool toNumber(const std::string& text, std::size_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}
} // namespace

const char* const serveUsage =
    "usage: lumora-remotedb serve --pg CONNINFO --listen HOST:PORT (--cert FILE --key FILE | --plain)\n"
    "           [--service-user GUID --service-password GUID] [--path /lumora/remotedb/Version3b/ ...]\n"
    "           [--pool N] [--threads N] [--max-body BYTES]\n";

bool parseServeOptions(int argc, char** argv, ServeOptions& o, std::string& error) {
    o.serviceUser = DefaultServiceUser;
    o.servicePassword = DefaultServicePassword;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plain") {
            o.plain = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + arg;
            return false;
        }
        const std::string value = argv[++i];
        std::size_t number = 0;
        if (arg == "--pg") {
            o.conninfo = value;
        } else if (arg == "--listen") {
            const auto colon = value.rfind(':');
            if (colon == std::string::npos || !toNumber(value.substr(colon + 1), number) || number > 65535) {
                error = "--listen needs HOST:PORT";
                return false;
            }
            o.host = value.substr(0, colon);
            o.port = int(number);
        } else if (arg == "--cert") {
            o.certFile = value;
        } else if (arg == "--key") {
            o.keyFile = value;
        } else if (arg == "--service-user") {
            o.serviceUser = value;
        } else if (arg == "--service-password") {
            o.servicePassword = value;
        } else if (arg == "--path") {
            if (value.empty() || value.front() != '/' || value.back() != '/' ||
                value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/_-") !=
                    std::string::npos) {
                error = "--path needs a path like /lumora/remotedb/Version3b/";
                return false;
            }
            o.basePaths.push_back(value);
        } else if (arg == "--pool" || arg == "--threads" || arg == "--max-body") {
            if (!toNumber(value, number) || number == 0) {
                error = arg + " needs a positive number";
                return false;
            }
            (arg == "--pool" ? o.poolSize : arg == "--threads" ? o.threads : o.maxBodyBytes) = number;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (o.basePaths.empty())
        o.basePaths = {"/lumora/remotedb/Version3b/", "/lumora/remotedb/Version3a/"};
    if (o.conninfo.empty()) {
        error = "--pg CONNINFO is required";
        return false;
    }
    if (!o.plain && (o.certFile.empty() || o.keyFile.empty())) {
        error = "--cert and --key are required unless --plain is given";
        return false;
    }
    return true;
}

} // namespace remotedb

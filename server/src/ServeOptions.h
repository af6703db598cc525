#pragma once

#include <string>
#include <vector>

namespace remotedb {

struct ServeOptions {
    std::string conninfo;
    std::string host = "127.0.0.1";
    int port = 443;
    std::string certFile;
    std::string keyFile;
    bool plain = false;
    std::string serviceUser;
    std::string servicePassword;
    std::vector<std::string> basePaths;
    std::size_t poolSize = 8;
    std::size_t threads = 64;
    std::size_t maxBodyBytes = 8 * 1024 * 1024;
};

// Fills options from "serve" arguments; false with a message for the user on bad input.
bool parseServeOptions(int argc, char** argv, ServeOptions& options, std::string& error);

extern const char* const serveUsage;

} // namespace remotedb

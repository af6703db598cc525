#pragma once

// Client of the web service that unscrambles values still in the old scrambled form. Plain C++ over
// libcurl, shared with the server's admin commands.

#include <string>

struct LegacyServiceConfig {
    std::string baseUrl;   // scheme, host and port; the service path is appended
    std::string accessKey; // GUID in braces
    std::string caFile;    // CA bundle for verifying the service; empty = system store
    long timeoutMs = 10000;

    // LUMORA_LEGACY_URL, LUMORA_LEGACY_KEY, LUMORA_LEGACY_CA, each falling back to the built-in value.
    static LegacyServiceConfig fromEnvironment();
};

inline constexpr const char* kLegacyUnscramblePath = "/lizenz/sparkle/Version1/EntschluessleAlteToolDLL/";

// HTTPS GET with the headers "Zugriffskey" and "svalue"; returns the response header "svalue" on
// status 200 and "" on any other status, on failure, or for a value that cannot travel in a header.
std::string requestLegacyUnscrambling(const LegacyServiceConfig& config, const std::string& value);

#include "LegacyUnscrambleService.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>

namespace {

constexpr const char* kDefaultBaseUrl = "https://lizenz.lumora.example";
constexpr const char* kDefaultAccessKey = "{6F2A9C41-3B7E-4D58-A1C0-92E4B7D3F815}";

std::string envOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string(fallback);
}

bool fitsInHeader(const std::string& value) {
    return std::none_of(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

std::string trimmed(const std::string& s) {
    const auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(s.begin(), s.end(), isBlank);
    auto end = std::find_if_not(s.rbegin(), std::string::const_reverse_iterator(begin), isBlank).base();
    return std::string(begin, end);
}

struct ResponseHeaders {
    std::optional<std::string> svalue;
};

// Collects the "svalue" header of the final response; a new status line (after 1xx) starts afresh.
size_t onHeaderLine(char* data, size_t size, size_t count, void* userdata) {
    auto* headers = static_cast<ResponseHeaders*>(userdata);
    const std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        headers->svalue.reset();
        return size * count;
    }
    const auto colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = trimmed(line.substr(0, colon));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == "svalue")
            headers->svalue = trimmed(line.substr(colon + 1));
    }
    return size * count;
}

size_t discardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

bool appendHeader(HeaderList& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown)
        return false;
    (void)list.release(); // now owned by the grown list
    list.reset(grown);
    return true;
}

} // namespace

LegacyServiceConfig LegacyServiceConfig::fromEnvironment() {
    LegacyServiceConfig config;
    config.baseUrl = envOr("LUMORA_LEGACY_URL", kDefaultBaseUrl);
    config.accessKey = envOr("LUMORA_LEGACY_KEY", kDefaultAccessKey);
    config.caFile = envOr("LUMORA_LEGACY_CA", "");
    return config;
}

std::string requestLegacyUnscrambling(const LegacyServiceConfig& config, const std::string& value) {
    if (!fitsInHeader(value) || !fitsInHeader(config.accessKey))
        return {};
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return {};
    std::string url = config.baseUrl;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    url += kLegacyUnscramblePath;

    HeaderList headers(nullptr, &curl_slist_free_all);
    // "Accept:" removes curl's default header: the service expects only its two.
    if (!appendHeader(headers, "Accept:") || !appendHeader(headers, "Zugriffskey: " + config.accessKey) ||
        !appendHeader(headers, "svalue: " + value))
        return {};

    ResponseHeaders response;
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https"); // the access key never travels in clear
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, config.timeoutMs);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &onHeaderLine);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &response);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &discardBody);
    if (!config.caFile.empty())
        curl_easy_setopt(h, CURLOPT_CAINFO, config.caFile.c_str());

    if (curl_easy_perform(h) != CURLE_OK)
        return {};
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200)
        return {};
    return response.svalue.value_or(std::string());
}

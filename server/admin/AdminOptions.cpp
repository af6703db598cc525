#include "AdminOptions.h"

#include "PgConnection.h"

#include <algorithm>
#include <charconv>

namespace lumora::admin {

AdminOptions AdminOptions::parse(int argc, char** argv, int first) {
    AdminOptions options;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 3 || arg.rfind("--", 0) != 0)
            throw AdminError("unexpected argument \"" + arg + "\"");
        const std::string name = arg.substr(2);
        const bool hasValue = i + 1 < argc && std::string_view(argv[i + 1]).rfind("--", 0) != 0;
        options.m_values.emplace(name, hasValue ? std::string(argv[++i]) : std::string());
    }
    return options;
}

void AdminOptions::allowOnly(std::initializer_list<std::string_view> names) const {
    for (const auto& [name, value] : m_values) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            throw AdminError("unknown option --" + name);
    }
}

std::string AdminOptions::required(const std::string& name) const {
    const auto value = optional(name);
    if (!value || value->empty())
        throw AdminError("missing option --" + name);
    return *value;
}

std::optional<std::string> AdminOptions::optional(const std::string& name) const {
    // A repeated single-valued option takes its last value.
    const auto [begin, end] = m_values.equal_range(name);
    if (begin == end)
        return std::nullopt;
    return std::prev(end)->second;
}

std::vector<std::string> AdminOptions::all(const std::string& name) const {
    std::vector<std::string> values;
    const auto [begin, end] = m_values.equal_range(name);
    for (auto it = begin; it != end; ++it)
        values.push_back(it->second);
    return values;
}

bool AdminOptions::flag(const std::string& name) const {
    return m_values.count(name) > 0;
}

int AdminOptions::requiredInt(const std::string& name) const {
    const std::string text = required(name);
    const auto value = parseInt32(text);
    if (!value)
        throw AdminError("--" + name + " needs an integer, not \"" + text + "\"");
    return *value;
}

std::optional<int> AdminOptions::optionalInt(const std::string& name) const {
    if (!optional(name))
        return std::nullopt;
    return requiredInt(name);
}

std::vector<std::pair<std::string, std::string>> AdminOptions::assignments(const std::string& name) const {
    std::vector<std::pair<std::string, std::string>> items;
    for (const std::string& item : all(name)) {
        const auto equals = item.find('=');
        if (equals == std::string::npos || equals == 0)
            throw AdminError("--" + name + " needs KEY=VALUE, not \"" + item + "\"");
        items.emplace_back(item.substr(0, equals), item.substr(equals + 1));
    }
    return items;
}

std::optional<std::int32_t> parseInt32(std::string_view text) {
    std::int32_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace lumora::admin

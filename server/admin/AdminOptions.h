#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumora::admin {

// The "--name value" options of one admin command; "--name" alone is a switch. An option may be
// given more than once (--set, --setting).
class AdminOptions {
public:
    static AdminOptions parse(int argc, char** argv, int first);

    // Refuses options the command does not know, so a typing error never goes unnoticed.
    void allowOnly(std::initializer_list<std::string_view> names) const;

    std::string required(const std::string& name) const;
    std::optional<std::string> optional(const std::string& name) const;
    std::vector<std::string> all(const std::string& name) const;
    bool flag(const std::string& name) const;
    int requiredInt(const std::string& name) const;
    std::optional<int> optionalInt(const std::string& name) const;

    // "KEY=VALUE" items of a repeated option, in the given order.
    std::vector<std::pair<std::string, std::string>> assignments(const std::string& name) const;

private:
    std::multimap<std::string, std::string> m_values;
};

// Decimal text to a 32-bit integer; the whole text must be the number.
std::optional<std::int32_t> parseInt32(std::string_view text);

} // namespace lumora::admin

#include "Protocol.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace remotedb::protocol {
namespace {

using nlohmann::json;

// PostgreSQL type ids of the result columns we give a typed form.
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700, Float8Oid = 701,
              NumericOid = 1700, DateOid = 1082, TimeOid = 1083, TimestampOid = 1114, TimestampTzOid = 1184,
              UuidOid = 2950;

bool fail(Error& error, std::string code, std::string message) {
    error = {400, std::move(code), std::move(message), {}};
    return false;
}

bool digitsAt(const std::string& s, std::size_t pos, std::size_t count) {
    return std::all_of(s.begin() + long(pos), s.begin() + long(pos + count),
                       [](unsigned char c) { return std::isdigit(c); });
}

// "yyyy-mm-dd", "yyyy-mm-dd hh:nn:ss" or "yyyy-mm-dd hh:nn:ss.zzz".
bool isDateTimeText(const std::string& s) {
    if (s.size() != 10 && s.size() != 19 && s.size() != 23)
        return false;
    if (!digitsAt(s, 0, 4) || s[4] != '-' || !digitsAt(s, 5, 2) || s[7] != '-' || !digitsAt(s, 8, 2))
        return false;
    if (s.size() == 10)
        return true;
    if (s[10] != ' ' || !digitsAt(s, 11, 2) || s[13] != ':' || !digitsAt(s, 14, 2) || s[16] != ':' ||
        !digitsAt(s, 17, 2))
        return false;
    return s.size() == 19 || (s[19] == '.' && digitsAt(s, 20, 3));
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool parseParam(const json& p, std::size_t position, Param& out, Error& error) {
    const std::string where = "parameter " + std::to_string(position + 1);
    if (!p.is_object())
        return fail(error, "bad_parameter", where + " is not an object");
    if (auto it = p.find("name"); it != p.end()) {
        if (!it->is_string() || it->get_ref<const std::string&>().empty())
            return fail(error, "bad_parameter", where + ": name must be a non-empty text");
        out.name = lower(it->get<std::string>());
    } else if (auto ix = p.find("index"); ix != p.end()) {
        if (!ix->is_number_integer() || ix->get<long long>() < 0 || ix->get<long long>() > 65535)
            return fail(error, "bad_parameter", where + ": index must be a whole number from 0");
        out.index = ix->get<int>();
    } else {
        return fail(error, "bad_parameter", where + " has neither name nor index");
    }
    const std::string label = out.name.empty() ? where : "parameter '" + out.name + "'";
    auto typeIt = p.find("type");
    if (typeIt == p.end() || !typeIt->is_string())
        return fail(error, "bad_parameter", label + " has no type");
    const std::string type = typeIt->get<std::string>();
    auto valueIt = p.find("value");
    if (type == "null" || valueIt == p.end() || valueIt->is_null()) {
        if (type != "null" && type != "int" && type != "int64" && type != "float" && type != "text" &&
            type != "datetime")
            return fail(error, "bad_parameter", label + " has unknown type '" + type + "'");
        out.value.reset();
        return true;
    }
    const json& v = *valueIt;
    if (type == "int") {
        if (!v.is_number_integer())
            return fail(error, "bad_parameter", label + " of type int needs a whole number");
        const long long n =
            v.is_number_unsigned() && v.get<unsigned long long>() > std::uint64_t(std::numeric_limits<long long>::max())
                ? std::numeric_limits<long long>::max()
                : v.get<long long>();
        if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            return fail(error, "bad_parameter", label + " does not fit a 32-bit integer");
        out.value = std::to_string(n);
    } else if (type == "int64") {
        if (!v.is_number_integer() ||
            (v.is_number_unsigned() &&
             v.get<unsigned long long>() > std::uint64_t(std::numeric_limits<long long>::max())))
            return fail(error, "bad_parameter", label + " of type int64 needs a 64-bit whole number");
        out.value = std::to_string(v.get<long long>());
    } else if (type == "float") {
        if (!v.is_number())
            return fail(error, "bad_parameter", label + " of type float needs a number");
        out.value = v.dump();
    } else if (type == "text") {
        if (!v.is_string())
            return fail(error, "bad_parameter", label + " of type text needs a string");
        const std::string& s = v.get_ref<const std::string&>();
        if (s.find('\0') != std::string::npos)
            return fail(error, "bad_parameter", label + " contains a NUL character");
        out.value = s;
    } else if (type == "datetime") {
        if (!v.is_string() || !isDateTimeText(v.get<std::string>()))
            return fail(error, "bad_parameter", label + " of type datetime needs \"yyyy-mm-dd hh:nn:ss.zzz\"");
        out.value = v.get<std::string>();
    } else {
        return fail(error, "bad_parameter", label + " has unknown type '" + type + "'");
    }
    return true;
}

const char* columnType(Oid oid) {
    switch (oid) {
    case Int2Oid:
    case Int4Oid:
    case OidOid:
        return "int";
    case Int8Oid:
        return "int64";
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return "float";
    case BoolOid:
        return "bool";
    case DateOid:
    case TimeOid:
    case TimestampOid:
    case TimestampTzOid:
        return "datetime";
    default:
        return "text";
    }
}

// PostgreSQL's ISO output to the 23-character "yyyy-mm-dd hh:nn:ss.zzz"; a time of day
// alone gets the zero day 1899-12-30. Anything unexpected (infinity, BC) becomes null.
void appendDateTime(std::string& out, const char* v, std::size_t len, Oid oid) {
    const std::string_view s(v, len);
    const auto digits = [&s](std::size_t pos, std::size_t count) {
        if (pos + count > s.size())
            return false;
        for (std::size_t i = pos; i < pos + count; ++i)
            if (!std::isdigit(static_cast<unsigned char>(s[i])))
                return false;
        return true;
    };
    const auto isTime = [&](std::size_t p) {
        return digits(p, 2) && s.size() > p + 2 && s[p + 2] == ':' && digits(p + 3, 2) && s.size() > p + 5 &&
               s[p + 5] == ':' && digits(p + 6, 2);
    };
    std::string_view date = "1899-12-30";
    std::size_t timeStart = 0;
    if (oid != TimeOid) {
        if (!(digits(0, 4) && s.size() > 7 && s[4] == '-' && digits(5, 2) && s[7] == '-' && digits(8, 2)) ||
            (s.size() > 10 && s[10] != ' ')) {
            out += "null";
            return;
        }
        date = s.substr(0, 10);
        timeStart = 11;
    }
    const bool hasTime = s.size() > timeStart && isTime(timeStart);
    if (s.size() > timeStart && !hasTime) {
        out += "null";
        return;
    }
    out += '"';
    out += date;
    out += ' ';
    if (!hasTime) {
        out += "00:00:00.000\"";
        return;
    }
    out += s.substr(timeStart, 8);
    out += '.';
    std::size_t p = timeStart + 8;
    int fraction = 0;
    if (p < s.size() && s[p] == '.')
        for (++p; p < s.size() && fraction < 3 && std::isdigit(static_cast<unsigned char>(s[p])); ++p, ++fraction)
            out += s[p];
    for (; fraction < 3; ++fraction)
        out += '0';
    out += '"';
}

void appendUuid(std::string& out, const char* v, int len) {
    out += "\"{";
    for (int i = 0; i < len; ++i)
        out += char(std::toupper((unsigned char)v[i]));
    out += "}\"";
}

bool isFiniteNumberText(const char* v) {
    return std::isdigit((unsigned char)v[0]) || (v[0] == '-' && std::isdigit((unsigned char)v[1]));
}

// Length of the valid UTF-8 sequence at s[i], 0 when it is not one.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const unsigned char c = s[i];
    std::size_t n = c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

bool parseQueryRequest(const std::string& body, QueryRequest& request, Error& error) {
    request = {};
    const json doc = json::parse(body, nullptr, false);
    if (doc.is_discarded())
        return fail(error, "bad_request", "the body is not valid JSON");
    if (!doc.is_object())
        return fail(error, "bad_request", "the body must be a JSON object");
    auto sqlIt = doc.find("sql");
    if (sqlIt == doc.end() || !sqlIt->is_string())
        return fail(error, "bad_request", "member \"sql\" (text) is missing");
    request.sql = sqlIt->get<std::string>();
    if (auto t = doc.find("tenant"); t != doc.end() && !t->is_null()) {
        if (!t->is_object() || !t->contains("pin") || !(*t)["pin"].is_number_integer() || !t->contains("password") ||
            !(*t)["password"].is_string())
            return fail(error, "bad_request", "member \"tenant\" needs \"pin\" (whole number) and \"password\" (text)");
        request.tenant = Tenant{(*t)["pin"].get<long long>(), (*t)["password"].get<std::string>()};
    }
    if (auto p = doc.find("params"); p != doc.end() && !p->is_null()) {
        if (!p->is_array())
            return fail(error, "bad_request", "member \"params\" must be an array");
        for (std::size_t i = 0; i < p->size(); ++i) {
            Param param;
            if (!parseParam((*p)[i], i, param, error))
                return false;
            request.params.push_back(std::move(param));
        }
    }
    return true;
}

void appendResultSet(std::string& out, const PGresult* result) {
    const int cols = PQnfields(result);
    const int rows = PQntuples(result);
    std::vector<Oid> types(static_cast<std::size_t>(cols));
    // One allocation for the whole answer: the values plus room for quotes, separators and escapes.
    std::size_t estimate = out.size() + 64 * std::size_t(cols) + 16;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            estimate += std::size_t(PQgetlength(result, r, c)) + 8;
    out.reserve(estimate + estimate / 8);
    out += "\"columns\":[";
    for (int c = 0; c < cols; ++c) {
        types[std::size_t(c)] = PQftype(result, c);
        if (c)
            out += ',';
        out += "{\"name\":";
        appendJsonString(out, PQfname(result, c));
        out += ",\"type\":\"";
        out += columnType(types[std::size_t(c)]);
        out += "\"}";
    }
    out += "],\"rows\":[";
    for (int r = 0; r < rows; ++r) {
        out += r ? ",[" : "[";
        for (int c = 0; c < cols; ++c) {
            if (c)
                out += ',';
            if (PQgetisnull(result, r, c)) {
                out += "null";
                continue;
            }
            const char* v = PQgetvalue(result, r, c);
            const int len = PQgetlength(result, r, c);
            switch (const Oid t = types[std::size_t(c)]) {
            case Int2Oid:
            case Int4Oid:
            case Int8Oid:
            case OidOid:
                out.append(v, std::size_t(len));
                break;
            case Float4Oid:
            case Float8Oid:
            case NumericOid:
                if (isFiniteNumberText(v))
                    out.append(v, std::size_t(len));
                else
                    out += "null";
                break;
            case BoolOid:
                out += v[0] == 't' ? "true" : "false";
                break;
            case DateOid:
            case TimeOid:
            case TimestampOid:
            case TimestampTzOid:
                appendDateTime(out, v, std::size_t(len), t);
                break;
            case UuidOid:
                appendUuid(out, v, len);
                break;
            default:
                appendJsonString(out, std::string_view(v, std::size_t(len)));
            }
        }
        out += ']';
    }
    out += ']';
}

void appendJsonString(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        if (c >= 0x80) {
            const std::size_t n = utf8Length(s, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                out.append(s.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += char(c);
            }
        }
        ++i;
    }
    out += '"';
}

std::string errorBody(const Error& error) {
    std::string out = "{\"ok\":false,\"error\":{\"code\":";
    appendJsonString(out, error.code);
    out += ",\"message\":";
    appendJsonString(out, error.message);
    if (!error.sqlstate.empty()) {
        out += ",\"sqlstate\":";
        appendJsonString(out, error.sqlstate);
    }
    out += "}}";
    return out;
}

} // namespace remotedb::protocol

#include "classMeineVerschluesselung.h"

#include "LegacyUnscrambleService.h"

#include <cstdlib>
#include <optional>
#include <sstream>

namespace {

// Start links are readable only where this triple matches the one of the link's producer.
constexpr std::int32_t kStandardKey1 = 31547;
constexpr std::int32_t kStandardKey2 = 18269;
constexpr std::int32_t kStandardMasterKey = 47093;

// The key stream works on 16 bits; higher bits of the keys never matter.
class KeyStream {
public:
    KeyStream(std::int32_t masterKey, std::int32_t key1, std::int32_t key2)
        : k(static_cast<std::uint16_t>(masterKey)), mult(static_cast<std::uint16_t>(key1)),
          add(static_cast<std::uint16_t>(key2)) {}

    std::uint8_t mask() const { return static_cast<std::uint8_t>(k >> 8); }
    // The scrambled byte feeds back, so every byte depends on all earlier ones.
    void advance(std::uint8_t scrambled) {
        k = static_cast<std::uint16_t>((static_cast<std::uint32_t>(k) + scrambled) * mult + add);
    }

private:
    std::uint16_t k;
    std::uint16_t mult;
    std::uint16_t add;
};

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Length in UTF-16 code units: the scrambled form is read in pairs of characters, and a last odd
// character is dropped, whatever its encoding width.
std::size_t utf16Length(const std::string& s) {
    std::size_t units = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80)
            ++units;
        if (c >= 0xF0)
            ++units;
    }
    return units;
}

std::optional<std::int32_t> parseInt32(const std::string& text) {
    std::istringstream in(text);
    long long value = 0;
    if (!(in >> value) || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    in >> std::ws;
    if (!in.eof())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

TVerschluesseln::TVerschluesseln(std::int32_t iKey1, std::int32_t iKey2, std::int32_t iMasterKey)
    : FMasterKey(iMasterKey), FKey2(iKey2), FKey1(iKey1) {}

TVerschluesseln TVerschluesseln::CreateWithStandart() {
    if (const char* configured = std::getenv("LUMORA_STANDARD_CRYPTO")) {
        std::istringstream in(configured);
        std::string part;
        std::optional<std::int32_t> keys[3];
        int n = 0;
        while (n < 3 && std::getline(in, part, ','))
            keys[n++] = parseInt32(part);
        if (n == 3 && in.peek() == std::char_traits<char>::eof() && keys[0] && keys[1] && keys[2])
            return TVerschluesseln(*keys[0], *keys[1], *keys[2]);
    }
    return TVerschluesseln(kStandardKey1, kStandardKey2, kStandardMasterKey);
}

std::int64_t TVerschluesseln::GetSummeKeyValues() const {
    const std::uint32_t sum =
        static_cast<std::uint32_t>(FKey1) + static_cast<std::uint32_t>(FKey2) + static_cast<std::uint32_t>(FMasterKey);
    return static_cast<std::int32_t>(sum);
}

std::string TVerschluesseln::Verschluesseln(const std::string& S) const {
    if (scramblingOff())
        return S;
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(S.size() * 2);
    KeyStream key(FMasterKey, FKey1, FKey2);
    for (char plainChar : S) {
        const auto scrambled = static_cast<std::uint8_t>(static_cast<std::uint8_t>(plainChar) ^ key.mask());
        key.advance(scrambled);
        out += digits[scrambled >> 4];
        out += digits[scrambled & 0x0F];
    }
    return out;
}

std::string TVerschluesseln::Entschluesseln(const std::string& S) const {
    if (scramblingOff())
        return S;
    if (S.find('|') != std::string::npos)
        return Entschluessle_OLD_ASCII(S);

    // A non-ASCII character among the paired ones shows up as a non-hex byte before this limit.
    const std::size_t pairedBytes = utf16Length(S) / 2 * 2;
    std::string bytes;
    bytes.reserve(pairedBytes / 2);
    KeyStream key(FMasterKey, FKey1, FKey2);
    for (std::size_t i = 0; i < pairedBytes; i += 2) {
        const int high = hexValue(S[i]);
        const int low = hexValue(S[i + 1]);
        if (high < 0 || low < 0)
            return {};
        const auto scrambled = static_cast<std::uint8_t>(high << 4 | low);
        bytes += static_cast<char>(scrambled ^ key.mask());
        key.advance(scrambled);
    }
    return sanitizeUtf8(bytes);
}

std::string TVerschluesseln::Entschluessle_OLD_ASCII(const std::string& S) const {
    return requestLegacyUnscrambling(LegacyServiceConfig::fromEnvironment(), S);
}

std::string sanitizeUtf8(const std::string& bytes) {
    static const std::string replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t len = 0;
        std::uint32_t cp = 0;
        std::uint32_t minimum = 0;
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2, cp = c & 0x1F, minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3, cp = c & 0x0F, minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4, cp = c & 0x07, minimum = 0x10000;
        }
        std::size_t taken = 1;
        bool valid = len > 0;
        while (valid && taken < len) {
            if (i + taken >= n || (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = cp << 6 | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
            ++taken;
        }
        valid = valid && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (valid)
            out.append(bytes, i, len);
        else
            out += replacement;
        // On a broken sequence resume at the first byte that did not continue it.
        i += valid ? len : taken;
    }
    return out;
}

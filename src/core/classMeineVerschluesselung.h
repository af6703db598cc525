#pragma once

// Field scrambling with a tenant key triple. Plain C++ on UTF-8 std::string so that the client and the
// server's admin commands share one implementation.

#include <cstdint>
#include <string>

class TVerschluesseln {
public:
    // Crypto1 is iKey1, Crypto2 is iKey2, Crypto3 is iMasterKey.
    TVerschluesseln(std::int32_t iKey1, std::int32_t iKey2, std::int32_t iMasterKey);

    // The built-in triple used for start links (overridable by LUMORA_STANDARD_CRYPTO="k1,k2,master").
    static TVerschluesseln CreateWithStandart();

    // Plain UTF-8 text -> upper-case hex of the scrambled bytes. Returns S unchanged when scrambling is off.
    std::string Verschluesseln(const std::string& S) const;
    // Hex (either case) -> plain text, always valid UTF-8. Invalid hex gives "", an odd last character is
    // dropped, a value in the old form (containing "|") goes to the legacy service.
    std::string Entschluesseln(const std::string& S) const;
    // FKey1 + FKey2 + FMasterKey with 32-bit wrap-around, widened with sign; 0 switches scrambling off.
    std::int64_t GetSummeKeyValues() const;
    // Asks the legacy unscrambling service; "" on any failure.
    std::string Entschluessle_OLD_ASCII(const std::string& S) const;

    std::int32_t key1() const { return FKey1; }
    std::int32_t key2() const { return FKey2; }
    std::int32_t masterKey() const { return FMasterKey; }

private:
    bool scramblingOff() const { return GetSummeKeyValues() == 0; }

    std::int32_t FMasterKey;
    std::int32_t FKey2;
    std::int32_t FKey1;
};

// Replaces every invalid UTF-8 sequence by U+FFFD, so decoded bytes are always usable as text.
std::string sanitizeUtf8(const std::string& bytes);

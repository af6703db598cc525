#pragma once

// The login link the program can be started with: "lumora://" followed by the login fields scrambled
// with the built-in triple. Unscrambled it reads "vavIve|1<PIN>|2<company password>|3<short name>|
// 4<user password>|5<Crypto1>|6<Crypto2>|7<Crypto3>", fields in any order.

#include <QString>

#include <optional>

struct TStartLink {
    int FirmaPin = 0;
    QString FirmaPW;
    QString UserKurz;
    QString UserPW;
    int Crypto1 = 0;
    int Crypto2 = 0;
    int Crypto3 = 0;

    // A link is acted on only with a PIN and the three texts.
    bool istVollstaendig() const;
    bool operator==(const TStartLink&) const = default;
};

// Reads the fields of an already unscrambled link. Empty when the text does not begin with "vavIve".
// A tag given twice takes the later field; a number that is not a number gives 0.
std::optional<TStartLink> StartLinkAusKlartext(const QString& klartext);

// The whole command-line argument: trims blanks, removes "lumora://", unscrambles and reads the fields.
// Empty when the link is to be ignored (not a link, incomplete).
std::optional<TStartLink> StartLinkAusArgument(const QString& argument);

// The argument that StartLinkAusArgument reads back, for whoever hands out links. Empty when a text
// holds "|", which the link could not carry.
QString StartLinkAlsArgument(const TStartLink& link);

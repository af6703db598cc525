#pragma once

#include <QString>

// The client version check against the update server, and the live-update program that
// installs a newer version. The server is given by LUMORA_UPDATE_HOST ("host" or
// "host:port"); without it no check is made.
namespace LiveUpdate {

inline const QString KeineVersion = QStringLiteral("-");

// The version the update server offers (key "newversion" of section "file1" of its
// information file), or KeineVersion when it cannot be learned. Blocks for the request.
QString NeueVersionLaden();
// The version of the running program.
QString LaufendeVersion();
// Whether neueVersion is a version later than laufendeVersion.
bool IstNeuer(const QString& neueVersion, const QString& laufendeVersion);
// Fetches and compares: true when the update server offers a later version.
bool UpdateVerfuegbar();
// The live-update program in the program's own folder.
QString ProgrammPfad();

} // namespace LiveUpdate

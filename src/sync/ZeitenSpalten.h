#pragma once

#include <QStringList>

// The columns of entries and presence times that travel between device and server.
namespace ZeitenSpalten {

// Z_ERFASSUNG from ZER_LPE to ZER_MPR_Nr, in the order of the table.
const QStringList& ErfassungDaten();
// Arrive and leave scrambled; on download also the four object texts.
const QStringList& ErfassungVerschluesselt();
const QStringList& ErfassungObjektTexte();
// Z_PRAESENZZEIT from ZPZ_LPE_ID to ZPZ_MUTUSER.
const QStringList& PraesenzDaten();
const QStringList& PraesenzVerschluesselt();
const QStringList& TeamVerschluesselt();

} // namespace ZeitenSpalten

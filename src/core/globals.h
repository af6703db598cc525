#pragma once

#include "tdatetime.h"

#include <QString>

// The process-wide state shared by the central module and the main window. Everything
// starts zeroed; persistent values live in the settings store and are copied in at login.

// ---- login and current employee ----
extern bool IstAngemeldet;
extern int AngemeldeteLPE_ID;
extern int AngemeldeteUserID;
extern QString AngemeldeterUserKurz;
extern int AktuelleLPE_ID;
extern QString AktuellerPersonalName;

// ---- cached group permissions of the current employee ----
extern bool fBER_Praesenzzeit;
extern QString fBER_Typ;
extern QString fBER_Art;
extern int fBER_KS;
extern int fBER_Fakt;
extern bool fBER_Mitternacht;
extern int fBER_MitternachtStunden;
extern bool fBER_TeamPraesenzzeit;
extern bool fBER_TeamLight;
extern bool fBER_Teamerfassung;

// ---- work flags ----
extern TDateTime AnzeigeDatum;
extern bool PauseStartLaeuft;
extern bool MitternachtsStempelungLaeuft;

// ---- main window: time panel and terminal login ----

// ---- pause state ----
// The last answer of Tdm::PauseGibIstPauseAktiv, reused for a second whichever employee is asked.
extern bool PauseStatusCacheGueltig;
extern bool PauseStatusCacheAktiv;
extern TDateTime PauseStatusCacheZeitstempel;
extern TDateTime PauseStatusCacheAbfragezeit;

// ---- main window editing state ----

// Back to the start state, for tests.
void resetGlobals();

// Program constants.
namespace Konstanten {
inline constexpr int LokaleDBVersion = 60;
inline constexpr int ErwarteteServerVersion = 21;
inline constexpr bool ServerUpdateDringend = false;
inline const QString UserSuffix = QStringLiteral("-lm");
inline constexpr int AuswahlZeilen = 200;
inline constexpr int TopMargin = 23;
} // namespace Konstanten

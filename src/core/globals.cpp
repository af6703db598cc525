#include "globals.h"

bool IstAngemeldet = false;
int AngemeldeteLPE_ID = 0;
int AngemeldeteUserID = 0;
QString AngemeldeterUserKurz;
int AktuelleLPE_ID = 0;
QString AktuellerPersonalName;

bool fBER_Praesenzzeit = false;
QString fBER_Typ;
QString fBER_Art;
int fBER_KS = 0;
int fBER_Fakt = 0;
bool fBER_Mitternacht = false;
int fBER_MitternachtStunden = 0;
bool fBER_TeamPraesenzzeit = false;
bool fBER_TeamLight = false;
bool fBER_Teamerfassung = false;

TDateTime AnzeigeDatum;
bool PauseStartLaeuft = false;
bool MitternachtsStempelungLaeuft = false;

bool PauseStatusCacheGueltig = false;
bool PauseStatusCacheAktiv = false;
TDateTime PauseStatusCacheZeitstempel;
TDateTime PauseStatusCacheAbfragezeit;

void resetGlobals()
{
    IstAngemeldet = false;
    AngemeldeteLPE_ID = 0;
    AngemeldeteUserID = 0;
    AngemeldeterUserKurz.clear();
    AktuelleLPE_ID = 0;
    AktuellerPersonalName.clear();

    fBER_Praesenzzeit = false;
    fBER_Typ.clear();
    fBER_Art.clear();
    fBER_KS = 0;
    fBER_Fakt = 0;
    fBER_Mitternacht = false;
    fBER_MitternachtStunden = 0;
    fBER_TeamPraesenzzeit = false;
    fBER_TeamLight = false;
    fBER_Teamerfassung = false;

    AnzeigeDatum = TDateTime();
    PauseStartLaeuft = false;
    MitternachtsStempelungLaeuft = false;

    // ---- reset: pause state ----
    PauseStatusCacheGueltig = false;
    PauseStatusCacheAktiv = false;
    PauseStatusCacheZeitstempel = TDateTime();
    PauseStatusCacheAbfragezeit = TDateTime();

    // ---- reset: main window state ----
}

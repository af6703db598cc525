#pragma once

#include <QString>

// Shared enumerations of the recording operations and the windows.

// ---- booking objects ----
// The kind of object an activity entry is booked to; the rap... kinds belong to reports, never to entries.
enum class TObjektTyp {
    Auftrag = 0,
    Werkauftrag = 1,
    Projekt = 2,
    Adresse = 3,
    Intern = 4,
    rapAdresse,
    rapAuftrag,
    rapProjekt
};

// ---- selection lists ----
// What a selection list offers; also names the kind of booking object a billing code or cost centre comes from.
enum class TAuswahlTyp {
    awtNone = 0,
    awtAdresse = 1,
    awtPersonal = 2,
    awtKostenStelle = 3,
    awtKostenArt = 4,
    awtFaktura = 5,
    awtProjekt = 6,
    awtAuftrag = 7,
    awtWerkauftrag = 8,
    awtArt = 9,
    awtMaterial = 10,
    awtSpesen = 11,
    awtKM = 12,
    awtTeam = 13,
    awtLogIn = 14
};

// ---- time picker ----
// The range and step of the minutes wheel of the time input panel.
struct TSpinnerSpalte {
    int Minimum = 0;
    int Maximum = 45;
    int Schritt = 15;
};

// ---- teams ----
// One row of the team lists: the user's name, personnel id and whether he is an active team member.
struct TTeamListenEintrag {
    QString TeamText;
    int TeamLPEID = 0;
    bool Aktiv = false;
};

#pragma once

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

#pragma once

// The first server login brings the tenant's permission groups and users along, so that the
// remembered login works offline at once. Rows are written as the master-data download writes them.

class Tdm;
class TVerschluesseln;

// Copies every server row of the tenant's Lumora_Gruppen and Lumora_User into the local tables,
// unscrambling the scrambled columns. A row whose insert fails is skipped; false when a server read
// fails.
bool KopiereLoginStammdaten(Tdm& dm, int mandantID, const TVerschluesseln& keys);

#pragma once

#include <QPixmap>

// The six status pictures of a record row: 0 device, 1 cloud, 2 back office (time colour),
// 3 back office red, 4 device red, 5 cloud red. Drawn once at run time and kept.
namespace AmpelBilder {
inline constexpr int kAnzahl = 6;
inline constexpr int kGroesse = 22;

// An index outside 0..5 yields a null pixmap.
QPixmap Bild(int index);
} // namespace AmpelBilder

#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Small symbols of the window's buttons, drawn at run time in one colour.
namespace Symbole {
enum class Art { Zurueck, Vor, Kalender, Chevron, Synchron, Papierkorb, Aktualisieren, Kamera, Suche, Loeschen };

QPixmap Bild(Art art, int size, const QColor& farbe);
QIcon Icon(Art art, int size, const QColor& farbe);
} // namespace Symbole

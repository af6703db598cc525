#pragma once

// QString face of the field scrambling: the local database and the windows hold plain QString text,
// the server holds the scrambled form.

#include "classMeineVerschluesselung.h"

#include <QString>

namespace Scrambling {

QString Verschluesseln(const TVerschluesseln& keys, const QString& plain);
QString Entschluesseln(const TVerschluesseln& keys, const QString& scrambled);

// One-shot unscrambling with the built-in triple, as used for start links.
QString EntschluessleStandart(const QString& scrambled);
QString VerschluessleStandart(const QString& plain);

} // namespace Scrambling

#include "scrambling.h"

#include "tdm.h"

namespace Scrambling {

QString Verschluesseln(const TVerschluesseln& keys, const QString& plain) {
    return QString::fromStdString(keys.Verschluesseln(plain.toStdString()));
}

QString Entschluesseln(const TVerschluesseln& keys, const QString& scrambled) {
    return QString::fromStdString(keys.Entschluesseln(scrambled.toStdString()));
}

QString EntschluessleStandart(const QString& scrambled) {
    return Entschluesseln(TVerschluesseln::CreateWithStandart(), scrambled);
}

QString VerschluessleStandart(const QString& plain) {
    return Verschluesseln(TVerschluesseln::CreateWithStandart(), plain);
}

} // namespace Scrambling

QString Tdm::CryptoEntschluessleStandart(const QString& s) {
    return Scrambling::EntschluessleStandart(s);
}

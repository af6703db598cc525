#include "startlink.h"

#include "scrambling.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString kPrefix = u"lumora://"_s;
const QString kMarker = u"vavIve"_s;

int alsZahl(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

bool TStartLink::istVollstaendig() const {
    return FirmaPin != 0 && !FirmaPW.isEmpty() && !UserKurz.isEmpty() && !UserPW.isEmpty();
}

std::optional<TStartLink> StartLinkAusKlartext(const QString& klartext) {
    if (!klartext.startsWith(kMarker))
        return std::nullopt;
    TStartLink link;
    for (const QString& field : klartext.split(u'|')) {
        if (field.isEmpty())
            continue;
        const QString value = field.mid(1);
        switch (field.front().unicode()) {
        case u'1':
            link.FirmaPin = alsZahl(value);
            break;
        case u'2':
            link.FirmaPW = value;
            break;
        case u'3':
            link.UserKurz = value;
            break;
        case u'4':
            link.UserPW = value;
            break;
        case u'5':
            link.Crypto1 = alsZahl(value);
            break;
        case u'6':
            link.Crypto2 = alsZahl(value);
            break;
        case u'7':
            link.Crypto3 = alsZahl(value);
            break;
        default:
            break;
        }
    }
    return link;
}

std::optional<TStartLink> StartLinkAusArgument(const QString& argument) {
    QString scrambled = argument.trimmed();
    scrambled.remove(kPrefix, Qt::CaseInsensitive);
    // A link is always hex; a "|" would send it to the legacy service and stall the start for nothing.
    if (scrambled.isEmpty() || scrambled.contains(u'|'))
        return std::nullopt;
    auto link = StartLinkAusKlartext(Scrambling::EntschluessleStandart(scrambled));
    if (!link || !link->istVollstaendig())
        return std::nullopt;
    return link;
}

QString StartLinkAlsArgument(const TStartLink& link) {
    for (const QString* text : {&link.FirmaPW, &link.UserKurz, &link.UserPW})
        if (text->contains(u'|'))
            return {};
    const QString klartext = kMarker + u"|1"_s + QString::number(link.FirmaPin) + u"|2"_s + link.FirmaPW + u"|3"_s +
                             link.UserKurz + u"|4"_s + link.UserPW + u"|5"_s + QString::number(link.Crypto1) + u"|6"_s +
                             QString::number(link.Crypto2) + u"|7"_s + QString::number(link.Crypto3);
    return kPrefix + Scrambling::VerschluessleStandart(klartext);
}

#include "ui/widgets/AmpelBilder.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

const QColor kGeraet(0x45, 0x5a, 0x64);
const QColor kWolke(0x1e, 0x88, 0xe5);
const QColor kZeitfarbe(0x00, 0x00, 0xff);
const QColor kRot(0xff, 0x00, 0x00);

void zeichneGeraet(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 1.5, 10, 19), 2, 2);
    p.setBrush(c.lighter(170));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(7.5, 4, 7, 12));
    p.setBrush(c);
    p.drawEllipse(QPointF(11, 18.2), 1.1, 1.1);
}

void zeichneWolke(QPainter& p, const QColor& c) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QRectF(2, 9, 9, 9));
    path.addEllipse(QRectF(6, 4, 11, 11));
    path.addEllipse(QRectF(12, 8, 9, 9));
    path.addRoundedRect(QRectF(5, 12, 13, 6), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

void zeichneBuero(QPainter& p, const QColor& c) {
    // An office building with windows: the record lies with the back office.
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(4, 3, 14, 17));
    p.setBrush(Qt::white);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(6 + col * 4, 5 + row * 4, 2.2, 2.2));
    p.drawRect(QRectF(9.5, 16, 3, 4));
}

QPixmap male(int index) {
    QPixmap pm(AmpelBilder::kGroesse, AmpelBilder::kGroesse);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
        zeichneGeraet(p, kGeraet);
        break;
    case 1:
        zeichneWolke(p, kWolke);
        break;
    case 2:
        zeichneBuero(p, kZeitfarbe);
        break;
    case 3:
        zeichneBuero(p, kRot);
        break;
    case 4:
        zeichneGeraet(p, kRot);
        break;
    case 5:
        zeichneWolke(p, kRot);
        break;
    default:
        break;
    }
    return pm;
}

} // namespace

QPixmap AmpelBilder::Bild(int index) {
    if (index < 0 || index >= kAnzahl)
        return {};
    static const std::array<QPixmap, kAnzahl> bilder = [] {
        std::array<QPixmap, kAnzahl> a;
        for (int i = 0; i < kAnzahl; ++i)
            a[i] = male(i);
        return a;
    }();
    return bilder[index];
}

#include "ui/widgets/Symbole.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void zeichne(QPainter& p, Symbole::Art art, const QColor& c) {
    // All shapes are drawn on a 24 x 24 grid and scaled by the caller.
    QPen pen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (art) {
    case Symbole::Art::Zurueck:
    case Symbole::Art::Vor: {
        const bool vor = art == Symbole::Art::Vor;
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int i = 0; i < 2; ++i) {
            const qreal x0 = vor ? 4 + i * 8 : 20 - i * 8;
            const qreal x1 = vor ? x0 + 8 : x0 - 8;
            QPainterPath path;
            path.moveTo(x0, 5);
            path.lineTo(x1, 12);
            path.lineTo(x0, 19);
            path.closeSubpath();
            p.drawPath(path);
        }
        break;
    }
    case Symbole::Art::Kalender:
        p.drawRoundedRect(QRectF(3, 5, 18, 16), 2, 2);
        p.drawLine(QPointF(3, 10), QPointF(21, 10));
        p.drawLine(QPointF(8, 3), QPointF(8, 7));
        p.drawLine(QPointF(16, 3), QPointF(16, 7));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRect(QRectF(6 + col * 5, 12.5 + row * 4, 2.5, 2.5));
        break;
    case Symbole::Art::Chevron:
        p.drawPolyline(QPolygonF({QPointF(9, 5), QPointF(16, 12), QPointF(9, 19)}));
        break;
    case Symbole::Art::Synchron:
    case Symbole::Art::Aktualisieren: {
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 150 * 16);
        p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF({QPointF(19.5, 2.5), QPointF(20.5, 9), QPointF(14, 8)}));
        p.drawPolygon(QPolygonF({QPointF(4.5, 21.5), QPointF(3.5, 15), QPointF(10, 16)}));
        break;
    }
    case Symbole::Art::Papierkorb:
        p.drawLine(QPointF(4, 6), QPointF(20, 6));
        p.drawLine(QPointF(9, 6), QPointF(10, 3));
        p.drawLine(QPointF(10, 3), QPointF(14, 3));
        p.drawLine(QPointF(14, 3), QPointF(15, 6));
        p.drawPolyline(QPolygonF({QPointF(6, 6), QPointF(7, 21), QPointF(17, 21), QPointF(18, 6)}));
        p.drawLine(QPointF(10, 10), QPointF(10, 17));
        p.drawLine(QPointF(14, 10), QPointF(14, 17));
        break;
    case Symbole::Art::Kamera:
        p.drawRoundedRect(QRectF(2, 7, 20, 13), 2, 2);
        p.drawEllipse(QPointF(12, 13.5), 4, 4);
        p.drawLine(QPointF(8, 7), QPointF(9.5, 4));
        p.drawLine(QPointF(9.5, 4), QPointF(14.5, 4));
        p.drawLine(QPointF(14.5, 4), QPointF(16, 7));
        break;
    case Symbole::Art::Suche:
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
        break;
    case Symbole::Art::Loeschen:
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
}

} // namespace

QPixmap Symbole::Bild(Art art, int size, const QColor& farbe) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    zeichne(p, art, farbe);
    return pm;
}

QIcon Symbole::Icon(Art art, int size, const QColor& farbe) {
    QIcon icon(Bild(art, size, farbe));
    icon.addPixmap(Bild(art, size, QColor(0xb0, 0xb0, 0xb0)), QIcon::Disabled);
    return icon;
}

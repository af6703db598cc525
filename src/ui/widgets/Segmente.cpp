#include "ui/widgets/Segmente.h"

#include "ui/widgets/Benannt.h"

#include <QStyle>

QToolButton* neuerSegmentKnopf(const char* name, const QString& text, QWidget* parent) {
    auto* b = benannt<QToolButton>(name, parent);
    b->setText(text);
    b->setCheckable(true);
    b->setAutoExclusive(false);
    b->setProperty("segment", QStringLiteral("mitte"));
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setMinimumHeight(34);
    return b;
}

void SegmenteEnden(const QList<QToolButton*>& knoepfe) {
    QList<QToolButton*> sichtbar;
    for (QToolButton* b : knoepfe)
        if (!b->isHidden())
            sichtbar << b;
    for (QToolButton* b : knoepfe) {
        QString ende = QStringLiteral("mitte");
        if (sichtbar.size() == 1 && b == sichtbar.first())
            ende = QStringLiteral("beide");
        else if (!sichtbar.isEmpty() && b == sichtbar.first())
            ende = QStringLiteral("links");
        else if (!sichtbar.isEmpty() && b == sichtbar.last())
            ende = QStringLiteral("rechts");
        b->setProperty("segment", ende);
        b->style()->unpolish(b);
        b->style()->polish(b);
    }
}

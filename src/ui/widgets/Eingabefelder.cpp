#include "ui/widgets/Eingabefelder.h"

#include "ui/widgets/Benannt.h"

#include <QLabel>
#include <QTimeEdit>

QLabel* neuerFeldname(const QString& text) {
    auto* l = new QLabel(text);
    l->setProperty("rolle", QStringLiteral("feldname"));
    return l;
}

QTimeEdit* neuesZeitFeld(const char* name) {
    auto* t = benannt<QTimeEdit>(name);
    t->setDisplayFormat(QStringLiteral("hh:mm"));
    t->setReadOnly(true);
    t->setButtonSymbols(QAbstractSpinBox::NoButtons);
    t->setAlignment(Qt::AlignCenter);
    t->setFixedSize(92, 36);
    t->setProperty("rolle", QStringLiteral("zeit"));
    return t;
}

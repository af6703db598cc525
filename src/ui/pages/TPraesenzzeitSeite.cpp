#include "ui/pages/TPraesenzzeitSeite.h"

#include "ui/widgets/Benannt.h"
#include "ui/widgets/Eingabefelder.h"
#include "ui/widgets/TClickLabel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

TPraesenzzeitSeite::TPraesenzzeitSeite(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Layout_Praesenzzeit"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 16, 16, 12);
    v->setSpacing(14);
    Label26 = benannt<QLabel>("Label26", QStringLiteral("Präsenzzeit"));
    Label26->setProperty("rolle", QStringLiteral("ueberschrift"));
    v->addWidget(Label26);
    Label_DatumEingabePZ = benannt<TClickLabel>("Label_DatumEingabePZ");
    Label_DatumEingabePZ->setProperty("rolle", QStringLiteral("datum"));
    v->addWidget(Label_DatumEingabePZ);
    DateEdit2 = benannt<QDateEdit>("DateEdit2", this);
    DateEdit2->hide();

    TimeEditZPZ_Von = neuesZeitFeld("TimeEditZPZ_Von");
    TimeEditZPZ_Bis = neuesZeitFeld("TimeEditZPZ_Bis");
    cbStopZPZ = benannt<QCheckBox>("cbStopZPZ", QStringLiteral("STOPP"));
    cbStopZPZ->setProperty("rolle", QStringLiteral("stopp"));
    cbStopZPZ->hide();
    labelZPZ_Std100 = benannt<QLabel>("labelZPZ_Std100", QStringLiteral("0.00"));
    labelZPZ_Std100->setProperty("rolle", QStringLiteral("summe"));
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(4);
    g->addWidget(cbStopZPZ, 0, 3);
    g->addWidget(neuerFeldname(QStringLiteral("von")), 1, 0);
    g->addWidget(TimeEditZPZ_Von, 1, 1);
    g->addWidget(neuerFeldname(QStringLiteral("bis")), 1, 2);
    g->addWidget(TimeEditZPZ_Bis, 1, 3);
    g->addWidget(neuerFeldname(QStringLiteral("total")), 1, 4);
    g->addWidget(labelZPZ_Std100, 1, 5);
    g->setColumnStretch(6, 1);
    v->addLayout(g);
    v->addStretch(1);

    Button_LoeschenZPZ = benannt<QPushButton>("Button_LoeschenZPZ", QStringLiteral("Löschen"));
    Button_LoeschenZPZ->setProperty("rolle", QStringLiteral("rot"));
    Button_LoeschenZPZ->setFixedSize(150, 44);
    v->addWidget(Button_LoeschenZPZ, 0, Qt::AlignLeft);
}

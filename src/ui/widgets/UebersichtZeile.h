#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

// One drawable of an overview row: a text placed at an offset inside the row. A negative x
// places it from the right edge; a width of "list width minus breiteMinus" applies when set.
struct UebersichtObjekt {
    QString Text;
    bool Visible = false;
    QPoint Pos;
    int BreiteMinus = 0;
    QColor Farbe = Qt::black;
};

// One row of the daily overview: a section header or a record / creation row.
struct UebersichtZeile {
    bool IstHeader = false;
    QString HeaderText;

    int Tag = 0; // MobileID of the record
    QString ItemTyp;
    UebersichtObjekt ItemZeitVon;
    UebersichtObjekt ItemZeitBis;
    UebersichtObjekt ItemZeitTotal;
    QString ItemAmpelStatus;
    int ItemAmpelImage = -1; // index of the status picture, -1 none
    bool ItemAmpelImageVisible = false;
    UebersichtObjekt ItemZusatzText;
    UebersichtObjekt ItemKostenArt;
    UebersichtObjekt ItemBackGroundText;
    bool AccessoryVisible = false;
};

// Places, colours and shows the drawables of a row from its kind and texts: the rule the
// rebuild and every redraw share. Status text that is no number counts as not editable.
void ListView_UebersichtUpdateObjects(UebersichtZeile& zeile);

#include "ui/widgets/UebersichtZeile.h"

namespace {
const QColor kZeitfarbe(0xff0000ffu);
const QColor kRot(0xffff0000u);
const QColor kGruen(0xff008000u);
const QColor kDunkelgrau(0xff505050u);

void setze(UebersichtObjekt& o, int x, int y, QColor farbe, int breiteMinus = 0) {
    o.Visible = !o.Text.isEmpty();
    o.Pos = QPoint(x, y);
    o.Farbe = farbe;
    o.BreiteMinus = breiteMinus;
}

void teamText(UebersichtObjekt& o) {
    o.Visible = !o.Text.isEmpty();
    o.Pos = QPoint(30, 0);
    o.BreiteMinus = 75;
    o.Farbe = kRot;
}

QColor endeFarbe(const UebersichtObjekt& bis) {
    return bis.Text == u"offen" ? kRot : kZeitfarbe;
}
} // namespace

void ListView_UebersichtUpdateObjects(UebersichtZeile& z) {
    if (z.IstHeader)
        return;
    const QString typ = z.ItemTyp.trimmed();
    bool ok = false;
    int nummer = z.ItemAmpelStatus.toInt(&ok);
    if (!ok)
        nummer = 20;
    if (typ == u"ZPZ") {
        setze(z.ItemZeitVon, 15, 15, kZeitfarbe);
        setze(z.ItemZeitBis, 73, 15, endeFarbe(z.ItemZeitBis));
        setze(z.ItemZeitTotal, 135, 15, kZeitfarbe);
        z.ItemAmpelImageVisible = z.ItemAmpelImage >= 0;
        z.AccessoryVisible = nummer < 3;
        teamText(z.ItemBackGroundText);
    } else if (typ == u"ZPZNEU") {
        setze(z.ItemZusatzText, 15, 15, kGruen);
    } else if (typ == u"ZER") {
        setze(z.ItemZusatzText, 15, 25, kDunkelgrau, 45);
        setze(z.ItemZeitVon, 15, 0, kZeitfarbe);
        setze(z.ItemZeitBis, 73, 0, endeFarbe(z.ItemZeitBis));
        setze(z.ItemKostenArt, 135, 0, Qt::black, 155);
        teamText(z.ItemBackGroundText);
        z.ItemAmpelImageVisible = z.ItemAmpelImage >= 0;
        z.AccessoryVisible = nummer < 3;
    } else if (typ == u"ZERNEU") {
        setze(z.ItemZusatzText, 15, 15, kGruen, 20);
    }
}

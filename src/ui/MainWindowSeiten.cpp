// Loading one record into the entry editor or the presence page.
#include "ui/WindowsMainUnit1.h"

#include "core/globals.h"
#include "core/tdm.h"
#include "ui/pages/TErfassungSeite.h"
#include "ui/pages/TPraesenzzeitSeite.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

bool TWindowsForm::GibDatumDesEintrags(int mobileID, TDateTime& datum) {
    auto q = dm->GetQueryInstance();
    q->setSQL(u" select ZER_Datum from Z_Erfassung  where mobileID = :id and Mandant_ID = "_s +
              QString::number(dm->FMandantID));
    q->ParamByName(u"id").setAsInteger(mobileID);
    if (!q->Open() || q->Eof())
        return false;
    datum = q->FieldByName(u"ZER_Datum").AsDateTime();
    return true;
}

void TWindowsForm::ZeigeTaetigkeit(int mobileID) {
    TErfassungSeite* e = Layout_Erfassung;
    auto q = dm->GetQueryInstance();
    q->setSQL(u" select * from Z_Erfassung  where mobileID = :id"_s);
    q->ParamByName(u"id").setAsInteger(mobileID);
    if (!q->Open() || q->Eof())
        return;
    ZER_ID = q->FieldByName(u"ZER_ID").AsInteger();
    ZER_MobileID = q->FieldByName(u"MobileID").AsInteger();
    ZER_Typ = q->FieldByName(u"ZER_Type").AsInteger();

    e->Edit_ART->setText(dm->GibAuftragAlsText(*q, true));
    e->Edit_KS->setText(q->FieldByName(u"ZER_ZKS").AsString());
    e->Edit_Bezeichnung->setText(q->FieldByName(u"ZER_Bezeichnung").AsString());
    const QString text = q->FieldByName(u"ZER_Text").AsString();
    e->Memo_Zusatztext->setPlainText(text);
    e->Layout_6_Text->setVisible(!text.isEmpty());
    e->TimeEdit_von->setTime(q->FieldByName(u"ZER_Von").AsDateTime().timePart().toQTime());
    e->TimeEdit_bis->setTime(q->FieldByName(u"ZER_Bis").AsDateTime().timePart().toQTime());
    const double std100 = q->FieldByName(u"ZER_Std100").AsFloat();
    e->Label_Std100->setText(QLocale().toString(std100, 'f', 2));
    e->Edit_ZeitTotal->setValue(std100);
    e->Button_LoescheZER->setVisible(AnzeigeDatum.datePart() >= dm->GibDatumMaxAlterDerZeiten().datePart());
    e->Button_Fortsetzen->hide();

    const bool istZeit = ZER_Typ <= 3;
    e->SpeedButton_Zeit->setChecked(istZeit);
    e->SpeedButton_Spesen->setChecked(ZER_Typ == 4 || ZER_Typ == 6);
    e->SpeedButton_km->setChecked(ZER_Typ == 5);
    e->SpeedButton_Material->setChecked(ZER_Typ == 9);
    e->Layout_Erfassung_Zeit->setVisible(istZeit);
    e->Layout_Erfassung_Menge->setVisible(!istZeit);
    e->Label_KAVorne->setText(ZER_Typ == 9 ? u"Mat"_s : u"KA"_s);
    e->Edit_KA->setText(ZER_Typ == 9 ? QString::number(q->FieldByName(u"ZER_MAT_ID").AsInteger())
                                     : q->FieldByName(u"ZER_ZKA").AsString());
    e->Label_Einheit->setText(ZER_Typ == 5 ? u"km"_s : (ZER_Typ == 9 ? QString() : u"x"_s));
    e->Edit_Anzahl->setText(QLocale().toString(ZER_Typ == 5 ? q->FieldByName(u"ZER_Km").AsFloat() : std100, 'f',
                                               QLocale::FloatingPointShortest));
}

void TWindowsForm::ZeigePraesenzzeit(int mobileID) {
    TPraesenzzeitSeite* p = Layout_Praesenzzeit;
    auto q = dm->GetQueryInstance();
    q->setSQL(u" select * from Z_Praesenzzeit  where mobileID = :id"_s);
    q->ParamByName(u"id").setAsInteger(mobileID);
    if (!q->Open() || q->Eof())
        return;
    ZPZ_ID = q->FieldByName(u"ZPZ_ID").AsInteger();
    ZPZ_MobileID = q->FieldByName(u"MobileID").AsInteger();
    p->TimeEditZPZ_Von->setTime(q->FieldByName(u"ZPZ_Von").AsDateTime().timePart().toQTime());
    const TDateTime bis = q->FieldByName(u"ZPZ_Bis").AsDateTime();
    p->TimeEditZPZ_Bis->setTime(bis.timePart().toQTime());
    p->cbStopZPZ->setVisible(q->FieldByName(u"ZPZ_Bis").IsNull() || bis.value() == 0.0);
    p->Button_LoeschenZPZ->setVisible(AnzeigeDatum.datePart() >= dm->GibDatumMaxAlterDerZeiten().datePart());
    p->labelZPZ_Std100->setText(QLocale().toString(q->FieldByName(u"ZPZ_Std100").AsFloat(), 'f', 2));
}

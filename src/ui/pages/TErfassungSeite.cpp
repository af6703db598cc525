#include "ui/pages/TErfassungSeite.h"

#include "ui/widgets/Benannt.h"
#include "ui/widgets/Eingabefelder.h"
#include "ui/widgets/Segmente.h"
#include "ui/widgets/Symbole.h"
#include "ui/widgets/TClickLabel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kLabelBreite = 86;

QLabel* zeilenLabel(const QString& text) {
    auto* l = neuerFeldname(text);
    l->setFixedWidth(kLabelBreite);
    return l;
}

QWidget* zeile(const char* name, const QString& label, std::initializer_list<QWidget*> inhalt,
               QWidget** gebaut = nullptr) {
    auto* w = benannt<QWidget>(name);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    if (!label.isNull())
        h->addWidget(zeilenLabel(label));
    for (QWidget* c : inhalt)
        h->addWidget(c);
    if (gebaut)
        *gebaut = w;
    return w;
}

} // namespace

TErfassungSeite::TErfassungSeite(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Layout_Erfassung"));
    auto* aussen = new QVBoxLayout(this);
    aussen->setContentsMargins(0, 0, 0, 0);
    auto* scroll = benannt<QScrollArea>("VertScrollBox_Erfassung");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    aussen->addWidget(scroll);
    auto* inhalt = new QWidget;
    inhalt->setObjectName(QStringLiteral("ErfassungInhalt"));
    scroll->setWidget(inhalt);
    auto* v = new QVBoxLayout(inhalt);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(12);

    // Booking object type and object
    SpeedButton_Intern = neuerSegmentKnopf("SpeedButton_Intern", QStringLiteral("Intern"));
    SpeedButton_Adresse = neuerSegmentKnopf("SpeedButton_Adresse", QStringLiteral("Adresse"));
    SpeedButton_Auftrag = neuerSegmentKnopf("SpeedButton_Auftrag", QStringLiteral("Auftrag"));
    SpeedButton_WerkAuftrag = neuerSegmentKnopf("SpeedButton_WerkAuftrag", QStringLiteral("Werkauftrag"));
    SpeedButton_Projekt = neuerSegmentKnopf("SpeedButton_Projekt", QStringLiteral("Projekt"));
    SegmenteEnden(
        {SpeedButton_Intern, SpeedButton_Adresse, SpeedButton_Auftrag, SpeedButton_WerkAuftrag, SpeedButton_Projekt});
    Edit_ART = benannt<QLineEdit>("Edit_ART");
    Edit_ART->setReadOnly(true);
    Edit_ART->setPlaceholderText(QStringLiteral("Bitte Auftrag, Adresse oder Projekt wählen"));
    Button3 = benannt<QPushButton>("Button3");
    Button3->setToolTip(QStringLiteral("Foto aufnehmen"));
    Button3->setIcon(Symbole::Icon(Symbole::Art::Kamera, 22, QColor(0x37, 0x47, 0x4f)));
    Button3->setFixedSize(44, 36);
    Layout_0_TYP = benannt<QWidget>("Layout_0_TYP");
    {
        auto* g = new QGridLayout(Layout_0_TYP);
        g->setContentsMargins(0, 0, 0, 0);
        g->setHorizontalSpacing(0);
        g->setVerticalSpacing(8);
        g->addWidget(zeilenLabel(QStringLiteral("Typ")), 0, 0);
        auto* knoepfe = new QHBoxLayout;
        knoepfe->setSpacing(0);
        for (QToolButton* b : {SpeedButton_Intern, SpeedButton_Adresse, SpeedButton_Auftrag, SpeedButton_WerkAuftrag,
                               SpeedButton_Projekt})
            knoepfe->addWidget(b);
        g->addLayout(knoepfe, 0, 1);
        Layout_1_Art = benannt<QWidget>("Layout_1_Art");
        auto* art = new QHBoxLayout(Layout_1_Art);
        art->setContentsMargins(0, 0, 0, 0);
        art->setSpacing(8);
        art->addWidget(Edit_ART, 1);
        art->addWidget(Button3);
        g->addWidget(Layout_1_Art, 1, 1);
    }
    v->addWidget(Layout_0_TYP);

    // Entry kind
    SpeedButton_Zeit = neuerSegmentKnopf("SpeedButton_Zeit", QStringLiteral("Arbeitszeit"));
    SpeedButton_Material = neuerSegmentKnopf("SpeedButton_Material", QStringLiteral("Material"));
    SpeedButton_Spesen = neuerSegmentKnopf("SpeedButton_Spesen", QStringLiteral("Spesen"));
    SpeedButton_km = neuerSegmentKnopf("SpeedButton_km", QStringLiteral("km"));
    SegmenteEnden({SpeedButton_Zeit, SpeedButton_Material, SpeedButton_Spesen, SpeedButton_km});
    v->addWidget(ColorBox1 = zeile("ColorBox1", QStringLiteral("Art"),
                                   {SpeedButton_Zeit, SpeedButton_Material, SpeedButton_Spesen, SpeedButton_km}));

    // Cost type
    Label_KAVorne = benannt<QLabel>("Label_KAVorne", QStringLiteral("KA"));
    Label_KAVorne->setFixedWidth(kLabelBreite);
    Label_KAVorne->setProperty("rolle", QStringLiteral("feldname"));
    Edit_KA = benannt<QLineEdit>("Edit_KA");
    Edit_KA->setReadOnly(true);
    Edit_KA->setPlaceholderText(QStringLiteral("Kostenart wählen"));
    v->addWidget(Layout_2_KA = zeile("Layout_2_KA", QString(), {Label_KAVorne, Edit_KA}));

    // Cost centre and billing
    Edit_KS = benannt<QLineEdit>("Edit_KS");
    Edit_KS->setReadOnly(true);
    Edit_KS->setPlaceholderText(QStringLiteral("Kostenstelle wählen"));
    SpeedButton_Verrechnen = neuerSegmentKnopf("SpeedButton_Verrechnen", QStringLiteral("Verrechnen"));
    SpeedButton_Warten = neuerSegmentKnopf("SpeedButton_Warten", QStringLiteral("Warten"));
    SpeedButton_Kulanz = neuerSegmentKnopf("SpeedButton_Kulanz", QStringLiteral("Kulanz"));
    SpeedButton_Garantie = neuerSegmentKnopf("SpeedButton_Garantie", QStringLiteral("Garantie"));
    SpeedButton_NichtVerrechnen = neuerSegmentKnopf("SpeedButton_NichtVerrechnen", QStringLiteral("nicht Verrech."));
    SegmenteEnden({SpeedButton_Verrechnen, SpeedButton_Warten, SpeedButton_Kulanz, SpeedButton_Garantie,
                   SpeedButton_NichtVerrechnen});
    Layout_34_KS_Fakt = benannt<QWidget>("Layout_34_KS_Fakt");
    {
        auto* ks = new QVBoxLayout(Layout_34_KS_Fakt);
        ks->setContentsMargins(0, 0, 0, 0);
        ks->setSpacing(12);
        ks->addWidget(Layout_3_KS = zeile("Layout_3_KS", QStringLiteral("KS"), {Edit_KS}));
        ks->addWidget(Layout_4_Fakt = zeile("Layout_4_Fakt", QStringLiteral("Faktura"),
                                            {SpeedButton_Verrechnen, SpeedButton_Warten, SpeedButton_Kulanz,
                                             SpeedButton_Garantie, SpeedButton_NichtVerrechnen}));
    }
    v->addWidget(Layout_34_KS_Fakt);

    // Designation and extra text
    Edit_Bezeichnung = benannt<QLineEdit>("Edit_Bezeichnung");
    Edit_Bezeichnung->setPlaceholderText(QStringLiteral("Bezeichnung der Tätigkeit"));
    Button2 = benannt<QPushButton>("Button2", QStringLiteral(">>"));
    Button2->setFixedSize(44, 36);
    Button2->setToolTip(QStringLiteral("Zusatztext anzeigen"));
    Memo_Zusatztext = benannt<QPlainTextEdit>("Memo_Zusatztext");
    Memo_Zusatztext->setFixedHeight(72);
    Layout_56_BezText = benannt<QWidget>("Layout_56_BezText");
    {
        auto* bez = new QVBoxLayout(Layout_56_BezText);
        bez->setContentsMargins(0, 0, 0, 0);
        bez->setSpacing(8);
        bez->addWidget(Layout_5_Bez = zeile("Layout_5_Bez", QStringLiteral("Bez."), {Edit_Bezeichnung}));
        static_cast<QHBoxLayout*>(Layout_5_Bez->layout())->addSpacing(8);
        Layout_5_Bez->layout()->addWidget(Button2);
        bez->addWidget(Layout_6_Text = zeile("Layout_6_Text", QStringLiteral("Zusatztext"), {Memo_Zusatztext}));
        Layout_6_Text->hide();
    }
    v->addWidget(Layout_56_BezText);

    // Times or quantity
    Label_DatumEingabe = benannt<TClickLabel>("Label_DatumEingabe");
    Label_DatumEingabe->setProperty("rolle", QStringLiteral("datum"));
    DateEdit1 = benannt<QDateEdit>("DateEdit1");
    DateEdit1->hide();
    TimeEdit_von = neuesZeitFeld("TimeEdit_von");
    TimeEdit_bis = neuesZeitFeld("TimeEdit_bis");
    Button_LoescheVonBis = benannt<QPushButton>("Button_LoescheVonBis");
    Button_LoescheVonBis->setIcon(Symbole::Icon(Symbole::Art::Loeschen, 18, QColor(0x75, 0x75, 0x75)));
    Button_LoescheVonBis->setFixedSize(36, 36);
    Button_LoescheVonBis->setToolTip(QStringLiteral("Zeiten leeren"));
    Button_LoescheVonBis->hide();
    cbStopZER = benannt<QCheckBox>("cbStopZER", QStringLiteral("STOPP"));
    cbStopZER->setProperty("rolle", QStringLiteral("stopp"));
    cbStopZER->hide();
    Label_Std100 = benannt<QLabel>("Label_Std100", QStringLiteral("0.00"));
    Label_Std100->setProperty("rolle", QStringLiteral("summe"));
    Label_Std100->setMinimumWidth(60);
    Edit_ZeitTotal = benannt<QDoubleSpinBox>("Edit_ZeitTotal");
    Edit_ZeitTotal->setDecimals(2);
    Edit_ZeitTotal->setRange(-9999.99, 9999.99);
    Edit_ZeitTotal->setButtonSymbols(QAbstractSpinBox::NoButtons);
    Edit_ZeitTotal->setFixedWidth(90);
    Edit_ZeitTotal->hide();
    Button_EditZeitTotal = benannt<QPushButton>("Button_EditZeitTotal", QStringLiteral(">>"));
    Button_EditZeitTotal->setFixedSize(44, 36);
    Button_EditZeitTotal->setToolTip(QStringLiteral("Stunden direkt eingeben"));
    Layout_Erfassung_Zeit = benannt<QWidget>("Layout_Erfassung_Zeit");
    {
        auto* g = new QGridLayout(Layout_Erfassung_Zeit);
        g->setContentsMargins(0, 0, 0, 0);
        g->setHorizontalSpacing(8);
        g->setVerticalSpacing(8);
        g->addWidget(Label_DatumEingabe, 0, 0, 1, 7);
        g->addWidget(zeilenLabel(QStringLiteral("von")), 1, 0);
        g->addWidget(TimeEdit_von, 1, 1);
        g->addWidget(Button_LoescheVonBis, 1, 2);
        auto* bis = new QLabel(QStringLiteral("bis"));
        bis->setProperty("rolle", QStringLiteral("feldname"));
        g->addWidget(bis, 1, 3);
        auto* bisBox = new QVBoxLayout;
        bisBox->setSpacing(2);
        bisBox->addWidget(cbStopZER);
        bisBox->addWidget(TimeEdit_bis);
        g->addLayout(bisBox, 1, 4);
        auto* total = new QLabel(QStringLiteral("Total"));
        total->setProperty("rolle", QStringLiteral("feldname"));
        g->addWidget(total, 1, 5);
        auto* totalBox = new QHBoxLayout;
        totalBox->setSpacing(6);
        totalBox->addWidget(Label_Std100);
        totalBox->addWidget(Edit_ZeitTotal);
        totalBox->addWidget(Button_EditZeitTotal);
        totalBox->addStretch(1);
        g->addLayout(totalBox, 1, 6);
        g->setColumnStretch(6, 1);
    }
    Label_AnzahlDatum = benannt<TClickLabel>("Label_AnzahlDatum");
    Label_AnzahlDatum->setProperty("rolle", QStringLiteral("datum"));
    Edit_Anzahl = benannt<QLineEdit>("Edit_Anzahl", QStringLiteral("1"));
    Edit_Anzahl->setAlignment(Qt::AlignRight);
    Edit_Anzahl->setFixedWidth(110);
    Label_Einheit = benannt<QLabel>("Label_Einheit");
    SpeedButton_StepperMinus = benannt<QToolButton>("SpeedButton_StepperMinus");
    SpeedButton_StepperMinus->setText(QStringLiteral("−"));
    SpeedButton_StepperPlus = benannt<QToolButton>("SpeedButton_StepperPlus");
    SpeedButton_StepperPlus->setText(QStringLiteral("+"));
    for (QToolButton* b : {SpeedButton_StepperMinus, SpeedButton_StepperPlus})
        b->setFixedSize(44, 36);
    Layout_Erfassung_Menge = benannt<QWidget>("Layout_Erfassung_Menge");
    {
        auto* g = new QGridLayout(Layout_Erfassung_Menge);
        g->setContentsMargins(0, 0, 0, 0);
        g->setHorizontalSpacing(8);
        g->addWidget(Label_AnzahlDatum, 0, 0, 1, 5);
        g->addWidget(zeilenLabel(QStringLiteral("Anzahl")), 1, 0);
        g->addWidget(Edit_Anzahl, 1, 1);
        g->addWidget(Label_Einheit, 1, 2);
        g->addWidget(SpeedButton_StepperMinus, 1, 3);
        g->addWidget(SpeedButton_StepperPlus, 1, 4);
        g->setColumnStretch(5, 1);
    }
    Layout_Erfassung_Menge->hide();
    Layout_7_Zeit = benannt<QWidget>("Layout_7_Zeit");
    {
        auto* z = new QVBoxLayout(Layout_7_Zeit);
        z->setContentsMargins(0, 4, 0, 0);
        z->addWidget(Layout_Erfassung_Zeit);
        z->addWidget(Layout_Erfassung_Menge);
    }
    v->addWidget(Layout_7_Zeit);
    v->addStretch(1);

    // Buttons
    Button_LoescheZER = benannt<QPushButton>("Button_LoescheZER", QStringLiteral("Löschen"));
    Button_LoescheZER->setProperty("rolle", QStringLiteral("rot"));
    Button_LoescheZER->hide(); // offered once an entry is loaded
    Button_Fortsetzen = benannt<QPushButton>("Button_Fortsetzen", QStringLiteral("Fortsetzen"));
    Button_Fortsetzen->hide();
    Button_Fertig = benannt<QPushButton>("Button_Fertig", QStringLiteral("Speichern"));
    Button_Fertig->setProperty("rolle", QStringLiteral("gruen"));
    for (QPushButton* b : {Button_LoescheZER, Button_Fortsetzen, Button_Fertig})
        b->setFixedSize(150, 44);
    Layout_Buttons = benannt<QWidget>("Layout_Buttons");
    {
        auto* h = new QHBoxLayout(Layout_Buttons);
        h->setContentsMargins(16, 8, 16, 12);
        h->addWidget(Button_LoescheZER);
        h->addStretch(1);
        h->addWidget(Button_Fortsetzen);
        h->addStretch(1);
        h->addWidget(Button_Fertig);
    }
    aussen->addWidget(Layout_Buttons);

    // Text input panel over the page
    pnlTextEingabe = benannt<QWidget>("pnlTextEingabe", this);
    pnlTextEingabe->setAutoFillBackground(true);
    {
        auto* p = new QVBoxLayout(pnlTextEingabe);
        p->setContentsMargins(0, 0, 0, 0);
        auto* bar = benannt<QWidget>("ToolBar_TextEingabe");
        bar->setProperty("rolle", QStringLiteral("toolbar"));
        bar->setFixedHeight(44);
        auto* h = new QHBoxLayout(bar);
        h->setContentsMargins(8, 4, 8, 4);
        btnText_Abbrechen = benannt<QPushButton>("btnText_Abbrechen", QStringLiteral("Abbrechen"));
        Label_FeldName = benannt<QLabel>("Label_FeldName");
        Label_FeldName->setAlignment(Qt::AlignCenter);
        BtnText_OK = benannt<QPushButton>("BtnText_OK", QStringLiteral("OK"));
        h->addWidget(btnText_Abbrechen);
        h->addWidget(Label_FeldName, 1);
        h->addWidget(BtnText_OK);
        p->addWidget(bar);
        auto* client = new QVBoxLayout;
        client->setContentsMargins(16, 16, 16, 16);
        Edit_Eingabe = benannt<QLineEdit>("Edit_Eingabe");
        Memo_Eingabe = benannt<QPlainTextEdit>("Memo_Eingabe");
        DateEdit_Eingabe = benannt<QDateEdit>("DateEdit_Eingabe");
        DateEdit_Eingabe->setCalendarPopup(true);
        client->addWidget(Edit_Eingabe);
        client->addWidget(Memo_Eingabe, 1);
        client->addWidget(DateEdit_Eingabe);
        client->addStretch(0);
        p->addLayout(client, 1);
    }
    pnlTextEingabe->hide();
}

void TErfassungSeite::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    pnlTextEingabe->setGeometry(rect());
}

void TErfassungSeite::BerechtigungenAnwenden(const QString& berTyp, const QString& berArt, int berKS, int berFakt) {
    auto erlaubt = [](const QString& ber, int i) { return i >= ber.size() || ber.at(i) != u'0'; };
    const QList<QToolButton*> objekte{SpeedButton_Intern, SpeedButton_Adresse, SpeedButton_Auftrag,
                                      SpeedButton_WerkAuftrag, SpeedButton_Projekt};
    for (int i = 0; i < objekte.size(); ++i)
        objekte[i]->setVisible(erlaubt(berTyp, i));
    SegmenteEnden(objekte);
    const QList<QToolButton*> arten{SpeedButton_Zeit, SpeedButton_Material, SpeedButton_Spesen, SpeedButton_km};
    for (int i = 0; i < arten.size(); ++i)
        arten[i]->setVisible(erlaubt(berArt, i));
    SegmenteEnden(arten);
    Layout_3_KS->setVisible(berKS != 0);
    Layout_3_KS->setEnabled(berKS == 2);
    Layout_4_Fakt->setVisible(berFakt != 0);
    Layout_4_Fakt->setEnabled(berFakt == 2);
    Layout_34_KS_Fakt->setVisible(berKS != 0 || berFakt != 0);
}

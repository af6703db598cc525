#include "ui/pages/TUserSeite.h"

#include "ui/widgets/Benannt.h"
#include "ui/widgets/Symbole.h"
#include "ui/widgets/TSwitch.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel* titel(const char* name, const QString& text) {
    auto* l = benannt<QLabel>(name, text);
    l->setProperty("rolle", QStringLiteral("abschnitt"));
    return l;
}

QLabel* hinweis(const char* name, const QString& text) {
    auto* l = benannt<QLabel>(name, text);
    l->setProperty("rolle", QStringLiteral("gruen"));
    return l;
}

QLineEdit* feld(const char* name, bool passwort = false, bool zahl = false) {
    auto* e = benannt<QLineEdit>(name);
    if (passwort)
        e->setEchoMode(QLineEdit::Password);
    if (zahl)
        e->setInputMethodHints(Qt::ImhDigitsOnly);
    e->setMinimumHeight(34);
    return e;
}

// An edit with its caption above, as the touch layout has it.
QWidget* mitBeschriftung(const QString& text, QWidget* edit) {
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);
    auto* l = new QLabel(text);
    l->setProperty("rolle", QStringLiteral("feldname"));
    v->addWidget(l);
    v->addWidget(edit);
    return w;
}

} // namespace

TUserSeite::TUserSeite(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Layout_User"));
    auto* aussen = new QVBoxLayout(this);
    aussen->setContentsMargins(0, 0, 0, 0);
    aussen->setSpacing(0);
    auto* scroll = benannt<QScrollArea>("VertScrollBox_User");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    aussen->addWidget(scroll, 1);
    auto* inhalt = new QWidget;
    inhalt->setObjectName(QStringLiteral("UserInhalt"));
    scroll->setWidget(inhalt);
    auto* spalten = new QHBoxLayout(inhalt);
    spalten->setContentsMargins(20, 16, 20, 16);
    spalten->setSpacing(28);

    // Left column: login
    auto* links = new QVBoxLayout;
    links->setSpacing(10);
    Label3 = titel("Label3", QStringLiteral("Lumora - Mobile Zeiterfassung"));
    label_Firmaname = hinweis("label_Firmaname", QStringLiteral("Bitte zuerst Anmelden"));
    Edit_FirmaPin = feld("Edit_FirmaPin", false, true);
    Edit_FirmaKennwort = feld("Edit_FirmaKennwort", true);
    Label_UserName = hinweis("Label_UserName", QStringLiteral("Benutzer"));
    Edit_userKurz = feld("Edit_userKurz");
    Edit_userKennwort = feld("Edit_userKennwort", true);
    links->addWidget(Label3);
    links->addWidget(label_Firmaname);
    links->addWidget(mitBeschriftung(QStringLiteral("Firma-Pin"), Edit_FirmaPin));
    links->addWidget(mitBeschriftung(QStringLiteral("Kennwort"), Edit_FirmaKennwort));
    links->addSpacing(4);
    links->addWidget(Label_UserName);
    links->addWidget(mitBeschriftung(QStringLiteral("Kürzel"), Edit_userKurz));
    links->addWidget(mitBeschriftung(QStringLiteral("Kennwort"), Edit_userKennwort));

    Button_LoginDelete = benannt<QPushButton>("Button_LoginDelete");
    Button_LoginDelete->setIcon(Symbole::Icon(Symbole::Art::Papierkorb, 22, QColor(0xc6, 0x28, 0x28)));
    Button_LoginDelete->setToolTip(QStringLiteral("Gespeicherte Anmeldung löschen"));
    Button_LoginAuswahl = benannt<QPushButton>("Button_LoginAuswahl");
    Button_LoginAuswahl->setIcon(Symbole::Icon(Symbole::Art::Aktualisieren, 22, QColor(0x37, 0x47, 0x4f)));
    Button_LoginAuswahl->setToolTip(QStringLiteral("Gespeicherte Anmeldungen"));
    for (QPushButton* b : {Button_LoginDelete, Button_LoginAuswahl})
        b->setFixedSize(44, 40);
    btn_Einloggen = benannt<QPushButton>("btn_Einloggen", QStringLiteral("Einloggen"));
    btn_Einloggen->setProperty("rolle", QStringLiteral("gruen"));
    btn_Einloggen->setMinimumHeight(40);
    auto* loginZeile = new QHBoxLayout;
    loginZeile->setSpacing(8);
    loginZeile->addWidget(Button_LoginDelete);
    loginZeile->addWidget(Button_LoginAuswahl);
    loginZeile->addWidget(btn_Einloggen, 1);
    links->addSpacing(4);
    links->addLayout(loginZeile);
    Button_NeuLaden = benannt<QPushButton>("Button_NeuLaden", QStringLiteral("Neu laden"));
    btn_Testdaten = benannt<QPushButton>("btn_Testdaten", QStringLiteral("Testdaten"));
    auto* weitere = new QHBoxLayout;
    weitere->setSpacing(8);
    for (QPushButton* b : {Button_NeuLaden, btn_Testdaten}) {
        b->setMinimumHeight(36);
        weitere->addWidget(b, 1);
    }
    links->addLayout(weitere);

    links->addSpacing(10);
    Label39 = titel("Label39", QStringLiteral("Darstellung"));
    links->addWidget(Label39);
    Switch_Vordergrund = benannt<TSwitch>("Switch_Vordergrund", QStringLiteral("Immer im Vordergrund"));
    Switch_Vollbild = benannt<TSwitch>("Switch_Vollbild", QStringLiteral("Immer im Vollbild"));
    Switch_Kalenderansicht = benannt<TSwitch>("Switch_Kalenderansicht", QStringLiteral("Kalenderansicht"));
    links->addWidget(Switch_Vordergrund);
    links->addWidget(Switch_Vollbild);
    links->addWidget(Switch_Kalenderansicht);
    Switch_bildverkleinern = benannt<TSwitch>("Switch_bildverkleinern", QStringLiteral("Bilder verkleinern"), this);
    Switch_bildverkleinern->hide();
    links->addStretch(1);

    // Right column: keys and options
    auto* rechts = new QVBoxLayout;
    rechts->setSpacing(10);
    Label1 = titel("Label1", QStringLiteral("Lumora - Sicherheit"));
    Label15 = hinweis("Label15", QStringLiteral("Bitte die 3 Schlüssel angeben"));
    Edit_Crypto1 = feld("Edit_Crypto1", false, true);
    Edit_Crypto2 = feld("Edit_Crypto2", false, true);
    Edit_Crypto3 = feld("Edit_Crypto3", false, true);
    rechts->addWidget(Label1);
    rechts->addWidget(Label15);
    rechts->addWidget(mitBeschriftung(QStringLiteral("Key 1"), Edit_Crypto1));
    rechts->addWidget(mitBeschriftung(QStringLiteral("Key 2"), Edit_Crypto2));
    rechts->addWidget(mitBeschriftung(QStringLiteral("Key 3"), Edit_Crypto3));
    rechts->addSpacing(10);
    Label44 = hinweis("Label44", QStringLiteral("Auswahllisten"));
    rechts->addWidget(Label44);
    Edit_AuswahlAnzahl = feld("Edit_AuswahlAnzahl", false, true);
    rechts->addWidget(mitBeschriftung(QStringLiteral("Anzahl Einträge"), Edit_AuswahlAnzahl));
    Switch_AuswahlSortNr = benannt<TSwitch>("Switch_AuswahlSortNr", QStringLiteral("Nach Nummer sortieren"));
    Switch_AuswahlSortDESC = benannt<TSwitch>("Switch_AuswahlSortDESC", QStringLiteral("Absteigend sortieren"));
    Switch_Terminal = benannt<TSwitch>("Switch_Terminal", QStringLiteral("Als Terminal verwenden"));
    rechts->addWidget(Switch_AuswahlSortNr);
    rechts->addWidget(Switch_AuswahlSortDESC);
    rechts->addSpacing(10);
    rechts->addWidget(Switch_Terminal);
    Edit_TerminalTimeout = feld("Edit_TerminalTimeout", false, true);
    Edit_TerminalTimeout->setEnabled(false);
    rechts->addWidget(mitBeschriftung(QStringLiteral("Timeout Sekunden"), Edit_TerminalTimeout));
    rechts->addStretch(1);

    spalten->addLayout(links, 1);
    spalten->addLayout(rechts, 1);

    LabelInfoServerupdate = benannt<QLabel>(
        "LabelInfoServerupdate",
        QStringLiteral("Hinweis: Es ist ein Softwareupdate für den Lumora-Server verfügbar. Ihr Systemadministrator "
                       "sollte dies installieren. -  Sie können trotzdem wie gewohnt die Zeiten erfassen."));
    LabelInfoServerupdate->setWordWrap(true);
    LabelInfoServerupdate->setProperty("rolle", QStringLiteral("serverhinweis"));
    LabelInfoServerupdate->setContentsMargins(10, 10, 10, 10);
    LabelInfoServerupdate->hide();
    aussen->addWidget(LabelInfoServerupdate);
}

// The login page's own buttons and the options that store themselves at once.
#include "ui/WindowsMainUnit1.h"

#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/tdm.h"
#include "ui/MessageHelper.h"
#include "ui/TestLogin.h"
#include "ui/pages/TUserSeite.h"
#include "ui/widgets/TSwitch.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
int zahlOder(const QString& text, int standard) {
    bool ok = false;
    const int wert = text.trimmed().toInt(&ok);
    return ok ? wert : standard;
}
} // namespace

void TWindowsForm::verbindeEinstellungen() {
    TUserSeite* u = Layout_User;
    auto speichertBool = [this](TSwitch* s, const QString& key) {
        connect(s, &TSwitch::toggled, this, [key](bool an) { dm->InternalSchreibeBool(key, an); });
    };
    speichertBool(u->Switch_Vordergrund, SettingKey::ImmerVordergrund);
    speichertBool(u->Switch_Vollbild, SettingKey::ImmerVollbild);
    speichertBool(u->Switch_AuswahlSortNr, SettingKey::AuswahlSortNr);
    speichertBool(u->Switch_AuswahlSortDESC, SettingKey::AuswahlSortDESC);
    connect(u->Switch_Kalenderansicht, &TSwitch::toggled, this, [this](bool an) {
        dm->InternalSchreibeBool(SettingKey::Kalenderansicht, an);
        KalenderansichtUmschalten(an);
    });
    connect(u->Switch_bildverkleinern, &TSwitch::toggled, this,
            [](bool an) { dm->InternalSchreibeINT(SettingKey::BilderVerkleinern, an ? 1 : 0); });
    connect(u->Switch_Terminal, &TSwitch::toggled, this, [u](bool an) {
        dm->InternalSchreibeBool(SettingKey::TerminalAktiv, an);
        u->Edit_TerminalTimeout->setEnabled(an);
    });
    connect(u->Edit_AuswahlAnzahl, &QLineEdit::textEdited, this, [](const QString& text) {
        dm->InternalSchreibeINT(SettingKey::AuswahlAnzahl, zahlOder(text, Konstanten::AuswahlZeilen));
    });
    connect(u->Edit_TerminalTimeout, &QLineEdit::textEdited, this,
            [](const QString& text) { dm->InternalSchreibeINT(SettingKey::TerminalTimeOut, zahlOder(text, 10)); });

    connect(u->btn_Testdaten, &QPushButton::clicked, this, &TWindowsForm::btn_TestdatenClick);
    connect(u->Button_NeuLaden, &QPushButton::clicked, this, [this, u] {
        const int mandant =
            dm->GetMandantIDvonPinUndKennwort(zahlOder(u->Edit_FirmaPin->text(), 0), u->Edit_FirmaKennwort->text());
        dm->LastSyncDateSET(TDateTime::encodeDate(2000, 1, 1), mandant);
        dm->UpdateRestart();
        MessageHelper::Hinweis(this, u"Es werden jetzt alle Daten neu geladen."_s);
    });
    connect(u->Button_LoginDelete, &QPushButton::clicked, this, [this, u] {
        MessageHelper::Frage(this, u"Sollen diese Logindaten aus der Mandantenauswahl gelöscht werden?"_s, [u] {
            dm->LoginDatenLoeschen(zahlOder(u->Edit_FirmaPin->text(), 0), u->Edit_userKurz->text());
        });
    });
}

void TWindowsForm::btn_TestdatenClick() {
    MessageHelper::Frage(this, u"Testdaten Eintragen?"_s, [this] {
        TUserSeite* u = Layout_User;
        u->Edit_FirmaPin->setText(TestLogin::FirmaPin);
        u->Edit_FirmaKennwort->setText(TestLogin::FirmaKennwort);
        u->Edit_userKurz->setText(TestLogin::UserKurz);
        u->Edit_userKennwort->setText(TestLogin::UserKennwort);
        for (QLineEdit* e : {u->Edit_Crypto1, u->Edit_Crypto2, u->Edit_Crypto3})
            e->setText(u"0"_s);
    });
}

// The window side of logging in: the start-up check of the stored login, the login
// button's sequence and the start link.
#include "ui/WindowsMainUnit1.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/startlink.h"
#include "core/tdm.h"
#include "ui/MessageHelper.h"
#include "ui/pages/TUserSeite.h"
#include "ui/widgets/TClickLabel.h"
#include "ui/widgets/TListViewUebersicht.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

int zahlOderNull(const QString& text) {
    bool ok = false;
    const int wert = text.trimmed().toInt(&ok);
    return ok ? wert : 0;
}

// The permissions of the logged-in user's group; without a group row the defaults stay.
void LadeGruppenBerechtigungen(int mandantID, int lpeID) {
    fBER_Praesenzzeit = true;
    fBER_Typ = u"11111"_s;
    fBER_Art = u"1111"_s;
    fBER_KS = 2;
    fBER_Fakt = 2;
    fBER_Mitternacht = false;
    fBER_MitternachtStunden = 0;
    fBER_Teamerfassung = false;
    fBER_TeamPraesenzzeit = false;
    fBER_TeamLight = false;

    auto q = dm->GetQueryInstance();
    q->setSQL(
        u" SELECT   Lumora_Gruppen.BER_Praesenzzeit,   Lumora_Gruppen.BER_Typ,   Lumora_Gruppen.BER_Art,   "
        u"Lumora_Gruppen.BER_KS,   Lumora_Gruppen.BER_Fakt,   Lumora_Gruppen.BER_Mitternacht,  "
        u"Lumora_Gruppen.BER_Teamerfassung,  Lumora_Gruppen.BER_TeamPraesenzzeit,  "
        u"Lumora_Gruppen.BER_MitternachtStunden,  Lumora_Gruppen.BER_TeamLight FROM   Lumora_User   INNER "
        u"JOIN Lumora_Gruppen ON (Lumora_User.USR_BER_ID = Lumora_Gruppen.BER_ID)  and (Lumora_User.Mandant_ID "
        u"= Lumora_Gruppen.Mandant_ID)  WHERE   Lumora_User.USR_UserFD = :LPE_ID and Lumora_User.Mandant_ID = "_s +
        QString::number(mandantID));
    q->ParamByName(u"LPE_ID").setAsInteger(lpeID);
    if (!q->Open() || q->Eof())
        return;
    fBER_Praesenzzeit = q->FieldByName(u"BER_Praesenzzeit").AsInteger() != 0;
    fBER_Typ = q->FieldByName(u"BER_Typ").AsString();
    fBER_Art = q->FieldByName(u"BER_Art").AsString();
    fBER_KS = q->FieldByName(u"BER_KS").AsInteger();
    fBER_Fakt = q->FieldByName(u"BER_Fakt").AsInteger();
    fBER_Mitternacht = q->FieldByName(u"BER_Mitternacht").AsInteger() != 0;
    fBER_MitternachtStunden = q->FieldByName(u"BER_MitternachtStunden").AsInteger();
    fBER_Teamerfassung = q->FieldByName(u"BER_Teamerfassung").AsInteger() != 0;
    fBER_TeamPraesenzzeit = q->FieldByName(u"BER_TeamPraesenzzeit").AsInteger() != 0;
    fBER_TeamLight = q->FieldByName(u"BER_TeamLight").AsInteger() != 0;
}

} // namespace

bool TWindowsForm::BenutzerdatenPruefen() {
    FirmaPin = dm->InternalLeseTXT(SettingKey::Firma_PIN, {});
    FirmaKennwort = dm->InternalLeseTXT(SettingKey::Firma_Kennwort, {});
    AngemeldeterUserKurz = dm->InternalLeseTXT(SettingKey::User_Kurz, {});
    UserKennwort = dm->InternalLeseTXT(SettingKey::User_Kennwort, {});
    AngemeldeteLPE_ID = dm->InternalLeseINT(SettingKey::User_LPE_ID, 0);
    FirmaName = dm->InternalLeseTXT(SettingKey::Firma_Name, {});
    UserName = dm->InternalLeseTXT(SettingKey::User_Name, {});

    TUserSeite* u = Layout_User;
    if (!FirmaName.isEmpty())
        u->label_Firmaname->setText(FirmaName);
    if (!UserName.isEmpty())
        u->Label_UserName->setText(UserName);
    u->Edit_FirmaPin->setText(FirmaPin);
    u->Edit_FirmaKennwort->setText(FirmaKennwort);
    u->Edit_userKurz->setText(AngemeldeterUserKurz);
    u->Edit_userKennwort->setText(UserKennwort);
    const int pin = zahlOderNull(FirmaPin);
    u->Edit_Crypto1->setText(QString::number(dm->LoginDatenGibCrypto(pin, AngemeldeterUserKurz, u"Crypto1"_s)));
    u->Edit_Crypto2->setText(QString::number(dm->LoginDatenGibCrypto(pin, AngemeldeterUserKurz, u"Crypto2"_s)));
    u->Edit_Crypto3->setText(QString::number(dm->LoginDatenGibCrypto(pin, AngemeldeterUserKurz, u"Crypto3"_s)));

    const int mandant = dm->GetMandantIDvonPinUndKennwort(pin, FirmaKennwort);
    // Without a remembered login there is no tenant: records made then would belong to none.
    IstAngemeldet = mandant > 0 &&
                    dm->CheckUserKennwortMitMandantIDundUserKurz(mandant, AngemeldeterUserKurz, UserKennwort) &&
                    !FirmaPin.isEmpty() && !FirmaKennwort.isEmpty() && !AngemeldeterUserKurz.isEmpty();

    if (IstAngemeldet) {
        AktuelleLPE_ID = AngemeldeteLPE_ID;
        AktuellerPersonalName = UserName;
        dm->SchreibeUsernamePersonalInLabel(Label_Personal);
        dm->FMandantID = mandant;
        Label_TopInfo->setText(FirmaName + u"   -   "_s + UserName);
        dm->GibLPE_IDvonUser(mandant, AngemeldeterUserKurz, UserKennwort);
        LadeGruppenBerechtigungen(mandant, AngemeldeteLPE_ID);
        ListView_Uebersicht->SetHinweis(u"Für diesen Tag ist noch nichts erfasst."_s);
    } else {
        Label_TopInfo->setText(u"Benutzerdaten bitte angeben..."_s);
        ListView_Uebersicht->SetHinweis(u"Bitte zuerst auf der rechten Seite anmelden."_s);
    }
    return IstAngemeldet;
}

void TWindowsForm::btn_EinloggenClick() {
    TUserSeite* u = Layout_User;
    KalenderZeigen(false);
    dm->PauseAbbrechen();
    StoppeSynchronisation();
    SyncBildZeigen(false);
    QCoreApplication::processEvents();
    dm->DisconnectRemoteDB();

    if (u->Edit_FirmaPin->text().trimmed().isEmpty() || u->Edit_FirmaKennwort->text().isEmpty() ||
        u->Edit_userKurz->text().isEmpty()) {
        MessageHelper::Hinweis(this, u"Bitte alle Felder ausfüllen"_s);
        return;
    }

    u->label_Firmaname->setText(u"Bitte zuerst Anmelden"_s);
    u->Label_UserName->setText(u"Benutzer"_s);
    bool pinOk = false;
    const int pin = u->Edit_FirmaPin->text().trimmed().toInt(&pinOk);
    const int c1 = zahlOderNull(u->Edit_Crypto1->text());
    const int c2 = zahlOderNull(u->Edit_Crypto2->text());
    const int c3 = zahlOderNull(u->Edit_Crypto3->text());
    QString firmaName;
    QString userName;
    int lpe = 0;
    int status = 0;
    int mandant = 0;
    // A PIN that is no number names no company.
    IstAngemeldet = pinOk && dm->CheckUserdatenMitBerechtigungUndStatus(
                                 pin, u->Edit_FirmaKennwort->text(), u->Edit_userKurz->text(),
                                 u->Edit_userKennwort->text(), c1, c2, c3, firmaName, userName, lpe, status, mandant);
    if (!IstAngemeldet) {
        dm->InternalSchreibeBool(SettingKey::User_Anmeldung_OK, false);
        SyncBildZeigen(false);
        MessageHelper::Hinweis(this, u"Die eingegebenen Daten sind nicht korrekt!"_s);
        return;
    }
    AngemeldeteLPE_ID = lpe;

    bool schluesselOk = false;
    if (!firmaName.isEmpty()) {
        u->label_Firmaname->setText(firmaName);
        dm->InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(pin));
        dm->InternalSchreibeTXT(SettingKey::Firma_Kennwort, u->Edit_FirmaKennwort->text());
        dm->InternalSchreibeTXT(SettingKey::Firma_Name, firmaName);
        dm->InternalSchreibeINT(SettingKey::MandantStatus, status);
        dm->LoginDatenSetCrypto(pin, c1, c2, c3);
        schluesselOk = TerminalLoginLaeuft || dm->LoginDatenPruefeCrypto(mandant, c1, c2, c3);
    }
    u->Label_UserName->setText(userName);
    if (!schluesselOk) {
        // The keys do not fit: nothing may synchronise with this login.
        IstAngemeldet = false;
        dm->InternalSchreibeBool(SettingKey::User_Anmeldung_OK, false);
        SyncBildZeigen(false);
        MessageHelper::Hinweis(this, u"Daten waren unvollständig oder nicht korrekt"_s);
        return;
    }

    AktuelleLPE_ID = AngemeldeteLPE_ID;
    AktuellerPersonalName = userName;
    dm->SchreibeUsernamePersonalInLabel(Label_Personal);
    Layout_TeamUebersichtFuer->setVisible(fBER_Teamerfassung);
    dm->TeamLoescheAktiveTeamLPEs();
    dm->InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(pin));
    dm->InternalSchreibeTXT(SettingKey::Firma_Kennwort, u->Edit_FirmaKennwort->text());
    dm->InternalSchreibeTXT(SettingKey::User_Kurz, u->Edit_userKurz->text());
    dm->InternalSchreibeTXT(SettingKey::User_Kennwort, u->Edit_userKennwort->text());
    dm->InternalSchreibeINT(SettingKey::User_LPE_ID, AngemeldeteLPE_ID);
    dm->InternalSchreibeTXT(SettingKey::Firma_Name, firmaName);
    dm->InternalSchreibeTXT(SettingKey::User_Name, userName);
    dm->InternalSchreibeBool(SettingKey::User_Anmeldung_OK, true);
    dm->InternalSchreibeINT(SettingKey::Mandant_ID, mandant);
    dm->InternalSchreibeTXT(SettingKey::Firma_Pin_Kennwort_bisher,
                            dm->InternalLeseTXT(SettingKey::Firma_PIN, {}) +
                                dm->InternalLeseTXT(SettingKey::Firma_Kennwort, {}));

    BenutzerdatenPruefen();
    dm->MitternachtsStempelung();
    if (AnzeigeDatum.datePart() != Clock::today()) {
        AnzeigeDatum = Clock::now();
        ZeigeDatumOben();
    }
    StarteUpdatePruefung(true);
    ZeigeSeite(SeiteErfassung, false);
    UebersichtErlaubt = true;
    ZeigeTagesUebersicht(true, true);
}

void TWindowsForm::LoginLinkVerarbeiten(const QString& argument) {
    const std::optional<TStartLink> link = StartLinkAusArgument(argument);
    if (!link)
        return;
    const bool gespeichert = dm->StartLinkIstGespeichert(*link);
    StoppeSynchronisation();
    if (!gespeichert) {
        TUserSeite* u = Layout_User;
        u->Edit_FirmaPin->setText(QString::number(link->FirmaPin));
        u->Edit_FirmaKennwort->setText(link->FirmaPW);
        u->Edit_userKurz->setText(link->UserKurz);
        u->Edit_userKennwort->setText(link->UserPW);
        u->Edit_Crypto1->setText(QString::number(link->Crypto1));
        u->Edit_Crypto2->setText(QString::number(link->Crypto2));
        u->Edit_Crypto3->setText(QString::number(link->Crypto3));
        btn_EinloggenClick();
        return;
    }
    const bool gleicherMandant = dm->StartLinkLoginUebernehmen(*link);
    FirmaName = dm->InternalLeseTXT(SettingKey::Firma_Name, {});
    UserName = dm->InternalLeseTXT(SettingKey::User_Name, {});
    if (!BenutzerdatenPruefen()) {
        ZeigeSeite(SeiteUser, true);
        return;
    }
    if (gleicherMandant)
        StarteUpdatePruefung(false);
    else
        btn_EinloggenClick();
}

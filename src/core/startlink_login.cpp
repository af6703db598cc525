// What the central module does with a start link whose login is already remembered: the window
// only decides which check and which page follow.

#include "settingskeys.h"
#include "startlink.h"
#include "tdm.h"

bool Tdm::StartLinkIstGespeichert(const TStartLink& link) {
    auto query = GetQueryInstance();
    query->setSQL(u"select * from  MandantenLogIn  where  FirmaPin =:FirmaPin and FirmaPW = :FirmaPW and  UserKurz "
                  u"=:UserKurz and  UserPW = :UserPW ");
    query->ParamByName(u"FirmaPin").setAsInteger(link.FirmaPin);
    query->ParamByName(u"FirmaPW").setAsString(link.FirmaPW);
    query->ParamByName(u"UserKurz").setAsString(link.UserKurz);
    query->ParamByName(u"UserPW").setAsString(link.UserPW);
    return query->Open() && !query->Eof();
}

bool Tdm::StartLinkLoginUebernehmen(const TStartLink& link) {
    LoginDatenSetCrypto(link.FirmaPin, link.Crypto1, link.Crypto2, link.Crypto3);
    InternalSchreibeTXT(SettingKey::Firma_PIN, QString::number(link.FirmaPin));
    InternalSchreibeTXT(SettingKey::Firma_Kennwort, link.FirmaPW);
    InternalSchreibeTXT(SettingKey::User_Kurz, link.UserKurz);
    InternalSchreibeTXT(SettingKey::User_Kennwort, link.UserPW);
    const int mandantID = LoginDatenGibMandantID(link.FirmaPin, link.UserKurz);
    InternalSchreibeINT(SettingKey::User_LPE_ID, GibLPE_IDvonUser(mandantID, link.UserKurz, link.UserPW));
    return mandantID == InternalLeseINT(SettingKey::Mandant_ID, 0);
}

// The login operations of Tdm: remembered logins in MandantenLogIn, the login check against
// the device and the tenant's server, and the test of a tenant's key triple.

#include "LoginStammdaten.h"
#include "globals.h"
#include "scrambling.h"
#include "settingskeys.h"
#include "tdm.h"

#include "sync/RemoteDB.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kTenantThatNeverUploads = 4;

void bindLogin(TSqlQuery& query, int firmaPin, const QString& userKurz) {
    query.ParamByName(u"FirmaPin").setAsInteger(firmaPin);
    query.ParamByName(u"UserKurz").setAsString(userKurz);
}

// The active server tenant of a company login: its id, 0 when there is none, nothing when the read failed.
std::optional<int> aktiverServerMandant(Tdm& dm, int pin, const QString& kennwort) {
    auto tenant = dm.GetXDatasetInstance();
    tenant->setSQL(u"SELECT   Mandant_ID  FROM    Mandant  WHERE  (Mandant_PIN = :Mandant_PIN ) AND "
                   u"(Mandant_Kennwort = :Mandant_Kennwort) and (Mandant_inaktiv = 0)");
    tenant->ParamByName(u"Mandant_PIN").setAsInteger(pin);
    tenant->ParamByName(u"Mandant_Kennwort").setAsString(kennwort);
    if (!tenant->Open())
        return std::nullopt;
    return tenant->Eof() ? 0 : tenant->FieldByName(u"Mandant_ID").AsInteger();
}

} // namespace

bool Tdm::CheckUserdatenMitBerechtigungUndStatus(int MandantPIN, const QString& MandantKennwort,
                                                 const QString& UserKurz, const QString& userKennwort, int Crypto1,
                                                 int Crypto2, int Crypto3, QString& FirmaName, QString& UserName,
                                                 int& LPEID, int& Status, int& MandantID) {
    FirmaName.clear();
    UserName.clear();

    // The remote connection serves the login being checked; a failed check gives it back.
    TRemoteDBDatabase& remote = RemoteDBDatabase1();
    const int bisherPin = remote.tenantPin();
    const QString bisherKennwort = remote.tenantPassword();
    SetRemoteTenant(MandantPIN, MandantKennwort);

    {
        auto stored = GetQueryInstance();
        stored->setSQL(u" select * from MandantenLogIn  where Firmapin = :Firmapin and FirmaPW = :FirmaPW    AND "
                       u"UserKurz = :UserKurz and UserPW = :UserPW ");
        stored->ParamByName(u"Firmapin").setAsInteger(MandantPIN);
        stored->ParamByName(u"FirmaPW").setAsString(MandantKennwort);
        stored->ParamByName(u"UserKurz").setAsString(UserKurz);
        stored->ParamByName(u"UserPW").setAsString(userKennwort);
        if (stored->Open() && !stored->Eof()) {
            MandantID = stored->FieldByName(u"MandantID").AsInteger();
            FMandantID = MandantID;
            FirmaName = stored->FieldByName(u"FirmaName").AsString();
            UserName = stored->FieldByName(u"UserName").AsString();
            Status = MandantID == kTenantThatNeverUploads ? 2 : 0;
            stored->Close();

            auto user = GetQueryInstance();
            user->setSQL(u" SELECT     USR_UserFD   FROM  Lumora_User  WHERE        (Mandant_ID = :Mandant_ID) AND "
                         u"(USR_Kurz = :LPE_Kuerzel) AND (USR_UserPW = :LPE_Kennwort)");
            user->ParamByName(u"Mandant_ID").setAsInteger(MandantID);
            user->ParamByName(u"LPE_Kuerzel").setAsString(UserKurz);
            user->ParamByName(u"LPE_Kennwort").setAsString(userKennwort);
            if (user->Open() && !user->Eof())
                LPEID = user->FieldByName(u"USR_UserFD").AsInteger();
            return true;
        }
    }

    bool result = false;
    if (ConnectRemoteDB()) {
        MandantID = 0;
        FMandantID = 0;
        const TVerschluesseln keys(Crypto1, Crypto2, Crypto3);

        const int tenantId = aktiverServerMandant(*this, MandantPIN, MandantKennwort).value_or(0);
        if (tenantId < 1) {
            InternalSchreibeINT(SettingKey::Mandant_ID, tenantId);
        } else {
            result = [&] {
                MandantID = tenantId;
                auto info = GetXDatasetInstance();
                info->setSQL(u" select Mandant_Firma m, Mandant_Status s, Mandant_PlanungAktiv mon, "
                             u"Mandant_ServerVersion  from mandant  where mandant_ID = :ID");
                info->ParamByName(u"ID").setAsInteger(tenantId);
                if (!info->Open())
                    return false;
                int planungAktiv = 0;
                if (!info->Eof()) {
                    FirmaName = info->FieldByName(u"m").AsString();
                    Status = info->FieldByName(u"s").AsInteger();
                    planungAktiv = info->FieldByName(u"mon").AsInteger();
                    InternalSchreibeINT(SettingKey::ServerVersion,
                                        info->FieldByName(u"Mandant_ServerVersion").AsInteger());
                }

                // The server compares the scrambled texts, so a wrong triple finds no user.
                auto user = GetXDatasetInstance();
                user->setSQL(u" SELECT        USR_UserName AS S, USR_UserFD AS I     FROM            Lumora_User  "
                             u"WHERE        (Mandant_ID = :Mandant_ID) AND (USR_Kurz = :LPE_Kuerzel) AND "
                             u"(USR_UserPW = :LPE_Kennwort) AND FlagGeloescht = 0");
                user->ParamByName(u"Mandant_ID").setAsInteger(tenantId);
                user->ParamByName(u"LPE_Kuerzel").setAsString(Scrambling::Verschluesseln(keys, UserKurz));
                user->ParamByName(u"LPE_Kennwort").setAsString(Scrambling::Verschluesseln(keys, userKennwort));
                if (!user->Open() || user->Eof())
                    return false;
                UserName = Scrambling::Entschluesseln(keys, user->FieldByName(u"S").AsString());
                LPEID = user->FieldByName(u"I").AsInteger();

                InternalSchreibeINT(SettingKey::SYNCVERSION, 0);
                InternalSchreibeINT(SettingKey::PlanungAktiv, planungAktiv);
                InternalSchreibeINT(SettingKey::SyncVersionPlanung, 0);
                if (!KopiereLoginStammdaten(*this, tenantId, keys))
                    return false;
                LoginDatenSpeichern(MandantPIN, MandantKennwort, UserKurz, userKennwort, FirmaName, UserName, tenantId);
                return true;
            }();
        }
    }
    if (!result)
        SetRemoteTenant(bisherPin, bisherKennwort);
    return result;
}

bool Tdm::CheckUserKennwortMitMandantIDundUserKurz(int MandantID, const QString& UserKurz, const QString& UserPW) {
    auto query = GetQueryInstance();
    query->setSQL(u" select USR_UserPW from Lumora_User  where Mandant_ID = :mID and USR_Kurz = :kurz  limit 1");
    query->ParamByName(u"mID").setAsInteger(MandantID);
    query->ParamByName(u"kurz").setAsString(UserKurz);
    if (!query->Open() || query->Eof())
        return true;
    return query->FieldByName(u"USR_UserPW").AsString() == UserPW;
}

int Tdm::GetMandantIDvonPinUndKennwort(int Pin, const QString& Kennwort) {
    auto query = GetQueryInstance();
    query->setSQL(u" select MandantID from Mandantenlogin  where FirmaPin = :pin and FirmaPW = :PW  limit 1");
    query->ParamByName(u"pin").setAsInteger(Pin);
    query->ParamByName(u"PW").setAsString(Kennwort);
    return query->Open() && !query->Eof() ? query->FieldByName(u"MandantID").AsInteger() : 0;
}

int Tdm::GetMandantIDvonUserdaten() {
    bool isNumber = false;
    const int pin = InternalLeseTXT(SettingKey::Firma_PIN, QString()).toInt(&isNumber);
    if (!isNumber)
        return 0;
    const QString kennwort = InternalLeseTXT(SettingKey::Firma_Kennwort, QString());
    SetRemoteTenant(pin, kennwort);
    if (!ConnectRemoteDB())
        return FMandantID;
    // A failing read tells nothing about the tenant: keep the one the client has.
    return aktiverServerMandant(*this, pin, kennwort).value_or(FMandantID);
}

int Tdm::GibLPE_IDvonUser(int MandantID, const QString& UserKurz, const QString& UserPW) {
    auto query = GetQueryInstance();
    query->setSQL(u" SELECT   USR_UserFD, USR_UserID  FROM            Lumora_User  where Mandant_ID = :mid and  "
                  u"USR_Kurz = :usr and USR_UserPW = :usrpw");
    query->ParamByName(u"mid").setAsInteger(MandantID);
    query->ParamByName(u"usr").setAsString(UserKurz);
    query->ParamByName(u"usrpw").setAsString(UserPW);
    if (!query->Open() || query->Eof())
        return 0;
    AngemeldeteUserID = query->FieldByName(u"USR_UserID").AsInteger();
    return query->FieldByName(u"USR_UserFD").AsInteger();
}

bool Tdm::LoginDatenSpeichern(int FirmaPin, const QString& FirmaPW, const QString& UserKurz, const QString& UserPW,
                              const QString& FirmaName, const QString& UserName, int MandantID) {
    QString syncTimeStamp, lastSyncDate;
    {
        auto known = GetQueryInstance();
        known->setSQL(u" select Crypto1, Crypto2, Crypto3, SyncTimeStamp, LastSyncDate from MandantenLogIn  where "
                      u"MandantID = :MandantID ");
        known->ParamByName(u"MandantID").setAsInteger(MandantID);
        if (known->Open() && !known->Eof()) {
            syncTimeStamp = known->FieldByName(u"SyncTimeStamp").AsString();
            lastSyncDate = known->FieldByName(u"LastSyncDate").AsString();
        }
    }
    auto query = GetQueryInstance();
    query->setSQL(u" INSERT OR REPLACE INTO MandantenLogIn  (FirmaPin, FirmaPW, UserKurz, UserPW, FirmaName, "
                  u"UserName,  MandantID, SyncTimeStamp, LastSyncDate)  VALUES  (:FirmaPin, :FirmaPW, :UserKurz, "
                  u":UserPW, :FirmaName, :UserName, :MandantID, :SyncTimeStamp, :LastSyncDate) ");
    bindLogin(*query, FirmaPin, UserKurz);
    query->ParamByName(u"FirmaPW").setAsString(FirmaPW);
    query->ParamByName(u"UserPW").setAsString(UserPW);
    query->ParamByName(u"FirmaName").setAsString(FirmaName);
    query->ParamByName(u"UserName").setAsString(UserName);
    query->ParamByName(u"MandantID").setAsInteger(MandantID);
    query->ParamByName(u"SyncTimeStamp").setAsString(syncTimeStamp);
    query->ParamByName(u"LastSyncDate").setAsString(lastSyncDate);
    return query->ExecSQL();
}

bool Tdm::LoginDatenLoeschen(int FirmaPin, const QString& UserKurz) {
    auto query = GetQueryInstance();
    query->setSQL(u" delete from MandantenLogIn  where  FirmaPin = :FirmaPin and  UserKurz = :UserKurz ");
    bindLogin(*query, FirmaPin, UserKurz);
    return query->ExecSQL();
}

QString Tdm::LoginDatenGibFirmaPW(int FirmaPin, const QString& UserKurz) {
    auto query = GetQueryInstance();
    query->setSQL(u" select FirmaPW from MandantenLogIn  where  FirmaPin = :FirmaPin and  UserKurz = :UserKurz ");
    bindLogin(*query, FirmaPin, UserKurz);
    return query->Open() && !query->Eof() ? query->FieldByName(u"FirmaPW").AsString() : QString();
}

QString Tdm::LoginDatenGibUserPW(int FirmaPin, const QString& UserKurz) {
    auto query = GetQueryInstance();
    query->setSQL(u" select UserPW from MandantenLogIn  where  FirmaPin = :FirmaPin and  UserKurz = :UserKurz ");
    bindLogin(*query, FirmaPin, UserKurz);
    return query->Open() && !query->Eof() ? query->FieldByName(u"UserPW").AsString() : QString();
}

int Tdm::LoginDatenGibMandantID(int FirmaPin, const QString& UserKurz) {
    auto query = GetQueryInstance();
    query->setSQL(u" select MandantID from MandantenLogIn  where  FirmaPin = :FirmaPin and  UserKurz = :UserKurz ");
    bindLogin(*query, FirmaPin, UserKurz);
    return query->Open() && !query->Eof() ? query->FieldByName(u"MandantID").AsInteger() : 0;
}

int Tdm::LoginDatenGibCrypto(int FirmaPin, const QString& UserKurz, const QString& Feldname) {
    // The column name goes into the statement text, so only the three key columns are accepted.
    static const QStringList keyColumns = {u"Crypto1"_s, u"Crypto2"_s, u"Crypto3"_s};
    if (!keyColumns.contains(Feldname, Qt::CaseInsensitive))
        return 0;
    auto query = GetQueryInstance();
    query->setSQL(u" select "_s + Feldname + u" from MandantenLogIn "_s +
                  u" where  FirmaPin = :FirmaPin and  UserKurz = :UserKurz "_s);
    bindLogin(*query, FirmaPin, UserKurz);
    return query->Open() && !query->Eof() ? query->Fields(0).AsInteger() : 0;
}

bool Tdm::LoginDatenSetCrypto(int FirmaPin, int Crypto1, int Crypto2, int Crypto3) {
    auto query = GetQueryInstance();
    query->setSQL(u" update MandantenLogIn  SET Crypto1 = :Crypto1, Crypto2 = :Crypto2, Crypto3 = :Crypto3  where  "
                  u"FirmaPin = :FirmaPin ");
    query->ParamByName(u"Crypto1").setAsInteger(Crypto1);
    query->ParamByName(u"Crypto2").setAsInteger(Crypto2);
    query->ParamByName(u"Crypto3").setAsInteger(Crypto3);
    query->ParamByName(u"FirmaPin").setAsInteger(FirmaPin);
    return query->ExecSQL();
}

bool Tdm::LoginDatenPruefeCrypto(int MandantID, int Crypto1, int Crypto2, int Crypto3) {
    QString name = InternalLeseTXT(SettingKey::Firma_Name, QString()).trimmed();
    if (!ConnectRemoteDB())
        return true;
    auto tenant = GetXDatasetInstance();
    tenant->setSQL(u" select Mandant_Firma, Mandant_CryptoCheck from Mandant  where Mandant_ID = :Mandant_ID ");
    tenant->ParamByName(u"Mandant_ID").setAsInteger(MandantID);
    // A failing read is a server that cannot be asked, not a wrong triple.
    if (!tenant->Open())
        return true;
    QString pruefText;
    if (!tenant->Eof()) {
        const QString firma = tenant->FieldByName(u"Mandant_Firma").AsString().trimmed();
        if (firma != name) {
            InternalSchreibeTXT(SettingKey::Firma_Name, firma);
            auto rename = GetQueryInstance();
            rename->setSQL(u" update MandantenLogIn  set FirmaName  = :firma where MandantID = :mID ");
            rename->ParamByName(u"firma").setAsString(firma);
            rename->ParamByName(u"mID").setAsInteger(MandantID);
            rename->ExecSQL();
            name = firma;
        }
        pruefText = tenant->FieldByName(u"Mandant_CryptoCheck").AsString().trimmed();
    }
    const TVerschluesseln keys(Crypto1, Crypto2, Crypto3);
    if (pruefText != name)
        return Scrambling::Entschluesseln(keys, pruefText) == name;
    return keys.GetSummeKeyValues() == 0;
}

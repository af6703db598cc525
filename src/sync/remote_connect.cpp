#include "RemoteDB.h"

#include "core/settingskeys.h"
#include "core/tdm.h"

// ---- Tdm: the main thread's remote connection ----

TRemoteDBDatabase& Tdm::RemoteDBDatabase1() {
    if (!FRemoteDBDatabase1)
        FRemoteDBDatabase1 = std::make_shared<TRemoteDBDatabase>();
    return *FRemoteDBDatabase1;
}

bool Tdm::ConnectRemoteDB() {
    TRemoteDBDatabase& database = RemoteDBDatabase1();
    // Without a login being checked the connection serves the stored one.
    if (database.tenantPin() == 0 && database.tenantPassword().isEmpty())
        database.setTenant(InternalLeseTXT(SettingKey::Firma_PIN, QString()).trimmed().toInt(),
                           InternalLeseTXT(SettingKey::Firma_Kennwort, QString()));
    return ::ConnectRemoteDB(database);
}

void Tdm::DisconnectRemoteDB() {
    if (FRemoteDBDatabase1)
        FRemoteDBDatabase1->setConnected(false);
}

void Tdm::SetRemoteTenant(int pin, const QString& password) {
    RemoteDBDatabase1().setTenant(pin, password);
}

std::unique_ptr<TXDataset> Tdm::GetXDatasetInstance() {
    return std::make_unique<TXDataset>(&RemoteDBDatabase1());
}

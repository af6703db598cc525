#include "RemoteDB.h"

#include "core/settingskeys.h"
#include "core/tdm.h"

#include <QtGlobal>

namespace {

const QString PrimaryPath = QStringLiteral("/lumora/remotedb/Version3b/");
const QString FallbackPath = QStringLiteral("/lumora/remotedb/Version3a/");

QString setting(const char* name, const QString& standard) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? standard : value;
}

QString endpointBase() {
    const QString scheme = setting("LUMORA_REMOTEDB_SCHEME", QStringLiteral("https"));
    const QString host = setting("LUMORA_REMOTEDB_HOST", QStringLiteral("remotedb.lumora-zeit.de"));
    const QString port = setting("LUMORA_REMOTEDB_PORT", QStringLiteral("443"));
    return scheme + QStringLiteral("://") + host + QLatin1Char(':') + port;
}

// Tries one endpoint; a failed attempt leaves the connection disconnected.
bool connectTo(TRemoteDBDatabase& database, const QString& uri) {
    database.setServerUri(uri);
    database.setUserName(setting("LUMORA_REMOTEDB_USER", QStringLiteral("[8D2A41C6-5E0B-4F1D-9A63-2C7B5E8F0A14]")));
    database.setPassword(
        setting("LUMORA_REMOTEDB_PASSWORD", QStringLiteral("[F3B9C07E-61A4-4D28-B5E2-9C0D7A3F6B81]")));
    database.setCaFile(qEnvironmentVariable("LUMORA_REMOTEDB_CA"));
    return database.setConnected(true);
}

} // namespace

QString remoteDBPrimaryUri() { return endpointBase() + PrimaryPath; }

QString remoteDBFallbackUri() { return endpointBase() + FallbackPath; }

bool ConnectRemoteDB(TRemoteDBDatabase& database) {
    if (database.Connected())
        return true;
    return connectTo(database, remoteDBPrimaryUri()) || connectTo(database, remoteDBFallbackUri());
}

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

void Tdm::SetRemoteTenant(int pin, const QString& password) { RemoteDBDatabase1().setTenant(pin, password); }

std::unique_ptr<TXDataset> Tdm::GetXDatasetInstance() { return std::make_unique<TXDataset>(&RemoteDBDatabase1()); }

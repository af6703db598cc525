#include "RemoteDB.h"

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
    database.setPassword(setting("LUMORA_REMOTEDB_PASSWORD", QStringLiteral("[F3B9C07E-61A4-4D28-B5E2-9C0D7A3F6B81]")));
    database.setCaFile(qEnvironmentVariable("LUMORA_REMOTEDB_CA"));
    return database.setConnected(true);
}

} // namespace

QString remoteDBPrimaryUri() {
    return endpointBase() + PrimaryPath;
}

QString remoteDBFallbackUri() {
    return endpointBase() + FallbackPath;
}

bool ConnectRemoteDB(TRemoteDBDatabase& database) {
    if (database.Connected())
        return true;
    return connectTo(database, remoteDBPrimaryUri()) || connectTo(database, remoteDBFallbackUri());
}

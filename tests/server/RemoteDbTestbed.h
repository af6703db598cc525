#pragma once

#include "fixtures/PgCluster.h"
#include "fixtures/RemoteDbService.h"

#include <QByteArray>
#include <QString>

// The cluster and the service of the server suites, with two tenants:
// tenant 1 (PIN 4711, "Geheim-1") and tenant 2 (PIN 4712, "Geheim-2").
struct RemoteDbTestbed {
    PgCluster cluster;
    RemoteDbService service{cluster};

    static constexpr int Tenant1 = 1;
    static constexpr int Pin1 = 4711;
    static constexpr int Tenant2 = 2;
    static constexpr int Pin2 = 4712;
    static QString password1() { return QStringLiteral("Geheim-1"); }
    static QString password2() { return QStringLiteral("Geheim-2"); }

    // Starts everything; false with the reason in error.
    bool setUp(QString& error);
};

// One raw request to the service, for answers the client would never provoke.
struct RawAnswer {
    long httpStatus = 0;
    QByteArray body;
    QString transportError;
};
RawAnswer rawRequest(const RemoteDbService& service, const QByteArray& path, const QByteArray* postBody,
                     bool withCredentials = true);

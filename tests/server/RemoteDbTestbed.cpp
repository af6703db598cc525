#include "RemoteDbTestbed.h"

#include <curl/curl.h>

bool RemoteDbTestbed::setUp(QString& error) {
    if (!cluster.start()) {
        error = cluster.error();
        return false;
    }
    if (!service.initSchema()) {
        error = service.error();
        return false;
    }
    const auto tenant = [this](int id, int pin, const QString& password, const QString& company) {
        return service.admin({QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(id),
                              QStringLiteral("--pin"), QString::number(pin), QStringLiteral("--password"), password,
                              QStringLiteral("--company"), company, QStringLiteral("--crypto"),
                              QStringLiteral("0,0,0")});
    };
    if (!tenant(Tenant1, Pin1, password1(), QStringLiteral("Muster Bau GmbH")) ||
        !tenant(Tenant2, Pin2, password2(), QStringLiteral("Beispiel Holz AG"))) {
        error = service.error();
        return false;
    }
    if (!service.start()) {
        error = service.error();
        return false;
    }
    service.configureClient();
    return true;
}

namespace {
size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}
} // namespace

RawAnswer rawRequest(const RemoteDbService& service, const QByteArray& path, const QByteArray* postBody,
                     bool withCredentials) {
    RawAnswer answer;
    CURL* h = curl_easy_init();
    const QByteArray url = service.origin().toUtf8() + path;
    const QByteArray ca = service.caFile().toUtf8();
    const QByteArray user = service.serviceUser().toUtf8();
    const QByteArray password = service.servicePassword().toUtf8();
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, 60000L);
    if (withCredentials) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    }
    if (postBody) {
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, postBody->constData());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postBody->size()));
    }
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer.body);
    const CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK)
        answer.transportError = QString::fromUtf8(curl_easy_strerror(rc));
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.httpStatus);
    curl_slist_free_all(headers);
    curl_easy_cleanup(h);
    return answer;
}

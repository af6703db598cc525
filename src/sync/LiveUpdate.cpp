#include "LiveUpdate.h"

#include "core/tdm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace {

constexpr long VerbindenTimeoutMSecs = 10000;
constexpr long AntwortTimeoutMSecs = 30000;

size_t sammle(char* data, size_t size, size_t count, void* userdata) {
    static_cast<QByteArray*>(userdata)->append(data, qsizetype(size * count));
    return size * count;
}

// The folder "Lumora" of the user's application data, made when missing.
QString lumoraOrdner() {
    QString basis = qEnvironmentVariable("APPDATA");
    if (basis.isEmpty())
        basis = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString ordner = QDir(basis).filePath(QStringLiteral("Lumora"));
    QDir().mkpath(ordner);
    return ordner;
}

bool holeInfoDatei(const QString& host, QByteArray& inhalt) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return false;
    const QByteArray url =
        (QStringLiteral("http://") + host + QStringLiteral("/update/LumoraWindowsClient/LumoraWinClientUpdate.INF"))
            .toUtf8();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &sammle);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &inhalt);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, VerbindenTimeoutMSecs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, AntwortTimeoutMSecs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 3L);
    if (curl_easy_perform(c) != CURLE_OK)
        return false;
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    return status == 200;
}

} // namespace

namespace LiveUpdate {

QString NeueVersionLaden() {
    const QString host = qEnvironmentVariable("LUMORA_UPDATE_HOST").trimmed();
    if (host.isEmpty())
        return KeineVersion;
    QString neueVersion = KeineVersion;
    const QString temp = QDir(lumoraOrdner()).filePath(QStringLiteral("LumoraTemp.txt"));
    QByteArray inhalt;
    if (holeInfoDatei(host, inhalt)) {
        QFile datei(temp);
        if (datei.open(QIODevice::WriteOnly | QIODevice::Truncate) && datei.write(inhalt) == inhalt.size()) {
            datei.close();
            const QSettings ini(temp, QSettings::IniFormat);
            neueVersion = ini.value(QStringLiteral("file1/newversion"), KeineVersion).toString().trimmed();
            if (neueVersion.isEmpty())
                neueVersion = KeineVersion;
        }
    }
    QFile::remove(temp);
    return neueVersion;
}

QString LaufendeVersion() {
    return QStringLiteral(LUMORA_VERSION_TEXT);
}

bool IstNeuer(const QString& neueVersion, const QString& laufendeVersion) {
    // The numbers compare only with as many parts on both sides: "1.0.0" and "1.0.0.0" are one version.
    const qsizetype teile = std::max(neueVersion.count(u'.'), laufendeVersion.count(u'.')) + 1;
    const auto aufgefuellt = [teile](const QString& v) {
        return v.trimmed() + QStringLiteral(".0").repeated(teile - 1 - v.count(u'.'));
    };
    bool neuOk = false;
    bool laufendOk = false;
    const qint64 neu = Tdm::GibVersionsinfoAlsZahl(aufgefuellt(neueVersion), &neuOk);
    const qint64 laufend = Tdm::GibVersionsinfoAlsZahl(aufgefuellt(laufendeVersion), &laufendOk);
    return neuOk && laufendOk && laufend < neu;
}

bool UpdateVerfuegbar() {
    const QString neu = NeueVersionLaden();
    return neu != KeineVersion && IstNeuer(neu, LaufendeVersion());
}

QString ProgrammPfad() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("LumoraLiveUpdate.exe"));
}

} // namespace LiveUpdate

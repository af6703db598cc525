#include "FtpClient.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace {

QString umgebung(const char* name, const QString& standard)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? standard : v;
}

struct TQuelle {
    QFile* file;
    const TFtpClient::Fortschritt* fortschritt;
};

size_t leseAusDatei(char* buffer, size_t size, size_t count, void* userdata)
{
    auto* quelle = static_cast<TQuelle*>(userdata);
    QFile* file = quelle->file;
    const bool beginn = file->pos() == 0;
    if (beginn && *quelle->fortschritt)
        (*quelle->fortschritt)(0, file->size());
    const qint64 n = file->read(buffer, qint64(size * count));
    if (n < 0)
        return CURL_READFUNC_ABORT;
    if (n > 0 && *quelle->fortschritt)
        (*quelle->fortschritt)(file->pos(), file->size());
    return size_t(n);
}

// Small blocks, so that progress is reported often enough to be seen.
constexpr long UploadBlockBytes = 16384;

} // namespace

bool TFtpClient::istSichererName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
}

TFtpClient::TFtpClient()
    : m_host(umgebung("LUMORA_FTP_HOST", QStringLiteral("ftp.lumora-zeit.de"))),
      m_port(umgebung("LUMORA_FTP_PORT", QStringLiteral("21"))),
      m_user(umgebung("LUMORA_FTP_USER", QStringLiteral("fotos@lumora-zeit.de"))),
      m_password(umgebung("LUMORA_FTP_PASSWORD", QStringLiteral("Lm7#pQ2vX9tR4wZ8k")))
{
}

TFtpClient::Ergebnis TFtpClient::hochladen(const QString& ordner, const QString& dateiPfad)
{
    return uebertrage(ordner, dateiPfad, true);
}

TFtpClient::Ergebnis TFtpClient::hochladenOhneOrdnerAnlegen(const QString& ordner, const QString& dateiPfad)
{
    const Ergebnis ergebnis = uebertrage(ordner, dateiPfad, false);
    if (ergebnis != Ergebnis::OrdnerNichtAnlegbar)
        return ergebnis;
    return uebertrage(QString(), dateiPfad, false);
}

TFtpClient::Ergebnis TFtpClient::uebertrage(const QString& ordner, const QString& dateiPfad, bool ordnerAnlegen)
{
    if (!istSichererName(QFileInfo(dateiPfad).fileName()) || (!ordner.isEmpty() && !istSichererName(ordner))) {
        m_error = QStringLiteral("Unzulässiger Name auf dem FTP-Server: ") + ordner + u'/' +
                  QFileInfo(dateiPfad).fileName();
        return Ergebnis::NameUnzulaessig;
    }
    QFile file(dateiPfad);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return Ergebnis::UebertragungFehlerhaft;
    }
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        m_error = QStringLiteral("FTP nicht verfügbar");
        return Ergebnis::KeineVerbindung;
    }
    const QString ordnerTeil = ordner.isEmpty() ? QString() : QString::fromLatin1(QUrl::toPercentEncoding(ordner)) + u'/';
    const QByteArray url = (QStringLiteral("ftp://") + m_host + u':' + m_port + u'/' + ordnerTeil +
                            QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(dateiPfad).fileName())))
                               .toUtf8();
    const QByteArray user = m_user.toUtf8();
    const QByteArray password = m_password.toUtf8();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &leseAusDatei);
    TQuelle quelle{&file, &m_fortschritt};
    curl_easy_setopt(c, CURLOPT_READDATA, &quelle);
    curl_easy_setopt(c, CURLOPT_UPLOAD_BUFFERSIZE, UploadBlockBytes);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(c, CURLOPT_IPRESOLVE, CURL_IPRESOLVE_V4);
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 0L); // plain passive mode
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    curl_easy_setopt(c, CURLOPT_FTP_CREATE_MISSING_DIRS,
                     ordnerAnlegen ? long(CURLFTP_CREATE_DIR_RETRY) : long(CURLFTP_CREATE_DIR_NONE));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, 15000L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, LeseTimeoutMSecs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    const CURLcode rc = curl_easy_perform(c);
    if (rc == CURLE_OK) {
        m_error.clear();
        return Ergebnis::Ok;
    }
    m_error = QString::fromUtf8(curl_easy_strerror(rc));
    switch (rc) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_LOGIN_DENIED:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_WEIRD_SERVER_REPLY:
        return Ergebnis::KeineVerbindung;
    case CURLE_REMOTE_ACCESS_DENIED:
        return Ergebnis::OrdnerNichtAnlegbar;
    default:
        return Ergebnis::UebertragungFehlerhaft;
    }
}

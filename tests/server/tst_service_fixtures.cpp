// The fixtures other suites build on: they start on free ports, serve what they promise,
// and fail with a clear message when a binary is missing.
#include "fixtures/PgCluster.h"
#include "fixtures/PythonServers.h"

#include <QFile>
#include <QtTest>

#include <curl/curl.h>

namespace {

size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}

struct Upload {
    const QByteArray* data;
    qsizetype offset = 0;
};

size_t supply(char* buffer, size_t size, size_t count, void* source) {
    auto* upload = static_cast<Upload*>(source);
    const qsizetype n = std::min(qsizetype(size * count), upload->data->size() - upload->offset);
    memcpy(buffer, upload->data->constData() + upload->offset, size_t(n));
    upload->offset += n;
    return size_t(n);
}

} // namespace

class tst_service_fixtures : public QObject {
    Q_OBJECT

private slots:
    void ftpServerTakesAnUploadIntoItsRoot();
    void httpServerServesItsFolder();
    void twoServersGetDifferentPorts();
    void clusterReportsMissingBinaries();
};

void tst_service_fixtures::ftpServerTakesAnUploadIntoItsRoot() {
    FtpServer ftp;
    QVERIFY2(ftp.start(), qPrintable(ftp.error()));
    const QByteArray content(150000, 'L');
    Upload upload{&content};
    CURL* h = curl_easy_init();
    const QByteArray url = QStringLiteral("ftp://%1:%2/DBUpload/dump.sqlite").arg(ftp.host()).arg(ftp.port()).toUtf8();
    const QByteArray user = ftp.user().toUtf8();
    const QByteArray password = ftp.password().toUtf8();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR));
    curl_easy_setopt(h, CURLOPT_READFUNCTION, supply);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 30L);
    const CURLcode rc = curl_easy_perform(h);
    curl_easy_cleanup(h);
    QCOMPARE(rc, CURLE_OK);
    QFile stored(ftp.root() + QStringLiteral("/DBUpload/dump.sqlite"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), content);
}

void tst_service_fixtures::httpServerServesItsFolder() {
    HttpServer http;
    QVERIFY2(http.start(), qPrintable(http.error()));
    QDir(http.root()).mkpath(QStringLiteral("update"));
    QFile info(http.root() + QStringLiteral("/update/info.INF"));
    QVERIFY(info.open(QIODevice::WriteOnly));
    info.write("[file1]\nnewversion=1.52.1.0\n");
    info.close();
    QByteArray body;
    CURL* h = curl_easy_init();
    const QByteArray url = (http.url() + QStringLiteral("/update/info.INF")).toUtf8();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    QCOMPARE(curl_easy_perform(h), CURLE_OK);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(h);
    QCOMPARE(status, 200L);
    QCOMPARE(body, QByteArray("[file1]\nnewversion=1.52.1.0\n"));
}

void tst_service_fixtures::twoServersGetDifferentPorts() {
    HttpServer first;
    HttpServer second;
    QVERIFY2(first.start(), qPrintable(first.error()));
    QVERIFY2(second.start(), qPrintable(second.error()));
    QVERIFY(first.port() != second.port());
}

void tst_service_fixtures::clusterReportsMissingBinaries() {
    qputenv("LUMORA_PG_BIN", "/nicht/vorhanden");
    PgCluster cluster;
    QVERIFY(!cluster.start());
    QVERIFY2(cluster.error().contains(QStringLiteral("/nicht/vorhanden")), qPrintable(cluster.error()));
    qunsetenv("LUMORA_PG_BIN");
}

QTEST_GUILESS_MAIN(tst_service_fixtures)
#include "tst_service_fixtures.moc"

#include "core/classMeineVerschluesselung.h"
#include "core/scrambling.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A stand-in for the legacy unscrambling service over HTTPS with a certificate made on the spot.
// It answers the service path with status 200 and "svalue: klar:<value>" (or, for the value "|headers",
// the names of the request headers it saw), stalls on paths under /stall and answers 404 elsewhere.
const char* kServiceScript = R"PY(
import http.server, ssl, sys, time
KEY = sys.argv[3]
PATH = "/lizenz/sparkle/Version1/EntschluessleAlteToolDLL/"
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/stall"):
            time.sleep(30)
            return
        if self.path != PATH or self.headers.get("Zugriffskey") != KEY:
            self.send_response(404)
            self.send_header("svalue", "nicht gefunden")
            self.end_headers()
            return
        value = self.headers.get("svalue", "")
        if value == "|headers":
            value = ",".join(sorted(k.lower() for k in self.headers.keys()))
        else:
            value = "klar:" + value
        self.send_response(200)
        self.send_header("svalue", value)
        self.end_headers()
        self.wfile.write(b"body is ignored")
    def log_message(self, *args):
        pass
srv = http.server.ThreadingHTTPServer(("127.0.0.1", 0), H)
srv.daemon_threads = True
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(sys.argv[1], sys.argv[2])
srv.socket = ctx.wrap_socket(srv.socket, server_side=True)
print(srv.server_address[1], flush=True)
srv.serve_forever()
)PY";

const QString kAccessKey = u"{0C3D9F2E-7A41-4B6C-9E85-1D2F3A4B5C6D}"_s;

class LegacyService {
public:
    bool start(QString* error) {
        if (!dir.isValid())
            return fail(error, u"no temporary folder"_s);
        const QString cert = dir.filePath(u"cert.pem"_s), key = dir.filePath(u"key.pem"_s);
        QProcess openssl;
        openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"1"_s,
                                     u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s,
                                     u"-keyout"_s, key, u"-out"_s, cert});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return fail(error, u"openssl could not make a certificate"_s);
        QFile script(dir.filePath(u"legacy_service.py"_s));
        if (!script.open(QIODevice::WriteOnly) || script.write(kServiceScript) < 0)
            return fail(error, u"cannot write the service script"_s);
        script.close();
        server.start(u"python3"_s, {script.fileName(), cert, key, kAccessKey});
        if (!server.waitForStarted(10000) || !server.waitForReadyRead(10000))
            return fail(error, u"the service did not start: "_s + QString::fromUtf8(server.readAllStandardError()));
        port = QString::fromLatin1(server.readLine()).trimmed();
        caFile = cert;
        return !port.isEmpty() || fail(error, u"the service printed no port"_s);
    }
    ~LegacyService() {
        server.kill();
        server.waitForFinished(5000);
    }
    QString baseUrl() const { return u"https://127.0.0.1:"_s + port; }
    QString caFile;

private:
    static bool fail(QString* error, const QString& text) {
        *error = text;
        return false;
    }
    QTemporaryDir dir;
    QProcess server;
    QString port;
};

struct Triple {
    qint32 key1, key2, master;
};

std::string hexOf(const std::string& bytes) {
    return QByteArray::fromStdString(bytes).toHex().toUpper().toStdString();
}

bool isValidUtf8(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArray::fromStdString(text));
    return !decoder.hasError() && decoded.toStdString() == text;
}

void pointServiceAt(const QString& url, const QString& ca = QString()) {
    qputenv("LUMORA_LEGACY_URL", url.toUtf8());
    qputenv("LUMORA_LEGACY_KEY", kAccessKey.toUtf8());
    qputenv("LUMORA_LEGACY_CA", ca.toUtf8());
}

} // namespace

Q_DECLARE_METATYPE(Triple)

class TestScrambling : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void knownValues_data();
    void knownValues();
    void scrambledFormIsUpperHexOfUtf8Length();
    void lowerCaseHexUnscramblesAlike();
    void invalidHexGivesEmptyText_data();
    void invalidHexGivesEmptyText();
    void oddLengthDropsLastCharacter();
    void sumZeroSwitchesScramblingOff_data();
    void sumZeroSwitchesScramblingOff();
    void onlyLow16BitsOfKeysMatter();
    void sumIsWrappedTo32Bits();
    void arbitraryInputNeverBreaksUnscrambling();
    void standardTripleComesFromConfiguration();

    void oldFormGoesToService();
    void oldFormServiceFailuresGiveEmptyText_data();
    void oldFormServiceFailuresGiveEmptyText();
    void oldFormServiceTimesOut();
    void oldFormValueThatCannotBeAHeaderIsRefused();

private:
    std::unique_ptr<LegacyService> service;
    QString serviceError;
};

void TestScrambling::initTestCase() {
    service = std::make_unique<LegacyService>();
    if (!service->start(&serviceError))
        service.reset();
}

void TestScrambling::cleanup() {
    qunsetenv("LUMORA_LEGACY_URL");
    qunsetenv("LUMORA_LEGACY_KEY");
    qunsetenv("LUMORA_LEGACY_CA");
    qunsetenv("LUMORA_STANDARD_CRYPTO");
}

void TestScrambling::roundTrip_data() {
    QTest::addColumn<Triple>("triple");
    QTest::addColumn<QString>("plain");

    const QList<std::pair<const char*, QString>> texts = {
        {"empty", QString()},
        {"ascii", u"Baustelle Nord, Halle 3 (Kran)"_s},
        {"umlauts", u"Müller & Söhne GmbH – Straße äöüÄÖÜß"_s},
        {"cjk", u"東京都渋谷区 工事現場"_s},
        {"emoji", u"Pause ☕ 😀👷‍♀️ 🇩🇪"_s},
        {"separator characters", u"a|b;c\td\ne"_s},
        {"4001 characters", QString(4000, u'ä') + u'x'},
    };
    const QList<std::pair<const char*, Triple>> triples = {
        {"standard",
         {TVerschluesseln::CreateWithStandart().key1(), TVerschluesseln::CreateWithStandart().key2(),
          TVerschluesseln::CreateWithStandart().masterKey()}},
        {"small", {3, 5, 7}},
        {"negative", {-12345, -2, -999}},
        {"extremes", {INT32_MAX, INT32_MIN, 65535}},
        {"multiplier zero", {0, 0, 1}},
    };
    for (const auto& [tripleName, triple] : triples)
        for (const auto& [textName, text] : texts)
            QTest::addRow("%s/%s", tripleName, textName) << triple << text;
}

void TestScrambling::roundTrip() {
    QFETCH(Triple, triple);
    QFETCH(QString, plain);
    const TVerschluesseln keys(triple.key1, triple.key2, triple.master);
    const QString scrambled = Scrambling::Verschluesseln(keys, plain);
    if (!plain.isEmpty())
        QVERIFY(scrambled != plain);
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled), plain);
}

void TestScrambling::knownValues_data() {
    QTest::addColumn<Triple>("triple");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("scrambled");

    // Worked out by hand from the key step k := (k + c) * key1 + key2 (mod 65536), mask = k >> 8.
    QTest::newRow("multiplier 1, no addend, start 0: bytes pass unchanged") << Triple{1, 0, 0} << u"Hi"_s << u"4869"_s;
    // UTF-8 C3 BC E2 82 AC; k sums the scrambled bytes: 0, 0, 0x17F, 0x262, 0x2E2 -> masks 0, 0, 1, 2, 2.
    QTest::newRow("running sum reaches the mask") << Triple{1, 0, 0} << u"ü€"_s << u"C3BCE380AE"_s;
    // k = 0x4100: masks stay 0x41 because the scrambled bytes add only to the low byte.
    QTest::newRow("constant mask") << Triple{1, 0, 0x4100} << u"ABC"_s << u"000302"_s;
    // k = 0x0100 -> 'a'^01 = 60; k = (0x160)*2+0x100 = 0x3C0 -> 'b'^03 = 61; k = 0x942 -> 'c'^09 = 6A.
    QTest::newRow("feedback through scrambled byte") << Triple{2, 0x100, 0x100} << u"abc"_s << u"60616A"_s;
    // k = 0xFF00 -> 'x'^FF = 87; k = 0xFF87*257+0xFFFF = 0x8686 (mod 65536) -> 'y'^86 = FF.
    QTest::newRow("wrap-around") << Triple{257, 0xFFFF, 0xFF00} << u"xy"_s << u"87FF"_s;
}

void TestScrambling::knownValues() {
    QFETCH(Triple, triple);
    QFETCH(QString, plain);
    QFETCH(QString, scrambled);
    const TVerschluesseln keys(triple.key1, triple.key2, triple.master);
    QCOMPARE(Scrambling::Verschluesseln(keys, plain), scrambled);
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled), plain);
}

void TestScrambling::scrambledFormIsUpperHexOfUtf8Length() {
    const TVerschluesseln keys(4711, 815, 1234);
    const QString plain = u"Größe 😀"_s;
    const QString scrambled = Scrambling::Verschluesseln(keys, plain);
    QCOMPARE(scrambled.size(), plain.toUtf8().size() * 2);
    for (QChar c : scrambled)
        QVERIFY2(u"0123456789ABCDEF"_s.contains(c), qPrintable(scrambled));
}

void TestScrambling::lowerCaseHexUnscramblesAlike() {
    const TVerschluesseln keys(4711, 815, 1234);
    const QString scrambled = Scrambling::Verschluesseln(keys, u"Kostenstelle Süd"_s);
    QVERIFY(scrambled != scrambled.toLower());
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled.toLower()), u"Kostenstelle Süd"_s);
    QString mixed = scrambled;
    for (qsizetype i = 0; i < mixed.size(); i += 2)
        mixed[i] = mixed[i].toLower();
    QCOMPARE(Scrambling::Entschluesseln(keys, mixed), u"Kostenstelle Süd"_s);
}

void TestScrambling::invalidHexGivesEmptyText_data() {
    QTest::addColumn<QString>("input");
    QTest::newRow("letters beyond F") << u"4G"_s;
    QTest::newRow("blank inside") << u"41 42"_s;
    QTest::newRow("sign") << u"+1"_s;
    QTest::newRow("hex prefix") << u"0x41"_s;
    QTest::newRow("umlaut in a pair") << u"41ä4"_s;
    QTest::newRow("emoji in a pair") << u"41😀"_s;
    QTest::newRow("plain word") << u"Hallo Welt"_s;
}

void TestScrambling::invalidHexGivesEmptyText() {
    QFETCH(QString, input);
    QCOMPARE(Scrambling::Entschluesseln(TVerschluesseln(4711, 815, 1234), input), QString());
}

void TestScrambling::oddLengthDropsLastCharacter() {
    const TVerschluesseln keys(4711, 815, 1234);
    const QString scrambled = Scrambling::Verschluesseln(keys, u"Auftrag"_s);
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled + u'7'), u"Auftrag"_s);
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled + u'Z'), u"Auftrag"_s);
    QCOMPARE(Scrambling::Entschluesseln(keys, scrambled + u'ä'), u"Auftrag"_s);
    QCOMPARE(Scrambling::Entschluesseln(keys, u"A"_s), QString());
}

void TestScrambling::sumZeroSwitchesScramblingOff_data() {
    QTest::addColumn<Triple>("triple");
    QTest::newRow("all zero") << Triple{0, 0, 0};
    QTest::newRow("members cancel") << Triple{1000, 234, -1234};
    QTest::newRow("sum wraps to zero") << Triple{INT32_MAX, INT32_MAX, 2};
}

void TestScrambling::sumZeroSwitchesScramblingOff() {
    QFETCH(Triple, triple);
    const TVerschluesseln keys(triple.key1, triple.key2, triple.master);
    QCOMPARE(keys.GetSummeKeyValues(), qint64(0));
    for (const QString& text : {u"Klartext äöü"_s, u"4142"_s, u"zz"_s, u"alt|form"_s})
        QCOMPARE(Scrambling::Entschluesseln(keys, text), text);
    QCOMPARE(Scrambling::Verschluesseln(keys, u"Klartext äöü"_s), u"Klartext äöü"_s);
}

void TestScrambling::onlyLow16BitsOfKeysMatter() {
    const TVerschluesseln base(4711, 815, 1234);
    const QList<TVerschluesseln> variants = {
        TVerschluesseln(4711 + 0x10000, 815, 1234),
        TVerschluesseln(4711, 815 - 0x70000, 1234),
        TVerschluesseln(4711, 815, 1234 + 0x7FFF0000),
        TVerschluesseln(4711 | INT32_MIN, 815 + 0x20000, 1234 - 0x30000),
    };
    const QString plain = u"Montage Überlandleitung 😀"_s;
    for (const TVerschluesseln& variant : variants) {
        QVERIFY(variant.GetSummeKeyValues() != 0);
        QCOMPARE(Scrambling::Verschluesseln(variant, plain), Scrambling::Verschluesseln(base, plain));
    }
    // Unless the difference decides whether the sum is 0.
    QCOMPARE(Scrambling::Verschluesseln(TVerschluesseln(1, 2, -3), plain), plain);
    QVERIFY(Scrambling::Verschluesseln(TVerschluesseln(1 + 0x10000, 2, -3), plain) != plain);
}

void TestScrambling::sumIsWrappedTo32Bits() {
    QCOMPARE(TVerschluesseln(INT32_MAX, 1, 0).GetSummeKeyValues(), qint64(INT32_MIN));
    QCOMPARE(TVerschluesseln(INT32_MIN, -1, 0).GetSummeKeyValues(), qint64(INT32_MAX));
    QCOMPARE(TVerschluesseln(3, 5, 7).GetSummeKeyValues(), qint64(15));
}

void TestScrambling::arbitraryInputNeverBreaksUnscrambling() {
    QRandomGenerator random(20240611);
    const TVerschluesseln keys(4711, 815, 1234);
    for (int round = 0; round < 2000; ++round) {
        const int length = random.bounded(0, 64);
        std::string hex, bytes;
        for (int i = 0; i < length; ++i) {
            hex += "0123456789abcdefABCDEF"[random.bounded(22)];
            bytes += static_cast<char>(random.bounded(1, 256));
        }
        const std::string fromHex = keys.Entschluesseln(hex);
        QVERIFY2(isValidUtf8(fromHex), hexOf(hex).c_str());
        if (bytes.find('|') == std::string::npos)
            QVERIFY2(isValidUtf8(keys.Entschluesseln(bytes)), hexOf(bytes).c_str());
    }
    // Bytes that are hex digits but whose unscrambled form is broken UTF-8 come back with replacements.
    QCOMPARE(sanitizeUtf8("a\xC3(b\xE2\x82"), std::string("a\xEF\xBF\xBD(b\xEF\xBF\xBD"));
    QCOMPARE(sanitizeUtf8("\xED\xA0\x80"), std::string("\xEF\xBF\xBD"));         // surrogate half
    QCOMPARE(sanitizeUtf8("\xC0\xAF"), std::string("\xEF\xBF\xBD\xEF\xBF\xBD")); // overlong
    QCOMPARE(sanitizeUtf8("ok \xF0\x9F\x98\x80"), std::string("ok \xF0\x9F\x98\x80"));
}

void TestScrambling::standardTripleComesFromConfiguration() {
    const TVerschluesseln builtIn = TVerschluesseln::CreateWithStandart();
    for (qint32 key : {builtIn.key1(), builtIn.key2(), builtIn.masterKey()})
        QVERIFY2(key >= 10000 && key <= 99999, "five decimal digits");

    qputenv("LUMORA_STANDARD_CRYPTO", "11111,22222,33333");
    const TVerschluesseln configured = TVerschluesseln::CreateWithStandart();
    QCOMPARE(configured.key1(), 11111);
    QCOMPARE(configured.key2(), 22222);
    QCOMPARE(configured.masterKey(), 33333);
    QCOMPARE(Scrambling::EntschluessleStandart(Scrambling::VerschluessleStandart(u"vavIve|1815"_s)), u"vavIve|1815"_s);

    for (const char* broken : {"1,2", "1,2,3,4", "a,b,c", "1,,3", "99999999999,1,1"}) {
        qputenv("LUMORA_STANDARD_CRYPTO", broken);
        QCOMPARE(TVerschluesseln::CreateWithStandart().key1(), builtIn.key1());
    }
}

void TestScrambling::oldFormGoesToService() {
    if (!service)
        QSKIP(qPrintable(serviceError));
    pointServiceAt(service->baseUrl(), service->caFile);
    const TVerschluesseln keys(4711, 815, 1234);
    // Valid hex on either side of the bar must still not be unscrambled locally.
    const QString hexWithBar = Scrambling::Verschluesseln(keys, u"x"_s) + u"|"_s;
    QCOMPARE(Scrambling::Entschluesseln(keys, hexWithBar), u"klar:"_s + hexWithBar);
    QCOMPARE(Scrambling::Entschluesseln(keys, u"12|34|ab"_s), u"klar:12|34|ab"_s);

    QCOMPARE(Scrambling::Entschluesseln(keys, u"|headers"_s), u"host,svalue,zugriffskey"_s);
}

void TestScrambling::oldFormServiceFailuresGiveEmptyText_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("trustCertificate");
    QTest::addColumn<QString>("accessKey");
    QTest::newRow("404 from a wrong base path") << u"/elsewhere"_s << true << kAccessKey;
    QTest::newRow("404 for a wrong access key") << QString() << true << u"{00000000-0000-0000-0000-000000000000}"_s;
    QTest::newRow("untrusted certificate") << QString() << false << kAccessKey;
    QTest::newRow("nothing listening") << u"!https://127.0.0.1:1"_s << true << kAccessKey;
}

void TestScrambling::oldFormServiceFailuresGiveEmptyText() {
    if (!service)
        QSKIP(qPrintable(serviceError));
    QFETCH(QString, url);
    QFETCH(bool, trustCertificate);
    QFETCH(QString, accessKey);
    const QString fullUrl = url.startsWith(u'!') ? url.mid(1) : service->baseUrl() + url;
    pointServiceAt(fullUrl, trustCertificate ? service->caFile : QString());
    qputenv("LUMORA_LEGACY_KEY", accessKey.toUtf8());
    QCOMPARE(Scrambling::Entschluesseln(TVerschluesseln(4711, 815, 1234), u"ab|cd"_s), QString());
}

void TestScrambling::oldFormServiceTimesOut() {
    if (!service)
        QSKIP(qPrintable(serviceError));
    pointServiceAt(service->baseUrl() + u"/stall"_s, service->caFile);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(Scrambling::Entschluesseln(TVerschluesseln(4711, 815, 1234), u"ab|cd"_s), QString());
    qInfo("legacy service gave up after %lld ms", static_cast<long long>(timer.elapsed()));
}

void TestScrambling::oldFormValueThatCannotBeAHeaderIsRefused() {
    if (!service)
        QSKIP(qPrintable(serviceError));
    pointServiceAt(service->baseUrl(), service->caFile);
    QCOMPARE(Scrambling::Entschluesseln(TVerschluesseln(4711, 815, 1234), u"ab|cd\r\nZugriffskey: x"_s), QString());
}

QTEST_GUILESS_MAIN(TestScrambling)
#include "tst_scrambling.moc"

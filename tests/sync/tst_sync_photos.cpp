// Photos of entries reach a real FTP server in the company's folder and are registered on
// the real service with their entry's server id; an FTP server that cannot be reached keeps
// them queued, and no stored name may lead a file out of the company's folder.

#include "SyncTestbed.h"

#include "core/clock.h"
#include "fixtures/LocalPorts.h"
#include "sync/FtpClient.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bildBytes(char fuellung) {
    // A JPEG's start and end around bytes of every value, so a text-mode transfer would show.
    QByteArray b("\xff\xd8\xff\xe0\r\n\x1a\n", 8);
    for (int i = 0; i < 6000; ++i)
        b.append(char(i % 256));
    b.append(3000, fuellung);
    return b + QByteArray("\xff\xd9", 2);
}

QByteArray leseDatei(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool schreibeDatei(const QString& pfad, const QByteArray& daten) {
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(daten) == daten.size();
}

} // namespace

class TestSyncPhotos : public QObject {
    Q_OBJECT
    std::unique_ptr<SyncServer> m_server;
    FtpServer m_ftp;
    int m_naechstePicId = 80000;
    QStringList m_cacheDateien;

    // A photo as the device keeps it until it is sent: PIC_ZER_ID names the entry as the
    // device knows it (its negative id until the server's id has come back).
    int fotoAnlegen(SyncClient& client, qint64 mobileId, qint64 zerId, const QString& name, const QByteArray& bild) {
        const int picId = m_naechstePicId++;
        client.use();
        auto q = SyncProcess::tdm().GetQueryInstance();
        q->setSQL(QStringLiteral("insert into Lumora_Fotos (Mandant_ID, PIC_ID, PIC_ObjTyp, PIC_ObjID, PIC_Bild, "
                                 "PIC_BildName, PIC_TimeStamp, PIC_User, Owner, MobileID, PIC_ZER_ID) values (:m, :id, "
                                 "'A', 4242, :bild, :name, :ts, 'mm', 1, :mobile, :zer)"));
        q->ParamByName(u"m").setAsInteger(SyncServer::Mandant);
        q->ParamByName(u"id").setAsInteger(picId);
        q->ParamByName(u"bild").setValue(bild.isNull() ? QVariant() : QVariant(bild));
        q->ParamByName(u"name").setAsString(name);
        q->ParamByName(u"ts").setAsDateTime(TDateTime::encodeDateTime(2026, 12, 11, 9, 15, 30, 250));
        q->ParamByName(u"mobile").setAsLargeInt(mobileId);
        q->ParamByName(u"zer").setAsLargeInt(zerId);
        return q->ExecSQL() ? picId : 0;
    }

    // The picture cache the photo page shares with the upload.
    QString cacheDatei(const QString& name) {
        const QString pfad = QDir::temp().filePath(name);
        QFile::remove(pfad);
        m_cacheDateien << pfad;
        return pfad;
    }

    QString imFirmenordner(const QString& name) const {
        return QDir(m_ftp.root()).filePath(QStringLiteral("%1/%2").arg(SyncServer::Pin).arg(name));
    }

    int registrierungen(const QString& bedingung) const {
        return m_server->value(QStringLiteral("select count(*) from lumora_fotos where ") + bedingung).toInt();
    }

    static void ftpZiel(int port, const QString& user, const QString& password) {
        qputenv("LUMORA_FTP_HOST", "127.0.0.1");
        qputenv("LUMORA_FTP_PORT", QByteArray::number(port));
        qputenv("LUMORA_FTP_USER", user.toUtf8());
        qputenv("LUMORA_FTP_PASSWORD", password.toUtf8());
    }
    void ftpErreichbar() { ftpZiel(m_ftp.port(), m_ftp.user(), m_ftp.password()); }

    // An entry whose server id has come back to the device.
    int eintragMitServerId(SyncClient& client, int mobileId) {
        if (!client.synchronisiere().fertig() || !client.synchronisiere().fertig())
            return 0;
        return client.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobileId)).toInt();
    }

private slots:
    void initTestCase() {
        m_server = std::make_unique<SyncServer>();
        QString error;
        QVERIFY2(m_server->setUp(error), qPrintable(error));
        QVERIFY2(m_ftp.start(), qPrintable(m_ftp.error()));
        QVERIFY(schreibeDatei(QDir(m_ftp.root()).filePath(QStringLiteral("opfer.txt")), "bleibt"));
    }
    void cleanupTestCase() {
        SyncProcess::shutdown();
        m_server.reset();
    }
    void init() {
        Clock::reset();
        ftpErreichbar();
    }
    void cleanup() {
        for (const QString& pfad : std::as_const(m_cacheDateien))
            QFile::remove(pfad);
        m_cacheDateien.clear();
        Clock::reset();
    }

    void photoOfNewEntryWaitsForServerIdThenReachesCompanyFolder_data() {
        QTest::addColumn<QString>("geraet");
        QTest::addColumn<bool>("fremdesBildImCache");
        QTest::newRow("cache empty") << QStringLiteral("leer") << false;
        QTest::newRow("cache holds another photo of that name") << QStringLiteral("fremd") << true;
    }
    void photoOfNewEntryWaitsForServerIdThenReachesCompanyFolder() {
        QFETCH(QString, geraet);
        QFETCH(bool, fremdesBildImCache);
        SyncClient a(QStringLiteral("a-foto-") + geraet), b(QStringLiteral("b-foto-") + geraet);
        const int mobile = a.erfasseEintrag(QStringLiteral("Fenster gesetzt"));
        const QString name = QStringLiteral("IMG_%1.jpg").arg(-mobile);
        const QByteArray bild = bildBytes('a');
        const QString cache = cacheDatei(name);
        if (fremdesBildImCache)
            QVERIFY(schreibeDatei(cache, bildBytes('z')));
        const int picId = fotoAnlegen(a, mobile, mobile, name, bild);
        QVERIFY(picId != 0);

        // The first cycle is the device's full reload; the entry goes up, the photo waits.
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1 and Owner = 1 and PIC_ZER_ID = %2")
                             .arg(picId)
                             .arg(mobile)),
                 1);
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 0);
        QVERIFY(!QFile::exists(imFirmenordner(name)));

        // The entry comes back with the server's id, and the photo follows with it.
        QVERIFY(a.synchronisiere().fertig());
        const int zerId =
            a.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt();
        QVERIFY(zerId > 0);
        QCOMPARE(leseDatei(imFirmenordner(name)), bild);

        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 1);
        const QString zeile =
            m_server
                ->value(QStringLiteral("select concat_ws('|', mandant_id, pic_zer_id, mobileid, ownerftp, "
                                       "owner, pic_objtyp, pic_objid, pic_user, pic_timestamp) from "
                                       "lumora_fotos where pic_bildname = '%1'")
                            .arg(name))
                .toString();
        QCOMPARE(zeile, QStringLiteral("%1|%2|%3|1|0|A|4242|mm|2026-12-11 09:15:30.25")
                            .arg(SyncServer::Mandant)
                            .arg(zerId)
                            .arg(mobile));
        const int serverPicId =
            m_server->value(QStringLiteral("select pic_id from lumora_fotos where pic_bildname = '%1'").arg(name))
                .toInt();
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1 and Owner = 0 and PIC_ZER_ID = %2")
                             .arg(serverPicId)
                             .arg(zerId)),
                 1);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1").arg(picId)), 0);

        // Sent once: further cycles leave the registration alone.
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 1);

        // Registrations do not come down: the other device gets the entry, not the photo.
        QVERIFY(b.synchronisiere().fertig());
        QCOMPARE(b.count(QStringLiteral("Z_ERFASSUNG where ZER_ID = %1").arg(zerId)), 1);
        QCOMPARE(b.count(QStringLiteral("Lumora_Fotos")), 0);
    }

    void photoOfDeletedEntryGoesUpWithoutEntry() {
        SyncClient a(QStringLiteral("a-foto-ohne-eintrag"));
        const int mobile = -4321987;
        const QString name = QStringLiteral("verwaist.jpg");
        cacheDatei(name);
        const int picId = fotoAnlegen(a, mobile, mobile, name, bildBytes('v'));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(
                     QStringLiteral("pic_bildname = '%1' and pic_zer_id = 0 and mobileid = %2").arg(name).arg(mobile)),
                 1);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1").arg(picId)), 0);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where Owner = 1")), 0);
    }

    void photoWhoseServerIdIsTakenLocallyIsSentOnce() {
        SyncClient a(QStringLiteral("a-foto-id-belegt"));
        // Past the first full reload, which sweeps photos already sent.
        const int mobile = a.erfasseEintrag(QStringLiteral("Foto mit belegter Nummer"));
        const int zerId = eintragMitServerId(a, mobile);
        QVERIFY(zerId > 0);
        const QString name = QStringLiteral("id-belegt.jpg");
        cacheDatei(name);
        const int picId = fotoAnlegen(a, mobile, zerId, name, bildBytes('i'));
        const int naechsteServerId =
            m_server
                ->value(QStringLiteral("select last_value + (case when is_called then 1 else 0 end) from "
                                       "lumora_fotos_pic_id_seq"))
                .toInt();
        QVERIFY(a.exec(QStringLiteral("insert into Lumora_Fotos (Mandant_ID, PIC_ID, PIC_BildName, Owner) values (%1, "
                                      "%2, 'schon-da.jpg', 0)")
                           .arg(SyncServer::Mandant)
                           .arg(naechsteServerId)));

        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1' and pic_id = %2").arg(name).arg(naechsteServerId)),
                 1);
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 1);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1 and Owner = 0").arg(picId)), 1);
        QCOMPARE(
            a.value(QStringLiteral("select PIC_BildName from Lumora_Fotos where PIC_ID = %1").arg(naechsteServerId))
                .toString(),
            QStringLiteral("schon-da.jpg"));
    }

    void unreachableFtpKeepsPhotoQueued_data() {
        QTest::addColumn<bool>("falschesKennwort");
        QTest::newRow("nothing listening") << false;
        QTest::newRow("wrong password") << true;
    }
    void unreachableFtpKeepsPhotoQueued() {
        QFETCH(bool, falschesKennwort);
        SyncClient a(QLatin1String(falschesKennwort ? "a-ftp-kennwort" : "a-ftp-weg"));
        const int mobile = a.erfasseEintrag(QStringLiteral("Foto ohne Server"));
        const int zerId = eintragMitServerId(a, mobile);
        QVERIFY(zerId > 0);
        const QString name = QStringLiteral("warten-%1.jpg").arg(QLatin1String(falschesKennwort ? "kennwort" : "weg"));
        cacheDatei(name);
        const QByteArray bild = bildBytes('w');
        const int picId = fotoAnlegen(a, mobile, mobile, name, bild);

        if (falschesKennwort)
            ftpZiel(m_ftp.port(), m_ftp.user(), QStringLiteral("falsch"));
        else
            ftpZiel(LocalPorts::freePort(), m_ftp.user(), m_ftp.password());
        QVERIFY(!a.synchronisiere().fertig()); // the run ends at the photos
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1 and Owner = 1 and PIC_ZER_ID = %2")
                             .arg(picId)
                             .arg(zerId)),
                 1);
        QCOMPARE(
            a.value(QStringLiteral("select PIC_Bild from Lumora_Fotos where PIC_ID = %1").arg(picId)).toByteArray(),
            bild);
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 0);
        QVERIFY(!QFile::exists(imFirmenordner(name)));

        ftpErreichbar();
        QVERIFY(a.synchronisiere().fertig());
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1' and pic_zer_id = %2").arg(name).arg(zerId)), 1);
        QCOMPARE(leseDatei(imFirmenordner(name)), bild);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where Owner = 1")), 0);
    }

    void photoWithoutPictureBytes_data() {
        QTest::addColumn<bool>("imCache");
        QTest::addColumn<int>("ownerFtp");
        QTest::newRow("picture only in the cache") << true << 1;
        QTest::newRow("no picture anywhere") << false << 0;
    }
    void photoWithoutPictureBytes() {
        QFETCH(bool, imCache);
        QFETCH(int, ownerFtp);
        SyncClient a(QLatin1String(imCache ? "a-foto-cache" : "a-foto-leer"));
        const int mobile = a.erfasseEintrag(QStringLiteral("Foto ohne Daten"));
        const int zerId = eintragMitServerId(a, mobile);
        QVERIFY(zerId > 0);
        const QString name = QStringLiteral("ohne-daten-%1.jpg").arg(ownerFtp);
        const QString cache = cacheDatei(name);
        const QByteArray bild = bildBytes('c');
        if (imCache)
            QVERIFY(schreibeDatei(cache, bild));
        const int picId = fotoAnlegen(a, mobile, zerId, name, QByteArray());

        QVERIFY(a.synchronisiere().fertig());
        // Registered once, and the registration tells whether the picture is on the file server.
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 1);
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1' and ownerftp = %2 and pic_zer_id = %3")
                                     .arg(name)
                                     .arg(ownerFtp)
                                     .arg(zerId)),
                 1);
        QCOMPARE(QFile::exists(imFirmenordner(name)), imCache);
        if (imCache)
            QCOMPARE(leseDatei(imFirmenordner(name)), bild);
        else
            QVERIFY(!QFile::exists(cache)); // no empty picture is made up
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1").arg(picId)), 0);
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_BildName = '%1' and Owner = 0").arg(name)), 1);
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 1);
    }

    void nothingGoesUpWithoutPinOrWithStatus2_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("ohnePin");
        QTest::newRow("stored company PIN 0") << 0 << true;
        QTest::newRow("tenant status 2") << 2 << false;
    }
    void nothingGoesUpWithoutPinOrWithStatus2() {
        QFETCH(int, status);
        QFETCH(bool, ohnePin);
        SyncClient a(QStringLiteral("a-foto-gesperrt-%1").arg(status), status);
        if (ohnePin)
            QVERIFY(a.exec(QStringLiteral("update MandantenLogIn set FirmaPin = 0")));
        const QString name = QStringLiteral("gesperrt-%1.jpg").arg(status);
        cacheDatei(name);
        const int picId = fotoAnlegen(a, -5551234, 0, name, bildBytes('g'));
        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(registrierungen(QStringLiteral("pic_bildname = '%1'").arg(name)), 0);
        QVERIFY(!QFile::exists(imFirmenordner(name)));
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where PIC_ID = %1 and Owner = 1").arg(picId)), 1);
    }

    void storedNameCannotLeaveCompanyFolder_data() {
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<QString>("imOrdner");
        QTest::newRow("unix path up") << QStringLiteral("../../ausbruch-1.jpg") << QStringLiteral("ausbruch-1.jpg");
        QTest::newRow("windows path up") << QStringLiteral("..\\..\\ausbruch-2.jpg")
                                         << QStringLiteral("ausbruch-2.jpg");
        QTest::newRow("CR/LF command") << QStringLiteral("x.jpg\r\nDELE opfer.txt")
                                       << QStringLiteral("x.jpg__DELE opfer.txt");
        QTest::newRow("parent folder only") << QStringLiteral("a/..") << QStringLiteral("Foto-%1.jpg");
    }
    void storedNameCannotLeaveCompanyFolder() {
        QFETCH(QString, gespeichert);
        QFETCH(QString, imOrdner);
        SyncClient a(QStringLiteral("a-name-") + QString::fromLatin1(QTest::currentDataTag()).left(4));
        const QByteArray bild = bildBytes('n');
        const int picId = m_naechstePicId;
        if (imOrdner.contains(u'%'))
            imOrdner = imOrdner.arg(picId);
        cacheDatei(imOrdner);
        QCOMPARE(fotoAnlegen(a, -6660000 - picId, 0, gespeichert, bild), picId);
        QVERIFY(QDir(m_ftp.root()).mkpath(QString::number(SyncServer::Pin)));
        const QStringList wurzelVorher = QDir(m_ftp.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

        QVERIFY(a.synchronisiere().fertig());
        QCOMPARE(leseDatei(imFirmenordner(imOrdner)), bild);
        QCOMPARE(registrierungen(
                     QStringLiteral("mobileid = %1 and pic_bildname = '%2'").arg(-6660000 - picId).arg(imOrdner)),
                 1);
        QCOMPARE(QDir(m_ftp.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), wurzelVorher);
        QCOMPARE(leseDatei(QDir(m_ftp.root()).filePath(QStringLiteral("opfer.txt"))), QByteArray("bleibt"));
        QCOMPARE(a.count(QStringLiteral("Lumora_Fotos where Owner = 1")), 0);
    }

    void ftpClientRefusesNamesThatLeaveTheFolder_data() {
        QTest::addColumn<QString>("ordner");
        QTest::addColumn<QString>("datei");
        QTest::addColumn<int>("ergebnis");
        const int ok = int(TFtpClient::Ergebnis::Ok);
        const int refused = int(TFtpClient::Ergebnis::NameUnzulaessig);
        QTest::newRow("plain names") << QStringLiteral("4711") << QStringLiteral("normal.jpg") << ok;
        QTest::newRow("folder ..") << QStringLiteral("..") << QStringLiteral("f1.jpg") << refused;
        QTest::newRow("folder with /") << QStringLiteral("../andere") << QStringLiteral("f2.jpg") << refused;
        QTest::newRow("folder with \\") << QStringLiteral("..\\andere") << QStringLiteral("f3.jpg") << refused;
        QTest::newRow("folder with CR/LF")
            << QStringLiteral("4711\r\nDELE opfer.txt") << QStringLiteral("f4.jpg") << refused;
        QTest::newRow("file with CR/LF") << QStringLiteral("4711") << QStringLiteral("f5.jpg\r\nDELE opfer.txt")
                                         << refused;
        QTest::newRow("file with \\") << QStringLiteral("4711") << QStringLiteral("..\\..\\f6.jpg") << refused;
        QTest::newRow("file with NUL") << QStringLiteral("4711") << QString(QStringLiteral("f7.jpg") + QChar(0) + u'x')
                                       << refused;
    }
    void ftpClientRefusesNamesThatLeaveTheFolder() {
        QFETCH(QString, ordner);
        QFETCH(QString, datei);
        QFETCH(int, ergebnis);
        QTemporaryDir lokal;
        // NUL cannot stand in a local name; the name is still what the client is asked to send.
        const QString pfad = lokal.filePath(datei);
        if (!datei.contains(QChar(0)))
            QVERIFY(schreibeDatei(pfad, "inhalt"));
        QVERIFY(QDir(m_ftp.root()).mkpath(QString::number(SyncServer::Pin)));
        const QStringList wurzelVorher = QDir(m_ftp.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

        TFtpClient ftp;
        QCOMPARE(int(ftp.hochladen(ordner, pfad)), ergebnis);
        QCOMPARE(QDir(m_ftp.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), wurzelVorher);
        QCOMPARE(leseDatei(QDir(m_ftp.root()).filePath(QStringLiteral("opfer.txt"))), QByteArray("bleibt"));
        if (ergebnis == int(TFtpClient::Ergebnis::Ok))
            QCOMPARE(leseDatei(QDir(m_ftp.root()).filePath(ordner + u'/' + datei)), QByteArray("inhalt"));
        else
            QVERIFY(!ftp.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSyncPhotos)
#include "tst_sync_photos.moc"

// The diagnostic copy of the local file travels to a real FTP server, the requested day
// dump reaches the real service's dump tables, and the version check reads a real update
// server's information file.

#include "SyncTestbed.h"

#include "core/SqlQuery.h"
#include "core/SqliteConnection.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "sync/LiveUpdate.h"
#include "sync/TagesDumpDatum.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "sync/Thread.FTPUpload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

struct Meldung {
    int status;
    QString text;
    qint64 counter;
};

QByteArray dateiInhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDiagnosticUpload : public QObject {
    Q_OBJECT
    std::unique_ptr<SyncServer> m_server;
    FtpServer m_ftp;
    HttpServer m_http;
    QObject m_empfaenger;

    // Runs one upload to its end, collecting every notification it made.
    void lade(const QString& datei, QList<Meldung>& meldungen) {
        QPointer<TFTPUpload> upload = TFTPUpload::CreateFTP(
            datei, TNotifyFTPUpload{&m_empfaenger, [&meldungen](int status, const QString& text, qint64 counter) {
                                        meldungen << Meldung{status, text, counter};
                                    }});
        upload->start();
        QTRY_VERIFY_WITH_TIMEOUT(upload.isNull(), 60000); // frees itself once ended
    }

    static QList<int> stati(const QList<Meldung>& meldungen) {
        QList<int> s;
        for (const Meldung& m : meldungen)
            s << m.status;
        return s;
    }

private slots:
    void initTestCase() {
        m_server = std::make_unique<SyncServer>();
        QString error;
        QVERIFY2(m_server->setUp(error), qPrintable(error));
        QVERIFY2(m_ftp.start(), qPrintable(m_ftp.error()));
        QVERIFY2(m_http.start(), qPrintable(m_http.error()));
        QVERIFY(QDir(m_http.root()).mkpath(QStringLiteral("update/LumoraWindowsClient")));
    }
    void cleanupTestCase() {
        SyncProcess::shutdown();
        m_server.reset();
    }
    void init() {
        Clock::setFixed(TDateTime::fromQDateTime(QDateTime::currentDateTime()).datePart() +
                        TDateTime::encodeTime(10, 15, 30, 250).value());
        m_ftp.configureClient();
    }
    void cleanup() { Clock::reset(); }

    void copyRequestsDumpStopsSyncAndIsConsistent() {
        SyncClient c(QStringLiteral("kopie"));
        const int mobile = c.erfasseEintrag(QStringLiteral("Eintrag für die Kopie"));
        AngemeldeteLPE_ID = 3;
        SyncProcess::tdm().FMandantID = SyncServer::Mandant;
        TNotifyUpdateThread still{&c.receiver, [](TDatenAusCloudThread*, TSyncStatus, int) {}};
        QPointer<TDatenAusCloudThread> laufend = TDatenAusCloudThread::CreateCheckUpdatesVerfuegbar(
            *SyncProcess::connection(), SyncServer::Pin, SyncServer::kennwort(), still, 0);
        SyncProcess::tdm().FDatenAusCloudThread = laufend;

        QString datei;
        const TDateTime tag = TDateTime::encodeDate(2026, 3, 9);
        SyncProcess::tdm().DumpZuCloudLaden(datei, tag + 0.5);

        QCOMPARE(SyncProcess::tdm().InternalLeseTXT(SettingKey::TagesDumpDatum, QString()),
                 QStringLiteral("09.03.2026"));
        QVERIFY(SyncProcess::tdm().FDatenAusCloudThread == nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(laufend.isNull(), 30000); // told to stop, it ends and goes
        QCOMPARE(QFileInfo(datei).absolutePath(), QFileInfo(c.path()).absolutePath());
        QCOMPARE(QFileInfo(datei).fileName(),
                 QStringLiteral("dump_M7_U3_%1.sqlite").arg(Clock::now().format(QStringLiteral("yyyymmdd_hhnnsszzz"))));

        // The copy is a database of its own holding what the device holds, including the request.
        TSqliteConnection kopie(datei);
        TSqlQuery q(&kopie);
        q.setSQL(u"select ZER_Text from Z_ERFASSUNG where MobileID = :m");
        q.ParamByName(u"m").setAsInteger(mobile);
        QVERIFY2(q.Open(), qPrintable(q.lastError()));
        QVERIFY(!q.Eof());
        QCOMPARE(q.Fields(0).AsString(), QStringLiteral("Eintrag für die Kopie"));
        q.setSQL(u"pragma integrity_check");
        QVERIFY(q.Open());
        QCOMPARE(q.Fields(0).AsString(), QStringLiteral("ok"));
        q.Close();
        kopie.close();

        // A second copy in the same millisecond replaces the first instead of failing.
        QString nochmal;
        SyncProcess::tdm().DumpZuCloudLaden(nochmal, tag);
        QCOMPARE(nochmal, datei);
        QVERIFY(QFile::remove(datei));
    }

    void uploadLandsByteIdenticalAndCopyIsDeleted_data() {
        QTest::addColumn<bool>("ordnerVorhanden");
        QTest::addColumn<QString>("ziel");
        QTest::newRow("into DBUpload") << true << QStringLiteral("DBUpload/");
        QTest::newRow("DBUpload missing: the login folder") << false << QString();
    }
    void uploadLandsByteIdenticalAndCopyIsDeleted() {
        QFETCH(bool, ordnerVorhanden);
        QFETCH(QString, ziel);
        QDir root(m_ftp.root());
        if (ordnerVorhanden)
            QVERIFY(root.mkpath(QStringLiteral("DBUpload")));
        else
            QVERIFY(QDir(root.filePath(QStringLiteral("DBUpload"))).removeRecursively());

        SyncClient c(QStringLiteral("upload-%1").arg(ordnerVorhanden));
        for (int i = 0; i < 20; ++i)
            c.erfasseEintrag(QStringLiteral("Eintrag %1").arg(i));
        QString datei;
        SyncProcess::tdm().DumpZuCloudLaden(datei, Clock::today());
        QVERIFY(!datei.isEmpty());
        const QByteArray gesendet = dateiInhalt(datei);
        QVERIFY(gesendet.size() > 2 * TFTPUpload::FortschrittSchrittBytes);

        QList<Meldung> meldungen;
        lade(datei, meldungen);

        QVERIFY(meldungen.size() >= 3);
        QCOMPARE(meldungen.first().status, 1);
        QCOMPARE(meldungen.first().counter, qint64(gesendet.size()));
        QCOMPARE(meldungen.last().status, 3);
        QVERIFY(!QFile::exists(datei));

        const QString angekommen = root.filePath(ziel + QFileInfo(datei).fileName());
        QCOMPARE(dateiInhalt(angekommen), gesendet);
        TSqliteConnection kopie(angekommen);
        TSqlQuery q(&kopie);
        q.setSQL(u"select count(*) from Z_ERFASSUNG where ZER_Text like 'Eintrag %'");
        QVERIFY2(q.Open(), qPrintable(q.lastError()));
        QCOMPARE(q.Fields(0).AsInteger(), 20);
    }

    void progressAboutEvery100000Bytes() {
        // Two and a half steps: the start, progress after about one and two steps, the end.
        QVERIFY(QDir(m_ftp.root()).mkpath(QStringLiteral("DBUpload")));
        QTemporaryDir ordner;
        const QString datei = ordner.filePath(QStringLiteral("zweieinhalb.bin"));
        QFile f(datei);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(250000, 'x'));
        f.close();

        QList<Meldung> meldungen;
        lade(datei, meldungen);

        QCOMPARE(stati(meldungen), (QList<int>{1, 2, 2, 3}));
        QCOMPARE(meldungen.at(0).text, QStringLiteral("Upload Analysedaten"));
        QCOMPARE(meldungen.at(0).counter, qint64(250000));
        QCOMPARE(meldungen.at(1).text, QStringLiteral("Upload Analysedaten"));
        QVERIFY2(meldungen.at(1).counter >= 100000 && meldungen.at(1).counter < 120000,
                 qPrintable(QString::number(meldungen.at(1).counter)));
        QVERIFY2(meldungen.at(2).counter >= 200000 && meldungen.at(2).counter < 240000,
                 qPrintable(QString::number(meldungen.at(2).counter)));
        QCOMPARE(meldungen.at(3).text, QStringLiteral("Fertig"));
        QCOMPARE(meldungen.at(3).counter, qint64(0));
        QCOMPARE(dateiInhalt(QDir(m_ftp.root()).filePath(QStringLiteral("DBUpload/zweieinhalb.bin"))).size(), 250000);
        QVERIFY(!QFile::exists(datei));
    }

    void failedUploadStillEndsAndDeletesCopy_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("dateiDa");
        QTest::newRow("nothing listens") << 1 << true;
        QTest::newRow("copy already gone") << -1 << false;
    }
    void failedUploadStillEndsAndDeletesCopy() {
        QFETCH(int, port);
        QFETCH(bool, dateiDa);
        if (port > 0)
            qputenv("LUMORA_FTP_PORT", QByteArray::number(port));
        SyncClient c(QStringLiteral("weg-%1").arg(port));
        QString datei;
        SyncProcess::tdm().DumpZuCloudLaden(datei, Clock::today());
        QVERIFY(!datei.isEmpty());
        if (!dateiDa)
            QVERIFY(QFile::remove(datei));

        QList<Meldung> meldungen;
        lade(datei, meldungen);

        QCOMPARE(stati(meldungen), QList<int>{3});
        QCOMPARE(meldungen.at(0).text, QStringLiteral("Fertig"));
        QVERIFY(!QFile::exists(datei));
    }

    void dayDumpFillsDumpTablesAndClearsRequest_data() {
        QTest::addColumn<QString>("anfrage");
        QTest::addColumn<int>("eintraege");
        QTest::addColumn<int>("praesenzen");
        const QString heute = TagesDumpDatum::alsText(TDateTime::fromQDateTime(QDateTime::currentDateTime()));
        QTest::newRow("day with entries and presence") << heute << 2 << 1;
        QTest::newRow("day without entries") << QStringLiteral("01.02.2003") << 0 << 0;
        // Kept, a text that names no day would set off a cycle at every check.
        QTest::newRow("text that names no day") << QStringLiteral("31.02.2026") << 0 << 0;
        QTest::newRow("day not after 2000-01-01") << QStringLiteral("01.01.2000") << 0 << 0;
    }
    void dayDumpFillsDumpTablesAndClearsRequest() {
        QFETCH(QString, anfrage);
        QFETCH(int, eintraege);
        QFETCH(int, praesenzen);
        QVERIFY(m_server->exec(QStringLiteral("delete from dump_z_erfassung; delete from dump_z_praesenzzeit;")));
        SyncClient c(QStringLiteral("dump-%1").arg(anfrage));
        const QString text = QStringLiteral("Schalung – Größe 3×4 m");
        const int mobile = c.erfasseEintrag(text);
        c.erfasseEintrag(QStringLiteral("zweiter"));
        c.erfassePraesenz();
        // Another tenant's entry of the same day on this device is not this tenant's dump.
        QVERIFY(c.exec(QStringLiteral("insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, MobileID, ZER_Datum, ZER_Text) "
                                      "values (8, -5, -5, '%1', 'fremd')")
                           .arg(DTDatetimeToString(Clock::today()))));
        SyncProcess::tdm().InternalSchreibeTXT(SettingKey::TagesDumpDatum, anfrage);

        QVERIFY(c.synchronisiere().fertig());

        QCOMPARE(SyncProcess::tdm().InternalLeseTXT(SettingKey::TagesDumpDatum, QStringLiteral("?")), QString());
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from dump_z_erfassung")).toInt(), eintraege);
        QCOMPARE(m_server->value(QStringLiteral("select count(*) from dump_z_praesenzzeit")).toInt(), praesenzen);
        if (eintraege == 0)
            return;
        // As stored on the device: plain text, the device's ids and flags, stamped with the dump's time.
        const QString wo = QStringLiteral(" from dump_z_erfassung where mobileid = %1").arg(mobile);
        QCOMPARE(m_server->value(QStringLiteral("select mandant_id") + wo).toInt(), SyncServer::Mandant);
        QCOMPARE(m_server->value(QStringLiteral("select zer_text") + wo).toString(), text);
        QCOMPARE(m_server->value(QStringLiteral("select zer_id") + wo).toInt(),
                 c.value(QStringLiteral("select ZER_ID from Z_ERFASSUNG where MobileID = %1").arg(mobile)).toInt());
        QCOMPARE(m_server->value(QStringLiteral("select zer_std100") + wo).toDouble(), 2.5);
        QCOMPARE(m_server->value(QStringLiteral("select to_char(zer_von, 'HH24:MI')") + wo).toString(),
                 QStringLiteral("07:00"));
        QCOMPARE(m_server->value(QStringLiteral("select to_char(zeitstempel, 'HH24:MI:SS.MS')") + wo).toString(),
                 QStringLiteral("10:15:30.250"));
        QCOMPARE(
            m_server->value(QStringLiteral("select to_char(zpz_bis, 'HH24:MI') from dump_z_praesenzzeit")).toString(),
            QStringLiteral("16:00"));
    }

    void checkPassReportsRequestedDump() {
        SyncClient c(QStringLiteral("pruefung"));
        QVERIFY(c.synchronisiere().fertig());
        QVERIFY(!c.pruefe(4000)); // in step with the server: nothing to do
        SyncProcess::tdm().InternalSchreibeTXT(SettingKey::TagesDumpDatum, QStringLiteral("01.02.2003"));
        QVERIFY(c.pruefe());
    }

    void versionCheckReadsUpdateServer_data() {
        QTest::addColumn<QString>("inhalt"); // empty: no file on the server
        QTest::addColumn<bool>("serverDa");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("verfuegbar");
        QTest::newRow("newer") << QStringLiteral("[file1]\r\nnewversion=99.0.0.1\r\n") << true
                               << QStringLiteral("99.0.0.1") << true;
        QTest::newRow("same") << QStringLiteral("[file1]\nnewversion=%1\n").arg(LiveUpdate::LaufendeVersion()) << true
                              << LiveUpdate::LaufendeVersion() << false;
        QTest::newRow("same with a fourth part")
            << QStringLiteral("[file1]\nnewversion=%1.0\n").arg(LiveUpdate::LaufendeVersion()) << true
            << LiveUpdate::LaufendeVersion() + QStringLiteral(".0") << false;
        QTest::newRow("older") << QStringLiteral("[file1]\nnewversion=0.9.9.9\n") << true << QStringLiteral("0.9.9.9")
                               << false;
        QTest::newRow("without the key") << QStringLiteral("[file1]\nversion=99.0\n") << true << QStringLiteral("-")
                                         << false;
        QTest::newRow("without the section")
            << QStringLiteral("[file2]\nnewversion=99.0\n") << true << QStringLiteral("-") << false;
        QTest::newRow("not a version") << QStringLiteral("[file1]\nnewversion=neu\n") << true << QStringLiteral("neu")
                                       << false;
        QTest::newRow("no file on the server") << QString() << true << QStringLiteral("-") << false;
        QTest::newRow("server down") << QStringLiteral("[file1]\nnewversion=99.0\n") << false << QStringLiteral("-")
                                     << false;
    }
    void versionCheckReadsUpdateServer() {
        QFETCH(QString, inhalt);
        QFETCH(bool, serverDa);
        QFETCH(QString, version);
        QFETCH(bool, verfuegbar);
        QTemporaryDir appdata;
        qputenv("APPDATA", appdata.path().toUtf8());
        const QString info =
            QDir(m_http.root()).filePath(QStringLiteral("update/LumoraWindowsClient/LumoraWinClientUpdate.INF"));
        QFile::remove(info);
        if (!inhalt.isEmpty()) {
            QFile f(info);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(inhalt.toUtf8());
        }
        qputenv("LUMORA_UPDATE_HOST",
                serverDa ? QByteArray("127.0.0.1:") + QByteArray::number(m_http.port()) : QByteArray("127.0.0.1:1"));

        QCOMPARE(LiveUpdate::NeueVersionLaden(), version);
        QCOMPARE(LiveUpdate::UpdateVerfuegbar(), verfuegbar);
        // The temporary copy of the information file does not stay behind.
        QVERIFY(QDir(appdata.path()).exists(QStringLiteral("Lumora")));
        QVERIFY(!QFile::exists(QDir(appdata.path()).filePath(QStringLiteral("Lumora/LumoraTemp.txt"))));
        qunsetenv("LUMORA_UPDATE_HOST");
        qunsetenv("APPDATA");
    }

    void versionComparison_data() {
        QTest::addColumn<QString>("neu");
        QTest::addColumn<QString>("laufend");
        QTest::addColumn<bool>("neuer");
        QTest::newRow("1.10 after 1.9") << QStringLiteral("1.10") << QStringLiteral("1.9") << true;
        QTest::newRow("more parts, same version") << QStringLiteral("1.0.0.0") << QStringLiteral("1.0.0") << false;
        QTest::newRow("fourth part decides") << QStringLiteral("1.0.0.1") << QStringLiteral("1.0.0") << true;
        QTest::newRow("fewer parts, older") << QStringLiteral("0.9") << QStringLiteral("1.0.0") << false;
        QTest::newRow("no version offered") << QStringLiteral("-") << QStringLiteral("1.0.0") << false;
    }
    void versionComparison() {
        QFETCH(QString, neu);
        QFETCH(QString, laufend);
        QFETCH(bool, neuer);
        QCOMPARE(LiveUpdate::IstNeuer(neu, laufend), neuer);
    }

    void noUpdateHostMakesNoRequest() {
        qunsetenv("LUMORA_UPDATE_HOST");
        QTemporaryDir appdata;
        qputenv("APPDATA", appdata.path().toUtf8());
        QCOMPARE(LiveUpdate::NeueVersionLaden(), QStringLiteral("-"));
        QVERIFY(!QDir(appdata.path()).exists(QStringLiteral("Lumora")));
        qunsetenv("APPDATA");
    }
};

QTEST_GUILESS_MAIN(TestDiagnosticUpload)
#include "tst_diagnostic_upload.moc"

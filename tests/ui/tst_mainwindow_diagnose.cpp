// The window's diagnostic upload and update offer against real servers: three clicks on
// the version label send a copy of the local file to the FTP server and the window goes
// back to checking; the update button follows the update server's information file.

#include "ui/MainWindowFixture.h"

#include "core/SqlQuery.h"
#include "core/SqliteConnection.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "fixtures/PythonServers.h"
#include "sync/LiveUpdate.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "ui/MessageHelper.h"
#include "ui/WindowsMainUnit1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>

using namespace Qt::StringLiterals;

class TestMainWindowDiagnose : public QObject {
    Q_OBJECT
    FtpServer m_ftp;
    HttpServer m_http;

    // Lets the window's version check end and its answer reach the window.
    static void warteAufVersionspruefung() {
        QVERIFY(QThreadPool::globalInstance()->waitForDone(60000));
        QTest::qWait(50);
    }

    // The update server's information file, and whether the server answers at all.
    void updateServerNennt(const QByteArray& inhalt, bool serverDa = true) {
        QFile info(QDir(m_http.root()).filePath(u"update/LumoraWindowsClient/LumoraWinClientUpdate.INF"_s));
        QVERIFY(info.open(QIODevice::WriteOnly | QIODevice::Truncate));
        info.write(inhalt);
        info.close();
        qputenv("LUMORA_UPDATE_HOST",
                serverDa ? "127.0.0.1:" + QByteArray::number(m_http.port()) : QByteArray("127.0.0.1:1"));
    }

private slots:
    void initTestCase() {
        QVERIFY2(m_ftp.start(), qPrintable(m_ftp.error()));
        QVERIFY2(m_http.start(), qPrintable(m_http.error()));
        QVERIFY(QDir(m_http.root()).mkpath(u"update/LumoraWindowsClient"_s));
    }
    void init() {
        Clock::setFixed(kHeute + um(14, 30).value());
        MessageHelper::setTestMode(true);
        qunsetenv("LUMORA_UPDATE_HOST");
    }
    void cleanup() {
        Clock::reset();
        MessageHelper::setTestMode(false);
        qunsetenv("LUMORA_UPDATE_HOST");
    }

    void dreiKlicksLadenDieKopieHochUndPruefenDanachWeiter() {
        m_ftp.configureClient();
        QDir upload(QDir(m_ftp.root()).filePath(u"DBUpload"_s));
        QVERIFY(upload.mkpath(u"."_s));

        MainWindowFixture f;
        f.speichereLogin();
        f.neuerEintrag(kHeute, 1, um(7, 0), um(9, 30), 2.5, u"Heizung montiert"_s, 1);
        f.oeffneFenster();
        QPointer<TDatenAusCloudThread> vorher = dm->FDatenAusCloudThread;
        QVERIFY(vorher);

        MessageHelper::setNextAnswer(MessageHelper::Answer::Yes);
        auto* label = f.find<QLabel>("LabelVersion");
        for (int i = 0; i < 3; ++i) {
            Clock::advance(1.0 / 86400.0);
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QCOMPARE(MessageHelper::shownTexts(), QStringList{u"Analysedaten hochladen?"_s});

        QTRY_COMPARE_WITH_TIMEOUT(f.find<QLabel>("Label_TopInfo")->text(), u"Upload fertig"_s, 60000);
        // The check thread stopped for the copy is gone; a new one checks again.
        QTRY_VERIFY_WITH_TIMEOUT(vorher.isNull(), 30000);
        QVERIFY(dm->FDatenAusCloudThread != nullptr);
        QCOMPARE(dm->FDatenAusCloudThread->SyncThreadType(), TSyncThreadType::sttCheckUpdate);
        QVERIFY(!dm->FDatenAusCloudThread->Terminated());
        f.merkeThread();
        QCOMPARE(f.file().dm().InternalLeseTXT(SettingKey::TagesDumpDatum, QString()), u"10.03.2026"_s);

        const QStringList angekommen = upload.entryList({u"dump_M7_U42_20260310_143003*.sqlite"_s}, QDir::Files);
        QCOMPARE(angekommen.size(), 1);
        QVERIFY(QDir(QFileInfo(f.file().path()).absolutePath()).entryList({u"dump_*"_s}, QDir::Files).isEmpty());
        TSqliteConnection kopie(upload.filePath(angekommen.first()));
        TSqlQuery q(&kopie);
        q.setSQL(u"select ZER_Bezeichnung from Z_ERFASSUNG where Mandant_ID = 7"_s);
        QVERIFY2(q.Open(), qPrintable(q.lastError()));
        QVERIFY(!q.Eof());
        QCOMPARE(q.Fields(0).AsString(), u"Heizung montiert"_s);
        QVERIFY(MessageHelper::shownTexts().size() == 1);
    }

    void updateKnopfFolgtDemUpdateServer_data() {
        QTest::addColumn<QString>("inhalt");
        QTest::addColumn<bool>("serverDa");
        QTest::addColumn<bool>("sichtbar");
        QTest::newRow("newer") << u"[file1]\nnewversion=99.1.0.0\n"_s << true << true;
        QTest::newRow("same") << u"[file1]\nnewversion=%1\n"_s.arg(LiveUpdate::LaufendeVersion()) << true << false;
        QTest::newRow("older") << u"[file1]\nnewversion=0.1.0.0\n"_s << true << false;
        QTest::newRow("without the key") << u"[file1]\nversion=99.1\n"_s << true << false;
        QTest::newRow("server down") << u"[file1]\nnewversion=99.1.0.0\n"_s << false << false;
    }
    void updateKnopfFolgtDemUpdateServer() {
        QFETCH(QString, inhalt);
        QFETCH(bool, serverDa);
        QFETCH(bool, sichtbar);
        updateServerNennt(inhalt.toUtf8(), serverDa);

        MainWindowFixture f;
        f.speichereLogin();
        f.oeffneFenster();
        warteAufVersionspruefung();

        auto* knopf = f.find<QPushButton>("Button_UpdateVerfuegbar");
        QCOMPARE(knopf->isVisible(), sichtbar);
        QCOMPARE(MessageHelper::shownTexts(), QStringList());
    }

    void updateKnopfStartetDasLiveUpdateProgramm_data() {
        QTest::addColumn<bool>("programmDa");
        QTest::newRow("program present: started in its folder, the window ends") << true;
        QTest::newRow("program missing: a message, the window stays") << false;
    }
    void updateKnopfStartetDasLiveUpdateProgramm() {
        QFETCH(bool, programmDa);
        // A stand-in for the live-update program that leaves a mark of having run where it was started.
        QTemporaryDir ablage;
        const QString marke = ablage.filePath(u"gestartet"_s);
        const auto wegraeumen = qScopeGuard([] { QFile::remove(LiveUpdate::ProgrammPfad()); });
        QFile::remove(LiveUpdate::ProgrammPfad());
        if (programmDa) {
            QFile programm(LiveUpdate::ProgrammPfad());
            QVERIFY(programm.open(QIODevice::WriteOnly));
            programm.write("#!/bin/sh\npwd > '" + marke.toUtf8() + "'\n");
            programm.close();
            QVERIFY(programm.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        updateServerNennt("[file1]\nnewversion=99.1.0.0\n");

        MainWindowFixture f;
        f.speichereLogin();
        TWindowsForm& w = f.oeffneFenster();
        auto* knopf = f.find<QPushButton>("Button_UpdateVerfuegbar");
        QTRY_VERIFY_WITH_TIMEOUT(knopf->isVisible(), 30000);
        MessageHelper::setNextAnswer(MessageHelper::Answer::Yes);
        QTest::mouseClick(knopf, Qt::LeftButton);

        const QString frage = u"Es ist ein Update für Lumora verfügbar. Soll dieses jetzt geladen werden?"_s;
        if (!programmDa) {
            QTRY_COMPARE(MessageHelper::shownTexts().size(), 2);
            QCOMPARE(MessageHelper::shownTexts(),
                     (QStringList{frage, u"Die Software für das Liveupdate (LumoraLiveUpdate.exe) ist nicht "
                                         u"vorhanden.\rDas Update kann nicht durchgeführt werden."_s}));
            QVERIFY(w.isVisible());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marke), 10000);
        QTRY_VERIFY(!w.isVisible());
        QFile ort(marke);
        QVERIFY(ort.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(ort.readAll()).trimmed(), QCoreApplication::applicationDirPath());
        QCOMPARE(MessageHelper::shownTexts(), QStringList{frage});
    }
};

QTEST_MAIN(TestMainWindowDiagnose)
#include "tst_mainwindow_diagnose.moc"

#include "core/tdm.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Start-up as a user sees it: the real program, started with a fresh profile.
class TestStartup : public QObject {
    Q_OBJECT

    // A copy of the program in a folder of its own, so a "DB" folder beside it is ours alone.
    static QString copyProgram(const QString& dir)
    {
        const QString target = dir + QStringLiteral("/lumora");
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(LUMORA_CLIENT_BIN), target))
            return QString();
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
        return target;
    }

    static bool startAndWaitForFile(QProcess& p, const QString& program, const QString& appdata, const QString& file)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("APPDATA"), appdata);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, {});
        if (!p.waitForStarted(10000))
            return false;
        for (int i = 0; i < 200 && !QFile::exists(file); ++i)
            QTest::qWait(50);
        return QFile::exists(file);
    }

    static void stop(QProcess& p)
    {
        p.terminate();
        if (!p.waitForFinished(5000))
            p.kill();
        p.waitForFinished(5000);
    }

private slots:
    void versionNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("number");
        QTest::newRow("four parts") << QStringLiteral("1.52.0.147") << Q_INT64_C(1000520000000147);
        QTest::newRow("2.7") << QStringLiteral("2.7") << Q_INT64_C(200007);
        QTest::newRow("2.10") << QStringLiteral("2.10") << Q_INT64_C(200010);
        QTest::newRow("long part cut to five") << QStringLiteral("1.1234567") << Q_INT64_C(112345);
        QTest::newRow("single part") << QStringLiteral("7") << Q_INT64_C(7);
    }
    void versionNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, number);
        bool ok = false;
        QCOMPARE(Tdm::GibVersionsinfoAlsZahl(text, &ok), number);
        QVERIFY(ok);
    }

    void versionOrder_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("higher");
        QTest::newRow("2.7 < 2.10") << QStringLiteral("2.7") << QStringLiteral("2.10");
        QTest::newRow("1.9 < 1.10") << QStringLiteral("1.9") << QStringLiteral("1.10");
        QTest::newRow("1.52.0.147 < 1.52.1.0") << QStringLiteral("1.52.0.147") << QStringLiteral("1.52.1.0");
    }
    void versionOrder()
    {
        QFETCH(QString, lower);
        QFETCH(QString, higher);
        QVERIFY(Tdm::GibVersionsinfoAlsZahl(lower) < Tdm::GibVersionsinfoAlsZahl(higher));
    }

    void nonNumericVersionIsReported()
    {
        bool ok = true;
        QCOMPARE(Tdm::GibVersionsinfoAlsZahl(QStringLiteral("1.x"), &ok), 0);
        QVERIFY(!ok);
    }

    void freshProfileGetsFileBelowAppData()
    {
        QTemporaryDir dir;
        const QString program = copyProgram(dir.path());
        QVERIFY(!program.isEmpty());
        const QString appdata = dir.filePath(QStringLiteral("appdata"));
        QDir().mkpath(appdata);
        const QString file = appdata + QStringLiteral("/Lumora/DB/Lumora.sqlite");
        QProcess p;
        QVERIFY(startAndWaitForFile(p, program, appdata, file));
        stop(p);
    }

    // A logout or service manager sends SIGTERM: the program closes its window and ends
    // normally instead of dying with the synchronisation thread mid-statement.
    void stopSignalClosesNormally()
    {
        QTemporaryDir dir;
        const QString program = copyProgram(dir.path());
        QVERIFY(!program.isEmpty());
        const QString appdata = dir.filePath(QStringLiteral("appdata"));
        QDir().mkpath(appdata);
        QProcess p;
        QVERIFY(startAndWaitForFile(p, program, appdata, appdata + QStringLiteral("/Lumora/DB/Lumora.sqlite")));
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    void dbFolderBesideProgramWins()
    {
        QTemporaryDir dir;
        const QString program = copyProgram(dir.path());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("DB")));
        const QString appdata = dir.filePath(QStringLiteral("appdata"));
        QDir().mkpath(appdata);
        QProcess p;
        QVERIFY(startAndWaitForFile(p, program, appdata, dir.filePath(QStringLiteral("DB/Lumora.sqlite"))));
        stop(p);
        QVERIFY(!QFile::exists(appdata + QStringLiteral("/Lumora/DB/Lumora.sqlite")));
    }

    void unusableFileGivesMessageAndStaysUntouched_data()
    {
        QTest::addColumn<bool>("appdataIsAFile");
        QTest::newRow("file is not a database") << false;
        QTest::newRow("folder cannot be made") << true;
    }
    void unusableFileGivesMessageAndStaysUntouched()
    {
        QFETCH(bool, appdataIsAFile);
        QTemporaryDir dir;
        const QString program = copyProgram(dir.path());
        const QString appdata = dir.filePath(QStringLiteral("appdata"));
        const QByteArray garbage("this is a letter, not a database\n");
        QString touched;
        if (appdataIsAFile) {
            touched = appdata; // Lumora/DB cannot be created below a plain file
        } else {
            QDir().mkpath(appdata + QStringLiteral("/Lumora/DB"));
            touched = appdata + QStringLiteral("/Lumora/DB/Lumora.sqlite");
        }
        QFile f(touched);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(garbage);
        f.close();

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("APPDATA"), appdata);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, {});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(p.readAllStandardError().contains("Lumora.sqlite"), "the message names the file");
        QFile back(touched);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), garbage);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"

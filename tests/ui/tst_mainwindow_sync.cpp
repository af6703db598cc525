#include "ui/MainWindowFixture.h"

#include "core/globals.h"
#include "core/settingskeys.h"
#include "sync/SyncTestbed.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "ui/MessageHelper.h"
#include "ui/WindowsMainUnit1.h"
#include "ui/widgets/AmpelBilder.h"
#include "ui/widgets/TListViewUebersicht.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

template <class Bedingung> static bool warteLangsam(Bedingung bedingung, int timeoutMs)
{
    QElapsedTimer uhr;
    uhr.start();
    while (!bedingung()) {
        if (uhr.elapsed() > timeoutMs)
            return false;
        QTest::qWait(1000);
    }
    return true;
}

// The window against the real service: what the user records travels to the cloud and
// the overview's status picture follows.
class TestMainWindowSync : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageHelper::setTestMode(true); }
    void cleanup() { MessageHelper::setTestMode(false); }

    void erfassteZeitWandertVomGeraetInDieCloud() {
        SyncServer server;
        QString fehler;
        QVERIFY2(server.setUp(fehler), qPrintable(fehler));

        // The office knows the window's user: the download would otherwise drop the local group
        // and with it the user's permissions (today would count as locked).
        const QString crypto = u"%1,%2,%3"_s.arg(SyncServer::Crypto1).arg(SyncServer::Crypto2).arg(SyncServer::Crypto3);
        const QString mandant = QString::number(SyncServer::Mandant);
        QString gruppe;
        QVERIFY2(server.service.admin({u"add-group"_s, u"--tenant"_s, mandant, u"--name"_s, u"Monteure"_s, u"--crypto"_s,
                                       crypto, u"--set"_s, u"BER_Praesenzzeit=1"_s, u"--set"_s, u"BER_Typ=11111"_s,
                                       u"--set"_s, u"BER_Art=1111"_s, u"--set"_s, u"BER_KS=2"_s, u"--set"_s,
                                       u"BER_Fakt=2"_s},
                                      &gruppe),
                 qPrintable(server.service.error()));
        QVERIFY2(server.service.admin({u"add-user"_s, u"--tenant"_s, mandant, u"--short"_s, u"MM"_s, u"--password"_s,
                                       u"pw"_s, u"--name"_s, u"Max Muster"_s, u"--group"_s, gruppe.trimmed(), u"--lpe"_s,
                                       QString::number(MainWindowFixture::Personal), u"--crypto"_s, crypto}),
                 qPrintable(server.service.error()));
        QVERIFY2(server.service.admin({u"add-row"_s, u"--tenant"_s, mandant, u"--table"_s, u"A_PERSONAL"_s, u"--set"_s,
                                       u"LPE_ID=%1"_s.arg(MainWindowFixture::Personal), u"--set"_s, u"LPE_Nr=42"_s,
                                       u"--set"_s, u"LPE_Suchbez=Muster Max"_s, u"--crypto"_s, crypto}),
                 qPrintable(server.service.error()));

        MainWindowFixture f(true);
        f.speichereLogin();
        LocalFileFixture& datei = f.file();
        QVERIFY(datei.exec(u"update MandantenLogIn set FirmaPW = '%1', FirmaName = '%2', Crypto1 = %3, Crypto2 = %4, "
                           u"Crypto3 = %5"_s.arg(SyncServer::kennwort(), SyncServer::firma())
                               .arg(SyncServer::Crypto1)
                               .arg(SyncServer::Crypto2)
                               .arg(SyncServer::Crypto3)));
        datei.dm().InternalSchreibeTXT(SettingKey::Firma_Kennwort, SyncServer::kennwort());
        datei.dm().InternalSchreibeTXT(SettingKey::Firma_Name, SyncServer::firma());

        TWindowsForm& w = f.oeffneFenster();
        QVERIFY(IstAngemeldet);
        // The first cycle brings the tenant's data; the window then goes back to checking.
        // Polled slowly: every read claims the file for the main thread, and reads faster than
        // its release grace would keep the sync thread waiting for good.
        QVERIFY(warteLangsam([&] { return !datei.value(u"select LastSyncDate from MandantenLogIn"_s).toString().isEmpty(); },
                             90000));
        QTRY_VERIFY_WITH_TIMEOUT(dm->FDatenAusCloudThread &&
                                     dm->FDatenAusCloudThread->SyncThreadType() == TSyncThreadType::sttCheckUpdate,
                                 30000);
        f.merkeThread();
        QVERIFY(MessageHelper::shownTexts().isEmpty());

        TListViewUebersicht* liste = f.uebersicht();
        int zeile = -1;
        for (int i = 0; i < liste->Count(); ++i)
            if (liste->Zeile(i).ItemTyp == u"ZPZNEU")
                zeile = i;
        QVERIFY(zeile >= 0);
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->ZeilenRect(zeile).center());
        const int mobileID = liste->Zeile(zeile).Tag;
        QCOMPARE(liste->Zeile(zeile).ItemAmpelImage, 0);
        f.bildSpeichern(u"sync_vorher"_s);

        auto bildDerZeit = [&] {
            f.merkeThread();
            for (int i = 0; i < liste->Count(); ++i)
                if (liste->Zeile(i).Tag == mobileID && liste->Zeile(i).ItemTyp == u"ZPZ")
                    return liste->Zeile(i).ItemAmpelImage;
            return -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(bildDerZeit(), 1, 90000);
        QCOMPARE(datei.value(u"select CloudStatus from Z_PRAESENZZEIT where MobileID = %1"_s.arg(mobileID)).toInt(), 1);
        QVERIFY(server.value(u"select count(*) from Z_PRAESENZZEIT where Mandant_ID = 7"_s).toInt() >= 1);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Image_Synch->isVisible(), 60000);
        f.bildSpeichern(u"sync_nachher"_s);
    }
};

QTEST_MAIN(TestMainWindowSync)
#include "tst_mainwindow_sync.moc"

#include "ui/MainWindowFixture.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "ui/MessageHelper.h"
#include "ui/WindowsMainUnit1.h"
#include "ui/pages/TErfassungSeite.h"
#include "ui/pages/TUserSeite.h"
#include "ui/widgets/TListViewUebersicht.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Clock::setFixed(kHeute + um(14, 30).value());
        MessageHelper::setTestMode(true);
    }
    void cleanup() {
        Clock::reset();
        MessageHelper::setTestMode(false);
    }

    void startOhneLoginZeigtDieLoginSeite() {
        MainWindowFixture f;
        f.oeffneFenster();
        QCOMPARE(f.fenster().windowTitle(), u"Lumora"_s);
        QCOMPARE(f.find<QLabel>("Label_TopInfo")->text(), u"Benutzerdaten bitte angeben..."_s);
        QVERIFY(f.find<QWidget>("Layout_User")->isVisible());
        QVERIFY(!f.find<QWidget>("Layout_Erfassung")->isVisible());
        QVERIFY(!IstAngemeldet);
        QVERIFY(dm->FDatenAusCloudThread == nullptr);
        QVERIFY(!f.find<QLabel>("Image_Synch")->isVisible());
        QCOMPARE(f.find<QLabel>("LabelVersion")->text(), u" V 1.52.0"_s);
        f.bildSpeichern(u"login"_s);
    }

    void startMitGespeichertemLoginZeigtDenHeutigenTag() {
        MainWindowFixture f;
        f.speichereLogin();
        f.neuePraesenzzeit(kHeute, um(7, 0), um(12, 0), 1);
        f.neuePraesenzzeit(kHeute, um(12, 30), {}, 0, true);
        f.neuerEintrag(kHeute, 1, um(7, 0), um(9, 30), 2.5, u"Heizung montiert"_s, 1);
        f.neuerEintrag(kHeute, 1, um(9, 30), {}, 0, u"Rohrbruch suchen"_s, 0);
        f.neuerEintrag(kHeute, 1, {}, {}, 1.5, u"Fahrzeit"_s, 2);
        f.neuerEintrag(kHeute, 4, um(12, 0), {}, 2, u"Verpflegung"_s, 0);
        f.neuerEintrag(kHeute, 5, um(13, 0), {}, 0, u"Baustellenfahrt"_s, 0, 42);
        f.oeffneFenster();

        QVERIFY(IstAngemeldet);
        QCOMPARE(dm->FMandantID, MainWindowFixture::Mandant);
        QCOMPARE(f.find<QLabel>("Label_TopInfo")->text(), u"Muster AG   -   Max Muster"_s);
        QCOMPARE(f.find<QLabel>("Label_TopDatum")->text(), u"Di 10.03.2026"_s);
        QVERIFY(f.find<QWidget>("Panel1")->isEnabled());
        QVERIFY(f.find<QWidget>("Layout_Erfassung")->isVisible());
        QVERIFY(!f.find<QWidget>("Layout_Erfassung")->isEnabled());

        const QStringList erwartet{
            u"# Präsenzzeit  ( 5 Std. )"_s,
            u"ZPZ|07.00 - |12.00|5.00 Std.|1||"_s,
            u"ZPZ|12.30 - |offen||0||"_s,
            u"# Arbeitszeit  ( 4 Std. )"_s,
            u"ZER|1.50 Std.|||2|Intern|Fahrzeit"_s,
            u"ZER|07.00 - |09.30||1|Intern|Heizung montiert"_s,
            u"ZER|09.30 - |offen||0|Intern|Rohrbruch suchen"_s,
            u"ZERNEU|||||>>> Neu|"_s,
            u"# Material / Spesen / km"_s,
            u"ZER|2 x |||0|Intern|Verpflegung"_s,
            u"ZER|42 km |||0|Intern|Baustellenfahrt"_s,
        };
        QCOMPARE(f.zeilen(), erwartet);
        f.merkeThread();
        f.bildSpeichern(u"tag"_s);
    }

    void tagesPfeileAchtenAufDieGrenzen_data() {
        QTest::addColumn<QString>("berFelder");
        QTest::addColumn<int>("maxAlter");
        QTest::addColumn<QString>("klicks");
        QTest::addColumn<QString>("tagDanach");
        QTest::newRow("ein Tag zurück") << QString() << 60 << u"-"_s << u"Mo 09.03.2026"_s;
        QTest::newRow("nicht über das Höchstalter hinaus") << QString() << 2 << u"-----"_s << u"Sa 07.03.2026"_s;
        QTest::newRow("heute ohne Zukunft bleibt heute") << QString() << 60 << u"+"_s << u"Di 10.03.2026"_s;
        QTest::newRow("Zukunft erlaubt") << u"BER_InZukunftErlauben = 1"_s << 60 << u"++"_s << u"Do 12.03.2026"_s;
        QTest::newRow("zurück und wieder bis heute") << QString() << 60 << u"--+++"_s << u"Di 10.03.2026"_s;
    }
    void tagesPfeileAchtenAufDieGrenzen() {
        QFETCH(QString, berFelder);
        QFETCH(int, maxAlter);
        QFETCH(QString, klicks);
        QFETCH(QString, tagDanach);
        MainWindowFixture f;
        f.speichereLogin(berFelder);
        f.file().dm().InternalSchreibeINT(SettingKey::MaxAlterDerZeiten, maxAlter);
        f.oeffneFenster();
        for (QChar c : klicks)
            QTest::mouseClick(f.find<QToolButton>(c == u'-' ? "btn_TagMinus" : "btn_TagPlus"), Qt::LeftButton);
        QCOMPARE(f.find<QLabel>("Label_TopDatum")->text(), tagDanach);
        QCOMPARE(AnzeigeDatum.format(u"ddd dd.mm.yyyy"_s), tagDanach);
        f.merkeThread();
    }

    void kalenderansichtVerbirgtDieTagesPfeile() {
        MainWindowFixture f;
        f.file().exec(u"delete from INTERNAL where KEYVALUE = 'Kalenderansicht'"_s);
        f.oeffneFenster();
        QVERIFY(f.find<QToolButton>("Image_KalenderAnzeigen")->isVisible());
        QVERIFY(!f.find<QToolButton>("btn_TagMinus")->isVisible());
        QVERIFY(!f.find<QToolButton>("btn_TagPlus")->isVisible());
    }

    void offenerEintragOeffnetSeinenTagGesperrt() {
        MainWindowFixture f;
        f.speichereLogin();
        const TDateTime gestern = kHeute.addDays(-1);
        f.neuerEintrag(kHeute, 1, um(8, 0), um(9, 0), 1, u"Heute"_s, 1);
        const int offen = f.neuerEintrag(gestern, 1, um(15, 0), {}, 0, u"Noch offen"_s, 0);
        f.file().exec(u"update Z_ERFASSUNG set gesperrt = 1 where MobileID = %1"_s.arg(offen));
        f.file().dm().ZER_AktuelleMobileIDschreibe(offen);
        f.oeffneFenster();

        QCOMPARE(f.find<QLabel>("Label_TopDatum")->text(), u"Mo 09.03.2026"_s);
        QVERIFY(!f.find<QWidget>("Panel1")->isEnabled());
        QVERIFY(f.zeilen().contains(u"ZER|15.00 - |offen||0|Intern|Noch offen"_s));
        auto* seite = f.find<TErfassungSeite>("Layout_Erfassung");
        QVERIFY(seite->isVisible());
        QVERIFY(seite->isEnabled());
        QCOMPARE(seite->Edit_Bezeichnung->text(), u"Noch offen"_s);
        QCOMPARE(seite->Button_LoescheZER->text(), u"Bearbeiten"_s);
        QVERIFY(!seite->Layout_56_BezText->isEnabled());
        // The day arrows stay away while the entry is open.
        QTest::mouseClick(f.find<QToolButton>("btn_TagPlus"), Qt::LeftButton);
        QCOMPARE(f.find<QLabel>("Label_TopDatum")->text(), u"Mo 09.03.2026"_s);
    }

    void vergessenerOffenerEintragZeigtHeute() {
        MainWindowFixture f;
        f.speichereLogin();
        f.file().dm().ZER_AktuelleMobileIDschreibe(-4242);
        f.oeffneFenster();
        QCOMPARE(f.find<QLabel>("Label_TopDatum")->text(), u"Di 10.03.2026"_s);
        QVERIFY(f.find<QWidget>("Panel1")->isEnabled());
        f.merkeThread();
    }

    void versionsGesteFragtErstBeimDrittenKlick() {
        MainWindowFixture f;
        f.speichereLogin();
        f.oeffneFenster();
        f.merkeThread();
        auto* label = f.find<QLabel>("LabelVersion");
        auto klick = [&](double sekundenSpaeter) {
            Clock::advance(sekundenSpaeter / 86400.0);
            QTest::mouseClick(label, Qt::LeftButton);
        };
        klick(0);
        klick(1);
        QVERIFY(MessageHelper::shownTexts().isEmpty());
        klick(5); // six seconds after the first: a new series begins here
        klick(1);
        QVERIFY(MessageHelper::shownTexts().isEmpty());
        klick(1);
        QCOMPARE(MessageHelper::shownTexts(), QStringList{u"Analysedaten hochladen?"_s});
    }

    void syncStatusErreichtSeineReaktion_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("wert");
        QTest::newRow("Fortschritt zeigt die Zahl") << int(TSyncStatus::SyncFortschritt) << 17;
        QTest::newRow("Fortschritt 0 verbirgt sie") << int(TSyncStatus::SyncFortschritt) << 0;
        QTest::newRow("Schlüsselfehler") << int(TSyncStatus::SyncCryptoError) << 0;
        QTest::newRow("Updates vorhanden") << int(TSyncStatus::SyncUpdatesVorhanden) << 0;
        QTest::newRow("Neustart") << int(TSyncStatus::SyncRestart) << 0;
        QTest::newRow("Zyklus fertig") << int(TSyncStatus::SyncUpdateFertig) << 0;
        QTest::newRow("Einstellungen") << int(TSyncStatus::SyncEinstellungen) << 0;
        QTest::newRow("Zeiten") << int(TSyncStatus::SyncZeiten) << 0;
        QTest::newRow("Planung") << int(TSyncStatus::SyncPlanung) << 0;
        QTest::newRow("Teamänderung") << int(TSyncStatus::SyncTeamAenderung) << 0;
    }
    void syncStatusErreichtSeineReaktion() {
        QFETCH(int, status);
        QFETCH(int, wert);
        MainWindowFixture f;
        f.speichereLogin();
        f.file().dm().InternalSchreibeINT(SettingKey::ServerVersion, 0);
        TWindowsForm& w = f.oeffneFenster();
        auto* bild = f.find<QLabel>("Image_Synch");
        auto* fortschritt = f.find<QLabel>("Label_SyncFortschritt");
        QVERIFY(dm->FDatenAusCloudThread);
        QCOMPARE(dm->FDatenAusCloudThread->SyncThreadType(), TSyncThreadType::sttCheckUpdate);
        TDatenAusCloudThread* vorher = dm->FDatenAusCloudThread;
        w.PlanungGeloescht = true;
        w.SyncBildZeigen(true);
        const int zeilenVorher = f.uebersicht()->Count();
        f.neuerEintrag(kHeute, 1, um(8, 0), um(9, 0), 1, u"Vom Server"_s, 2);

        w.ReagiereAufSyncStatus(vorher, TSyncStatus(status), wert);
        f.merkeThread();

        switch (TSyncStatus(status)) {
        case TSyncStatus::SyncFortschritt:
            QCOMPARE(fortschritt->isVisible(), wert > 0);
            QCOMPARE(fortschritt->text(), QString::number(wert));
            break;
        case TSyncStatus::SyncCryptoError:
            QCOMPARE(MessageHelper::shownTexts(),
                     QStringList{u"Bitte überprüfen sie die Benutzerdaten.\nDas Synchronisieren ist nicht möglich."_s});
            QVERIFY(dm->FDatenAusCloudThread == nullptr);
            QVERIFY(!bild->isVisible());
            break;
        case TSyncStatus::SyncUpdatesVorhanden:
        case TSyncStatus::SyncRestart:
            QVERIFY(dm->FDatenAusCloudThread && dm->FDatenAusCloudThread != vorher);
            QCOMPARE(dm->FDatenAusCloudThread->SyncThreadType(), TSyncThreadType::sttSyncData);
            QVERIFY(bild->isVisible());
            break;
        case TSyncStatus::SyncUpdateFertig:
            QVERIFY(dm->FDatenAusCloudThread && dm->FDatenAusCloudThread != vorher);
            QCOMPARE(dm->FDatenAusCloudThread->SyncThreadType(), TSyncThreadType::sttCheckUpdate);
            QVERIFY(!bild->isVisible());
            break;
        case TSyncStatus::SyncEinstellungen:
            QVERIFY(!f.find<QLabel>("LabelInfoServerupdate")->isHidden());
            break;
        case TSyncStatus::SyncZeiten:
            QCOMPARE(f.uebersicht()->Count(), zeilenVorher + 1);
            break;
        case TSyncStatus::SyncPlanung:
            QVERIFY(!w.PlanungGeloescht);
            break;
        case TSyncStatus::SyncTeamAenderung:
            QCOMPARE(dm->FDatenAusCloudThread, vorher);
            break;
        }
    }

    void notizVonEinemGestopptenThreadSteuertNichtMehr() {
        MainWindowFixture f;
        f.speichereLogin();
        TWindowsForm& w = f.oeffneFenster();
        TDatenAusCloudThread* alt = dm->FDatenAusCloudThread;
        QVERIFY(alt);
        w.StarteUpdatePruefung(true);
        f.merkeThread();
        TDatenAusCloudThread* neu = dm->FDatenAusCloudThread;
        QVERIFY(neu != alt);
        w.ReagiereAufSyncStatus(alt, TSyncStatus::SyncUpdatesVorhanden, 0);
        QCOMPARE(dm->FDatenAusCloudThread, neu);
    }

    void pruefungWartetWaehrendEinesEintragsImBearbeiten() {
        MainWindowFixture f;
        f.speichereLogin();
        TWindowsForm& w = f.oeffneFenster();
        auto* liste = f.uebersicht();
        int neuZeile = -1;
        for (int i = 0; i < liste->Count(); ++i)
            if (liste->Zeile(i).ItemTyp == u"ZERNEU")
                neuZeile = i;
        QVERIFY(neuZeile >= 0);
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->ZeilenRect(neuZeile).center());
        QCOMPARE(w.Layout_Erfassung->Button_Fertig->text(), u"Speichern"_s);
        QVERIFY(!w.Panel1->isEnabled());
        QVERIFY2(dm->FDatenAusCloudThread == nullptr, "opening an entry stops the synchronisation");
        w.StarteUpdatePruefung(false);
        QVERIFY(dm->FDatenAusCloudThread == nullptr);
        w.StarteUpdatePruefung(true);
        QVERIFY(dm->FDatenAusCloudThread != nullptr);
        f.merkeThread();
        QCOMPARE(f.file().value(u"select gesperrt from Z_ERFASSUNG where MobileID = %1"_s.arg(w.ZER_MobileID)).toInt(),
                 1);
    }

    void neuePraesenzzeitEntstehtAnOrtUndStelle() {
        MainWindowFixture f;
        f.speichereLogin();
        TWindowsForm& w = f.oeffneFenster();
        f.merkeThread();
        auto* liste = f.uebersicht();
        int zeile = -1;
        for (int i = 0; i < liste->Count(); ++i)
            if (liste->Zeile(i).ItemTyp == u"ZPZNEU")
                zeile = i;
        QVERIFY(zeile >= 0);
        QVERIFY(w.Layout_Erfassung->isVisible());
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->ZeilenRect(zeile).center());
        const UebersichtZeile& z = liste->Zeile(zeile);
        QCOMPARE(z.ItemTyp, u"ZPZ"_s);
        QVERIFY(z.Tag < 0);
        QCOMPARE(z.ItemZeitBis.Text, u"offen"_s);
        QCOMPARE(z.ItemAmpelStatus, u"0"_s);
        QVERIFY(z.ItemZeitVon.Text.endsWith(u" - "_s));
        QVERIFY(w.Layout_Erfassung->isVisible());
        QCOMPARE(f.file().value(u"select count(*) from Z_PRAESENZZEIT where MobileID = %1"_s.arg(z.Tag)).toInt(), 1);
        QVERIFY(f.file().dm().InternalLeseBool(SettingKey::StarteSyncSofort, false));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

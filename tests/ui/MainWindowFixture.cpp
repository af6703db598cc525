#include "ui/MainWindowFixture.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"
#include "ui/WindowsMainUnit1.h"
#include "ui/widgets/TListViewUebersicht.h"

#include <QDir>
#include <QTest>

namespace {
QString sqlText(const QString& s) {
    return u"'"_qs + QString(s).replace(u"'"_qs, u"''"_qs) + u"'"_qs;
}
QString sqlDatum(TDateTime t) {
    return sqlText(DTDatetimeToString(t));
}
} // namespace

MainWindowFixture::MainWindowFixture(bool mitServer) {
    if (!mitServer) {
        // No service answers here: the window's threads find no server and wait until stopped.
        qputenv("LUMORA_REMOTEDB_SCHEME", "http");
        qputenv("LUMORA_REMOTEDB_HOST", "127.0.0.1");
        qputenv("LUMORA_REMOTEDB_PORT", "9");
    }
    m_file.dm().SQLiteDB_Erstellen();
    m_file.dm().InternalSchreibeBool(SettingKey::Kalenderansicht, false);
}

MainWindowFixture::~MainWindowFixture() {
    schliesseFenster();
}

void MainWindowFixture::speichereLogin(const QString& berFelder) {
    QVERIFY(m_file.exec(u"insert into MandantenLogIn (FirmaPin, FirmaPW, UserKurz, UserPW, FirmaName, UserName, "
                        u"MandantID) values (4711, 'geheim', 'MM', 'pw', 'Muster AG', 'Max Muster', 7)"_qs));
    QVERIFY(m_file.exec(u"insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_UserPW, "
                        u"USR_BER_ID, USR_UserFD) values (7, 3, 'Max Muster', 'MM', 'pw', 1, 42)"_qs));
    QVERIFY(m_file.exec(u"insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_Nr, LPE_Suchbez, LPE_Kuerzel) values "
                        u"(7, 42, 42, 'Muster Max', 'MM')"_qs));
    QVERIFY(m_file.exec(u"insert into Lumora_Gruppen (Mandant_ID, BER_ID, BER_Bezeichnung, BER_Praesenzzeit, BER_Typ, "
                        u"BER_Art, BER_KS, BER_Fakt) values (7, 1, 'Monteure', 1, '11111', '1111', 2, 2)"_qs));
    if (!berFelder.isEmpty())
        QVERIFY(m_file.exec(u"update Lumora_Gruppen set "_qs + berFelder + u" where BER_ID = 1"_qs));
    Tdm& d = m_file.dm();
    d.InternalSchreibeTXT(SettingKey::Firma_PIN, u"4711"_qs);
    d.InternalSchreibeTXT(SettingKey::Firma_Kennwort, u"geheim"_qs);
    d.InternalSchreibeTXT(SettingKey::Firma_Name, u"Muster AG"_qs);
    d.InternalSchreibeTXT(SettingKey::User_Kurz, u"MM"_qs);
    d.InternalSchreibeTXT(SettingKey::User_Kennwort, u"pw"_qs);
    d.InternalSchreibeTXT(SettingKey::User_Name, u"Max Muster"_qs);
    d.InternalSchreibeINT(SettingKey::User_LPE_ID, Personal);
    d.InternalSchreibeBool(SettingKey::User_Anmeldung_OK, true);
    d.InternalSchreibeINT(SettingKey::Mandant_ID, Mandant);
    d.InternalSchreibeINT(SettingKey::ServerVersion, 21);
}

int MainWindowFixture::neuePraesenzzeit(TDateTime tag, TDateTime von, TDateTime bis, int cloudStatus, bool offen) {
    const int mobile = m_naechsteMobileID--;
    const double std100 = offen ? 0.0 : (bis - von) * 24.0;
    const bool ok = m_file.exec(
        u"insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Bis, ZPZ_Std100, "
        u"MobileID, CloudStatus, BisIstNULL, komplett) values (7, %1, 42, %2, %3, %4, %5, %1, %6, %7, 0)"_qs.arg(mobile)
            .arg(sqlDatum(tag.datePart()), sqlDatum(von), offen ? u"NULL"_qs : sqlDatum(bis))
            .arg(std100)
            .arg(cloudStatus)
            .arg(offen ? 1 : 0));
    if (!ok)
        qWarning("presence row not stored");
    return mobile;
}

int MainWindowFixture::neuerEintrag(TDateTime tag, int typ, TDateTime von, TDateTime bis, double std100,
                                    const QString& bezeichnung, int cloudStatus, int km) {
    const int mobile = m_naechsteMobileID--;
    const bool ok = m_file.exec(
        u"insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, ZER_LPE, ZER_Type, ZER_Datum, ZER_Von, ZER_Bis, ZER_Std100, "
        u"ZER_Bezeichnung, ZER_ZKA, ZER_Km, MobileID, CloudStatus, VonIstNULL, BisIstNULL) values (7, %1, 42, %2, %3, "
        u"%4, %5, %6, %7, '100', %8, %1, %9, %10, %11)"_qs.arg(mobile)
            .arg(typ)
            .arg(sqlDatum(tag.datePart()), sqlDatum(von), sqlDatum(bis))
            .arg(std100)
            .arg(sqlText(bezeichnung))
            .arg(km)
            .arg(cloudStatus)
            .arg(von.value() == 0.0 ? 1 : 0)
            .arg(bis.value() == 0.0 ? 1 : 0));
    if (!ok)
        qWarning("entry row not stored");
    return mobile;
}

TWindowsForm& MainWindowFixture::oeffneFenster() {
    m_window = std::make_unique<TWindowsForm>();
    m_window->resize(1028, 839);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("window not exposed");
    merkeThread();
    return *m_window;
}

void MainWindowFixture::merkeThread() {
    if (dm && dm->FDatenAusCloudThread)
        m_threads.emplace_back(dm->FDatenAusCloudThread);
}

void MainWindowFixture::schliesseFenster() {
    if (!m_window)
        return;
    m_window->close();
    m_window.reset();
    for (const auto& thread : m_threads)
        QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 60000);
    m_threads.clear();
}

TListViewUebersicht* MainWindowFixture::uebersicht() const {
    return find<TListViewUebersicht>("ListView_Uebersicht");
}

QStringList MainWindowFixture::zeilen() const {
    QStringList out;
    const TListViewUebersicht* liste = uebersicht();
    for (int i = 0; i < liste->Count(); ++i) {
        const UebersichtZeile& z = liste->Zeile(i);
        if (z.IstHeader) {
            out << u"# "_qs + z.HeaderText;
            continue;
        }
        out << QStringList{z.ItemTyp,         z.ItemZeitVon.Text,    z.ItemZeitBis.Text,  z.ItemZeitTotal.Text,
                           z.ItemAmpelStatus, z.ItemZusatzText.Text, z.ItemKostenArt.Text}
                   .join(u'|');
    }
    return out;
}

QString MainWindowFixture::bildSpeichern(const QString& name) {
    const QString ordner = QStringLiteral(LUMORA_BUILD_DIR) + u"/screenshots"_qs;
    QDir().mkpath(ordner);
    const QString pfad = ordner + u"/"_qs + name + u".png"_qs;
    m_window->grab().save(pfad);
    return pfad;
}

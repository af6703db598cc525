#include "recording/recording_fixture.h"

#include "core/clock.h"
#include "core/globals.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

const char* const kStammdaten[] = {
    // employees: cost rate / billing rate per hour
    "insert into A_PERSONAL (Mandant_ID, LPE_ID, LPE_Nr, LPE_Suchbez, LPE_Kuerzel, LPE_KostenStd, LPE_VerrechnenStd)"
    " values (7, 10, 1, 'Chef Anna', 'AC', 40, 65), (7, 12, 2, 'Berg Bert', 'BB', 30, 50),"
    " (7, 15, 3, 'Cramer Cora', 'CC', 35, 55)",
    "insert into Lumora_User (Mandant_ID, USR_UserID, USR_UserName, USR_Kurz, USR_UserPW, USR_BER_ID, USR_UserFD)"
    " values (7, 100, 'Anna Chef', 'chef', 'pw', 1, 10), (7, 101, 'Bert Berg', 'bert', 'pw', 2, 12),"
    " (7, 102, 'Cora Cramer', 'cora', 'pw', 2, 15)",
    "insert into Lumora_Gruppen (Mandant_ID, BER_ID, BER_Bezeichnung, BER_Praesenzzeit, BER_Typ, BER_Art, BER_KS,"
    " BER_Fakt, BER_Runden, BER_Buchungssperre) values (7, 1, 'Leitung', 1, '11111', '1111', 2, 2, 1,"
    " '2000-01-01 00:00:00.000'), (7, 2, 'Team', 1, '11111', '1111', 2, 2, 1, '2000-01-01 00:00:00.000')",
    // cost types of every kind; MWST columns differ so that copying them shows
    "insert into Z_KOSTENART (Mandant_ID, ZKA_Nr, ZKA_Bezeichnung, ZKA_TYPE, ZKA_StundenFaktor, ZKA_KmAnsatz,"
    " ZKA_MWSTC, ZKA_MWSTExcl, ZKA_Konto, ZKA_StdETyp) values"
    " (7, 'ARB', 'Arbeit', 1, 0, 0, 2, 0, '3400', 1),"
    " (7, 'ARB0', 'Arbeit alt', 0, 0, 0, 2, 0, '3400', 0),"
    " (7, 'UEB', 'Ueberstunden', 2, 1.5, 0, 2, 0, '3410', 0),"
    " (7, 'LEI', 'Leistung', 3, 0, 0, 3, 0, '3420', 2),"
    " (7, 'SPE', 'Spesen', 4, 0, 12.5, 4, 1, '4400', 0),"
    " (7, 'KM', 'Kilometer', 5, 0, 0.7, 4, 1, '4410', 0),"
    " (7, 'AUS', 'Auslagen', 6, 0, 20, 4, 1, '4420', 0),"
    " (7, 'SON', 'Sonder', 7, 0, 9, 4, 1, '4430', 0),"
    " (8, 'UEB', 'Ueberstunden', 2, 3.0, 0, 2, 0, '3410', 0)",
    "insert into M_MATERIALPREISE (Mandant_ID, MAT_ID, MAT_MAF_NR, MAT_AktiveWaehrung, MAT_AktuellerEP,"
    " MAT_AktuellerEP_EURO, MAT_VPKalkuliert, MAT_VPKalkuliert_EURO) values"
    " (7, 500, 0, 1, 8, 7, 12, 11), (7, 501, 0, 0, 8, 7, 12, 11), (7, 500, 1, 1, 99, 99, 99, 99)",
    "insert into R_KAUFTRAG (Mandant_ID, RKA_ID, RKA_ExtAufNr, RKA_Bezeichnung) values (7, 300, 'A-300', 'Dach')",
    "insert into R_KWERKAUFTRAG (Mandant_ID, RKA_ID, RKA_ExtAufNr, RKA_Bezeichnung)"
    " values (7, 301, 'W-301', 'Fenster')",
    "insert into P_PROJEKT (Mandant_ID, PRO_ID, PRO_Nr, PRO_Bezeichnung) values (7, 302, 'P-302', 'Neubau')",
    "insert into A_ADRESSEN (Mandant_ID, ADR_ID, ADR_Nr, ADR_Sortierung) values (7, 303, 4711, 'Muster AG')",
};

} // namespace

namespace {

// The schema and master data are the same for every test: they are built once and copied.
struct Vorlage {
    QTemporaryDir ordner;
    QString fehler;
    bool gebaut = false;
};

Vorlage& vorlage() {
    static Vorlage v;
    return v;
}

const QString kDateiImProfil = u"/Lumora/DB/Lumora.sqlite"_s;

} // namespace

RecordingFixture::RecordingFixture() {
    if (!m_dir.isValid() || !vorlage().ordner.isValid()) {
        m_fehler = u"kein temporaerer Ordner"_s;
        return;
    }
    resetGlobals();
    m_altesAppdata = qgetenv("APPDATA");
    Vorlage& v = vorlage();
    if (!v.gebaut) {
        v.gebaut = true;
        qputenv("APPDATA", v.ordner.path().toUtf8());
        m_dm = std::make_unique<Tdm>();
        m_sqlite = std::make_unique<TDM_Sqlite>();
        if (!m_sqlite->DataModuleCreate())
            v.fehler = m_sqlite->lastError();
        else
            seed(v.fehler);
        m_sqlite.reset();
        m_dm.reset();
    }
    if (!v.fehler.isEmpty()) {
        m_fehler = v.fehler;
        return;
    }
    QDir().mkpath(m_dir.path() + u"/Lumora/DB"_s);
    if (!QFile::copy(v.ordner.path() + kDateiImProfil, m_dir.path() + kDateiImProfil)) {
        m_fehler = u"Vorlage nicht kopiert"_s;
        return;
    }
    qputenv("APPDATA", m_dir.path().toUtf8());
    m_dm = std::make_unique<Tdm>();
    m_sqlite = std::make_unique<TDM_Sqlite>();
    if (!m_sqlite->DataModuleCreate()) {
        m_fehler = m_sqlite->lastError();
        return;
    }
    // A test that locks the file wants its statements to fail at once, not after the usual wait.
    TMeineFDConnection::getInstance()->setBusyTimeout(0);
    // The operations of a test follow each other as those of one user action do, within the connection's grace
    // time; one held query stands for that, so that no delayed release is left over at the end.
    m_halter = m_dm->GetQueryInstance();
    anmelden(Chef, u"chef"_s);
}

RecordingFixture::~RecordingFixture() {
    m_halter.reset();
    m_sqlite.reset();
    m_dm.reset();
    resetGlobals();
    if (m_altesAppdata.isNull())
        qunsetenv("APPDATA");
    else
        qputenv("APPDATA", m_altesAppdata);
}

QString RecordingFixture::dateiPfad() const {
    return TMeineFDConnection::getInstance() ? TMeineFDConnection::getInstance()->databasePath() : QString();
}

void RecordingFixture::seed(QString& fehler) {
    for (const char* statement : kStammdaten) {
        if (!sql(QString::fromUtf8(statement))) {
            fehler = u"Stammdaten: "_s + QString::fromUtf8(statement);
            return;
        }
    }
}

void RecordingFixture::anmelden(int lpeId, const QString& kurz) {
    m_dm->FMandantID = Mandant;
    IstAngemeldet = true;
    AngemeldeteLPE_ID = lpeId;
    AktuelleLPE_ID = lpeId;
    AngemeldeterUserKurz = kurz;
}

bool RecordingFixture::setzeRecht(int gruppe, const QString& spalte, const QVariant& wert) {
    return sql(u"update Lumora_Gruppen set "_s + spalte + u" = :wert where Mandant_ID = 7 and BER_ID = :gruppe"_s,
               {{u"wert"_s, wert}, {u"gruppe"_s, gruppe}});
}

bool RecordingFixture::sql(const QString& text, const QVariantMap& parameter) {
    auto q = m_dm->GetQueryInstance();
    q->setSQL(text);
    for (auto it = parameter.cbegin(); it != parameter.cend(); ++it)
        q->ParamByName(it.key()).setValue(it.value());
    if (q->ExecSQL())
        return true;
    qWarning().noquote() << "statement failed:" << q->lastError() << text;
    return false;
}

QVariant RecordingFixture::wert(const QString& text, const QVariantMap& parameter) {
    auto q = m_dm->GetQueryInstance();
    q->setSQL(text);
    for (auto it = parameter.cbegin(); it != parameter.cend(); ++it)
        q->ParamByName(it.key()).setValue(it.value());
    if (!q->Open() || q->Eof())
        return QVariant();
    return q->Fields(0).AsVariant();
}

QVariantMap RecordingFixture::zeile(const QString& tabelle, int mobileId) {
    QVariantMap werte;
    auto q = m_dm->GetQueryInstance();
    q->setSQL(u"select * from "_s + tabelle + u" where MobileID = :m and Mandant_ID = 7"_s);
    q->ParamByName(u"m").setAsInteger(mobileId);
    if (!q->Open() || q->Eof())
        return werte;
    for (int i = 0; i < q->FieldCount(); ++i)
        werte.insert(q->FieldName(i), q->Fields(i).AsVariant());
    return werte;
}

int RecordingFixture::anzahl(const QString& tabelleUndBedingung) {
    return wert(u"select count(*) from "_s + tabelleUndBedingung).toInt();
}

int RecordingFixture::offenerEintrag(int mobileId, int lpeId, TDateTime tag, TDateTime von, int typ) {
    sql(u"insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, ZER_LPE, ZER_Type, ZER_Datum, ZER_Von, MobileID, ZER_ID_WEB,"
        u" Owner, komplett, VonIstNULL, BisIstNULL, StdIstNULL, ZER_Verrechnen)"
        u" values (7, :m, :lpe, :typ, :tag, :von, :m, :m, 1, 1, 0, 1, 1, 'V')"_s,
        {{u"m"_s, mobileId},
         {u"lpe"_s, lpeId},
         {u"typ"_s, typ},
         {u"tag"_s, DTDatetimeToString(tag.datePart())},
         {u"von"_s, DTDatetimeToString(von.timePart())}});
    return mobileId;
}

int RecordingFixture::praesenz(int mobileId, int lpeId, TDateTime tag, TDateTime von, TDateTime bis) {
    const bool offen = bis.value() == 0.0;
    sql(u"insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, ZPZ_Bis, MobileID, Owner,"
        u" komplett, VonIstNULL, BisIstNULL, StdIstNULL) values (7, :m, :lpe, :tag, :von, :bis, :m, 1, 0, 0, :offen,"
        u" :offen)"_s,
        {{u"m"_s, mobileId},
         {u"lpe"_s, lpeId},
         {u"tag"_s, DTDatetimeToString(tag.datePart())},
         {u"von"_s, DTDatetimeToString(von.timePart())},
         {u"bis"_s, offen ? QVariant() : QVariant(DTDatetimeToString(bis))},
         {u"offen"_s, offen ? 1 : 0}});
    return mobileId;
}

bool RecordingFixture::teamLink(const QString& tabelle, int mobileId, const QString& guid, bool inaktiv) {
    const QString idSpalte = tabelle == u"Lumora_TeamZPZ" ? u"PTT_ZPZ_ID"_s : u"PTT_ZER_ID"_s;
    return sql(u"insert into "_s + tabelle + u" (Mandant_ID, "_s + idSpalte +
                   u", PTT_MobileID, PTT_GUID, PTT_Inaktiv, Owner) values (7, :m, :m, :g, :i, 0)"_s,
               {{u"m"_s, mobileId}, {u"g"_s, guid}, {u"i"_s, inaktiv ? 1 : 0}});
}

QString RecordingFixture::zeitText(int stunde, int minute) {
    return DTDatetimeToString(TDateTime::encodeTime(stunde, minute, 0));
}

RecordingFixture::Sperre::Sperre(RecordingFixture& f) {
    const QString pfad = f.dateiPfad();
    // The main connection lets go of the file first, as it does between user actions.
    f.dm().SQLiteVerbinden(false);
    if (sqlite3_open_v2(pfad.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(m_db, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        qWarning() << "cannot lock" << pfad << sqlite3_errmsg(m_db);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

RecordingFixture::Sperre::~Sperre() {
    if (!m_db)
        return;
    sqlite3_exec(m_db, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

TDateTime RecordingTest::testTag() {
    return TDateTime::encodeDate(2026, 3, 10);
}

TDateTime RecordingTest::um(int stunde, int minute, int sekunde, int ms) {
    return testTag() + TDateTime::encodeTime(stunde, minute, sekunde, ms).value();
}

TDateTime RecordingTest::zeit(int stunde, int minute) {
    return TDateTime::encodeTime(stunde, minute, 0);
}

void RecordingTest::init() {
    Clock::setFixed(um(8, 0));
    f = std::make_unique<RecordingFixture>();
    QVERIFY2(f->ok(), qPrintable(f->fehler()));
}

void RecordingTest::cleanup() {
    f.reset();
    Clock::reset();
}

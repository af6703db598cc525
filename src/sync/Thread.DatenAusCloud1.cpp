#include "Thread.DatenAusCloud1.h"

#include "LocalFileHandover.h"
#include "core/clock.h"
#include "core/scrambling.h"
#include "core/settingskeys.h"

#include <QElapsedTimer>
#include <QSemaphore>

namespace {

// A notification the thread is waiting for. The receiver's call and an abandoned wait
// (the thread was stopped meanwhile) agree through this shared state.
struct Zustellung {
    QSemaphore fertig;
    std::atomic<bool> aufgegeben{false};
};

constexpr int MeldungsWarteMSecs = 5;

} // namespace

// ---- creation and end ----

TDatenAusCloudThread::TDatenAusCloudThread(const TSqliteConnection& FDConnClone, TSyncThreadType type, int MandantPin,
                                           const QString& MandantKennwort, TNotifyUpdateThread NotifyThread,
                                           int MandantStatus)
    : Fcon_sqlite(FDConnClone.databasePath()), FSyncThreadType(type),
      FNotifyUpdateThreadMitStatus(std::move(NotifyThread)), FMandantPIN(MandantPin), FMandantStatus(MandantStatus)
{
    FRemoteDBDatabase1.setTenant(MandantPin, MandantKennwort);
}

TDatenAusCloudThread::~TDatenAusCloudThread()
{
    Terminate();
    wait();
    Fcon_sqlite.releaseFile();
    FRemoteDBDatabase1.setConnected(false);
}

TDatenAusCloudThread* TDatenAusCloudThread::CreateCheckUpdatesVerfuegbar(const TSqliteConnection& FDConnClone,
                                                                         int MandantPin,
                                                                         const QString& MandantKennwort,
                                                                         TNotifyUpdateThread NotifyThread,
                                                                         int MandantStatus)
{
    auto* thread = new TDatenAusCloudThread(FDConnClone, TSyncThreadType::sttCheckUpdate, MandantPin, MandantKennwort,
                                            std::move(NotifyThread), MandantStatus);
    thread->start();
    return thread;
}

TDatenAusCloudThread* TDatenAusCloudThread::CreateWithSync(const TSqliteConnection& FDConnClone, int MandantPin,
                                                           const QString& MandantKennwort, int LPE_ID,
                                                           TNotifyUpdateThread NotifyThread, int MandantStatus,
                                                           int PlanungTyp, bool PlanungGeloescht,
                                                           const QString& AppVersion)
{
    auto* thread = new TDatenAusCloudThread(FDConnClone, TSyncThreadType::sttSyncData, MandantPin, MandantKennwort,
                                            std::move(NotifyThread), MandantStatus);
    thread->FLPE_ID = LPE_ID;
    thread->FPlanungTyp = PlanungTyp;
    thread->FPlanungGeloescht = PlanungGeloescht;
    thread->FAppVersion = AppVersion;
    thread->start();
    return thread;
}

bool TDatenAusCloudThread::bSQLiteGesperrt() const { return LocalFileHandover::mainClaims(); }

void TDatenAusCloudThread::run()
{
    try {
        Execute();
    } catch (const Abbruch&) {
        // An unguarded read failed: "BinAmSynchen" and the restart flags keep their values,
        // so the next check thread finds the run pending and resumes it.
    }
    Fcon_sqlite.releaseFile();
    FRemoteDBDatabase1.setConnected(false);
    FCrypto.reset();
}

void TDatenAusCloudThread::Execute()
{
    schlafe(50);
    if (Terminated() || FSyncThreadType == TSyncThreadType::sttNonStop)
        return;
    FmandantID = LeseINT(SettingKey::Mandant_ID, 0);
    FPlanungAktiv = LeseBool(SettingKey::PlanungAktiv, false);
    LeseINT(SettingKey::ServerVersion, 0);
    {
        auto q = lokal(u" select Crypto1, Crypto2, Crypto3 from MandantenLogIn where MandantID = :MandantID ");
        q->ParamByName(u"MandantID").setAsInteger(FmandantID);
        const bool mitZeile = q->Open() && !q->Eof();
        FCrypto = std::make_unique<TVerschluesseln>(mitZeile ? q->FieldByName(u"Crypto1").AsInteger() : 0,
                                                    mitZeile ? q->FieldByName(u"Crypto2").AsInteger() : 0,
                                                    mitZeile ? q->FieldByName(u"Crypto3").AsInteger() : 0);
    }
    if (FSyncThreadType == TSyncThreadType::sttCheckUpdate)
        PruefeAufUpdates();
    else
        Synchronisiere();
}

// ---- notifications ----

void TDatenAusCloudThread::melde(TSyncStatus status)
{
    FAktuellerSyncStatus = status;
    SendThreadStatus();
}

void TDatenAusCloudThread::SendThreadStatus()
{
    // A stopped thread has been dropped by its receiver; its news would only confuse it.
    if (Terminated() || !FNotifyUpdateThreadMitStatus.isSet())
        return;
    QObject* context = FNotifyUpdateThreadMitStatus.context.data();
    const auto callback = FNotifyUpdateThreadMitStatus.callback;
    const TSyncStatus status = FAktuellerSyncStatus;
    const int wert = FIFortschritt;
    auto zustellung = std::make_shared<Zustellung>();
    TDatenAusCloudThread* self = this;
    QMetaObject::invokeMethod(
        context,
        [zustellung, callback, self, status, wert] {
            if (!zustellung->aufgegeben.load())
                callback(self, status, wert);
            zustellung->fertig.release();
        },
        Qt::QueuedConnection);
    // The receiver may well read the local file: hand it over whenever the main thread asks.
    // A receiver that is destroyed before it runs the call never answers; the context
    // guard and a stop request end the wait.
    while (!zustellung->fertig.tryAcquire(1, MeldungsWarteMSecs)) {
        if (Fcon_sqlite.mainWaits())
            Fcon_sqlite.releaseFile();
        if (Terminated() || !FNotifyUpdateThreadMitStatus.context) {
            zustellung->aufgegeben.store(true);
            return;
        }
    }
}

// ---- waiting ----

void TDatenAusCloudThread::schlafe(int msecs)
{
    Fcon_sqlite.releaseFile();
    QElapsedTimer timer;
    timer.start();
    while (!Terminated() && timer.elapsed() < msecs)
        QThread::msleep(std::min<qint64>(10, msecs - timer.elapsed() + 1));
}

bool TDatenAusCloudThread::serverErreichbar()
{
    return FRemoteDBDatabase1.Connected() ||
           Fcon_sqlite.runAside([this] { return ConnectRemoteDB(FRemoteDBDatabase1); });
}

bool TDatenAusCloudThread::WarteBisInternetWiederDa()
{
    while (!Terminated() && !serverErreichbar()) {
        for (int i = 0; i < 51 && !Terminated(); ++i)
            schlafe(100);
    }
    return !Terminated();
}

// ---- statements ----

std::unique_ptr<DatenAusCloud::TMeineFDQuery> TDatenAusCloudThread::lokal(QAnyStringView sql)
{
    auto q = std::make_unique<DatenAusCloud::TMeineFDQuery>(&Fcon_sqlite);
    q->setSQL(sql);
    return q;
}

std::unique_ptr<TXDataset> TDatenAusCloudThread::remote(QAnyStringView sql)
{
    auto ds = std::make_unique<TXDataset>(&FRemoteDBDatabase1);
    ds->setSQL(sql);
    return ds;
}

bool TDatenAusCloudThread::remoteOpen(TXDataset& ds)
{
    return Fcon_sqlite.runAside([&ds] { return ds.Open(); });
}

bool TDatenAusCloudThread::remoteExec(TXDataset& ds)
{
    return Fcon_sqlite.runAside([&ds] { return ds.ExecSQL(); });
}

void TDatenAusCloudThread::remoteOpenOderAbbruch(TXDataset& ds)
{
    if (!remoteOpen(ds))
        throw Abbruch(ds.lastError().toStdString());
}

void TDatenAusCloudThread::lokalOpenOderAbbruch(DatenAusCloud::TMeineFDQuery& q)
{
    if (!q.Open())
        throw Abbruch(q.lastError().toStdString());
}

QString TDatenAusCloudThread::scramble(const QString& s) const
{
    return FCrypto ? Scrambling::Verschluesseln(*FCrypto, s) : s;
}

QString TDatenAusCloudThread::unscramble(const QString& s) const
{
    return FCrypto ? Scrambling::Entschluesseln(*FCrypto, s) : s;
}

// ---- settings ----

int TDatenAusCloudThread::LeseINT(const QString& key, int standard)
{
    auto q = lokal(u" SELECT INTVALUE FROM INTERNAL  WHERE KEYVALUE = :KEYVALUE");
    q->ParamByName(u"KEYVALUE").setAsString(key);
    if (!q->Open() || q->Eof() || q->Fields(0).IsNull())
        return standard;
    return q->Fields(0).AsInteger();
}

QString TDatenAusCloudThread::LeseTXT(const QString& key, const QString& standard)
{
    auto q = lokal(u"select TXTVALUE from INTERNAL  WHERE KEYVALUE = :KEYVALUE");
    q->ParamByName(u"KEYVALUE").setAsString(key);
    if (!q->Open() || q->Eof() || q->Fields(0).IsNull())
        return standard;
    return q->Fields(0).AsString();
}

void TDatenAusCloudThread::SchreibeINT(const QString& key, int value)
{
    auto q = lokal(u"INSERT OR REPLACE INTO INTERNAL (KEYVALUE,INTVALUE) VALUES (:KEYVALUE,:INTVALUE) ");
    q->ParamByName(u"KEYVALUE").setAsString(key);
    q->ParamByName(u"INTVALUE").setAsInteger(value);
    q->ExecSQL();
}

void TDatenAusCloudThread::SchreibeTXT(const QString& key, const QString& value)
{
    auto q = lokal(u"INSERT OR REPLACE INTO INTERNAL (KEYVALUE,TXTVALUE) VALUES (:KEYVALUE,:TXTVALUE) ");
    q->ParamByName(u"KEYVALUE").setAsString(key);
    q->ParamByName(u"TXTVALUE").setAsString(value);
    q->ExecSQL();
}

// ---- check mode ----

void TDatenAusCloudThread::PruefeAufUpdates()
{
    // A monotonic timer spaces the passes, so a clock change or midnight does not matter.
    QElapsedTimer seitLetztemDurchlauf;
    qint64 letzterDurchlaufMs = -60000;
    seitLetztemDurchlauf.start();
    int abstandSek = 1;
    int schleifen = 0;
    bool gefunden = false;
    while (!gefunden && !Terminated()) {
        ++schleifen;
        if (seitLetztemDurchlauf.elapsed() - letzterDurchlaufMs > qint64(abstandSek) * 1000) {
            WarteBisInternetWiederDa();
            if (Terminated())
                return;
            letzterDurchlaufMs = seitLetztemDurchlauf.elapsed();
            if (abstandSek < 30 && schleifen > 7)
                abstandSek += 5;

            const TDateTime jetzt = Clock::now();
            const TDateTime letzterSync =
                LeseMandantenLogInDatum(QStringLiteral("LastSyncDate"), jetzt.addDays(-60), jetzt);
            if (jetzt - letzterSync > 30.0) {
                SchreibeMandantenLogInDatum(QStringLiteral("SyncTimeStamp"), TDateTime::encodeDate(2000, 1, 1));
                gefunden = true;
            } else {
                const TDateTime dtServer = GibServerStempel();
                const TDateTime gespeichert = LeseMandantenLogInDatum(
                    QStringLiteral("SyncTimeStamp"), TDateTime::encodeDate(2000, 1, 1), TDateTime::encodeDate(2000, 1, 1));
                if (dtServer.totalMSecs() != gespeichert.totalMSecs())
                    gefunden = true;
                else if (NeustartAnstehend())
                    gefunden = true;
            }
            if (!gefunden)
                RepariereNichtGesendete();
            if (!gefunden) {
                if (UploadsAnstehend() || FotosAnstehend() || TagesDumpAngefordert() ||
                    PlanungsAenderungenAnstehend() || FPlanungGeloescht)
                    gefunden = true;
                else
                    GibGesperrtePraesenzzeitenFrei();
            }
            FRemoteDBDatabase1.setConnected(false);
            FPlanungGeloescht = LeseBool(SettingKey::PlanungsDatenGeloescht, false);
            if (FPlanungGeloescht) {
                SchreibeBool(SettingKey::PlanungsDatenGeloescht, false);
                gefunden = true;
            }
        }
        if (bStarteSyncSofort.exchange(false)) {
            SchreibeBool(SettingKey::StarteSyncSofort, false);
            gefunden = true;
        }
        if (!gefunden)
            schlafe(500);
    }
    if (gefunden)
        melde(TSyncStatus::SyncUpdatesVorhanden);
}

// ---- sync mode ----

bool TDatenAusCloudThread::CryptoPruefen()
{
    QString name = LeseTXT(SettingKey::Firma_Name, QString());
    if (!serverErreichbar())
        return true;
    auto ds = remote(u" select  Mandant_Firma, Mandant_CryptoCheck from Mandant  where Mandant_ID = :Mandant_ID ");
    ds->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
    remoteOpenOderAbbruch(*ds);
    const bool mitZeile = !ds->Eof();
    const QString firma = mitZeile ? ds->FieldByName(u"Mandant_Firma").AsString().trimmed() : QString();
    const QString check = mitZeile ? ds->FieldByName(u"Mandant_CryptoCheck").AsString() : QString();
    if (mitZeile && firma != name) {
        SchreibeTXT(SettingKey::Firma_Name, firma);
        auto q = lokal(u" update MandantenLogIn set FirmaName = :FirmaName where FirmaPin = :FirmaPin ");
        q->ParamByName(u"FirmaName").setAsString(firma);
        q->ParamByName(u"FirmaPin").setAsInteger(FMandantPIN);
        q->ExecSQL();
        name = firma;
    }
    if (check == name)
        return FCrypto->key1() == 0 && FCrypto->key2() == 0 && FCrypto->masterKey() == 0;
    return unscramble(check) == name;
}

void TDatenAusCloudThread::Synchronisiere()
{
    if (Terminated())
        return;
    if (!CryptoPruefen()) {
        melde(TSyncStatus::SyncCryptoError);
        return;
    }
    if (Terminated())
        return;
    const TDateTime dtServer = GibServerStempel();
    FStartVonTimeStamp = NeuesterTabellenStempel();
    FIstFullsync = FStartVonTimeStamp.year() <= 2000;
    FbIstNeustart = NeustartAnstehend();

    if (Terminated())
        return;
    if (FbIstNeustart) {
        FIFortschritt = LeseINT(SettingKey::SyncFortschritt, 0);
        if (FIFortschritt == 0)
            FIFortschritt = GibServerAnzahlGeaendert(FStartVonTimeStamp);
    } else {
        FIFortschritt = GibServerAnzahlGeaendert(FStartVonTimeStamp);
        if (FIstFullsync) {
            MarkiereAlleAlsGeloescht();
            auto q = lokal(u" update SyncFortschritt set ZeitStempel = :ZeitStempel where Mandant_ID = :Mandant_ID ");
            q->ParamByName(u"ZeitStempel").setAsString(QStringLiteral("2000-01-01 00:00:00.000"));
            q->ParamByName(u"Mandant_ID").setAsInteger(FmandantID);
            q->ExecSQL();
            SchreibeINT(SettingKey::SYNCVERSION, 0);
            FStartFromSyncVersion = 0;
            if (FPlanungAktiv)
                SchreibeINT(SettingKey::SyncVersionPlanung, 0);
        }
    }
    FIFortschrittSTART = FIFortschritt;

    // A resumed run must finish the tables the budget cut short even when an earlier table
    // already holds the server's newest stamp.
    if (!Terminated() && (FbIstNeustart || dtServer.totalMSecs() != FStartVonTimeStamp.totalMSecs())) {
        // The downloads' local writes share few transactions: each batch commits, so does
        // every hand-over to the main thread.
        Fcon_sqlite.beginBatch();
        SchreibeBool(SettingKey::BinAmSynchen, true);
        Fcon_sqlite.commitBatch();
        FortschrittMelden(true);
        MandantEinstellungenLaden();
        if (!Terminated())
            melde(TSyncStatus::SyncEinstellungen);
        if (!Terminated() && WarteBisInternetWiederDa())
            PraesenzzeitenLaden();
        if (!Terminated() && WarteBisInternetWiederDa())
            ErfassungenLaden();
        if (!Terminated()) {
            LoescheGeloeschteZeilen(true);
            melde(TSyncStatus::SyncZeiten);
        }
        if (!Terminated() && WarteBisInternetWiederDa())
            StammdatenLaden(false);
        if (!Terminated() && WarteBisInternetWiederDa())
            StammdatenLaden(true);
        if (!Terminated() && !BudgetErschoepft()) {
            SchreibeMandantenLogInDatum(QStringLiteral("SyncTimeStamp"), dtServer);
            SchreibeMandantenLogInDatum(QStringLiteral("LastSyncDate"), Clock::now());
        }
        Fcon_sqlite.endBatch();
    }

    if (!Terminated() && UploadsAnstehend()) {
        if (!Terminated() && WarteBisInternetWiederDa())
            TeamZPZHochladen();
        if (!Terminated() && WarteBisInternetWiederDa())
            PraesenzzeitenHochladen();
        if (!Terminated() && WarteBisInternetWiederDa())
            TeamHochladen();
        if (!Terminated() && WarteBisInternetWiederDa())
            ErfassungenHochladen();
        if (!Terminated())
            melde(TSyncStatus::SyncZeiten);
    }
    if (!Terminated() && FotosAnstehend() && WarteBisInternetWiederDa())
        FotosHochladen();
    if (!Terminated() && FPlanungAktiv) {
        PlanungSynchronisieren();
        if (FbPlanung && !Terminated())
            melde(TSyncStatus::SyncPlanung);
    }
    if (Terminated())
        return;
    LoescheAlteZeiten();
    if (!Terminated() && TagesDumpAngefordert() && WarteBisInternetWiederDa())
        TagesDumpHochladen();
    if (Terminated())
        return;
    LoescheGeloeschteZeilen(false);
    lokal(QStringLiteral(" update SyncFortschritt  set IstNeustart = 0  Where Mandant_ID = ") + mandantText())
        ->ExecSQL();
    SchreibeBool(SettingKey::BinAmSynchen, false);
    melde(TSyncStatus::SyncUpdateFertig);
}

void TDatenAusCloudThread::LoescheAlteZeiten()
{
    const TDateTime grenze = Clock::now().addDays(-LeseINT(SettingKey::MaxAlterDerZeiten, 60)).datePart();
    for (const QString& sql : {QStringLiteral(" delete from Z_Erfassung  where ZER_Datum < :datum "),
                               QStringLiteral(" delete from Z_Praesenzzeit  where ZPZ_Datum < :datum ")}) {
        auto q = lokal(sql);
        q->ParamByName(u"datum").setAsDateTime(grenze);
        q->ExecSQL();
    }
    lokal(QStringLiteral(" delete from Z_ERFASSUNG  where gesperrt = 0 and komplett = 0 and CloudStatus = 0 and "
                         "Owner = 0 and Mandant_ID = ") +
          mandantText())
        ->ExecSQL();
}

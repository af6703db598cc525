#pragma once

#include "SyncConnection.h"
#include "SyncQuery.h"
#include "SyncTypes.h"
#include "core/classMeineVerschluesselung.h"
#include "core/tdatetime.h"
#include "sync/RemoteDB.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <stdexcept>

struct TStammdatenTabelle;
struct TZeitenDownload;
struct TZeitenUpload;
class TSyncStatement;

// The background thread that keeps the local file in step with the tenant's server
// database. One object does one job and ends: in check mode it polls until it finds a
// reason to synchronise; in sync mode it runs one cycle (downloads, uploads, clean-up).
// It works on its own local and remote connections and reaches the main thread only
// through the blocking notifications of its receiver.
class TDatenAusCloudThread : public QThread {
    Q_OBJECT
public:
    ~TDatenAusCloudThread() override;

    // The local file is the one of FDConnClone; the thread opens its own connection to it.
    static TDatenAusCloudThread* CreateCheckUpdatesVerfuegbar(const TSqliteConnection& FDConnClone, int MandantPin,
                                                              const QString& MandantKennwort,
                                                              TNotifyUpdateThread NotifyThread, int MandantStatus);
    static TDatenAusCloudThread* CreateWithSync(const TSqliteConnection& FDConnClone, int MandantPin,
                                                const QString& MandantKennwort, int LPE_ID,
                                                TNotifyUpdateThread NotifyThread, int MandantStatus, int PlanungTyp,
                                                bool PlanungGeloescht, const QString& AppVersion);

    // Cooperative stop: the thread finishes the statement it is in and returns.
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }

    // A synchronise-now request, read between check passes.
    std::atomic<bool> bStarteSyncSofort{false};
    // The main thread holds the local file / this thread is using it.
    bool bSQLiteGesperrt() const;
    bool bSQLiteInVerwendung() const { return Fcon_sqlite.holdsFile(); }

    TSyncThreadType SyncThreadType() const { return FSyncThreadType; }
    int Fortschritt() const { return FIFortschritt; }

    // Row budget of one run and batch size of the downloads.
    static constexpr int MaxZeilenProLauf = 10000;
    static constexpr int BatchGroesse = 2000;

protected:
    void run() override;

private:
    // An unguarded read failed: the run ends without a notification.
    struct Abbruch : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    TDatenAusCloudThread(const TSqliteConnection& FDConnClone, TSyncThreadType type, int MandantPin,
                         const QString& MandantKennwort, TNotifyUpdateThread NotifyThread, int MandantStatus);
    void Execute();

    // ---- notifications, waiting, connections (Thread.DatenAusCloud1.cpp) ----
    void SendThreadStatus();
    void melde(TSyncStatus status);
    void schlafe(int msecs);
    bool WarteBisInternetWiederDa();
    bool serverErreichbar();
    std::unique_ptr<DatenAusCloud::TMeineFDQuery> lokal(QAnyStringView sql);
    std::unique_ptr<TXDataset> remote(QAnyStringView sql);
    // Remote statements give the local file back first: it is never held across the network.
    bool remoteOpen(TXDataset& ds);
    bool remoteExec(TXDataset& ds);
    void remoteOpenOderAbbruch(TXDataset& ds);
    void lokalOpenOderAbbruch(DatenAusCloud::TMeineFDQuery& q);
    QString mandantText() const { return QString::number(FmandantID); }

    // ---- the thread's copies of the settings store ----
    int LeseINT(const QString& key, int standard);
    QString LeseTXT(const QString& key, const QString& standard);
    bool LeseBool(const QString& key, bool standard) { return LeseINT(key, standard ? 1 : 0) != 0; }
    void SchreibeINT(const QString& key, int value);
    void SchreibeTXT(const QString& key, const QString& value);
    void SchreibeBool(const QString& key, bool value) { SchreibeINT(key, value ? 1 : 0); }

    // ---- stamps (SyncStempel.cpp) ----
    TDateTime LeseMandantenLogInDatum(const QString& column, TDateTime standardUnlesbar, TDateTime standardOhneZeile);
    void SchreibeMandantenLogInDatum(const QString& column, TDateTime wert);
    TDateTime LeseTabellenStempel(const QString& tabellenName);
    void SchreibeTabellenStempel(const QString& tabellenName, TDateTime stempel);
    void SchreibeIstNeustart(const QString& tabellenName, bool neustart);
    TDateTime NeuesterTabellenStempel();
    bool NeustartAnstehend();
    TDateTime GibServerStempel();
    int GibServerAnzahlGeaendert(TDateTime seit);

    // ---- the two modes (Thread.DatenAusCloud1.cpp) ----
    void PruefeAufUpdates();
    void Synchronisiere();
    bool CryptoPruefen();
    void LoescheAlteZeiten();

    // ---- row budget and progress (SyncStempel.cpp) ----
    // Counts a downloaded row; true when the run's budget is used up.
    bool ZaehleZeile();
    bool BudgetErschoepft() const { return FZaehlerSyncAnzahl > MaxZeilenProLauf; }
    void FortschrittMelden(bool erzwungen);
    // After a table's download: marks it for resumption when the budget is used up.
    void TabelleAbschliessen(const QString& tabellenName);

    // ---- master data (StammdatenLaden.cpp) ----
    void MandantEinstellungenLaden();
    void StammdatenLaden(bool nurMaterial);
    void KopiereTabelle(const TStammdatenTabelle& tabelle, const QString& filter);
    // Commits a download batch and moves the table's stamp to its last row (none: no row
    // taken); true when the table is done.
    bool BatchAbschliessen(const TXField* letzterStempel, TDateTime& stempel);
    void MarkiereAlleAlsGeloescht();
    void LoescheGeloeschteZeilen(bool nurZeiten);
    QString FullsyncFilter() const;

    // ---- entries and presence times (ZeitenLaden.cpp, ZeitenHochladen.cpp) ----
    void ErfassungenLaden();
    void PraesenzzeitenLaden();
    void ZeitenLaden(const TZeitenDownload& art, bool& idNeu, bool& mutDatOK);
    bool UploadsAnstehend();
    void RepariereNichtGesendete();
    void GibGesperrtePraesenzzeitenFrei();
    void ErfassungenHochladen();
    void PraesenzzeitenHochladen();
    void TeamHochladen();
    void TeamZPZHochladen();
    void ZeitenHochladen(const TZeitenUpload& art);
    void TeamLinksHochladen(const QString& tabelle, const QString& idSpalte);
    void MeldeClientAenderung();

    // ---- photos (FotosHochladen.cpp) ----
    bool FotosAnstehend();
    void FotosHochladen();

    // ---- planning (PlanungSync.cpp, PlanungLaden.cpp, PlanungHochladen.cpp) ----
    bool PlanungsAenderungenAnstehend();
    void PlanungSynchronisieren();
    // The server's planning version; -1 when it cannot be read.
    int GibServerPlanungsVersion();
    // The server's planning version plus 1 (a missing row is created); 0 when unreachable.
    int NaechstePlanungsVersion();
    // True when this call moved the server's version to version.
    bool ErhoehePlanungsVersion(int version);
    // The downloads; false when a local insert failed.
    bool PlanungenLaden();
    bool PlanungTeamsLaden();
    bool PlanungTeamTabelleLaden(const QString& serverSql, const QString& tabelle, const QStringList& spalten,
                                 const QStringList& schluessel);
    void PlanungTeamsHochladen();
    // Teams or their members; true when they went up and moved the server's version.
    bool PlanungTeamTabelleHochladen(bool mitglieder, int version);
    void PlanungTeamsAufServerBereinigen();
    void PlanungenHochladen();
    void PlanungLokalBereinigen();
    void PlanungErlaubnisLaden();

    // ---- day dump (TagesDump.cpp) ----
    bool TagesDumpAngefordert();
    void TagesDumpHochladen();

    QString scramble(const QString& s) const;
    QString unscramble(const QString& s) const;

    TSyncConnection Fcon_sqlite;
    TRemoteDBDatabase FRemoteDBDatabase1;
    QString FAppVersion;
    TSyncThreadType FSyncThreadType;
    TNotifyUpdateThread FNotifyUpdateThreadMitStatus;
    TSyncStatus FAktuellerSyncStatus = TSyncStatus::SyncUpdatesVorhanden;
    int FZaehlerSyncAnzahl = 0;
    int FMandantPIN = 0;
    int FMandantStatus = 0;
    int FPlanungTyp = 1;
    int FStartFromSyncVersion = 0;
    int FServerSyncVersion = 0;
    TDateTime FStartVonTimeStamp;
    bool FbPlanung = false;
    int FmandantID = 0;
    int FIFortschrittSTART = 0;
    int FIFortschritt = 0;
    bool FZPZ_IDneu = false;
    bool FZER_IDneu = false;
    bool FZPZ_MutDatOK = true;
    bool FZER_MutDatOK = true;
    bool FPlanungAktiv = false;
    bool FPlanungGeloescht = false;
    std::unique_ptr<TVerschluesseln> FCrypto;
    bool FIstFullsync = false;
    bool FbIstNeustart = false;
    int FLPE_ID = 0;
    std::atomic<bool> FTerminated{false};
};

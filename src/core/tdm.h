#pragma once

#include "DM_Sqlite1.h"
#include "GlobalTypes.h"
#include "tdatetime.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class TRemoteDBDatabase;
class TXDataset;
class TDatenAusCloudThread;

// The central module: every domain operation of the client. One instance lives for the
// whole run (the global `dm`). Each operation makes its own query objects and lets them
// go at the end of its scope; failures are swallowed and reported as the operation's
// default. The definitions live with their subsystem (src/recording/entries.cpp defines
// the ZER_ operations, and so on); the declarations below are grouped in the same order.
class Tdm : public QObject {
    Q_OBJECT
public:
    explicit Tdm(QObject* parent = nullptr);
    ~Tdm() override;

    // ---- start-up and helpers ----
    void DataModuleCreate();
    void UpdateRestart();
    // Sets the "text" property of a label-like object to the current employee's name.
    void SchreibeUsernamePersonalInLabel(QObject* daslabel);
    // "1.52.0.147" -> 1000520000000147; ok is false for a text that is not a version.
    static qint64 GibVersionsinfoAlsZahl(const QString& ver, bool* ok = nullptr);

    // ---- local database ----
    std::unique_ptr<TMeineFDQuery> GetQueryInstance();
    bool SQLiteVerbinden(bool Connect);
    QString GetDBFilePathAndName();

    // ---- schema ----
    // Brings the open local file to the current version. False when the settings table
    // cannot be created or the stored version cannot be read; the file is then left alone.
    bool SQLiteDB_Erstellen();

    // ---- settings ----
    // Reads give the caller's default for a missing key, a NULL value or any error;
    // ok (when given) tells a failed read from a missing key. Writes report success.
    int InternalLeseINT(const QString& keyname, int standard, bool* ok = nullptr);
    QString InternalLeseTXT(const QString& keyname, const QString& standard);
    bool InternalLeseBool(const QString& keyname, bool standard);
    TDateTime InternalLeseDT(const QString& keyname, TDateTime standard);
    bool InternalSchreibeINT(const QString& keyname, int IntValue);
    bool InternalSchreibeTXT(const QString& keyname, const QString& TxtValue);
    bool InternalSchreibeBool(const QString& keyname, bool BoolValue);
    bool InternalSchreibeDT(const QString& keyname, TDateTime dtValue);
    // The synchronisation stamps of the remembered logins of one tenant; a date in 2000
    // or earlier also drops that tenant's download progress, so everything is fetched again.
    void LastSyncDateSET(TDateTime dt, int MandantID);
    void LastSyncTimeStampSET(TDateTime dt, int MandantID);
    static QString entferneZeilenumbruch(const QString& text);
    // "Mo 07.01.2019" after the given text, or after "Datum: " when the text is empty.
    static QString GibDatumAlsStringFuerEingabefeld(TDateTime datum, const QString& text);

    // ---- scrambling ----

    // ---- logins ----

    // ---- remote database ----
    // The main thread's connection: primary endpoint, then the fallback; true when connected.
    bool ConnectRemoteDB();
    void DisconnectRemoteDB();
    // The tenant login the connection carries; without one, ConnectRemoteDB takes the
    // stored "Firma_PIN" and "Firma_Kennwort".
    void SetRemoteTenant(int pin, const QString& password);
    // A query bound to the main thread's connection; the caller owns it.
    std::unique_ptr<TXDataset> GetXDatasetInstance();
    TRemoteDBDatabase& RemoteDBDatabase1();
    // Shared, so that this header needs no definition of the class to destroy it.
    std::shared_ptr<TRemoteDBDatabase> FRemoteDBDatabase1;

    // ---- permissions ----
    bool GibBerechtigungBoolean(const QString& dieBerechtigung, int UserID);
    int GibBerechtigungInteger(const QString& dieBerechtigung, int UserID);
    TDateTime ZeitRunden(TDateTime Zeit, int WieRunden, int UserID);

    // ---- entries ----
    // Minus the milliseconds since local midnight: the number of a record made now.
    static int NeueMobileID();
    // The new entry's MobileID; -1 without a current employee, 0 when it could not be stored.
    int ZER_Neu(TDateTime Zeitstempel);
    void ZER_speichernDatum(int MobileID, TDateTime datum);
    void ZER_speichernZeiten(int MobileID, TDateTime von, TDateTime bis, TDateTime dauer, double std100,
                             bool nurVonZeit, bool VonIstNULL);
    void ZER_speichernType(int MobileID, int ZerType);
    void ZER_speichernKA(int MobileID, const QString& KA);
    void ZER_speichernKS(int MobileID, const QString& KS);
    void ZER_speichernFAKT(int MobileID, const QString& fakt);
    // An object whose display text cannot be found is not booked; the entry keeps its previous object.
    void ZER_speichernBeleg(int MobileID, TObjektTyp Art, int ID);
    void ZER_SetzeIntern(int MobileID);
    void ZER_speichernBez(int MobileID, const QString& Bezeichnung);
    void ZER_speichernText(int MobileID, const QString& Zusatztext);
    void ZER_speichernAnzahl(int MobileID, double anzahl);
    void ZER_speichernKM(int MobileID, int km);
    void ZER_speichernMaterial(int MobileID, int MatID);
    void ZER_speichernZerLeistung(int MobileID, int MatID);
    void ZER_speichernKosten(int MobileID);
    void ZER_speichernIstKomplett(int MobileID, bool komplett);
    bool ZER_gibIstKomplett(int MobileID);
    void ZER_SetzeSperre(int MobileID, bool sperren);
    void ZER_TauscheLPEID(int MobileID, int NeueLPEID);
    bool ZER_LoescheDatensatz(int MobileID);
    // Deletes the entry, or every entry of its team recording; false when a deletion did not go through.
    bool ZER_LoescheDatensatzTeam(int MobileID);
    double ZER_GibStundenZuTag(TDateTime datum, int LPEID);
    // Closes the employee's open time entries of the day at AktuellesVon; true when at least one was closed.
    bool ZER_offeneZeitenAbschliessen(TDateTime datum, TDateTime AktuellesVon, int LPEID, int MobileID,
                                      bool PauseSchreibeMobileID, bool IstTeamBerechtigung, bool IstTeamStempelung);
    void ZER_AktuelleMobileIDschreibe(int MobileID);
    int Zer_AktuelleMobileIDlese();
    // VonBisStd_123: 1 from-time, 2 to-time, 3 duration; any other code reads as false.
    bool ZeitenGibIstNull(int MobileID, bool IstZER, int VonBisStd_123);
    void ZeitenSetzeIstNull(int MobileID, bool IstZER, bool von, bool bis, bool Std, bool IstNull);

    // ---- presence ----
    // The new presence time's MobileID; -1 when not permitted, 0 when it could not be stored.
    int ZPZ_Neu(TDateTime Zeitstempel, int LPE_ID);
    // Starts a presence time at Zeitstempel when the rules allow and none is running; true when one was started.
    bool ZPZ_PruefeAufOffeneZPZundStarteZPZ(int LPE_ID, TDateTime Zeitstempel, bool bIstTerminal);
    void ZPZ_speichernZeiten(int MobileID, TDateTime datum, TDateTime von, TDateTime bis, TDateTime dauer,
                             double std100, bool nurVonZeit);
    void ZPZ_speichernDatum(int MobileID, TDateTime datum);
    void ZPZ_speichernIstKomplett(int MobileID, bool komplett);
    bool ZPZ_gibIstKomplett(int MobileID);
    void ZPZ_SetzeGeperrt(int MobileID, bool sperren);
    bool ZPZ_LoescheDatensatz(int MobileID);
    // Deletes the presence time, or all of its team recording; false when a deletion did not go through.
    bool ZPZ_LoescheDatensatzTeam(int MobileID);
    double ZPZ_GibStundenZuTag(TDateTime datum, int LPEID);
    void ZPZ_AktuelleMobileIDschreibe(int MobileID);
    int ZPZ_AktuelleMobileIDlese();

    // ---- pauses ----
    void PauseStartePause(bool MitTeam, TDateTime dtJetzt);
    void PauseBeendePraesenzzeit(TDateTime dtJetzt);
    void PauseBeendenUndFortsetzen(int LPE_ID, bool MitTeam, TDateTime dtJetzt);
    void PauseAbbrechen();
    bool PauseGibIstPauseAktiv(int LPE_ID, TDateTime& Zeitstempel);
    void PauseSchreibeMobileID_ZER(int LPE_ID, int MobileID);
    void PauseSchreibeMobileID_ZPZ(int LPE_ID, int MobileID);
    int PauseLeseMobileID_ZER(int LPE_ID);
    int PauseLeseMobileID_ZPZ(int LPE_ID);
    void PauseLoescheMobileID_ZER(int LPE_ID);
    void PauseLoescheMobileID_ZPZ(int LPE_ID);
    bool MitternachtsStempelnNotwendig();
    bool MitternachtsStempelung();

    // ---- lookups ----

    // ---- teams ----
    bool TeamIstBestehenderEintrag(int MobileID);
    bool TeamIstBestehenderEintragGibGUIDZER(int MobileID, QString& GUID);
    bool TeamIstBestehenderEintragGibGUIDZPZ(int MobileID, QString& GUID);
    bool TeamAktiveTeamMitgliederVorhanden();
    bool TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(int MobileID);
    void TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(int MobileID);
    void TeamZerSpeichernFuerAlle(int ORIGMobileID);
    void TeamOffeneZeitenAbschliessen(bool bZER, TDateTime datum, TDateTime AktuellesVon);
    void TeamSchliesseMehrereOffeneZERs(TDateTime datum, TDateTime AktuellesVon, int MobileID, int EigeneMobileID);

    // ---- synchronisation ----

    // ---- update check and diagnostics ----

    // ---- planning ----

    // ---- barcode ----

    // ---- calendar ----

    // ---- fields ----
    int Fcrypto1 = 0;
    int Fcrypto2 = 0;
    int Fcrypto3 = 0;
    int FMandantID = 0; // the current tenant; 0 until a login check succeeds
    TDatenAusCloudThread* FDatenAusCloudThread = nullptr;
    QObject* FFTPUploadThread = nullptr;
    QPointer<QObject> FKalenderAnsicht;
};

// The central module of the running process.
extern Tdm* dm;

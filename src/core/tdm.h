#pragma once

#include "DM_Sqlite1.h"
#include "GlobalTypes.h"
#include "tdatetime.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class TRemoteDBDatabase;
class TXDataset;
struct TStartLink;
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
    // One-shot unscrambling with the built-in triple (start links).
    QString CryptoEntschluessleStandart(const QString& s);

    // ---- logins ----
    // A login is valid when it is remembered on this device, or else when the tenant's
    // server knows it; a server login is remembered, with the tenant's users and groups
    // copied into the local tables. Reports the tenant's name, status and id and the
    // user's name and personnel id.
    bool CheckUserdatenMitBerechtigungUndStatus(int MandantPIN, const QString& MandantKennwort,
                                                const QString& UserKurz, const QString& userKennwort, int Crypto1,
                                                int Crypto2, int Crypto3, QString& FirmaName, QString& UserName,
                                                int& LPEID, int& Status, int& MandantID);
    // False only when the tenant's local user with that short name has another password.
    bool CheckUserKennwortMitMandantIDundUserKurz(int MandantID, const QString& UserKurz, const QString& UserPW);
    int GetMandantIDvonPinUndKennwort(int Pin, const QString& Kennwort);
    // The server's tenant id of the stored login settings; FMandantID when the server
    // cannot be asked, 0 when it knows no such active tenant or the stored PIN is no number.
    int GetMandantIDvonUserdaten();
    // The user's personnel id; also makes the user's id the logged-in user id.
    int GibLPE_IDvonUser(int MandantID, const QString& UserKurz, const QString& UserPW);
    // Remembers a login, keeping the tenant's synchronisation stamps; the key triple is
    // set afterwards with LoginDatenSetCrypto.
    bool LoginDatenSpeichern(int FirmaPin, const QString& FirmaPW, const QString& UserKurz, const QString& UserPW,
                             const QString& FirmaName, const QString& UserName, int MandantID);
    bool LoginDatenLoeschen(int FirmaPin, const QString& UserKurz);
    QString LoginDatenGibFirmaPW(int FirmaPin, const QString& UserKurz);
    QString LoginDatenGibUserPW(int FirmaPin, const QString& UserKurz);
    int LoginDatenGibMandantID(int FirmaPin, const QString& UserKurz);
    // Feldname is "Crypto1", "Crypto2" or "Crypto3"; anything else gives 0.
    int LoginDatenGibCrypto(int FirmaPin, const QString& UserKurz, const QString& Feldname);
    // Gives every remembered user of the company the triple.
    bool LoginDatenSetCrypto(int FirmaPin, int Crypto1, int Crypto2, int Crypto3);
    // True when the triple unscrambles the tenant's check text to its name (or, without a
    // check text, when the triple switches scrambling off); true when the server cannot be asked.
    bool LoginDatenPruefeCrypto(int MandantID, int Crypto1, int Crypto2, int Crypto3);
    // The start link's login is remembered on this device.
    bool StartLinkIstGespeichert(const TStartLink& link);
    // Takes a remembered start link's login into the settings (keys, PIN, passwords,
    // short name, personnel id); true when it is the tenant the settings already name.
    bool StartLinkLoginUebernehmen(const TStartLink& link);

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
    // One BER_ column of the employee's group; false, 0 or 1 January 2000 without a group or on failure.
    bool GibBerechtigungBoolean(const QString& dieBerechtigung, int UserID);
    int GibBerechtigungInteger(const QString& dieBerechtigung, int UserID);
    TDateTime GibBerechtigungDatum(const QString& dieBerechtigung, int UserID);
    // Refreshes the cached fBER_ values for the current employee; false (cache unchanged) when the file
    // cannot be read. The team flags are taken only while the current employee is the logged-in one.
    bool FuelleFBERvariablen();
    // Refreshes part of the cache and gives BER_Typ; a failed read leaves both as they were.
    void GibBerechtigungenObjektTypen(QString& BER_Typ);
    int GibUserBerID(int LPE_ID);
    // Records on this day or before it are locked.
    TDateTime GibDatumBuchungssperre(int UserID);
    // The oldest day that may be shown and edited.
    TDateTime GibDatumMaxAlterDerZeiten();
    // Whether a record of the current employee may be moved to that day.
    bool DatumAendernIstDatumOK(TDateTime dasDatum);
    // Zeit on the employee's BER_Runden grid (seconds dropped); rounding up past midnight gives the next day.
    TDateTime ZeitRunden(TDateTime Zeit, int WieRunden, int UserID);
    // Gives the minutes wheel the employee's step; always 0.
    int setzeSpinnerMinuten(int UserID, TSpinnerSpalte& spinner);

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
    // Every lookup swallows database errors and gives its default.
    // The booking object of an entry row as text; fuerBearbeitung drops the "P. "/"Adr. " prefixes of the overview.
    QString GibAuftragAlsText(const TSqlQuery& qZER, bool fuerBearbeitung);
    // Intern and BelegID 0 when the entry names no object.
    TObjektTyp GibBelegTypVonZER(int MobileID, int& BelegID);
    static QString gibKuzrzeichenZuTyp(TObjektTyp typ);
    static QString GibBelegTypTextVonBelegTypkurz(const QString& typ);
    // The billing code of a cost type (by NR when ID is below 1) or object; "X" when none is given.
    QString GibFakturaCodeVonBeleg(TAuswahlTyp AuswahlTyp, int ID, const QString& NR);
    static QString GibFakturaVonFakturaCode(const QString& Code);
    // The cost centre of a cost type (by NR when ID is below 1) or object; empty when none is given.
    QString GibKSVonBeleg(TAuswahlTyp AuswahlTyp, int ID, const QString& NR);
    QString GibKSBezVonKS(const QString& KS);
    QString GibKABezVonKA(const QString& KA);
    // 0 from/to or total, 1 from/to only, 2 total only.
    int GibKAStdETyp(const QString& KA);
    // The entry kind a cost type gives; 1 when unknown.
    int GibKAtype(const QString& KA);
    QString GibMaterialBezeichnungZuMatID(int MatID, bool MitMatNr);
    QString GibMaterialZusatztextZuMatID(int MatID);
    QString GibMengenEinheitZuMatID(int MatID);
    // 1 when the article has none.
    double GibPreiseinheitZuMatID(int MatID);
    // The WHERE fragments of the selection lists (each begins with " and "/" AND "), empty when nothing restricts.
    QString GibFilterStringStandart(const QString& Tabelle, int LPE_ID);
    QString GibKostenArtenFilter(int PROID);
    QString GibKostenStellenFilter();
    // 0 on the device, 1 in the cloud, 2 from the back office; 3 locked, 4 locked on the device, 5 locked in the cloud.
    int GibAmpelStatus(bool zpz, bool zer, int ID, int MobileID, int Cloudstatus, int LPEID);

    // ---- teams ----
    // The clause restricting users to the group's team list; empty when every user may be taken.
    QString TeamGibTeamFilterAusBerechtigungen(int iUserLPEID);
    // The rows of the member list (with the active ticks) and of the list for choosing whose day is shown:
    // the logged-in employee first, then the others the group allows, by name.
    QList<TTeamListenEintrag> TeamFuelleListView();
    QList<TTeamListenEintrag> TeamFuelleListViewEinzel();
    void TeamToggleTeamInListView(int LPE_ID, bool Aktiv);
    void TeamLoescheAktiveTeamLPEs();
    // Drops active members that the logged-in employee's group may not take; a group without a list drops nobody.
    void TeamLoescheUngueltigeAktiveTeamLPE();
    bool TeamAktiveTeamMitgliederVorhanden();
    // Whether the employee is active; an empty set first receives the current employee.
    bool TeamIstLPEImTeamOrSet(int LPEID);
    // The active members' names joined by " | ", or the current employee's name.
    QString TeamGibTeamMitgliederAlsString();
    // Whether a record has team links (withdrawn ones count); the GUID variants give the links' GUID as
    // stored, or a fresh one when there are none.
    bool TeamIstBestehenderEintrag(int MobileID);
    bool TeamIstBestehenderEintragZPZ(int MobileID);
    bool TeamIstBestehenderEintragGibGUIDZER(int MobileID, QString& GUID);
    bool TeamIstBestehenderEintragGibGUIDZPZ(int MobileID, QString& GUID);
    // Makes the record's team (its active links) the active set; a record without a team leaves it empty.
    bool TeamSchreibeLumora_TeamInLumora_TeamAktiveLPE(int MobileID);
    void TeamSchreibeLumora_TeamInLumora_TeamAktiveLPEZPZ(int MobileID);
    // Whether the active set differs from the team of the entry.
    bool TeamTeamZERistAbweichendAktiveTeamLPEs(int MobileID);
    // Writes (or re-activates) one activity link.
    void TeamSchreibeLumora_Team(int ZerID, int MobileID, const QString& GUID);
    // Copies the entry to every active member under one GUID; saved again, it replaces the earlier copies.
    void TeamZerSpeichernFuerAlle(int ORIGMobileID);
    // Dissolves the entry's team recording: the other entries are deleted, all links withdrawn.
    void TeamZERLoescheAlleTeameintraege(int MobileID);
    // Closes the open entries of all active members at AktuellesVon.
    void TeamOffeneZeitenAbschliessen(bool bZER, TDateTime datum, TDateTime AktuellesVon);
    // Closes the open entries of the employees of MobileID's team recording who are no active members.
    void TeamSchliesseMehrereOffeneZERs(TDateTime datum, TDateTime AktuellesVon, int MobileID, int EigeneMobileID);

    // ---- synchronisation ----
    // Asks the current synchronisation thread to stop and drops it without waiting; the
    // object frees itself once its run has ended.
    void SyncThreadStoppen();

    // ---- update check and diagnostics ----
    // Requests the dump of DerTag's entries for the next cycle, stops the synchronisation and
    // copies the local file beside it; FileName is the copy's path, empty when it failed.
    void DumpZuCloudLaden(QString& FileName, TDateTime DerTag);

    // ---- planning ----

    // ---- barcode ----

    // ---- calendar ----

    // ---- fields ----
    int Fcrypto1 = 0;
    int Fcrypto2 = 0;
    int Fcrypto3 = 0;
    int FMandantID = 0; // the current tenant; 0 until a login check succeeds
    TDatenAusCloudThread* FDatenAusCloudThread = nullptr;
    // The running diagnostic upload; it frees itself when done.
    QPointer<QObject> FFTPUploadThread;
    QPointer<QObject> FKalenderAnsicht;
};

// The central module of the running process.
extern Tdm* dm;

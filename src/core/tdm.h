#pragma once

#include "DM_Sqlite1.h"
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

    // ---- entries ----

    // ---- presence ----

    // ---- pauses ----

    // ---- lookups ----

    // ---- teams ----

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

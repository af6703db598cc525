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
    void SQLiteDB_Erstellen();

    // ---- settings ----

    // ---- scrambling ----

    // ---- logins ----

    // ---- remote database ----

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

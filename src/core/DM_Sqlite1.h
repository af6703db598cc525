#pragma once

#include "SqlQuery.h"
#include "SqliteConnection.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>

// The main thread's connection to the local file. Exactly one exists while the
// local-database module lives. It is opened by the first query and released 100 ms
// after the last live query is gone, so that the synchronisation thread can take the
// exclusively locked file between user actions.
class TMeineFDConnection : public QObject, public TSqliteConnection {
    Q_OBJECT
public:
    explicit TMeineFDConnection(const QString& databasePath, QObject* parent = nullptr);
    ~TMeineFDConnection() override;

    static TMeineFDConnection* getInstance();

    int CountConnections() const { return FCountConnections; }
    void SetCountConnections(int Value);

    // Waits until no synchronisation thread holds the file, then opens it.
    bool claimAndOpen();
    // Closes the file and tells a waiting synchronisation thread that it may take it.
    void release();

    // Delay between the last query's end and the release of the file.
    static constexpr int ReleaseDelayMSecs = 100;

private:
    void scheduleRelease(int delayMSecs);
    void releaseIfIdle();

    int FCountConnections = 0;
    bool m_releasePending = false;
    QElapsedTimer m_idleSince;
};

// A query of the main thread on the shared connection. Creating one claims the file
// for the main thread; running one waits while the synchronisation thread still uses it.
class TMeineFDQuery : public TSqlQuery {
public:
    explicit TMeineFDQuery(TMeineFDConnection* connection);
    ~TMeineFDQuery() override;

    static std::unique_ptr<TMeineFDQuery> getInstance();

protected:
    void DoBeforeOpen() override;
    void DoBeforeExecute() override;

private:
    void waitForSyncThread();
    TMeineFDConnection* m_owner;
};

// The local-database module: owns the connection and brings the schema up to date.
class TDM_Sqlite : public QObject {
    Q_OBJECT
public:
    explicit TDM_Sqlite(QObject* parent = nullptr);
    ~TDM_Sqlite() override;

    // Configures the connection and runs the schema ladder. False (with a message for
    // the user) when the file cannot be used; the file is then left as it was.
    bool DataModuleCreate();
    void DataModuleDestroy();

    QString lastError() const { return m_error; }

private:
    QString m_error;
};

// Where the local file lies: a folder "DB" beside the executable (portable
// installation), otherwise Lumora/DB below APPDATA (or the user's data folder),
// created on demand. Recomputed at every call.
QString GetDBFilePathAndName();

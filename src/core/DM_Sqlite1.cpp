#include "DM_Sqlite1.h"

#include "sync/LocalFileHandover.h"
#include "tdm.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QThread>
#include <QThreadPool>

namespace {

TMeineFDConnection* g_connection = nullptr;
// A synchronisation thread gives the file back before its next statement, so the wait is
// short; the bound only keeps a broken thread from freezing the window.
constexpr int LongestWaitMSecs = 10000;

} // namespace

QString GetDBFilePathAndName()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QDir portable(exeDir + QStringLiteral("/DB"));
    if (!exeDir.isEmpty() && portable.exists())
        return portable.filePath(QStringLiteral("Lumora.sqlite"));

    QString base = qEnvironmentVariable("APPDATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString lumoraDir = base + QStringLiteral("/Lumora");
    const QString dbDir = lumoraDir + QStringLiteral("/DB");
    QDir().mkpath(lumoraDir);
    QDir().mkpath(dbDir);
    return dbDir + QStringLiteral("/Lumora.sqlite");
}

// ---- TMeineFDConnection ----

TMeineFDConnection::TMeineFDConnection(const QString& databasePath, QObject* parent)
    : QObject(parent), TSqliteConnection(databasePath)
{
    g_connection = this;
}

TMeineFDConnection::~TMeineFDConnection()
{
    release();
    if (g_connection == this)
        g_connection = nullptr;
}

TMeineFDConnection* TMeineFDConnection::getInstance() { return g_connection; }

void TMeineFDConnection::SetCountConnections(int Value)
{
    FCountConnections = Value;
    if (Value <= 0 && isOpen()) {
        m_idleSince.start();
        // The grace saves reopening the file between bursts of queries, but not at the cost
        // of a synchronisation thread that is already waiting for it.
        if (LocalFileHandover::threadWaiting())
            release();
        else
            scheduleRelease(ReleaseDelayMSecs);
    }
    if (Value < 0)
        FCountConnections = 0;
    if (FCountConnections > 0)
        LocalFileHandover::claimForMain();
    else if (!isOpen())
        LocalFileHandover::releaseFromMain(); // claimed by a query that never ran
}

void TMeineFDConnection::scheduleRelease(int delayMSecs)
{
    // One pending release at a time: thousands of short queries must not each park a
    // sleeping task in the pool.
    if (m_releasePending)
        return;
    m_releasePending = true;
    TMeineFDConnection* self = this;
    QThreadPool::globalInstance()->start([self, delayMSecs] {
        QThread::msleep(delayMSecs);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        // Bound to the application object: the connection may be gone by now, so
        // the call compares before it touches anything.
        QMetaObject::invokeMethod(
            app,
            [self] {
                if (g_connection == self)
                    self->releaseIfIdle();
            },
            Qt::QueuedConnection);
    });
}

void TMeineFDConnection::releaseIfIdle()
{
    m_releasePending = false;
    if (FCountConnections != 0 || !isOpen())
        return;
    // The file stays open for the full grace after the last query, however late it ended.
    const qint64 idle = m_idleSince.elapsed();
    if (idle < ReleaseDelayMSecs)
        scheduleRelease(int(ReleaseDelayMSecs - idle));
    else
        release();
}

bool TMeineFDConnection::claimAndOpen()
{
    LocalFileHandover::waitForMain(LongestWaitMSecs);
    return open();
}

void TMeineFDConnection::release()
{
    // Close before lifting the claim: a thread must not take the file while this
    // connection still holds the lock.
    close();
    LocalFileHandover::releaseFromMain();
}

// ---- TMeineFDQuery ----

TMeineFDQuery::TMeineFDQuery(TMeineFDConnection* connection) : TSqlQuery(connection), m_owner(connection)
{
    if (m_owner)
        m_owner->SetCountConnections(m_owner->CountConnections() + 1);
}

TMeineFDQuery::~TMeineFDQuery()
{
    Close();
    if (m_owner && TMeineFDConnection::getInstance() == m_owner)
        m_owner->SetCountConnections(m_owner->CountConnections() - 1);
}

std::unique_ptr<TMeineFDQuery> TMeineFDQuery::getInstance()
{
    return std::make_unique<TMeineFDQuery>(TMeineFDConnection::getInstance());
}

void TMeineFDQuery::waitForSyncThread() { LocalFileHandover::waitForMain(LongestWaitMSecs); }

void TMeineFDQuery::DoBeforeOpen() { waitForSyncThread(); }

void TMeineFDQuery::DoBeforeExecute() { waitForSyncThread(); }

// ---- TDM_Sqlite ----

TDM_Sqlite::TDM_Sqlite(QObject* parent) : QObject(parent) {}

TDM_Sqlite::~TDM_Sqlite() { DataModuleDestroy(); }

bool TDM_Sqlite::DataModuleCreate()
{
    m_error.clear();
    delete TMeineFDConnection::getInstance();
    auto* connection = new TMeineFDConnection(GetDBFilePathAndName(), this);
    connection->SetCountConnections(0);
    if (!connection->claimAndOpen()) {
        m_error = connection->lastError();
        return false;
    }
    // A file whose version cannot be read must not be upgraded as if it were empty.
    if (dm && !dm->SQLiteDB_Erstellen()) {
        m_error = QStringLiteral("Die Datenbank %1 kann nicht eingerichtet werden: %2")
                      .arg(connection->databasePath(), connection->lastError());
        return false;
    }
    return true;
}

void TDM_Sqlite::DataModuleDestroy()
{
    if (TMeineFDConnection* connection = TMeineFDConnection::getInstance()) {
        connection->release();
        delete connection;
    }
}

#include "SyncQuery.h"

#include "Thread.DatenAusCloud1.h"
#include "core/SqliteConnection.h"

#include <QThread>

#include <atomic>

namespace {
std::atomic<int> g_liveQueries{0};
constexpr int RetryMSecs = 100;
} // namespace

namespace DatenAusCloud {

TMeineFDQuery::TMeineFDQuery(TSqliteConnection* connection) : TSqlQuery(connection) { ++g_liveQueries; }

TMeineFDQuery::~TMeineFDQuery()
{
    Close();
    if (--g_liveQueries == 0 && connection() && connection()->isOpen()) {
        connection()->close();
        if (TDatenAusCloudThread* thread = laufenderThread())
            thread->bSQLiteInVerwendung.store(false);
    }
}

int TMeineFDQuery::liveCount() { return g_liveQueries.load(); }

void TMeineFDQuery::DoBeforeOpen() { claimFile(); }

void TMeineFDQuery::DoBeforeExecute() { claimFile(); }

void TMeineFDQuery::claimFile()
{
    // Announce first, then look: with the main side doing the same in the other order
    // (claim, then look at this flag) the two can never both go ahead.
    for (;;) {
        TDatenAusCloudThread* thread = laufenderThread();
        if (!thread)
            return;
        thread->bSQLiteInVerwendung.store(true);
        if (!thread->bSQLiteGesperrt.load())
            return;
        thread->bSQLiteInVerwendung.store(false);
        QThread::msleep(RetryMSecs);
    }
}

} // namespace DatenAusCloud

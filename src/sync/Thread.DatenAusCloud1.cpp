#include "Thread.DatenAusCloud1.h"

namespace {
std::atomic<TDatenAusCloudThread*> g_laufenderThread{nullptr};
}

TDatenAusCloudThread* DatenAusCloud::laufenderThread() { return g_laufenderThread.load(); }

TDatenAusCloudThread::TDatenAusCloudThread(QObject* parent) : QThread(parent) { g_laufenderThread.store(this); }

TDatenAusCloudThread::~TDatenAusCloudThread()
{
    bSQLiteInVerwendung.store(false);
    TDatenAusCloudThread* self = this;
    g_laufenderThread.compare_exchange_strong(self, nullptr);
}

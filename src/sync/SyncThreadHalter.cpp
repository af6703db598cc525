#include "Thread.DatenAusCloud1.h"

#include "core/tdm.h"

void Tdm::SyncThreadStoppen()
{
    TDatenAusCloudThread* thread = FDatenAusCloudThread;
    FDatenAusCloudThread = nullptr;
    if (!thread)
        return;
    thread->Terminate();
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (thread->isFinished()) // ended before the connection was made
        thread->deleteLater();
}

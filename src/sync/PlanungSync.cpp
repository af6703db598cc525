#include "Thread.DatenAusCloud1.h"

// Planning exchange of the cycle; filled in by the planning synchronisation.

bool TDatenAusCloudThread::PlanungsAenderungenAnstehend()
{
    return false;
}

void TDatenAusCloudThread::PlanungSynchronisieren()
{
}

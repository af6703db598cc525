#include "Thread.DatenAusCloud1.h"

// Day dump of the cycle; filled in by the diagnostic upload.

bool TDatenAusCloudThread::TagesDumpAngefordert()
{
    return false;
}

void TDatenAusCloudThread::TagesDumpHochladen()
{
}

#include "SyncQuery.h"

#include "SyncConnection.h"

namespace DatenAusCloud {

TMeineFDQuery::TMeineFDQuery(TSyncConnection* connection) : TSqlQuery(connection), m_sync(connection)
{
    if (m_sync)
        m_sync->queryCreated();
}

TMeineFDQuery::~TMeineFDQuery()
{
    Close();
    if (m_sync)
        m_sync->queryFreed();
}

void TMeineFDQuery::DoBeforeOpen()
{
    if (m_sync)
        m_sync->claim();
}

void TMeineFDQuery::DoBeforeExecute()
{
    if (m_sync)
        m_sync->claim();
}

} // namespace DatenAusCloud

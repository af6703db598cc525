#pragma once

#include "core/SqlQuery.h"

#include <memory>

class TSyncConnection;

namespace DatenAusCloud {

// The synchronisation thread's query on its own connection. Running one takes the file
// for the thread (after the main thread has given it up); freeing the thread's last
// query closes the thread's connection so the main thread can open the file.
class TMeineFDQuery : public TSqlQuery {
public:
    explicit TMeineFDQuery(TSyncConnection* connection);
    ~TMeineFDQuery() override;

protected:
    void DoBeforeOpen() override;
    void DoBeforeExecute() override;

private:
    TSyncConnection* m_sync;
};

} // namespace DatenAusCloud

#pragma once

#include "core/SqlQuery.h"

#include <memory>

class TSqliteConnection;

namespace DatenAusCloud {

// The synchronisation thread's query on its own connection to the local file. Running
// one claims the file for the thread unless the main thread holds it; freeing the
// thread's last query closes the thread's connection so the main thread can open it.
class TMeineFDQuery : public TSqlQuery {
public:
    explicit TMeineFDQuery(TSqliteConnection* connection);
    ~TMeineFDQuery() override;

    static int liveCount();

protected:
    void DoBeforeOpen() override;
    void DoBeforeExecute() override;

private:
    void claimFile();
};

} // namespace DatenAusCloud

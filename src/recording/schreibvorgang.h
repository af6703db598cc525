#pragma once

#include "core/DM_Sqlite1.h"

#include <memory>

class Tdm;

// One user action that writes several statements: they reach the file with a single commit instead of one each.
// An action called from within another joins the transaction already open, which the outermost one commits.
// A statement that fails inside is swallowed as it would be alone; a commit that fails is rolled back, so the
// file keeps what it held before the action. When the file cannot be claimed the statements run one by one.
class EinSchreibvorgang {
public:
    explicit EinSchreibvorgang(Tdm& dm);
    ~EinSchreibvorgang();
    EinSchreibvorgang(const EinSchreibvorgang&) = delete;
    EinSchreibvorgang& operator=(const EinSchreibvorgang&) = delete;

private:
    // A live query keeps the file claimed and open until the commit: the connection is only released when none is.
    std::unique_ptr<TMeineFDQuery> m_halter;
    TMeineFDConnection* m_verbindung;
    bool m_eigener = false;
};

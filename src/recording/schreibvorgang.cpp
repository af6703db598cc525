#include "recording/schreibvorgang.h"

#include "core/tdm.h"

EinSchreibvorgang::EinSchreibvorgang(Tdm& dm)
    : m_halter(dm.GetQueryInstance()), m_verbindung(TMeineFDConnection::getInstance()) {
    m_eigener = m_verbindung && m_verbindung->claimAndOpen() && !m_verbindung->inTransaction() &&
                m_verbindung->beginTransaction();
}

EinSchreibvorgang::~EinSchreibvorgang() {
    // SQLite itself ends a transaction that an I/O error or a full disk broke off; there is nothing left to commit.
    if (!m_eigener || !m_verbindung->inTransaction())
        return;
    if (!m_verbindung->commit())
        m_verbindung->rollback();
}

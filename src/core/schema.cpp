#include "globals.h"
#include "schema_indexes.h"
#include "schema_ladder.h"
#include "settingskeys.h"
#include "tdm.h"

bool Tdm::SQLiteDB_Erstellen() {
    auto q = GetQueryInstance();
    q->setSQL(u"CREATE TABLE IF NOT EXISTS INTERNAL (  KEYVALUE  varchar(50) PRIMARY KEY NOT NULL,  INTVALUE  integer "
              u"DEFAULT 0,  TXTVALUE  varchar(255) DEFAULT ''  ); ");
    if (!q->ExecSQL())
        return false;

    // A version that cannot be read is not version 0: running the ladder over a filled
    // file would drop its tables.
    bool gelesen = false;
    const int version = InternalLeseINT(SettingKey::DBVERSION, 0, &gelesen);
    if (!gelesen)
        return false;
    // A file of a newer client keeps its layout as that client made it.
    if (version > Konstanten::LokaleDBVersion)
        return true;
    if (version == Konstanten::LokaleDBVersion) {
        erstelleLokaleIndizes(*q);
        return true;
    }

    // One transaction: an interrupted upgrade leaves the file at its old version, and the
    // next start runs the whole ladder again.
    TSqliteConnection* verbindung = q->connection();
    const bool transaktion = verbindung && verbindung->beginTransaction();
    runSchemaLadder(*this, *q, version);
    // After the ladder: its steps drop and recreate tables, and their indexes with them.
    erstelleLokaleIndizes(*q);
    InternalSchreibeINT(SettingKey::DBVERSION, Konstanten::LokaleDBVersion);
    InternalSchreibeBool(SettingKey::UpdateInfoAusblenden, false);
    if (transaktion && verbindung->inTransaction() && !verbindung->commit()) {
        verbindung->rollback();
        return false;
    }
    return true;
}

#include "schema_indexes.h"

#include "SqlQuery.h"

const std::vector<LokalerIndex>& lokaleIndizes() {
    static const std::vector<LokalerIndex> indizes = {
        {"IX_Z_ERFASSUNG_MobileID", "Z_ERFASSUNG", "Mandant_ID, MobileID"},
        {"IX_Z_ERFASSUNG_LPE_Datum", "Z_ERFASSUNG", "Mandant_ID, ZER_LPE, ZER_Datum"},
        {"IX_Z_PRAESENZZEIT_MobileID", "Z_PRAESENZZEIT", "Mandant_ID, MobileID"},
        {"IX_Z_PRAESENZZEIT_LPE_Datum", "Z_PRAESENZZEIT", "Mandant_ID, ZPZ_LPE_ID, ZPZ_Datum"},
        // GUID first: the members of a recording are also looked up without the tenant. Covering, so that the
        // primary key (which leads with the mobile id) is never the better choice.
        {"IX_Lumora_Team_GUID", "Lumora_Team", "PTT_GUID, Mandant_ID, PTT_MobileID"},
        {"IX_Lumora_TeamZPZ_GUID", "Lumora_TeamZPZ", "PTT_GUID, Mandant_ID, PTT_MobileID"},
    };
    return indizes;
}

QString LokalerIndex::createSql() const {
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(QString::fromUtf8(name), QString::fromUtf8(tabelle), QString::fromUtf8(spalten));
}

void erstelleLokaleIndizes(TSqlQuery& q) {
    for (const LokalerIndex& index : lokaleIndizes()) {
        q.setSQL(index.createSql());
        q.ExecSQL();
    }
}

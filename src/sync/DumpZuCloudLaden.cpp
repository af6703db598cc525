#include "TagesDumpDatum.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/settingskeys.h"
#include "core/tdm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The diagnostic copy of the local file. The main connection keeps the file exclusively
// locked, and a raw file copy could catch it half-written; so the copy is taken by SQLite
// itself on that connection (VACUUM INTO): one consistent, compact snapshot, made inside
// the lock hand-over with the synchronisation thread like any other statement.

void Tdm::DumpZuCloudLaden(QString& FileName, TDateTime DerTag) {
    FileName.clear();
    InternalSchreibeTXT(SettingKey::TagesDumpDatum, TagesDumpDatum::alsText(DerTag));
    SyncThreadStoppen();

    TMeineFDConnection* connection = TMeineFDConnection::getInstance();
    if (!connection)
        return;
    const QString name = QStringLiteral("dump_M%1_U%2_%3.sqlite")
                             .arg(FMandantID)
                             .arg(AngemeldeteLPE_ID)
                             .arg(Clock::now().format(QStringLiteral("yyyymmdd_hhnnsszzz")));
    const QString ziel = QFileInfo(connection->databasePath()).absoluteDir().filePath(name);
    // SQLite writes the copy only into a file that is not there yet.
    QFile::remove(ziel);
    auto q = GetQueryInstance();
    q->setSQL(u"VACUUM INTO :datei");
    q->ParamByName(u"datei").setAsString(ziel);
    if (!q->ExecSQL()) {
        QFile::remove(ziel);
        return;
    }
    FileName = ziel;
}

#pragma once

#include "core/DM_Sqlite1.h"
#include "core/tdm.h"
#include "fixtures/PgCluster.h"
#include "fixtures/PythonServers.h"
#include "fixtures/RemoteDbService.h"
#include "sync/SyncTypes.h"

#include <QList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// The server side of the synchronisation suites: a PostgreSQL cluster, the real service
// over HTTPS and one tenant that scrambles its texts.
struct SyncServer {
    PgCluster cluster;
    RemoteDbService service{cluster};

    static constexpr int Mandant = 7;
    static constexpr int Pin = 4711;
    static constexpr int Crypto1 = 12345;
    static constexpr int Crypto2 = 23456;
    static constexpr int Crypto3 = 34567;
    static QString kennwort() { return QStringLiteral("Geheim-7"); }
    static QString firma() { return QStringLiteral("Holzbau Sägemann AG"); }

    bool setUp(QString& error, const QStringList& tenantOptions = {});
    // Superuser SQL on the tenant's data (triggers stamp the rows as the service would).
    bool exec(const QString& sql) const;
    QVariant value(const QString& sql) const;
    // Text as the server keeps it: scrambled with the tenant's triple.
    static QString scrambled(const QString& plain);
    static QString plain(const QString& scrambled);
};

// One device: its own local file, schema and remembered login of the tenant. Only one
// device at a time has the main thread's connection (use()).
class SyncClient {
public:
    struct Lauf {
        QList<TSyncStatus> meldungen;
        int threads = 0;
        bool fertig() const { return meldungen.contains(TSyncStatus::SyncUpdateFertig); }
    };

    explicit SyncClient(const QString& name, int mandantStatus = 0, int crypto1 = SyncServer::Crypto1);
    ~SyncClient();

    QString path() const { return m_path; }
    // Gives this device the main connection (and the central module's queries).
    void use();
    bool exec(const QString& sql);
    QVariant value(const QString& sql);
    int count(const QString& tableAndWhere) { return value(QStringLiteral("select count(*) from ") + tableAndWhere).toInt(); }

    // Runs sync threads until a run ends, following SyncRestart with a new thread as the
    // main window does. onMeldung sees every notification on the main thread.
    Lauf synchronisiere(int timeoutMs = 120000,
                        const std::function<void(TDatenAusCloudThread*, TSyncStatus, int)>& onMeldung = {});
    // A check thread: true when it reports work within the time.
    bool pruefe(int timeoutMs = 30000);

    // An entry / a presence time as the recording operations leave them: negative id equal
    // to the mobile id, complete, unlocked, waiting for upload.
    int erfasseEintrag(const QString& text, int lpe = 3, const QString& ka = QStringLiteral("100"));
    int erfassePraesenz(int lpe = 3);

    QObject receiver;
    // Passed to the sync threads: planning data was deleted on this device.
    bool planungGeloescht = false;

private:
    QString m_name;
    QTemporaryDir m_dir;
    QString m_path;
    int m_mandantStatus;
    int m_crypto1;
    int m_mobileIdZaehler;
};

// The central module and the main thread's connection of the suite's process.
struct SyncProcess {
    static Tdm& tdm();
    static void useFile(const QString& path);
    static TMeineFDConnection* connection();
    static void shutdown();
};

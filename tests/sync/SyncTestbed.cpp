#include "SyncTestbed.h"

#include "core/clock.h"
#include "core/globals.h"
#include "core/scrambling.h"
#include "core/settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

std::unique_ptr<Tdm> g_tdm;
std::unique_ptr<TMeineFDConnection> g_connection;
QString g_path;

TVerschluesseln tenantKeys() { return TVerschluesseln(SyncServer::Crypto1, SyncServer::Crypto2, SyncServer::Crypto3); }

QString quoted(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

} // namespace

// ---- SyncProcess ----

Tdm& SyncProcess::tdm()
{
    if (!g_tdm) {
        resetGlobals();
        g_tdm = std::make_unique<Tdm>();
    }
    return *g_tdm;
}

void SyncProcess::useFile(const QString& path)
{
    tdm();
    if (g_connection && g_path == path)
        return;
    g_connection.reset();
    g_path = path;
    if (!path.isEmpty())
        g_connection = std::make_unique<TMeineFDConnection>(path);
}

TMeineFDConnection* SyncProcess::connection() { return g_connection.get(); }

void SyncProcess::shutdown()
{
    g_connection.reset();
    g_path.clear();
    g_tdm.reset();
}

// ---- SyncServer ----

bool SyncServer::setUp(QString& error, const QStringList& tenantOptions)
{
    if (!cluster.start()) {
        error = cluster.error();
        return false;
    }
    if (!service.initSchema()) {
        error = service.error();
        return false;
    }
    const QStringList tenant = QStringList{QStringLiteral("create-tenant"), QStringLiteral("--id"), QString::number(Mandant),
                                           QStringLiteral("--pin"), QString::number(Pin), QStringLiteral("--password"),
                                           kennwort(), QStringLiteral("--company"), firma(), QStringLiteral("--crypto"),
                                           QStringLiteral("%1,%2,%3").arg(Crypto1).arg(Crypto2).arg(Crypto3)} +
                               tenantOptions;
    if (!service.admin(tenant) || !service.start()) {
        error = service.error();
        return false;
    }
    service.configureClient();
    return true;
}

bool SyncServer::exec(const QString& sql) const
{
    QString error;
    // Writes of the office side are stamped for the tenant like the service's own.
    if (!cluster.exec(QStringLiteral("SET lumora.mandant_id = '%1'; ").arg(Mandant) + sql, &error)) {
        qWarning("server SQL failed: %s\n%s", qPrintable(error), qPrintable(sql));
        return false;
    }
    return true;
}

QVariant SyncServer::value(const QString& sql) const
{
    const QString v = cluster.queryValue(sql);
    return v.isNull() ? QVariant() : QVariant(v);
}

QString SyncServer::scrambled(const QString& plain) { return Scrambling::Verschluesseln(tenantKeys(), plain); }

QString SyncServer::plain(const QString& scrambled) { return Scrambling::Entschluesseln(tenantKeys(), scrambled); }

// ---- SyncClient ----

SyncClient::SyncClient(const QString& name, int mandantStatus, int crypto1)
    : m_name(name), m_path(m_dir.filePath(QStringLiteral("Lumora.sqlite"))), m_mandantStatus(mandantStatus),
      m_crypto1(crypto1), m_mobileIdZaehler(-1000 - int(qHash(name) % 1000) * 10000)
{
    use();
    SyncProcess::tdm().SQLiteDB_Erstellen();
    exec(QStringLiteral("insert or replace into MandantenLogIn (FirmaPin, FirmaPW, UserKurz, UserPW, FirmaName, UserName, "
                        "Crypto1, Crypto2, Crypto3, MandantID, SyncTimeStamp, LastSyncDate) values (%1, %2, 'mm', 'pw', "
                        "%3, 'Max Muster', %4, %5, %6, %7, '', '')")
             .arg(SyncServer::Pin)
             .arg(quoted(SyncServer::kennwort()), quoted(SyncServer::firma()))
             .arg(m_crypto1)
             .arg(SyncServer::Crypto2)
             .arg(SyncServer::Crypto3)
             .arg(SyncServer::Mandant));
    Tdm& dm = SyncProcess::tdm();
    dm.InternalSchreibeINT(SettingKey::Mandant_ID, SyncServer::Mandant);
    dm.InternalSchreibeTXT(SettingKey::Firma_Name, SyncServer::firma());
}

SyncClient::~SyncClient()
{
    if (SyncProcess::connection() && SyncProcess::connection()->databasePath() == m_path)
        SyncProcess::useFile(QString());
}

void SyncClient::use() { SyncProcess::useFile(m_path); }

bool SyncClient::exec(const QString& sql)
{
    use();
    auto q = SyncProcess::tdm().GetQueryInstance();
    q->setSQL(sql);
    if (!q->ExecSQL()) {
        qWarning("local SQL failed: %s\n%s", qPrintable(q->lastError()), qPrintable(sql));
        return false;
    }
    return true;
}

QVariant SyncClient::value(const QString& sql)
{
    use();
    auto q = SyncProcess::tdm().GetQueryInstance();
    q->setSQL(sql);
    if (!q->Open() || q->Eof())
        return {};
    return q->Fields(0).AsVariant();
}

int SyncClient::erfasseEintrag(const QString& text, int lpe, const QString& ka)
{
    const int id = m_mobileIdZaehler--;
    const QString jetzt = DTDatetimeToString(Clock::now());
    exec(QStringLiteral("insert into Z_ERFASSUNG (Mandant_ID, ZER_ID, MobileID, ZER_LPE, ZER_ZKA, ZER_Type, ZER_Datum, "
                        "ZER_Von, ZER_Bis, ZER_Std100, ZER_Text, ZER_ERFDAT, ZER_ERFUSER, ZER_MUTDAT, ZER_MUTUSER, Owner, "
                        "CloudStatus, gesperrt, komplett) values (%1, %2, %2, %3, %4, 1, %5, '1899-12-30 07:00:00.000', "
                        "'1899-12-30 09:30:00.000', 2.5, %6, %7, 'mm-lm', %7, 'mm-lm', 1, 0, 0, 0)")
             .arg(SyncServer::Mandant)
             .arg(id)
             .arg(lpe)
             .arg(quoted(ka), quoted(DTDatetimeToString(Clock::today())), quoted(text), quoted(jetzt)));
    return id;
}

int SyncClient::erfassePraesenz(int lpe)
{
    const int id = m_mobileIdZaehler--;
    const QString jetzt = DTDatetimeToString(Clock::now());
    exec(QStringLiteral("insert into Z_PRAESENZZEIT (Mandant_ID, ZPZ_ID, MobileID, ZPZ_LPE_ID, ZPZ_Datum, ZPZ_Von, "
                        "ZPZ_Bis, ZPZ_Std100, ZPZ_ERFDAT, ZPZ_ERFUSER, ZPZ_MUTDAT, ZPZ_MUTUSER, Owner, CloudStatus, "
                        "gesperrt, komplett) values (%1, %2, %2, %3, %4, '1899-12-30 07:00:00.000', "
                        "'1899-12-30 16:00:00.000', 9, %5, 'mm-lm', %5, 'mm-lm', 1, 0, 0, 0)")
             .arg(SyncServer::Mandant)
             .arg(id)
             .arg(lpe)
             .arg(quoted(DTDatetimeToString(Clock::today())), quoted(jetzt)));
    return id;
}

SyncClient::Lauf SyncClient::synchronisiere(int timeoutMs,
                                            const std::function<void(TDatenAusCloudThread*, TSyncStatus, int)>& onMeldung)
{
    use();
    Lauf lauf;
    bool neuStarten = true;
    QElapsedTimer timer;
    timer.start();
    while (neuStarten && timer.elapsed() < timeoutMs) {
        neuStarten = false;
        TNotifyUpdateThread notify{&receiver, [&](TDatenAusCloudThread* sender, TSyncStatus status, int wert) {
                                       lauf.meldungen << status;
                                       if (onMeldung)
                                           onMeldung(sender, status, wert);
                                       if (status == TSyncStatus::SyncRestart) {
                                           sender->Terminate();
                                           neuStarten = true;
                                       }
                                   }};
        std::unique_ptr<TDatenAusCloudThread> thread(TDatenAusCloudThread::CreateWithSync(
            *SyncProcess::connection(), SyncServer::Pin, SyncServer::kennwort(), 3, notify, m_mandantStatus, 1,
            planungGeloescht, QStringLiteral("1.0.0-test")));
        ++lauf.threads;
        while (!thread->isFinished() && timer.elapsed() < timeoutMs)
            QTest::qWait(5);
        if (!thread->isFinished())
            qWarning("sync thread did not end in time");
        thread->Terminate();
    }
    return lauf;
}

bool SyncClient::pruefe(int timeoutMs)
{
    use();
    bool gefunden = false;
    TNotifyUpdateThread notify{&receiver, [&](TDatenAusCloudThread*, TSyncStatus status, int) {
                                   if (status == TSyncStatus::SyncUpdatesVorhanden)
                                       gefunden = true;
                               }};
    std::unique_ptr<TDatenAusCloudThread> thread(TDatenAusCloudThread::CreateCheckUpdatesVerfuegbar(
        *SyncProcess::connection(), SyncServer::Pin, SyncServer::kennwort(), notify, m_mandantStatus));
    QElapsedTimer timer;
    timer.start();
    while (!gefunden && !thread->isFinished() && timer.elapsed() < timeoutMs)
        QTest::qWait(10);
    thread->Terminate();
    return gefunden;
}

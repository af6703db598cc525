#include "tdm.h"

#include "globals.h"
#include "settingskeys.h"
#include "sync/Thread.DatenAusCloud1.h"

#include <QVariant>

Tdm* dm = nullptr;

Tdm::Tdm(QObject* parent) : QObject(parent)
{
    dm = this;
    DataModuleCreate();
}

Tdm::~Tdm()
{
    if (dm == this)
        dm = nullptr;
}

void Tdm::DataModuleCreate()
{
    // No busy cursor while queries run: our data layer has none to switch off.
    PauseStartLaeuft = false;
    // ---- DataModuleCreate: main window flags ----
}

void Tdm::UpdateRestart()
{
    InternalSchreibeBool(SettingKey::StarteSyncSofort, true);
    if (FDatenAusCloudThread)
        FDatenAusCloudThread->bStarteSyncSofort.store(true);
}

void Tdm::SchreibeUsernamePersonalInLabel(QObject* daslabel)
{
    if (daslabel)
        daslabel->setProperty("text", AktuellerPersonalName);
}

qint64 Tdm::GibVersionsinfoAlsZahl(const QString& ver, bool* ok)
{
    const QStringList parts = ver.split(u'.');
    QString digits = parts.value(0);
    for (qsizetype i = 1; i < parts.size(); ++i)
        digits += parts.at(i).left(5).rightJustified(5, u'0');
    bool converted = false;
    const qint64 value = digits.toLongLong(&converted);
    if (ok)
        *ok = converted;
    return converted ? value : 0;
}

std::unique_ptr<TMeineFDQuery> Tdm::GetQueryInstance() { return TMeineFDQuery::getInstance(); }

bool Tdm::SQLiteVerbinden(bool Connect)
{
    TMeineFDConnection* connection = TMeineFDConnection::getInstance();
    if (!connection)
        return false;
    if (Connect)
        connection->claimAndOpen();
    else if (connection->isOpen())
        connection->release();
    return connection->isOpen();
}

QString Tdm::GetDBFilePathAndName() { return ::GetDBFilePathAndName(); }

#include "LocalFileFixture.h"

#include "core/globals.h"

LocalFileFixture::LocalFileFixture() : m_path(m_dir.filePath(QStringLiteral("Lumora.sqlite"))) {
    resetGlobals();
    m_dm = std::make_unique<Tdm>();
    m_connection = std::make_unique<TMeineFDConnection>(m_path);
}

LocalFileFixture::~LocalFileFixture() {
    m_connection.reset();
    m_dm.reset();
}

bool LocalFileFixture::exec(const QString& sql) {
    auto q = m_dm->GetQueryInstance();
    q->setSQL(sql);
    return q->ExecSQL();
}

QVariant LocalFileFixture::value(const QString& sql) {
    auto q = m_dm->GetQueryInstance();
    q->setSQL(sql);
    if (!q->Open() || q->Eof())
        return {};
    return q->Fields(0).AsVariant();
}

QStringList LocalFileFixture::column(const QString& sql) {
    QStringList werte;
    auto q = m_dm->GetQueryInstance();
    q->setSQL(sql);
    if (q->Open()) {
        for (; !q->Eof(); q->Next())
            werte.append(q->Fields(0).AsString());
    }
    return werte;
}

QStringList LocalFileFixture::tables() {
    return column(QStringLiteral("select name from sqlite_master where type = 'table' order by name"));
}

void LocalFileFixture::reopen() {
    m_connection.reset();
    m_connection = std::make_unique<TMeineFDConnection>(m_path);
}

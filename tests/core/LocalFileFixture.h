#pragma once

#include "core/DM_Sqlite1.h"
#include "core/tdm.h"

#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// A local database file of its own in a temporary folder, with the central module and the
// main thread's connection bound to it, as the start-up leaves them. Nothing is created in
// the file until a test does so (or calls dm->SQLiteDB_Erstellen()).
class LocalFileFixture {
public:
    LocalFileFixture();
    ~LocalFileFixture();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_path; }
    Tdm& dm() { return *m_dm; }

    // Plain statements and single values for building and inspecting files.
    bool exec(const QString& sql);
    QVariant value(const QString& sql);
    QStringList column(const QString& sql);
    QStringList tables();

    // Closes the file and opens it again, as a new start of the program would.
    void reopen();

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<TMeineFDConnection> m_connection;
};

#pragma once

#include "RemoteResult.h"
#include "core/SqlQuery.h"
#include "core/tdatetime.h"

#include <QAnyStringView>
#include <QString>

#include <map>
#include <memory>
#include <vector>

// The connection to the remote-SQL service (lumora-remotedb): JSON over HTTPS with the
// service credentials, carrying the company PIN and password of the login it serves so
// that the service scopes every statement to that tenant. One connection belongs to one
// thread; it keeps its HTTP connection open between statements.
class TRemoteDBDatabase {
public:
    TRemoteDBDatabase();
    ~TRemoteDBDatabase();
    TRemoteDBDatabase(const TRemoteDBDatabase&) = delete;
    TRemoteDBDatabase& operator=(const TRemoteDBDatabase&) = delete;

    // The endpoint, ending in '/', e.g. "https://host:443/lumora/remotedb/Version3b/".
    void setServerUri(const QString& uri) { m_serverUri = uri; }
    QString ServerUri() const { return m_serverUri; }
    void setUserName(const QString& name) { m_userName = name; }
    QString UserName() const { return m_userName; }
    void setPassword(const QString& password) { m_password = password; }
    QString Password() const { return m_password; }
    // CA bundle that verifies the service's certificate; empty: the system's store.
    void setCaFile(const QString& path) { m_caFile = path; }

    // The tenant login every request carries (the one being checked, or the stored one).
    void setTenant(int pin, const QString& password);
    int tenantPin() const { return m_tenantPin; }
    QString tenantPassword() const { return m_tenantPassword; }

    // Setting true asks the service at ServerUri; it stays false (with lastError())
    // when the service cannot be reached or refuses the credentials.
    bool setConnected(bool connect);
    bool Connected() const { return m_connected; }
    QString lastError() const { return m_lastError; }

    // One statement round trip; false with the reason in error. A failure of the
    // transport (not an answer of the service) also ends the connection.
    bool runStatement(const QByteArray& requestJson, QByteArray& answer, QString& error);

private:
    bool request(const QByteArray& path, const QByteArray* postBody, long& httpStatus, QByteArray& answer,
                 QString& error);

    struct Curl;
    std::unique_ptr<Curl> m_curl;
    QString m_serverUri;
    QString m_userName;
    QString m_password;
    QString m_caFile;
    int m_tenantPin = 0;
    QString m_tenantPassword;
    bool m_connected = false;
    QString m_lastError;
};

// One column of the current row of a TXDataset. Reads never fail: NULL, a missing column
// or a value that does not convert reads as 0, false, empty text or day 0.
class TXField {
public:
    TXField() = default;
    TXField(const RemoteCell& cell, const QByteArray& answer) : m_cell(cell), m_answer(answer), m_exists(true) {}

    bool IsNull() const { return m_cell.kind == RemoteCell::Null; }
    bool exists() const { return m_exists; }
    int AsInteger() const { return int(AsLargeInt()); }
    qint64 AsLargeInt() const;
    double AsFloat() const;
    QString AsString() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;

private:
    QString text() const { return RemoteResult::text(m_answer, m_cell); }

    RemoteCell m_cell;
    QByteArray m_answer;
    bool m_exists = false;
};

// A statement on the remote connection, used like the local TSqlQuery: SQL text with
// ":name" parameters, Open for rows, ExecSQL for statements without. Nothing throws:
// a failure returns false, keeps the message in lastError() and leaves the dataset at
// end of rows.
class TXDataset {
public:
    explicit TXDataset(TRemoteDBDatabase* database);

    void setSQL(QAnyStringView sql);
    QString SQL() const { return m_sql; }

    // Names are matched without regard to case, as the statements' authors expect.
    TSqlParam& ParamByName(QAnyStringView name);
    // The i-th distinct parameter of the statement, in order of first appearance.
    TSqlParam& Params(int index);
    void clearParams();

    bool Open();
    bool ExecSQL();
    void Close();
    bool Active() const { return m_active; }

    bool Eof() const { return m_row >= m_result.rowCount(); }
    bool Next();
    int RecordCount() const { return m_result.rowCount(); }
    int FieldCount() const { return int(m_result.columns().size()); }
    QString FieldName(int index) const;
    TXField Fields(int index) const;
    TXField FieldByName(QAnyStringView name) const;
    bool hasField(QAnyStringView name) const;

    qint64 RowsAffected() const { return m_rowsAffected; }
    QString lastError() const { return m_lastError; }

private:
    bool run();
    bool fail(const QString& message);
    QByteArray requestJson() const;

    TRemoteDBDatabase* m_database;
    QString m_sql;
    std::vector<std::pair<QString, TSqlParam>> m_named; // lower-case name, in order of setting
    std::map<int, TSqlParam> m_positional;
    RemoteResult m_result;
    std::map<QString, int> m_columnIndex; // lower-case name -> column
    int m_row = 0;
    bool m_active = false;
    qint64 m_rowsAffected = 0;
    QString m_lastError;
};

// The connect routine of the main thread's and the synchronisation thread's connection:
// the primary endpoint, then the fallback, with the configured service credentials.
bool ConnectRemoteDB(TRemoteDBDatabase& database);

// The configured endpoints ("scheme://host:port" + path), from LUMORA_REMOTEDB_* or the
// built-in defaults.
QString remoteDBPrimaryUri();
QString remoteDBFallbackUri();

#pragma once

#include "tdatetime.h"

#include <QAnyStringView>
#include <QString>
#include <QVariant>

#include <map>
#include <vector>

struct sqlite3_stmt;
class TSqliteConnection;

// A parameter value. Date-times are bound in the stored 23-character text form,
// Booleans as 0/1, an unset parameter as NULL.
class TSqlParam {
public:
    void setAsInteger(int v) { m_value = QVariant(qint64(v)); }
    void setAsLargeInt(qint64 v) { m_value = QVariant(v); }
    void setAsFloat(double v) { m_value = QVariant(v); }
    void setAsString(const QString& v) { m_value = QVariant(v); }
    void setAsDateTime(TDateTime v) { m_value = QVariant(DTDatetimeToString(v)); }
    void setAsBoolean(bool v) { m_value = QVariant(qint64(v ? 1 : 0)); }
    void setValue(const QVariant& v) { m_value = v; }
    void clear() { m_value = QVariant(); }
    const QVariant& value() const { return m_value; }

private:
    QVariant m_value;
};

// One column of the current row. Reads never fail: NULL, a missing column or a value
// that does not convert reads as 0, false, empty text or day 0.
class TSqlField {
public:
    TSqlField() = default;
    TSqlField(sqlite3_stmt* stmt, int column) : m_stmt(stmt), m_column(column) {}

    bool IsNull() const;
    bool exists() const { return m_stmt != nullptr; }
    int AsInteger() const { return int(AsLargeInt()); }
    qint64 AsLargeInt() const;
    double AsFloat() const;
    QString AsString() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    QVariant AsVariant() const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_column = -1;
};

// A query on a local connection: SQL text with ":name" (or "?") parameters, Open for
// rows, ExecSQL for statements. Nothing throws: a failure returns false, keeps the
// message in lastError() and leaves the query at end of rows. The statement is
// finalised by Close() or the destructor, so a query never outlives its scope's lock.
class TSqlQuery {
public:
    explicit TSqlQuery(TSqliteConnection* connection);
    virtual ~TSqlQuery();
    TSqlQuery(const TSqlQuery&) = delete;
    TSqlQuery& operator=(const TSqlQuery&) = delete;

    void setSQL(QAnyStringView sql);
    QString SQL() const { return m_sql; }

    // Names are matched without regard to case, as the statements' authors expect.
    TSqlParam& ParamByName(QAnyStringView name);
    // The i-th distinct parameter of the statement, in order of first appearance.
    TSqlParam& Params(int index);
    void clearParams();

    bool Open();
    bool ExecSQL(); // runs every statement of the text
    void Close();
    bool Active() const { return m_stmt != nullptr; }

    bool Eof() const { return m_eof; }
    bool Next();
    int FieldCount() const;
    QString FieldName(int index) const;
    TSqlField Fields(int index) const;
    TSqlField FieldByName(QAnyStringView name) const;
    bool hasField(QAnyStringView name) const;

    qint64 RowsAffected() const { return m_rowsAffected; }
    qint64 lastInsertRowId() const;
    QString lastError() const { return m_lastError; }
    TSqliteConnection* connection() const { return m_connection; }

protected:
    // Called before every Open and ExecSQL: where the two sides of the file hand-over wait.
    virtual void DoBeforeOpen() {}
    virtual void DoBeforeExecute() {}

private:
    bool prepareNext(const QString& sql, qsizetype& offset, sqlite3_stmt*& stmt);
    bool bind(sqlite3_stmt* stmt);
    bool fail(const QString& what);
    bool stepRow();

    TSqliteConnection* m_connection;
    QString m_sql;
    std::map<QString, TSqlParam> m_named;
    std::vector<QString> m_positionalNames; // lower-case names by position, filled on bind
    std::map<int, TSqlParam> m_positional;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_eof = true;
    qint64 m_rowsAffected = 0;
    QString m_lastError;
    mutable std::map<QString, int> m_columnIndex;
};

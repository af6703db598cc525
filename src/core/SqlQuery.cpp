#include "SqlQuery.h"

#include "SqliteConnection.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

#include <sqlite3.h>

namespace {

QString lowerName(QAnyStringView name) { return name.toString().toLower(); }

QString columnText(sqlite3_stmt* stmt, int column)
{
    const void* text = sqlite3_column_text16(stmt, column);
    if (!text)
        return QString();
    return QString::fromUtf16(static_cast<const char16_t*>(text), sqlite3_column_bytes16(stmt, column) / 2);
}

bool textAsBoolean(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"wahr" || t == u"yes")
        return true;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && v != 0.0;
}

} // namespace

// ---- TSqlField ----

bool TSqlField::IsNull() const { return !m_stmt || sqlite3_column_type(m_stmt, m_column) == SQLITE_NULL; }

qint64 TSqlField::AsLargeInt() const
{
    if (!m_stmt)
        return 0;
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
        return sqlite3_column_int64(m_stmt, m_column);
    case SQLITE_FLOAT:
        return qint64(std::llround(sqlite3_column_double(m_stmt, m_column)));
    case SQLITE_TEXT: {
        const QString t = columnText(m_stmt, m_column).trimmed();
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (ok)
            return v;
        const double d = t.toDouble(&ok);
        if (ok)
            return qint64(std::llround(d));
        return textAsBoolean(t) ? 1 : 0;
    }
    default:
        return 0;
    }
}

double TSqlField::AsFloat() const
{
    if (!m_stmt)
        return 0.0;
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, m_column);
    case SQLITE_TEXT:
        return columnText(m_stmt, m_column).trimmed().toDouble();
    default:
        return 0.0;
    }
}

QString TSqlField::AsString() const
{
    if (!m_stmt)
        return QString();
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_stmt, m_column));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(m_stmt, m_column), 'g', 15);
    case SQLITE_NULL:
        return QString();
    default:
        return columnText(m_stmt, m_column);
    }
}

TDateTime TSqlField::AsDateTime() const
{
    if (!m_stmt)
        return TDateTime();
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return TDateTime(sqlite3_column_double(m_stmt, m_column));
    case SQLITE_TEXT: {
        TDateTime dt;
        return parseStoredDateTime(columnText(m_stmt, m_column), dt) ? dt : TDateTime();
    }
    default:
        return TDateTime();
    }
}

bool TSqlField::AsBoolean() const
{
    if (!m_stmt)
        return false;
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
        return sqlite3_column_int64(m_stmt, m_column) != 0;
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, m_column) != 0.0;
    case SQLITE_TEXT:
        return textAsBoolean(columnText(m_stmt, m_column));
    default:
        return false;
    }
}

QVariant TSqlField::AsVariant() const
{
    if (!m_stmt)
        return QVariant();
    switch (sqlite3_column_type(m_stmt, m_column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, m_column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, m_column));
    case SQLITE_TEXT:
        return QVariant(columnText(m_stmt, m_column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, m_column)),
                                   sqlite3_column_bytes(m_stmt, m_column)));
    default:
        return QVariant();
    }
}

// ---- TSqlQuery ----

TSqlQuery::TSqlQuery(TSqliteConnection* connection) : m_connection(connection) {}

TSqlQuery::~TSqlQuery() { Close(); }

void TSqlQuery::setSQL(QAnyStringView sql)
{
    Close();
    m_sql = sql.toString();
}

TSqlParam& TSqlQuery::ParamByName(QAnyStringView name) { return m_named[lowerName(name)]; }

TSqlParam& TSqlQuery::Params(int index) { return m_positional[index]; }

void TSqlQuery::clearParams()
{
    m_named.clear();
    m_positional.clear();
}

void TSqlQuery::Close()
{
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    m_eof = true;
    m_columnIndex.clear();
}

bool TSqlQuery::fail(const QString& what)
{
    m_lastError = what;
    if (m_connection)
        m_connection->setLastError(what);
    Close();
    return false;
}

bool TSqlQuery::prepareNext(const QString& sql, qsizetype& offset, sqlite3_stmt*& stmt)
{
    stmt = nullptr;
    const char16_t* base = reinterpret_cast<const char16_t*>(sql.utf16());
    const void* tail = nullptr;
    const int bytes = int((sql.size() - offset) * 2);
    const int rc = sqlite3_prepare16_v2(m_connection->handle(), base + offset, bytes, &stmt, &tail);
    if (rc != SQLITE_OK) {
        stmt = nullptr;
        return fail(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
    }
    offset = tail ? static_cast<const char16_t*>(tail) - base : sql.size();
    return true;
}

bool TSqlQuery::bind(sqlite3_stmt* stmt)
{
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        const char* rawName = sqlite3_bind_parameter_name(stmt, i);
        const TSqlParam* param = nullptr;
        if (rawName) {
            const QString name = QString::fromUtf8(rawName + 1).toLower(); // skip ':' '@' '$'
            auto named = m_named.find(name);
            if (named != m_named.end()) {
                param = &named->second;
            } else {
                auto pos = std::find(m_positionalNames.begin(), m_positionalNames.end(), name);
                if (pos == m_positionalNames.end())
                    pos = m_positionalNames.insert(m_positionalNames.end(), name);
                auto positional = m_positional.find(int(pos - m_positionalNames.begin()));
                if (positional != m_positional.end())
                    param = &positional->second;
            }
        } else {
            auto positional = m_positional.find(i - 1);
            if (positional != m_positional.end())
                param = &positional->second;
        }
        int rc = SQLITE_OK;
        const QVariant v = param ? param->value() : QVariant();
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(stmt, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, i, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Short:
                rc = sqlite3_bind_int64(stmt, i, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, i, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString s = v.toString();
                rc = sqlite3_bind_text16(stmt, i, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            return fail(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
    }
    return true;
}

bool TSqlQuery::stepRow()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_eof = false;
        return true;
    }
    m_eof = true;
    if (rc != SQLITE_DONE)
        return fail(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
    return true;
}

bool TSqlQuery::Open()
{
    Close();
    m_lastError.clear();
    m_rowsAffected = 0;
    m_positionalNames.clear();
    DoBeforeOpen();
    if (!m_connection || !m_connection->open())
        return fail(m_connection ? m_connection->lastError() : QStringLiteral("keine Verbindung"));
    // Leading statements of a multi-statement text run to completion; the last gives the rows.
    qsizetype offset = 0;
    for (;;) {
        sqlite3_stmt* stmt = nullptr;
        if (!prepareNext(m_sql, offset, stmt))
            return false;
        if (!stmt) // only blanks or comments left
            return true;
        const bool last = m_sql.mid(offset).trimmed().isEmpty() || m_sql.mid(offset).trimmed() == u";";
        if (!bind(stmt)) {
            sqlite3_finalize(stmt);
            return false;
        }
        m_stmt = stmt;
        if (last)
            break;
        while (sqlite3_step(m_stmt) == SQLITE_ROW) {
        }
        if (sqlite3_reset(m_stmt) != SQLITE_OK)
            return fail(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    if (!stepRow())
        return false;
    m_rowsAffected = sqlite3_changes(m_connection->handle());
    return true;
}

bool TSqlQuery::ExecSQL()
{
    Close();
    m_lastError.clear();
    m_rowsAffected = 0;
    m_positionalNames.clear();
    DoBeforeExecute();
    if (!m_connection || !m_connection->open())
        return fail(m_connection ? m_connection->lastError() : QStringLiteral("keine Verbindung"));
    qsizetype offset = 0;
    for (;;) {
        sqlite3_stmt* stmt = nullptr;
        if (!prepareNext(m_sql, offset, stmt))
            return false;
        if (!stmt)
            return true;
        m_stmt = stmt;
        if (!bind(stmt))
            return false;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            return fail(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
        m_rowsAffected += sqlite3_changes(m_connection->handle());
        Close();
    }
}

bool TSqlQuery::Next()
{
    if (!m_stmt || m_eof)
        return false;
    return stepRow() && !m_eof;
}

int TSqlQuery::FieldCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

QString TSqlQuery::FieldName(int index) const
{
    if (!m_stmt || index < 0 || index >= FieldCount())
        return QString();
    return QString::fromUtf8(sqlite3_column_name(m_stmt, index));
}

TSqlField TSqlQuery::Fields(int index) const
{
    if (!m_stmt || m_eof || index < 0 || index >= FieldCount())
        return TSqlField();
    return TSqlField(m_stmt, index);
}

TSqlField TSqlQuery::FieldByName(QAnyStringView name) const
{
    if (!m_stmt || m_eof)
        return TSqlField();
    if (m_columnIndex.empty()) {
        for (int i = FieldCount() - 1; i >= 0; --i) // the first of equal names wins
            m_columnIndex[FieldName(i).toLower()] = i;
    }
    const auto it = m_columnIndex.find(lowerName(name));
    if (it == m_columnIndex.end()) {
        qWarning("TSqlQuery: no field %s in: %s", qPrintable(name.toString()), qPrintable(m_sql.left(200)));
        return TSqlField();
    }
    return TSqlField(m_stmt, it->second);
}

bool TSqlQuery::hasField(QAnyStringView name) const
{
    const QString wanted = lowerName(name);
    for (int i = 0; i < FieldCount(); ++i)
        if (FieldName(i).toLower() == wanted)
            return true;
    return false;
}

qint64 TSqlQuery::lastInsertRowId() const
{
    return m_connection && m_connection->handle() ? sqlite3_last_insert_rowid(m_connection->handle()) : 0;
}

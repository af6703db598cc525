#include "RemoteDB.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <curl/curl.h>

#include <cmath>
#include <limits>
#include <mutex>

namespace {

// An answer larger than this is not a statement result but a fault; it is cut off.
constexpr qsizetype MaxAnswerBytes = qsizetype(512) * 1024 * 1024;

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Sizes the answer buffer once from Content-Length, so a large batch is not copied while it grows.
size_t reserveFromHeader(char* data, size_t size, size_t count, void* userdata) {
    const size_t bytes = size * count;
    const QByteArray line = QByteArray::fromRawData(data, qsizetype(bytes)).trimmed();
    if (line.size() > 15 && line.first(15).compare("content-length:", Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const qint64 length = line.mid(15).trimmed().toLongLong(&ok);
        if (ok && length > 0 && length <= MaxAnswerBytes)
            static_cast<QByteArray*>(userdata)->reserve(qsizetype(length));
    }
    return bytes;
}

size_t appendToBuffer(char* data, size_t size, size_t count, void* userdata) {
    auto* buffer = static_cast<QByteArray*>(userdata);
    const size_t bytes = size * count;
    if (buffer->size() + qsizetype(bytes) > MaxAnswerBytes)
        return 0;
    buffer->append(data, qsizetype(bytes));
    return bytes;
}

bool textAsBoolean(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"wahr" || t == u"yes" || t == u"t")
        return true;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && v != 0.0;
}

QString serviceMessage(const QByteArray& answer, long httpStatus) {
    const QJsonObject error = QJsonDocument::fromJson(answer).object().value(u"error").toObject();
    const QString code = error.value(u"code").toString();
    const QString message = error.value(u"message").toString();
    if (code.isEmpty() && message.isEmpty())
        return QStringLiteral("the service answered HTTP %1").arg(httpStatus);
    return code + QStringLiteral(": ") + message;
}

} // namespace

// ---- TRemoteDBDatabase ----

struct TRemoteDBDatabase::Curl {
    CURL* handle = nullptr;
    curl_slist* headers = nullptr;
    ~Curl() {
        curl_slist_free_all(headers);
        if (handle)
            curl_easy_cleanup(handle);
    }
};

TRemoteDBDatabase::TRemoteDBDatabase() : m_curl(std::make_unique<Curl>()) {
    initCurlOnce();
}

TRemoteDBDatabase::~TRemoteDBDatabase() = default;

void TRemoteDBDatabase::setTenant(int pin, const QString& password) {
    m_tenantPin = pin;
    m_tenantPassword = password;
}

bool TRemoteDBDatabase::setConnected(bool connect) {
    m_connected = false;
    if (!connect) {
        // Dropping the handle closes the kept-alive HTTP connection as well.
        m_curl = std::make_unique<Curl>();
        return false;
    }
    long status = 0;
    QByteArray answer;
    QString error;
    if (!request("ping", nullptr, status, answer, error)) {
        m_lastError = error;
        return false;
    }
    if (status != 200 || !QJsonDocument::fromJson(answer).object().value(u"ok").toBool()) {
        m_lastError = serviceMessage(answer, status);
        return false;
    }
    m_lastError.clear();
    m_connected = true;
    return true;
}

bool TRemoteDBDatabase::runStatement(const QByteArray& requestJson, QByteArray& answer, QString& error) {
    if (!m_connected) {
        error = QStringLiteral("not connected to the remote database");
        return false;
    }
    long status = 0;
    if (!request("query", &requestJson, status, answer, error)) {
        m_connected = false;
        m_lastError = error;
        return false;
    }
    if (status == 401)
        m_connected = false;
    if (status != 200) {
        error = serviceMessage(answer, status);
        return false;
    }
    return true;
}

bool TRemoteDBDatabase::request(const QByteArray& path, const QByteArray* postBody, long& httpStatus,
                                QByteArray& answer, QString& error) {
    answer.clear();
    if (!m_curl->handle) {
        m_curl->handle = curl_easy_init();
        if (!m_curl->handle) {
            error = QStringLiteral("the HTTP client could not be created");
            return false;
        }
        m_curl->headers = curl_slist_append(m_curl->headers, "Content-Type: application/json");
        m_curl->headers = curl_slist_append(m_curl->headers, "Expect:");
    }
    CURL* h = m_curl->handle;
    const QByteArray url = m_serverUri.toUtf8() + path;
    const QByteArray user = m_userName.toUtf8();
    const QByteArray password = m_password.toUtf8();
    const QByteArray caFile = m_caFile.toLocal8Bit();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
    curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_CAINFO, caFile.isEmpty() ? nullptr : caFile.constData());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, 180000L);
    curl_easy_setopt(h, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, m_curl->headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendToBuffer);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, reserveFromHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &answer);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 64L * 1024);
    if (postBody) {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, postBody->constData());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postBody->size()));
    } else {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    }
    const CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK) {
        error = QStringLiteral("remote database not reachable at %1: %2")
                    .arg(QString::fromUtf8(url), QString::fromUtf8(curl_easy_strerror(rc)));
        return false;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &httpStatus);
    return true;
}

// ---- TXField ----

namespace {

qint64 roundToInteger(double d) {
    return std::isfinite(d) && std::fabs(d) < 9.2e18 ? qint64(std::llround(d)) : 0;
}

} // namespace

qint64 TXField::AsLargeInt() const {
    switch (m_cell.kind) {
    case RemoteCell::Bool:
    case RemoteCell::Integer:
        return m_cell.integer;
    case RemoteCell::Float:
        return roundToInteger(m_cell.number);
    case RemoteCell::Text: {
        const QString t = text().trimmed();
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (ok)
            return v;
        const double d = t.toDouble(&ok);
        if (ok)
            return roundToInteger(d);
        return textAsBoolean(t) ? 1 : 0;
    }
    default:
        return 0;
    }
}

double TXField::AsFloat() const {
    switch (m_cell.kind) {
    case RemoteCell::Bool:
    case RemoteCell::Integer:
        return double(m_cell.integer);
    case RemoteCell::Float:
        return m_cell.number;
    case RemoteCell::Text: {
        bool ok = false;
        const double d = text().trimmed().toDouble(&ok);
        return ok ? d : 0.0;
    }
    default:
        return 0.0;
    }
}

QString TXField::AsString() const {
    switch (m_cell.kind) {
    case RemoteCell::Text:
        return text();
    case RemoteCell::Bool:
        return m_cell.integer ? QStringLiteral("True") : QStringLiteral("False");
    case RemoteCell::Integer:
        return QString::number(m_cell.integer);
    case RemoteCell::Float:
        return QString::number(m_cell.number, 'g', 15);
    default:
        return QString();
    }
}

TDateTime TXField::AsDateTime() const {
    switch (m_cell.kind) {
    case RemoteCell::Text: {
        TDateTime dt;
        return parseStoredDateTime(text(), dt) ? dt : TDateTime();
    }
    case RemoteCell::Integer:
        return TDateTime(double(m_cell.integer));
    case RemoteCell::Float:
        return TDateTime(m_cell.number);
    default:
        return TDateTime();
    }
}

bool TXField::AsBoolean() const {
    switch (m_cell.kind) {
    case RemoteCell::Bool:
    case RemoteCell::Integer:
        return m_cell.integer != 0;
    case RemoteCell::Float:
        return m_cell.number != 0.0;
    case RemoteCell::Text:
        return textAsBoolean(text());
    default:
        return false;
    }
}

// ---- TXDataset ----

TXDataset::TXDataset(TRemoteDBDatabase* database) : m_database(database) {}

void TXDataset::setSQL(QAnyStringView sql) {
    Close();
    m_sql = sql.toString();
}

TSqlParam& TXDataset::ParamByName(QAnyStringView name) {
    const QString key = name.toString().toLower();
    for (auto& [n, param] : m_named)
        if (n == key)
            return param;
    m_named.emplace_back(key, TSqlParam());
    return m_named.back().second;
}

TSqlParam& TXDataset::Params(int index) {
    return m_positional[index];
}

void TXDataset::clearParams() {
    m_named.clear();
    m_positional.clear();
}

bool TXDataset::Open() {
    return run();
}

bool TXDataset::ExecSQL() {
    const bool ok = run();
    m_result = RemoteResult();
    m_columnIndex.clear();
    m_active = false;
    return ok;
}

void TXDataset::Close() {
    m_active = false;
    m_result = RemoteResult();
    m_columnIndex.clear();
    m_row = 0;
}

bool TXDataset::Next() {
    if (Eof())
        return false;
    ++m_row;
    return !Eof();
}

QString TXDataset::FieldName(int index) const {
    return index >= 0 && index < FieldCount() ? m_result.columns()[std::size_t(index)] : QString();
}

TXField TXDataset::Fields(int index) const {
    if (Eof() || index < 0 || index >= FieldCount())
        return TXField();
    return TXField(m_result.cell(m_row, index), m_result.answer());
}

TXField TXDataset::FieldByName(QAnyStringView name) const {
    const auto it = m_columnIndex.find(name.toString().toLower());
    return it == m_columnIndex.end() ? TXField() : Fields(it->second);
}

bool TXDataset::hasField(QAnyStringView name) const {
    return m_columnIndex.count(name.toString().toLower()) > 0;
}

namespace {

QJsonObject paramJson(const TSqlParam& param) {
    const QVariant& v = param.value();
    QJsonObject p;
    if (v.isNull() || !v.isValid()) {
        p.insert(u"type", QStringLiteral("null"));
        return p;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool: {
        const qint64 n = v.toLongLong();
        const bool small = n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max();
        p.insert(u"type", small ? QStringLiteral("int") : QStringLiteral("int64"));
        p.insert(u"value", n);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d)) {
            p.insert(u"type", QStringLiteral("null"));
            break;
        }
        p.insert(u"type", QStringLiteral("float"));
        p.insert(u"value", d);
        break;
    }
    default:
        p.insert(u"type", QStringLiteral("text"));
        p.insert(u"value", v.toString());
    }
    return p;
}

} // namespace

QByteArray TXDataset::requestJson() const {
    QJsonArray params;
    for (const auto& [name, param] : m_named) {
        QJsonObject p = paramJson(param);
        p.insert(u"name", name);
        params.append(p);
    }
    for (const auto& [index, param] : m_positional) {
        QJsonObject p = paramJson(param);
        p.insert(u"index", index);
        params.append(p);
    }
    QJsonObject body;
    body.insert(u"sql", m_sql);
    body.insert(u"params", params);
    if (m_database->tenantPin() != 0 || !m_database->tenantPassword().isEmpty()) {
        QJsonObject tenant;
        tenant.insert(u"pin", m_database->tenantPin());
        tenant.insert(u"password", m_database->tenantPassword());
        body.insert(u"tenant", tenant);
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

bool TXDataset::run() {
    Close();
    m_rowsAffected = 0;
    m_lastError.clear();
    if (!m_database)
        return fail(QStringLiteral("no remote database"));
    QByteArray answer;
    QString error;
    if (!m_database->runStatement(requestJson(), answer, error))
        return fail(error);

    if (!m_result.read(answer, error))
        return fail(error);
    for (std::size_t c = 0; c < m_result.columns().size(); ++c)
        m_columnIndex.emplace(m_result.columns()[c], int(c));
    m_rowsAffected = m_result.rowsAffected();
    m_active = true;
    return true;
}

bool TXDataset::fail(const QString& message) {
    Close();
    m_lastError = message;
    return false;
}

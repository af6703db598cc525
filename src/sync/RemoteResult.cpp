#include "RemoteResult.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace {

constexpr int MaxDepth = 32;

// A cursor over the answer's bytes; every step checks the end.
class Reader {
public:
    Reader(const char* data, qsizetype size) : m_begin(data), m_p(data), m_end(data + size) {}

    bool failed() const { return m_failed; }
    qint32 offset() const { return qint32(m_p - m_begin); }

    void skipSpace() {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }
    bool peek(char c) {
        skipSpace();
        return m_p < m_end && *m_p == c;
    }
    bool take(char c) {
        if (!peek(c))
            return fail();
        ++m_p;
        return true;
    }
    bool atEnd() {
        skipSpace();
        return m_p == m_end;
    }
    bool fail() {
        m_failed = true;
        m_p = m_end;
        return false;
    }

    // A string; its bytes (without quotes) start at offset and run length bytes.
    bool string(qint32& start, qint32& length, bool& escaped) {
        if (!take('"'))
            return false;
        start = offset();
        escaped = false;
        while (m_p < m_end) {
            const unsigned char c = static_cast<unsigned char>(*m_p);
            if (c == '"') {
                length = offset() - start;
                ++m_p;
                return true;
            }
            if (c < 0x20)
                return fail();
            if (c == '\\') {
                escaped = true;
                if (++m_p >= m_end)
                    return fail();
                const char e = *m_p;
                if (e == 'u') {
                    if (m_end - m_p < 5)
                        return fail();
                    for (int i = 1; i <= 4; ++i)
                        if (!std::isxdigit(static_cast<unsigned char>(m_p[i])))
                            return fail();
                    m_p += 4;
                } else if (!std::strchr("\"\\/bfnrt", e) || e == '\0') {
                    return fail();
                }
            }
            ++m_p;
        }
        return fail();
    }

    bool stringEquals(const char* word) {
        qint32 start = 0, length = 0;
        bool escaped = false;
        if (!string(start, length, escaped))
            return false;
        return !escaped && qsizetype(std::strlen(word)) == length &&
               std::memcmp(m_begin + start, word, size_t(length)) == 0;
    }

    // A scalar into a cell; arrays and objects are not values of a row.
    bool scalar(RemoteCell& cell) {
        skipSpace();
        if (m_p >= m_end)
            return fail();
        switch (*m_p) {
        case '"': {
            qint32 start = 0, length = 0;
            bool escaped = false;
            if (!string(start, length, escaped))
                return false;
            cell.kind = RemoteCell::Text;
            cell.escaped = escaped;
            cell.text = {start, length};
            return true;
        }
        case 't':
            return word("true") && (cell.kind = RemoteCell::Bool, cell.integer = 1, true);
        case 'f':
            return word("false") && (cell.kind = RemoteCell::Bool, cell.integer = 0, true);
        case 'n':
            return word("null") && (cell.kind = RemoteCell::Null, cell.integer = 0, true);
        default:
            return number(cell);
        }
    }

    bool number(RemoteCell& cell) {
        const char* start = m_p;
        bool integral = true;
        if (m_p < m_end && *m_p == '-')
            ++m_p;
        const char* digits = m_p;
        while (m_p < m_end && std::isdigit(static_cast<unsigned char>(*m_p)))
            ++m_p;
        if (m_p == digits)
            return fail();
        if (m_p < m_end && *m_p == '.') {
            integral = false;
            ++m_p;
            while (m_p < m_end && std::isdigit(static_cast<unsigned char>(*m_p)))
                ++m_p;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            integral = false;
            ++m_p;
            if (m_p < m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            while (m_p < m_end && std::isdigit(static_cast<unsigned char>(*m_p)))
                ++m_p;
        }
        if (integral) {
            qint64 v = 0;
            auto [end, ec] = std::from_chars(start, m_p, v);
            if (ec == std::errc() && end == m_p) {
                cell.kind = RemoteCell::Integer;
                cell.integer = v;
                return true;
            }
        }
        double d = 0;
        auto [end, ec] = std::from_chars(start, m_p, d);
        if (ec != std::errc() || end != m_p)
            return fail();
        cell.kind = RemoteCell::Float;
        cell.number = d;
        return true;
    }

    // Any value, for members this client does not use.
    bool skipValue(int depth = 0) {
        if (depth > MaxDepth)
            return fail();
        if (peek('{')) {
            ++m_p;
            if (peek('}'))
                return take('}');
            do {
                RemoteCell key;
                if (!peek('"') || !scalar(key) || !take(':') || !skipValue(depth + 1))
                    return false;
            } while (peek(',') && take(','));
            return take('}');
        }
        if (peek('[')) {
            ++m_p;
            if (peek(']'))
                return take(']');
            do {
                if (!skipValue(depth + 1))
                    return false;
            } while (peek(',') && take(','));
            return take(']');
        }
        RemoteCell ignored;
        return scalar(ignored);
    }

    const char* begin() const { return m_begin; }

private:
    bool word(const char* w) {
        const qsizetype n = qsizetype(std::strlen(w));
        if (m_end - m_p < n || std::memcmp(m_p, w, size_t(n)) != 0)
            return fail();
        m_p += n;
        return true;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    bool m_failed = false;
};

// Appends code point cp as UTF-8.
void appendUtf8(QByteArray& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

QString unescape(const char* p, qint32 length) {
    QByteArray out;
    out.reserve(length);
    const char* end = p + length;
    const auto hex4 = [](const char* h) {
        char32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = h[i];
            v = v * 16 + char32_t(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        return v;
    };
    while (p < end) {
        if (*p != '\\') {
            out += *p++;
            continue;
        }
        ++p; // the reader has checked that a valid escape follows
        switch (*p) {
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            char32_t cp = hex4(p + 1);
            p += 4;
            if (cp >= 0xD800 && cp <= 0xDBFF && end - p >= 7 && p[1] == '\\' && p[2] == 'u') {
                const char32_t low = hex4(p + 3);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    p += 6;
                }
            }
            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xFFFD; // a lone surrogate
            appendUtf8(out, cp);
            break;
        }
        default:
            out += *p;
        }
        ++p;
    }
    return QString::fromUtf8(out);
}

} // namespace

bool RemoteResult::read(const QByteArray& answer, QString& error) {
    m_answer = answer;
    m_ok = false;
    m_rowsAffected = 0;
    m_columns.clear();
    m_cells.clear();
    Reader r(m_answer.constData(), m_answer.size());
    // Every value takes at least two bytes of the answer; reserving that bound once saves
    // the copies of a growing vector, and the pages never touched cost nothing.
    m_cells.reserve(std::size_t(m_answer.size() / 2));
    bool sawColumns = false;
    bool sawRows = false;
    const auto malformed = [&](const char* what) {
        m_columns.clear();
        m_cells.clear();
        error = QStringLiteral("the service's answer cannot be read (%1)").arg(QLatin1String(what));
        return false;
    };
    if (!r.take('{'))
        return malformed("no object");
    if (!r.peek('}')) {
        do {
            qint32 start = 0, length = 0;
            bool escaped = false;
            if (!r.string(start, length, escaped) || !r.take(':'))
                return malformed("member");
            const QByteArray key = QByteArray::fromRawData(r.begin() + start, length);
            if (key == "ok") {
                RemoteCell v;
                if (!r.scalar(v) || v.kind != RemoteCell::Bool)
                    return malformed("ok");
                m_ok = v.integer != 0;
            } else if (key == "rowsAffected") {
                RemoteCell v;
                if (!r.scalar(v) || v.kind != RemoteCell::Integer)
                    return malformed("rowsAffected");
                m_rowsAffected = v.integer;
            } else if (key == "columns") {
                if (sawColumns || sawRows)
                    return malformed("columns out of place");
                sawColumns = true;
                if (!r.take('['))
                    return malformed("columns");
                if (!r.peek(']')) {
                    do {
                        QString name;
                        if (!r.take('{'))
                            return malformed("column");
                        do {
                            if (!r.string(start, length, escaped) || !r.take(':'))
                                return malformed("column member");
                            if (!escaped && length == 4 && std::memcmp(r.begin() + start, "name", 4) == 0) {
                                RemoteCell v;
                                if (!r.scalar(v) || v.kind != RemoteCell::Text)
                                    return malformed("column name");
                                name = v.escaped ? unescape(r.begin() + v.text.offset, v.text.length)
                                                 : QString::fromUtf8(r.begin() + v.text.offset, v.text.length);
                            } else if (!r.skipValue()) {
                                return malformed("column member");
                            }
                        } while (r.peek(',') && r.take(','));
                        if (!r.take('}'))
                            return malformed("column");
                        m_columns.push_back(name.toLower());
                    } while (r.peek(',') && r.take(','));
                }
                if (!r.take(']'))
                    return malformed("columns");
            } else if (key == "rows") {
                // Rows come after the columns, so each row's width can be checked as it is read.
                if (sawRows || !sawColumns)
                    return malformed("rows out of place");
                sawRows = true;
                if (!r.take('['))
                    return malformed("rows");
                if (!r.peek(']')) {
                    do {
                        if (!r.take('['))
                            return malformed("row");
                        std::size_t width = 0;
                        if (!r.peek(']')) {
                            do {
                                RemoteCell cell;
                                if (!r.scalar(cell))
                                    return malformed("value");
                                m_cells.push_back(cell);
                                ++width;
                            } while (r.peek(',') && r.take(','));
                        }
                        if (!r.take(']') || width != m_columns.size())
                            return malformed("row width");
                    } while (r.peek(',') && r.take(','));
                }
                if (!r.take(']'))
                    return malformed("rows");
            } else if (!r.skipValue()) {
                return malformed("member");
            }
        } while (r.peek(',') && r.take(','));
    }
    if (!r.take('}') || !r.atEnd() || r.failed())
        return malformed("end");
    if (!m_ok)
        return malformed("not ok");
    return true;
}

QString RemoteResult::text(const QByteArray& answer, const RemoteCell& cell) {
    if (cell.kind != RemoteCell::Text || cell.text.offset < 0 || cell.text.length < 0 ||
        qsizetype(cell.text.offset) + cell.text.length > answer.size())
        return QString();
    const char* p = answer.constData() + cell.text.offset;
    return cell.escaped ? unescape(p, cell.text.length) : QString::fromUtf8(p, cell.text.length);
}

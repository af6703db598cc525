#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// One value of a result row. Texts stay in the answer's bytes until read.
struct RemoteCell {
    enum Kind : quint8 { Null, Bool, Integer, Float, Text };
    Kind kind = Null;
    bool escaped = false; // the text holds JSON escapes and must be unescaped on reading
    union {
        qint64 integer;
        double number;
        struct {
            qint32 offset;
            qint32 length;
        } text;
    };
    RemoteCell() : integer(0) {}
};

// The answer of the query endpoint, read in one pass without building a JSON tree, so
// that a download batch costs little more than its bytes. Anything malformed makes
// read() fail; nothing in the answer can make it read out of bounds.
class RemoteResult {
public:
    bool read(const QByteArray& answer, QString& error);

    bool ok() const { return m_ok; }
    qint64 rowsAffected() const { return m_rowsAffected; }
    const std::vector<QString>& columns() const { return m_columns; }
    int rowCount() const { return m_columns.empty() ? 0 : int(m_cells.size() / m_columns.size()); }
    const RemoteCell& cell(int row, int column) const {
        return m_cells[std::size_t(row) * m_columns.size() + std::size_t(column)];
    }
    const QByteArray& answer() const { return m_answer; }
    // The text of a cell of this answer; empty for other kinds.
    static QString text(const QByteArray& answer, const RemoteCell& cell);

private:
    QByteArray m_answer;
    bool m_ok = false;
    qint64 m_rowsAffected = 0;
    std::vector<QString> m_columns;
    std::vector<RemoteCell> m_cells;
};

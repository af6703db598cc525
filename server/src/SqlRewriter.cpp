#include "SqlRewriter.h"

#include "allowlist.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace remotedb {
namespace {

enum class Kind { Word, Number, String, Param, Punct };

struct Token {
    Kind kind;
    std::size_t begin;
    std::size_t end;
    std::string lower; // words, params (without the colon) and punctuation
    int depth = 0;     // parenthesis depth before the token
};

bool isWordStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool isWordChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

std::string toLower(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return r;
}

class Tokenizer {
public:
    explicit Tokenizer(const std::string& sql) : m_sql(sql) {}

    bool run(std::vector<Token>& tokens, RewriteError& error) {
        int depth = 0;
        std::size_t i = 0;
        const std::size_t n = m_sql.size();
        while (i < n) {
            const unsigned char c = m_sql[i];
            if (std::isspace(c)) {
                ++i;
                continue;
            }
            if (c == '-' && i + 1 < n && m_sql[i + 1] == '-') {
                while (i < n && m_sql[i] != '\n')
                    ++i;
                continue;
            }
            Token t{Kind::Punct, i, i, {}, depth};
            if (c == '\'') {
                if (!scanString(i, t))
                    return fail(error, "syntax", "unterminated string literal");
            } else if (isWordStart(c)) {
                std::size_t j = i;
                while (j < n && isWordChar(m_sql[j]))
                    ++j;
                t.kind = Kind::Word;
                t.end = j;
                t.lower = toLower(std::string_view(m_sql).substr(i, j - i));
                if (j < n && m_sql[j] == '\'') {
                    // N'text' is the national-character literal; other prefixes (E'', U&'', B'')
                    // change how a literal is read and are not part of the dialect.
                    if (t.lower != "n")
                        return fail(error, "forbidden_statement", "string prefix " + t.lower + "'' is not allowed");
                    t.kind = Kind::String;
                    if (!scanString(j, t))
                        return fail(error, "syntax", "unterminated string literal");
                }
            } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit((unsigned char)m_sql[i + 1]))) {
                std::size_t j = i;
                while (j < n && (std::isalnum((unsigned char)m_sql[j]) || m_sql[j] == '.'))
                    ++j;
                t.kind = Kind::Number;
                t.end = j;
            } else if (c == ':') {
                if (i + 1 < n && m_sql[i + 1] == ':')
                    return fail(error, "forbidden_statement", "'::' casts are not allowed, use CAST");
                std::size_t j = i + 1;
                if (j >= n || !isWordStart(m_sql[j]))
                    return fail(error, "syntax", "':' must start a parameter name");
                while (j < n && isWordChar(m_sql[j]))
                    ++j;
                t.kind = Kind::Param;
                t.end = j;
                t.lower = toLower(std::string_view(m_sql).substr(i + 1, j - i - 1));
            } else if (c == '/' && i + 1 < n && m_sql[i + 1] == '*') {
                return fail(error, "forbidden_statement", "block comments are not allowed");
            } else if (isPunct(c)) {
                std::size_t len = 1;
                if (i + 1 < n) {
                    const std::string two = m_sql.substr(i, 2);
                    if (two == "<>" || two == "!=" || two == "<=" || two == ">=" || two == "||")
                        len = 2;
                }
                if (c == '!' && len == 1)
                    return fail(error, "syntax", "unexpected character '!'");
                t.end = i + len;
                t.lower = m_sql.substr(i, len);
                if (c == '(')
                    ++depth;
                if (c == ')') {
                    if (--depth < 0)
                        return fail(error, "syntax", "unbalanced parentheses");
                    t.depth = depth;
                }
            } else {
                return fail(error, "forbidden_statement",
                            std::string("character '") + char(c) + "' is not allowed outside literals");
            }
            i = t.end;
            tokens.push_back(std::move(t));
        }
        if (depth != 0)
            return fail(error, "syntax", "unbalanced parentheses");
        return true;
    }

private:
    static bool isPunct(unsigned char c) {
        return std::string_view("(),.;*+-/%=<>!|").find(char(c)) != std::string_view::npos;
    }

    // A literal runs to the next single quote; two quotes stand for one.
    bool scanString(std::size_t quotePos, Token& t) const {
        std::size_t j = quotePos + 1;
        while (j < m_sql.size()) {
            if (m_sql[j] == '\'') {
                if (j + 1 < m_sql.size() && m_sql[j + 1] == '\'') {
                    j += 2;
                    continue;
                }
                t.kind = Kind::String;
                t.end = j + 1;
                return true;
            }
            ++j;
        }
        return false;
    }

    static bool fail(RewriteError& error, std::string code, std::string message) {
        error = {std::move(code), std::move(message)};
        return false;
    }

    const std::string& m_sql;
};

bool isWord(const Token& t, std::string_view w) {
    return t.kind == Kind::Word && t.lower == w;
}
bool isPunct(const Token& t, std::string_view p) {
    return t.kind == Kind::Punct && t.lower == p;
}

class Rewriter {
public:
    Rewriter(const std::string& sql, std::vector<Token> tokens) : m_sql(sql), m_tokens(std::move(tokens)) {}

    bool run(RewrittenStatement& out, RewriteError& error) {
        if (m_tokens.empty())
            return fail(error, "syntax", "empty statement");
        const Token& first = m_tokens.front();
        if (first.kind != Kind::Word || !allowlist::isStatementKeyword(first.lower))
            return fail(error, "forbidden_statement",
                        "only SELECT, INSERT, UPDATE and DELETE are allowed, not '" + text(first) + "'");
        const bool isInsert = first.lower == "insert";

        std::size_t end = m_tokens.size();
        if (isPunct(m_tokens[end - 1], ";"))
            --end;
        std::size_t mainEnd = end;
        if (isInsert) {
            if (auto tail = identityTail(end)) {
                mainEnd = *tail;
                if (mainEnd > 0 && isPunct(m_tokens[mainEnd - 1], ";"))
                    --mainEnd;
                out.identitySql = m_sql.substr(m_tokens[*tail].begin, m_tokens[end - 1].end - m_tokens[*tail].begin);
            }
        }

        for (std::size_t i = 0; i < mainEnd; ++i) {
            if (!check(i, isInsert, error))
                return false;
        }

        std::string sql;
        std::size_t copied = m_tokens.front().begin;
        std::vector<std::pair<int, std::string>> pendingLimits; // depth of the query level, LIMIT text
        for (std::size_t i = 0; i < mainEnd; ++i) {
            const Token& t = m_tokens[i];
            if (isPunct(t, ")") && !pendingLimits.empty() && pendingLimits.back().first > t.depth) {
                sql += m_sql.substr(copied, t.begin - copied);
                sql += " LIMIT " + pendingLimits.back().second + " ";
                pendingLimits.pop_back();
                copied = t.begin;
            }
            if (t.kind == Kind::Param) {
                sql += m_sql.substr(copied, t.begin - copied);
                sql += "$" + std::to_string(paramNumber(t.lower, out.paramNames));
                copied = t.end;
            } else if (t.kind == Kind::String && m_sql[t.begin] != '\'') {
                sql += m_sql.substr(copied, t.begin - copied); // drop the N of N'text'
                copied = t.begin + 1;
            } else if (isWord(t, "top")) {
                std::string count;
                std::size_t last = 0;
                if (!topClause(i, out.paramNames, count, last, error))
                    return false;
                sql += m_sql.substr(copied, t.begin - copied);
                copied = m_tokens[last].end;
                pendingLimits.emplace_back(t.depth, count);
                i = last;
            }
        }
        sql += m_sql.substr(copied, m_tokens[mainEnd - 1].end - copied);
        while (!pendingLimits.empty()) {
            sql += " LIMIT " + pendingLimits.back().second;
            pendingLimits.pop_back();
        }
        out.sql = std::move(sql);
        return true;
    }

private:
    std::string text(const Token& t) const { return m_sql.substr(t.begin, t.end - t.begin); }

    // "Select SCOPE_IDENTITY() [as] name" at the end of an insert; returns where it starts.
    std::optional<std::size_t> identityTail(std::size_t end) const {
        for (std::size_t start = 1; start + 4 <= end; ++start) {
            if (!isWord(m_tokens[start], "select") || m_tokens[start].depth != 0)
                continue;
            std::size_t i = start + 1;
            if (!isWord(m_tokens[i], "scope_identity") || !isPunct(m_tokens[i + 1], "(") ||
                !isPunct(m_tokens[i + 2], ")"))
                continue;
            i += 3;
            if (i < end && isWord(m_tokens[i], "as"))
                ++i;
            if (i == end || (i + 1 == end && m_tokens[i].kind == Kind::Word))
                return start;
        }
        return std::nullopt;
    }

    bool check(std::size_t i, bool isInsert, RewriteError& error) const {
        const Token& t = m_tokens[i];
        if (isPunct(t, ";"))
            return fail(error, "forbidden_statement", "only one statement per request");
        if (t.kind != Kind::Word)
            return true;
        if (allowlist::isForbiddenIdentifier(t.lower))
            return fail(error, "forbidden_statement", "'" + text(t) + "' is not allowed");
        if (t.lower == "into" && !(isInsert && i == 1))
            return fail(error, "forbidden_statement", "INTO is only allowed in INSERT INTO");
        const bool opensParen = i + 1 < m_tokens.size() && isPunct(m_tokens[i + 1], "(");
        if (!opensParen || allowlist::isKeywordBeforeParen(t.lower))
            return true;
        const Token* prev = i > 0 ? &m_tokens[i - 1] : nullptr;
        if (prev && isWord(*prev, "into"))
            return true; // the insert's column list
        if (prev && isWord(*prev, "as") && allowlist::isCastType(t.lower))
            return true;
        if (prev && isPunct(*prev, "."))
            return fail(error, "forbidden_statement", "qualified function names are not allowed");
        if (!allowlist::isAllowedFunction(t.lower))
            return fail(error, "forbidden_statement", "function '" + text(t) + "' is not allowed");
        return true;
    }

    // "top(n)", "top (n)", "top n" or the same with a parameter; the tokens end at last.
    bool topClause(std::size_t i, std::vector<std::string>& names, std::string& count, std::size_t& last,
                   RewriteError& error) const {
        if (i == 0 || !(isWord(m_tokens[i - 1], "select") || isWord(m_tokens[i - 1], "distinct")) ||
            m_tokens.front().lower != "select")
            return fail(error, "forbidden_statement", "TOP is only allowed right after SELECT");
        std::size_t j = i + 1;
        const bool paren = j < m_tokens.size() && isPunct(m_tokens[j], "(");
        if (paren)
            ++j;
        if (j >= m_tokens.size())
            return fail(error, "syntax", "TOP needs a row count");
        const Token& value = m_tokens[j];
        if (value.kind == Kind::Number && text(value).find_first_not_of("0123456789") == std::string::npos)
            count = text(value);
        else if (value.kind == Kind::Param)
            count = "$" + std::to_string(paramNumber(value.lower, names));
        else
            return fail(error, "syntax", "TOP needs a whole number or a parameter");
        if (paren && (j + 1 >= m_tokens.size() || !isPunct(m_tokens[j + 1], ")")))
            return fail(error, "syntax", "TOP ( without )");
        last = paren ? j + 1 : j;
        return true;
    }

    static int paramNumber(const std::string& name, std::vector<std::string>& names) {
        auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end()) {
            names.push_back(name);
            return int(names.size());
        }
        return int(it - names.begin()) + 1;
    }

    static bool fail(RewriteError& error, std::string code, std::string message) {
        error = {std::move(code), std::move(message)};
        return false;
    }

    const std::string& m_sql;
    std::vector<Token> m_tokens;
};

} // namespace

bool rewriteStatement(const std::string& clientSql, RewrittenStatement& out, RewriteError& error) {
    out = {};
    std::vector<Token> tokens;
    if (!Tokenizer(clientSql).run(tokens, error))
        return false;
    return Rewriter(clientSql, std::move(tokens)).run(out, error);
}

} // namespace remotedb

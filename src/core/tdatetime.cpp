#include "tdatetime.h"

#include <QTimeZone>

#include <cmath>

namespace {

constexpr qint64 JulianDayOfDayZero = 2415019; // 1899-12-30
constexpr qint64 MSecsPerDayInt = 86400000;

struct Split {
    qint64 day;  // days since day 0
    qint64 msec; // milliseconds into the day, 0..86399999
};

Split split(double days)
{
    const qint64 total = std::llround(days * TDateTime::MSecsPerDay);
    qint64 day = total / MSecsPerDayInt;
    qint64 msec = total % MSecsPerDayInt;
    if (msec < 0) { // floor division for days before day 0
        msec += MSecsPerDayInt;
        --day;
    }
    return {day, msec};
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

} // namespace

bool TDateTime::tryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (year < 1 || year > 9999)
        return false;
    const QDate d(year, month, day);
    if (!d.isValid())
        return false;
    result = TDateTime(static_cast<double>(d.toJulianDay() - JulianDayOfDayZero));
    return true;
}

bool TDateTime::tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    // 24:00:00.000 is accepted: it is how a presence time ends at midnight.
    const bool midnightEnd = hour == 24 && minute == 0 && second == 0 && msec == 0;
    if (!midnightEnd && (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
                         msec < 0 || msec > 999))
        return false;
    const qint64 ms = ((qint64(hour) * 60 + minute) * 60 + second) * 1000 + msec;
    result = TDateTime(static_cast<double>(ms) / MSecsPerDay);
    return true;
}

TDateTime TDateTime::encodeDate(int year, int month, int day)
{
    TDateTime r;
    tryEncodeDate(year, month, day, r);
    return r;
}

TDateTime TDateTime::encodeTime(int hour, int minute, int second, int msec)
{
    TDateTime r;
    tryEncodeTime(hour, minute, second, msec, r);
    return r;
}

TDateTime TDateTime::encodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    TDateTime d;
    TDateTime t;
    if (!tryEncodeDate(year, month, day, d) || !tryEncodeTime(hour, minute, second, msec, t))
        return TDateTime();
    return TDateTime(d.value() + t.value());
}

TDateTime TDateTime::fromQDate(const QDate& d)
{
    if (!d.isValid())
        return TDateTime();
    return TDateTime(static_cast<double>(d.toJulianDay() - JulianDayOfDayZero));
}

TDateTime TDateTime::fromQDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return TDateTime();
    const QTime t = dt.time();
    return TDateTime(fromQDate(dt.date()).value() + encodeTime(t.hour(), t.minute(), t.second(), t.msec()).value());
}

void TDateTime::decodeDate(int& year, int& month, int& day) const
{
    const QDate d = toQDate();
    year = d.year();
    month = d.month();
    day = d.day();
}

void TDateTime::decodeTime(int& hour, int& minute, int& second, int& msec) const
{
    const qint64 ms = split(m_days).msec;
    hour = int(ms / 3600000);
    minute = int(ms / 60000 % 60);
    second = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

QDate TDateTime::toQDate() const { return QDate::fromJulianDay(split(m_days).day + JulianDayOfDayZero); }

QTime TDateTime::toQTime() const { return QTime::fromMSecsSinceStartOfDay(int(split(m_days).msec)); }

QDateTime TDateTime::toQDateTime() const { return QDateTime(toQDate(), toQTime()); }

TDateTime TDateTime::datePart() const { return TDateTime(static_cast<double>(split(m_days).day)); }

TDateTime TDateTime::timePart() const { return TDateTime(static_cast<double>(split(m_days).msec) / MSecsPerDay); }

int TDateTime::year() const { return toQDate().year(); }
int TDateTime::month() const { return toQDate().month(); }
int TDateTime::day() const { return toQDate().day(); }
int TDateTime::hour() const { return int(split(m_days).msec / 3600000); }
int TDateTime::minute() const { return int(split(m_days).msec / 60000 % 60); }
int TDateTime::second() const { return int(split(m_days).msec / 1000 % 60); }
int TDateTime::millisecond() const { return int(split(m_days).msec % 1000); }
int TDateTime::isoDayOfWeek() const { return toQDate().dayOfWeek(); }
int TDateTime::dayOfWeek() const { return isoDayOfWeek() % 7 + 1; }

std::int64_t TDateTime::totalMSecs() const { return std::llround(m_days * MSecsPerDay); }

QString TDateTime::format(const QString& pattern) const
{
    const QDate d = toQDate();
    int h, n, s, z;
    decodeTime(h, n, s, z);
    QString out;
    out.reserve(pattern.size() + 8);
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype k = i;
        while (k < pattern.size() && pattern.at(k).toLower() == c)
            ++k;
        return k - i;
    };
    while (i < pattern.size()) {
        const QChar c = pattern.at(i).toLower();
        qsizetype len = 1;
        if (c == u'y') {
            len = run(c);
            out += len >= 3 ? QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) : twoDigits(d.year() % 100);
        } else if (c == u'm') {
            len = std::min<qsizetype>(run(c), 4);
            if (len == 1)
                out += QString::number(d.month());
            else if (len == 2)
                out += twoDigits(d.month());
            else if (len == 3)
                out += germanShortMonthName(d.month());
            else
                out += germanMonthName(d.month());
        } else if (c == u'd') {
            len = std::min<qsizetype>(run(c), 4);
            if (len == 1)
                out += QString::number(d.day());
            else if (len == 2)
                out += twoDigits(d.day());
            else if (len == 3)
                out += germanShortDayName(dayOfWeek());
            else
                out += germanLongDayName(dayOfWeek());
        } else if (c == u'h') {
            len = std::min<qsizetype>(run(c), 2);
            out += len == 1 ? QString::number(h) : twoDigits(h);
        } else if (c == u'n') {
            len = std::min<qsizetype>(run(c), 2);
            out += len == 1 ? QString::number(n) : twoDigits(n);
        } else if (c == u's') {
            len = std::min<qsizetype>(run(c), 2);
            out += len == 1 ? QString::number(s) : twoDigits(s);
        } else if (c == u'z') {
            len = std::min<qsizetype>(run(c), 3);
            out += len == 3 ? QStringLiteral("%1").arg(z, 3, 10, QLatin1Char('0')) : QString::number(z);
        } else {
            out += pattern.at(i);
        }
        i += len;
    }
    return out;
}

QString DTDatetimeToString(TDateTime dt) { return dt.format(QStringLiteral("yyyy-mm-dd hh:nn:ss.zzz")); }

TDateTime DTstringToDatetime(const QString& text, TDateTime standard)
{
    if (text.size() != 23)
        return standard;
    bool ok = true;
    auto part = [&](int pos, int len) {
        bool partOk = false;
        const int v = text.mid(pos, len).toInt(&partOk);
        ok = ok && partOk;
        return v;
    };
    const int y = part(0, 4), m = part(5, 2), d = part(8, 2);
    const int h = part(11, 2), n = part(14, 2), s = part(17, 2), z = part(20, 3);
    TDateTime date, time;
    // The stored form never says 24:00; that belongs to the next day's 00:00.
    if (!ok || h > 23 || !TDateTime::tryEncodeDate(y, m, d, date) || !TDateTime::tryEncodeTime(h, n, s, z, time))
        return standard;
    return TDateTime(date.value() + time.value());
}

bool parseStoredDateTime(const QString& raw, TDateTime& result)
{
    const QString text = raw.trimmed();
    if (text.size() == 23) {
        const TDateTime sentinel(-1e9);
        const TDateTime dt = DTstringToDatetime(text, sentinel);
        if (dt != sentinel) {
            result = dt;
            return true;
        }
    }
    static const QString formats[] = {
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"), QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"),
        QStringLiteral("yyyy-MM-dd HH:mm:ss"),     QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
        QStringLiteral("yyyy-MM-dd HH:mm"),        QStringLiteral("yyyy-MM-dd"),
    };
    for (const QString& f : formats) {
        const QDateTime dt = QDateTime::fromString(text, f);
        if (dt.isValid()) {
            result = TDateTime::fromQDateTime(dt);
            return true;
        }
    }
    return false;
}

QString germanShortDayName(int dow)
{
    static const char* const names[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    return dow >= 1 && dow <= 7 ? QString::fromLatin1(names[dow - 1]) : QString();
}

QString germanLongDayName(int dow)
{
    static const char* const names[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    return dow >= 1 && dow <= 7 ? QString::fromLatin1(names[dow - 1]) : QString();
}

QString germanMonthName(int month)
{
    static const char16_t* const names[] = {u"Januar", u"Februar", u"März",     u"April",   u"Mai",      u"Juni",
                                            u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

QString germanShortMonthName(int month)
{
    static const char16_t* const names[] = {u"Jan", u"Feb", u"Mär", u"Apr", u"Mai", u"Jun",
                                            u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

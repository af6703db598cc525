#pragma once

#include <QDateTime>
#include <QString>

#include <compare>
#include <cstdint>

// A date-time as a count of days since 1899-12-30 with the time of day as the
// fraction: 1.0 is one day, 1/24 one hour, and a pure time of day has date part 0.
// Day arithmetic is plain addition, which is what the recording rules are written in.
class TDateTime {
public:
    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double days) : m_days(days) {}

    static constexpr double MSecsPerDay = 86400000.0;

    constexpr double value() const { return m_days; }

    // Encoders return day 0 for an invalid date or time; tryEncode* report it.
    static TDateTime encodeDate(int year, int month, int day);
    static TDateTime encodeTime(int hour, int minute, int second = 0, int msec = 0);
    static TDateTime encodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec = 0);
    static bool tryEncodeDate(int year, int month, int day, TDateTime& result);
    static bool tryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
    static TDateTime fromQDateTime(const QDateTime& dt);
    static TDateTime fromQDate(const QDate& d);

    // Decoding rounds to whole milliseconds first, so 23:59:59.9996 is the next day's midnight.
    void decodeDate(int& year, int& month, int& day) const;
    void decodeTime(int& hour, int& minute, int& second, int& msec) const;
    QDate toQDate() const;
    QTime toQTime() const;
    QDateTime toQDateTime() const;

    TDateTime datePart() const; // midnight of the day
    TDateTime timePart() const; // time of day, date part 0
    int year() const;
    int month() const;
    int day() const;
    int hour() const;
    int minute() const;
    int second() const;
    int millisecond() const;
    int dayOfWeek() const;    // 1 = Sunday ... 7 = Saturday
    int isoDayOfWeek() const; // 1 = Monday ... 7 = Sunday

    TDateTime addDays(double days) const { return TDateTime(m_days + days); }
    TDateTime addHours(double hours) const { return TDateTime(m_days + hours / 24.0); }
    TDateTime addMinutes(double minutes) const { return TDateTime(m_days + minutes / 1440.0); }
    TDateTime addSeconds(double seconds) const { return TDateTime(m_days + seconds / 86400.0); }
    TDateTime addMSecs(double msecs) const { return TDateTime(m_days + msecs / MSecsPerDay); }

    // Whole milliseconds since day 0, rounded; the basis of comparisons that must not
    // trip over floating-point noise.
    std::int64_t totalMSecs() const;
    std::int64_t msecsTo(TDateTime other) const { return other.totalMSecs() - totalMSecs(); }
    bool sameDay(TDateTime other) const { return datePart() == other.datePart(); }

    // Pattern letters: yyyy yy mm dd d hh h nn ss zzz ddd (German short day) dddd (German day)
    // mmm mmmm (German month names); anything else is copied. The separators ':' and '.'
    // are written as they are (the German and English settings agree on them).
    QString format(const QString& pattern) const;

    constexpr TDateTime operator+(double days) const { return TDateTime(m_days + days); }
    constexpr TDateTime operator-(double days) const { return TDateTime(m_days - days); }
    constexpr double operator-(TDateTime other) const { return m_days - other.m_days; }
    constexpr auto operator<=>(const TDateTime&) const = default;
    constexpr bool operator==(const TDateTime&) const = default;

private:
    double m_days = 0.0;
};

// The 23-character text form "yyyy-mm-dd hh:nn:ss.zzz" in which date-times are stored
// locally and travel to the server.
QString DTDatetimeToString(TDateTime dt);
// Reads the fixed positions of that form; any other length or an invalid part gives the default.
TDateTime DTstringToDatetime(const QString& text, TDateTime standard);
// Lenient reading of stored date-time values: the 23-character form, the same without
// milliseconds or seconds, a date alone, or an ISO text with 'T'. Returns false when none fits.
bool parseStoredDateTime(const QString& text, TDateTime& result);

QString germanShortDayName(int dayOfWeekSundayFirst);
QString germanLongDayName(int dayOfWeekSundayFirst);
QString germanMonthName(int month);
QString germanShortMonthName(int month);

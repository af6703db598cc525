#include "core/clock.h"
#include "core/tdatetime.h"

#include <QTest>

class TestTDateTime : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }

    void encodeDecode_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<double>("days");
        QTest::newRow("day zero") << 1899 << 12 << 30 << 0.0;
        QTest::newRow("day one") << 1899 << 12 << 31 << 1.0;
        QTest::newRow("before day zero") << 1899 << 12 << 29 << -1.0;
        QTest::newRow("2000-01-01") << 2000 << 1 << 1 << 36526.0;
        QTest::newRow("leap day") << 2024 << 2 << 29 << 45351.0;
    }
    void encodeDecode()
    {
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(double, days);
        const TDateTime dt = TDateTime::encodeDate(y, m, d);
        QCOMPARE(dt.value(), days);
        int yy, mm, dd;
        dt.decodeDate(yy, mm, dd);
        QCOMPARE(yy, y);
        QCOMPARE(mm, m);
        QCOMPARE(dd, d);
    }

    void invalidDatesGiveDayZero()
    {
        TDateTime out(5.0);
        QVERIFY(!TDateTime::tryEncodeDate(2023, 2, 29, out));
        QVERIFY(!TDateTime::tryEncodeTime(25, 0, 0, 0, out));
        QCOMPARE(out.value(), 5.0);
        QCOMPARE(TDateTime::encodeDate(2023, 13, 1).value(), 0.0);
    }

    void timeOfDayArithmetic()
    {
        const TDateTime t = TDateTime::encodeTime(12, 0, 0);
        QCOMPARE(t.value(), 0.5);
        QCOMPARE(TDateTime::encodeTime(24, 0, 0).value(), 1.0);
        const TDateTime dt = TDateTime::encodeDateTime(2026, 12, 11, 7, 30, 15, 250);
        QCOMPARE(dt.datePart(), TDateTime::encodeDate(2026, 12, 11));
        QCOMPARE(dt.timePart().totalMSecs(), TDateTime::encodeTime(7, 30, 15, 250).totalMSecs());
        QCOMPARE(dt.addDays(1).day(), 12);
        QCOMPARE(dt.addHours(17).day(), 12);
        QCOMPARE(TDateTime::encodeTime(12, 15).value() - TDateTime::encodeTime(7, 30).value() > 0, true);
    }

    void decodingRoundsToMilliseconds()
    {
        // Fractions a hair below midnight are the next day, as the stored texts expect.
        const TDateTime almost(TDateTime::encodeDate(2026, 1, 1).value() + 1.0 - 1e-10);
        QCOMPARE(DTDatetimeToString(almost), QStringLiteral("2026-01-02 00:00:00.000"));
        const TDateTime third = TDateTime::encodeTime(0, 0, 0).addMSecs(1);
        QCOMPARE(third.millisecond(), 1);
    }

    void textForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("full") << QStringLiteral("2018-10-19 14:03:05.123") << true;
        QTest::newRow("one ms after midnight") << QStringLiteral("2017-05-01 00:00:00.001") << true;
        QTest::newRow("22 characters") << QStringLiteral("2018-10-19 14:03:05.12") << false;
        QTest::newRow("24 characters") << QStringLiteral("2018-10-19 14:03:05.1234") << false;
        QTest::newRow("letters") << QStringLiteral("2018-1x-19 14:03:05.123") << false;
        QTest::newRow("no such day") << QStringLiteral("2018-02-30 14:03:05.123") << false;
        QTest::newRow("hour 25") << QStringLiteral("2018-02-10 25:03:05.123") << false;
        QTest::newRow("other separators") << QStringLiteral("2018/10/19T14.03.05,123") << true;
    }
    void textForm()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const TDateTime fallback(123.25);
        const TDateTime parsed = DTstringToDatetime(text, fallback);
        if (!valid) {
            QCOMPARE(parsed, fallback);
            return;
        }
        QVERIFY(parsed != fallback);
        QString normalised = text;
        normalised[4] = u'-';
        normalised[7] = u'-';
        normalised[10] = u' ';
        normalised[13] = u':';
        normalised[16] = u':';
        normalised[19] = u'.';
        QCOMPARE(DTDatetimeToString(parsed), normalised);
    }

    void germanFormats()
    {
        const TDateTime fri = TDateTime::encodeDate(2026, 12, 11);
        QCOMPARE(fri.format(QStringLiteral("ddd dd.mm.yyyy")), QStringLiteral("Fr 11.12.2026"));
        QCOMPARE(fri.format(QStringLiteral("dddd, d. mmmm yy")), QStringLiteral("Freitag, 11. Dezember 26"));
        QCOMPARE(TDateTime::encodeDate(2026, 3, 1).format(QStringLiteral("ddd mmm")), QStringLiteral("So Mär"));
        QCOMPARE(fri.dayOfWeek(), 6);
        QCOMPARE(fri.isoDayOfWeek(), 5);
    }

    void clockCanBeFixed()
    {
        const TDateTime fixed = TDateTime::encodeDateTime(2026, 12, 11, 8, 0, 0);
        Clock::setFixed(fixed);
        QCOMPARE(Clock::now(), fixed);
        QCOMPARE(Clock::today(), fixed.datePart());
        Clock::advance(1.0 / 24);
        QCOMPARE(Clock::now().hour(), 9);
        Clock::reset();
        QVERIFY(qAbs(Clock::now() - TDateTime::fromQDateTime(QDateTime::currentDateTime())) < 1.0 / 86400);
    }
};

QTEST_GUILESS_MAIN(TestTDateTime)
#include "tst_tdatetime.moc"

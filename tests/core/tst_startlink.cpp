#include "core/scrambling.h"
#include "core/startlink.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TStartLink)
Q_DECLARE_METATYPE(std::optional<TStartLink>)

namespace {

TStartLink link(int pin, const QString& firmaPW, const QString& kurz, const QString& userPW, int c1 = 0, int c2 = 0,
                int c3 = 0) {
    return TStartLink{pin, firmaPW, kurz, userPW, c1, c2, c3};
}

const TStartLink kDemo = link(4711, u"Geheim!"_s, u"MM"_s, u"Passwort1"_s, 1234, 5678, 9012);

char* describe(const std::optional<TStartLink>& l) {
    if (!l)
        return qstrdup("(ignored)");
    return qstrdup(qPrintable(u"pin=%1 firmaPW=%2 kurz=%3 userPW=%4 crypto=%5,%6,%7"_s.arg(l->FirmaPin)
                                  .arg(l->FirmaPW, l->UserKurz, l->UserPW)
                                  .arg(l->Crypto1)
                                  .arg(l->Crypto2)
                                  .arg(l->Crypto3)));
}

} // namespace

namespace QTest {
template <> char* toString(const std::optional<TStartLink>& l) {
    return describe(l);
}
} // namespace QTest

class TestStartLink : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("LUMORA_STANDARD_CRYPTO"); }
    void fieldsOfPlainText_data();
    void fieldsOfPlainText();
    void argument_data();
    void argument();
    void garbageArgumentsAreIgnored();
    void linkNeedsTheSameStandardTriple();
    void textWithSeparatorMakesNoLink();
};

void TestStartLink::fieldsOfPlainText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<TStartLink>>("expected");

    QTest::newRow("all tags in order") << u"vavIve|14711|2Geheim!|3MM|4Passwort1|51234|65678|79012"_s
                                       << std::optional(kDemo);
    QTest::newRow("any order") << u"vavIve|79012|3MM|51234|2Geheim!|65678|4Passwort1|14711"_s << std::optional(kDemo);
    QTest::newRow("repeated tag takes the later field")
        << u"vavIve|11|2alt|14711|2Geheim!|3MM|4x|4Passwort1|51234|65678|79012"_s << std::optional(kDemo);
    QTest::newRow("non-numeric PIN gives 0")
        << u"vavIve|1abc|2a|3b|4c"_s << std::optional(link(0, u"a"_s, u"b"_s, u"c"_s));
    QTest::newRow("non-numeric keys give 0")
        << u"vavIve|18|2a|3b|4c|5x|6|7 3"_s << std::optional(link(8, u"a"_s, u"b"_s, u"c"_s, 0, 0, 3));
    QTest::newRow("PIN beyond 32 bits gives 0")
        << u"vavIve|199999999999|2a|3b|4c"_s << std::optional(link(0, u"a"_s, u"b"_s, u"c"_s));
    QTest::newRow("negative keys") << u"vavIve|18|2a|3b|4c|5-1|6-2|7-3"_s
                                   << std::optional(link(8, u"a"_s, u"b"_s, u"c"_s, -1, -2, -3));
    QTest::newRow("unknown tags and empty fields skipped")
        << u"vavIve||8zz|0|x|18|2a|3b|4c|"_s << std::optional(link(8, u"a"_s, u"b"_s, u"c"_s));
    QTest::newRow("texts keep blanks and umlauts")
        << u"vavIve|18|2 ä ö |3Jürgen|4ß"_s << std::optional(link(8, u" ä ö "_s, u"Jürgen"_s, u"ß"_s));
    QTest::newRow("empty value clears an earlier one")
        << u"vavIve|18|2a|3b|4c|2"_s << std::optional(link(8, QString(), u"b"_s, u"c"_s));
    QTest::newRow("missing marker") << u"|14711|2Geheim!|3MM|4Passwort1"_s << std::optional<TStartLink>();
    QTest::newRow("marker not at the start") << u"x vavIve|14711|2a|3b|4c"_s << std::optional<TStartLink>();
    QTest::newRow("marker in other case") << u"VAVIVE|14711|2a|3b|4c"_s << std::optional<TStartLink>();
    QTest::newRow("empty") << QString() << std::optional<TStartLink>();
}

void TestStartLink::fieldsOfPlainText() {
    QFETCH(QString, text);
    QFETCH(std::optional<TStartLink>, expected);
    QCOMPARE(StartLinkAusKlartext(text), expected);
}

void TestStartLink::argument_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<std::optional<TStartLink>>("expected");

    const QString scrambled = StartLinkAlsArgument(kDemo).mid(QStringLiteral("lumora://").size());
    const auto scramble = [](const QString& plain) {
        return u"lumora://"_s + Scrambling::VerschluessleStandart(plain);
    };
    QTest::newRow("produced link") << StartLinkAlsArgument(kDemo) << std::optional(kDemo);
    QTest::newRow("blanks around") << u"  "_s + StartLinkAlsArgument(kDemo) + u" \t"_s << std::optional(kDemo);
    QTest::newRow("scheme in capitals, hex in lower case")
        << u"LUMORA://"_s + scrambled.toLower() << std::optional(kDemo);
    QTest::newRow("without the scheme") << scrambled << std::optional(kDemo);
    QTest::newRow("browser added a slash") << StartLinkAlsArgument(kDemo) + u'/' << std::optional(kDemo);
    QTest::newRow("scrambled any order") << scramble(u"vavIve|4Passwort1|3MM|2Geheim!|14711"_s)
                                         << std::optional(link(4711, u"Geheim!"_s, u"MM"_s, u"Passwort1"_s));
    QTest::newRow("no keys is still a link") << scramble(u"vavIve|14711|2Geheim!|3MM|4Passwort1"_s)
                                             << std::optional(link(4711, u"Geheim!"_s, u"MM"_s, u"Passwort1"_s));
    QTest::newRow("non-numeric PIN ignored")
        << scramble(u"vavIve|1x4711|2Geheim!|3MM|4Passwort1"_s) << std::optional<TStartLink>();
    QTest::newRow("PIN 0 ignored") << scramble(u"vavIve|10|2a|3b|4c"_s) << std::optional<TStartLink>();
    QTest::newRow("company password missing")
        << scramble(u"vavIve|14711|3MM|4Passwort1"_s) << std::optional<TStartLink>();
    QTest::newRow("short name empty") << scramble(u"vavIve|14711|2a|3|4c"_s) << std::optional<TStartLink>();
    QTest::newRow("user password missing") << scramble(u"vavIve|14711|2a|3b"_s) << std::optional<TStartLink>();
    QTest::newRow("missing marker") << scramble(u"|14711|2a|3b|4c"_s) << std::optional<TStartLink>();
    QTest::newRow("unscrambled text passed") << u"lumora://vavIve|14711|2a|3b|4c"_s << std::optional<TStartLink>();
    QTest::newRow("only the scheme") << u"lumora://"_s << std::optional<TStartLink>();
    QTest::newRow("blank") << u"   "_s << std::optional<TStartLink>();
    QTest::newRow("not hex") << u"lumora://Hallo Welt!"_s << std::optional<TStartLink>();
    QTest::newRow("truncated") << StartLinkAlsArgument(kDemo).left(30) << std::optional<TStartLink>();
}

void TestStartLink::argument() {
    QFETCH(QString, argument);
    QFETCH(std::optional<TStartLink>, expected);
    QCOMPARE(StartLinkAusArgument(argument), expected);
}

void TestStartLink::garbageArgumentsAreIgnored() {
    QRandomGenerator random(4711);
    for (int round = 0; round < 500; ++round) {
        QString garbage = u"lumora://"_s;
        const int length = random.bounded(0, 200);
        for (int i = 0; i < length; ++i)
            garbage += QChar(static_cast<char16_t>(random.bounded(1, 0xD7FF)));
        QVERIFY(!StartLinkAusArgument(garbage).has_value());
        QString hex = u"lumora://"_s;
        for (int i = 0; i < length; ++i)
            hex += u"0123456789ABCDEF"_s[random.bounded(16)];
        QVERIFY(!StartLinkAusArgument(hex).has_value());
    }
}

void TestStartLink::linkNeedsTheSameStandardTriple() {
    const QString argument = StartLinkAlsArgument(kDemo);
    qputenv("LUMORA_STANDARD_CRYPTO", "11111,22222,33333");
    QVERIFY(!StartLinkAusArgument(argument).has_value());
    QCOMPARE(StartLinkAusArgument(StartLinkAlsArgument(kDemo)), std::optional(kDemo));
}

void TestStartLink::textWithSeparatorMakesNoLink() {
    QCOMPARE(StartLinkAlsArgument(link(4711, u"a|b"_s, u"MM"_s, u"x"_s)), QString());
    QCOMPARE(StartLinkAlsArgument(link(4711, u"a"_s, u"MM"_s, u"|"_s)), QString());
}

QTEST_GUILESS_MAIN(TestStartLink)
#include "tst_startlink.moc"

// How fast values are scrambled and unscrambled: a download of 10000 rows unscrambles about
// ten columns per row, so 100000 typical values are one full budget of one synchronisation run.

#include "core/classMeineVerschluesselung.h"
#include "core/scrambling.h"

#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

int main() {
    const TVerschluesseln keys(31547, 18269, 47093);
    QStringList plain;
    for (int i = 0; i < 100000; ++i)
        plain << u"Baustelle %1, Müller & Söhne GmbH – Halle %2"_s.arg(i).arg(i % 17);

    QElapsedTimer timer;
    timer.start();
    QStringList scrambled;
    scrambled.reserve(plain.size());
    for (const QString& text : plain)
        scrambled << Scrambling::Verschluesseln(keys, text);
    const qint64 scrambleMs = timer.restart();

    qint64 chars = 0;
    for (const QString& text : scrambled)
        chars += Scrambling::Entschluesseln(keys, text).size();
    const qint64 unscrambleMs = timer.elapsed();

    qint64 hexBytes = 0;
    for (const QString& text : scrambled)
        hexBytes += text.size();
    std::printf("values: %lld, plain characters: %lld, scrambled hex characters: %lld\n",
                static_cast<long long>(plain.size()), static_cast<long long>(chars),
                static_cast<long long>(hexBytes));
    std::printf("scramble:   %lld ms (%.2f us per value)\n", static_cast<long long>(scrambleMs),
                1000.0 * double(scrambleMs) / double(plain.size()));
    std::printf("unscramble: %lld ms (%.2f us per value)\n", static_cast<long long>(unscrambleMs),
                1000.0 * double(unscrambleMs) / double(plain.size()));
    return 0;
}

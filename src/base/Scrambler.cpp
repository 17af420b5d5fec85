#include "base/Scrambler.h"

#include "base/Random24.h"

namespace {

bool InAlphabet(char16_t c)
{
    return c >= 32 && c <= 126;
}

Random24 SeededGenerator(const QString& key)
{
    Random24 generator;
    generator.ReseedMinusOne();
    generator.Seed(ScrambleSeed(key));
    return generator;
}

template <typename Shift> QString Substitute(const QString& key, const QString& text, Shift shift)
{
    Random24 generator = SeededGenerator(key);
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (InAlphabet(c))
            out.append(QChar(char16_t(shift(c - 32, generator.DrawShift()) + 32)));
    }
    return out;
}

} // namespace

qint32 ScrambleSeed(const QString& key)
{
    qint32 h = 0;
    int a = 0;
    int b = 0;
    for (QChar ch : key) {
        // Key characters are taken by their single-byte code, as the stored keys always were.
        const qint32 c = ch.unicode() & 0xFF;
        h ^= c << a;
        h ^= c << b;
        a = (a + 7) % 19;
        b = (b + 13) % 23;
    }
    return h;
}

QString ScrambleText(const QString& key, const QString& text)
{
    return Substitute(key, text, [](int c, int r) { return (c + r) % 95; });
}

QString UnscrambleText(const QString& key, const QString& text)
{
    return Substitute(key, text, [](int c, int r) {
        int d = (c - r) % 95;
        return d < 0 ? d + 95 : d;
    });
}

// The checksum every PageRank query carries: a 96-bit-mix hash of "info:" and the queried address.

#include "web/PageRankCheckSum.h"

#include <QByteArray>

namespace {

constexpr quint32 GoldenRatio = 0x9E3779B9u;
constexpr quint32 CheckSumSeed = 0x5A17C3D2u;

QByteArray QueryBytes(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        bytes[i] = static_cast<char>(code < 256 ? code : u'?');
    }
    return bytes;
}

quint32 WordAt(const QByteArray& bytes, qsizetype p)
{
    const auto byte = [&](qsizetype i) { return static_cast<quint32>(static_cast<unsigned char>(bytes.at(i))); };
    return byte(p) + (byte(p + 1) << 8) + (byte(p + 2) << 16) + (byte(p + 3) << 24);
}

} // namespace

HashWords MixWords(quint32 a, quint32 b, quint32 c)
{
    a = a - b - c;
    a ^= c >> 13;
    b = b - c - a;
    b ^= a << 8;
    c = c - a - b;
    c ^= b >> 13;
    a = a - b - c;
    a ^= c >> 12;
    b = b - c - a;
    b ^= a << 16;
    c = c - a - b;
    c ^= b >> 5;
    a = a - b - c;
    a ^= c >> 3;
    b = b - c - a;
    b ^= a << 10;
    c = c - a - b;
    c ^= b >> 15;
    return {a, b, c};
}

quint32 HashQueryText(const QString& text)
{
    const QByteArray bytes = QueryBytes(text);
    const auto byte = [&](qsizetype i) { return static_cast<quint32>(static_cast<unsigned char>(bytes.at(i))); };
    HashWords w{GoldenRatio, GoldenRatio, CheckSumSeed};
    qsizetype p = 0;
    qsizetype r = bytes.size();
    while (r >= 12) {
        w = MixWords(w.A + WordAt(bytes, p), w.B + WordAt(bytes, p + 4), w.C + WordAt(bytes, p + 8));
        p += 12;
        r -= 12;
    }
    w.C += static_cast<quint32>(bytes.size());
    // The lowest byte of c is left to the length; the tail fills the rest from the top down.
    switch (r) {
    case 11:
        w.C += byte(p + 10) << 24;
        [[fallthrough]];
    case 10:
        w.C += byte(p + 9) << 16;
        [[fallthrough]];
    case 9:
        w.C += byte(p + 8) << 8;
        [[fallthrough]];
    case 8:
        w.B += byte(p + 7) << 24;
        [[fallthrough]];
    case 7:
        w.B += byte(p + 6) << 16;
        [[fallthrough]];
    case 6:
        w.B += byte(p + 5) << 8;
        [[fallthrough]];
    case 5:
        w.B += byte(p + 4);
        [[fallthrough]];
    case 4:
        w.A += byte(p + 3) << 24;
        [[fallthrough]];
    case 3:
        w.A += byte(p + 2) << 16;
        [[fallthrough]];
    case 2:
        w.A += byte(p + 1) << 8;
        [[fallthrough]];
    case 1:
        w.A += byte(p);
        break;
    default:
        break;
    }
    return MixWords(w.A, w.B, w.C).C;
}

QString GetPageRankCheckSum(const QString& url)
{
    const quint32 c = HashQueryText(QStringLiteral("info:") + url);
    return QLatin1Char('6') + QString::number(static_cast<qint32>(c));
}

#include "base/StoredValue.h"

#include "base/Scrambler.h"
#include "base/SettingsStore.h"

namespace {

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

QString Scrambled(const QString& text)
{
    return ScrambleText(QLatin1String(ScrambleKey), text);
}

} // namespace

QString EscapeStoredText(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size());
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 32 && byte <= 126 && byte != '%') {
            out.append(QLatin1Char(ch));
        } else {
            out.append(QLatin1Char('%'));
            out.append(QLatin1Char(hex[byte >> 4]));
            out.append(QLatin1Char(hex[byte & 0xF]));
        }
    }
    return out;
}

QString UnescapeStoredText(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 2 < text.size() && HexValue(text.at(i + 1)) >= 0 &&
            HexValue(text.at(i + 2)) >= 0) {
            bytes.append(char(HexValue(text.at(i + 1)) * 16 + HexValue(text.at(i + 2))));
            i += 2;
        } else {
            bytes.append(c.toLatin1());
        }
    }
    return QString::fromUtf8(bytes);
}

QString ReadStoredValue(const SettingsStore& store, const QString& keyPath, const QString& name)
{
    return UnescapeStoredText(UnscrambleText(QLatin1String(ScrambleKey), store.GetRegValue(keyPath, Scrambled(name))));
}

bool WriteStoredValue(SettingsStore& store, const QString& keyPath, const QString& name, const QString& content)
{
    return store.SetRegValue(keyPath, Scrambled(name), Scrambled(EscapeStoredText(content)));
}

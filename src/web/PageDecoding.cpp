// Turning the bytes of a downloaded page into text.

#include "web/PageDecoding.h"

#include <QStringDecoder>

QString DecodePageBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

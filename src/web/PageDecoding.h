#pragma once
// Turning the bytes of a downloaded page into text.

#include <QByteArray>
#include <QString>

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1, whatever the page declares.
QString DecodePageBytes(const QByteArray& bytes);

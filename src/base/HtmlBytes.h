#pragma once
// A page written straight into its bytes, piece by piece: the program's own markup as literals,
// numbers, and text from the user or the web, which is always escaped.

#include "base/HtmlText.h"
#include "base/TerminalText.h"

#include <QByteArray>
#include <QString>

#include <charconv>

inline void AddPart(QByteArray& out, const char* markup)
{
    out += markup;
}
inline void AddPart(QByteArray& out, const QByteArray& markup)
{
    out += markup;
}
inline void AddPart(QByteArray& out, char markup)
{
    out += markup;
}
inline void AddPart(QByteArray& out, int number)
{
    char digits[12];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
}
// Control characters stored in the history show escaped, as on the terminal, so that none reaches
// the page raw; HtmlText writes every character beyond ASCII as a reference, so the bytes are
// plain ASCII.
inline void AddPart(QByteArray& out, const QString& text)
{
    out += HtmlText(TerminalSafe(text)).toLatin1();
}

template <typename... Parts> void Add(QByteArray& out, const Parts&... parts)
{
    (AddPart(out, parts), ...);
}

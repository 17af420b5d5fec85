#pragma once
// Text on its way to the terminal, or into a plain text file that is read on one or in an editor:
// stored or typed text must never move the cursor, retitle the window, break a line or turn the
// direction of what follows, so its control characters are shown escaped.

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

enum class TerminalStyle {
    Plain, // every control character as \xHH (up to U+00FF) or \uHHHH
    Json,  // a JSON document: \uHHHH, which stays valid JSON; its own line breaks are kept
};

// C0 controls, DEL, C1 controls, the line and paragraph separators and the bidirectional
// controls escaped; every other character as it is. Text without any comes back as it is.
QString TerminalSafe(const QString& text, TerminalStyle style = TerminalStyle::Plain);

// A JSON document, indented, for standard output. The document escapes C0 controls itself but
// leaves DEL, C1 and the bidirectional controls, which are escaped here.
QString TerminalJson(const QJsonDocument& document);

// One text (UTF-8) as a JSON string for standard output, appended to out in the very bytes
// TerminalJson gives it inside a document, quotes included; for JSON written piece by piece.
void AddTerminalJsonString(QByteArray& out, QByteArrayView utf8);

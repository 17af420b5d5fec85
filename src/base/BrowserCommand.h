#pragma once
// The browser program named by a command line such as the BROWSER variable holds.

#include <QString>

// The program of a command line: a quoted program path without its quotes, otherwise the text
// before the first blank. Empty text when the command names no usable program.
QString BrowserProgram(const QString& command);

#pragma once
// Hands a document to an outside program: a page or report to the browser, a text file to the
// editor. Launches report nothing; a launch that fails leaves the user without the extra window.

#include <QString>

class Launcher {
public:
    virtual ~Launcher() = default;
    // A web address or a full local file path.
    virtual void OpenInBrowser(const QString& target) = 0;
    virtual void OpenInEditor(const QString& filePath) = 0;
};

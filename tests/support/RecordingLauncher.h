#pragma once
// A launcher for tests: records what would have been opened and starts nothing.

#include "base/Launcher.h"

#include <QStringList>

class RecordingLauncher : public Launcher {
public:
    void OpenInBrowser(const QString& target) override { BrowserTargets.append(target); }
    void OpenInEditor(const QString& filePath) override { EditorFiles.append(filePath); }

    QStringList BrowserTargets;
    QStringList EditorFiles;
};

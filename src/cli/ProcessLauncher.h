#pragma once
// Launches for the command line, where there is no desktop session to ask: the BROWSER command
// when it is set, xdg-open otherwise.

#include "base/Launcher.h"

class ProcessLauncher : public Launcher {
public:
    void OpenInBrowser(const QString& target) override;
    void OpenInEditor(const QString& filePath) override;
};

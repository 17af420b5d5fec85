#pragma once
// The desktop's own programs: the browser (the BROWSER command when it is set, otherwise the
// desktop's choice) and the text editor registered for plain text.

#include "base/Launcher.h"

class DesktopLauncher : public Launcher {
public:
    void OpenInBrowser(const QString& target) override;
    void OpenInEditor(const QString& filePath) override;
};

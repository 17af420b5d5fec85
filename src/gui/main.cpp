// The desktop program: start-up, then the main window until it is closed.

#include "base/Names.h"
#include "base/ProgramFolder.h"
#include "gui/DesktopLauncher.h"
#include "gui/GuiPrompter.h"
#include "gui/MainWindowFrame.h"
#include "model/AppState.h"
#include "session/Session.h"
#include "session/StartUp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    AppState state(ProgramFolder());
    GuiPrompter prompter;
    StartUp startUp(state.ProgramFolder);
    switch (startUp.Run(state, prompter)) {
    case StartUpResult::Ready:
        break;
    case StartUpResult::AlreadyRunning:
        return 0;
    case StartUpResult::Failed:
        qWarning("quorvex: %s", qUtf8Printable(startUp.FailureReason()));
        return 1;
    }
    DesktopLauncher launcher;
    Session session(state, prompter);
    MainWindowFrame window(session, launcher);
    prompter.SetOwner(&window);
    // A change that did not reach the file is said at once; the stored lists stay as they were.
    state.Settings.SetFailureHandler([&prompter](const QString& reason) {
        prompter.ShowMessage(SettingsNotSavedText(reason), MessageIcon::Exclamation, AppTitle);
    });
    window.show();
    return app.exec();
}

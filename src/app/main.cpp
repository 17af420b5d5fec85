// The desktop program: start-up, then the main window until it is closed.

#include "app/AppState.h"
#include "app/DesktopLauncher.h"
#include "app/GuiPrompter.h"
#include "app/ProgramFolder.h"
#include "app/StartUp.h"
#include "lists/frmQuorvex.h"

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
        return 1;
    }
    DesktopLauncher launcher;
    frmQuorvex window(state, prompter, launcher);
    prompter.SetOwner(&window);
    window.show();
    return app.exec();
}

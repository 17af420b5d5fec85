#include "app/AppState.h"
#include "app/GuiPrompter.h"
#include "app/Names.h"
#include "app/ProgramFolder.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QMainWindow>

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
    QMainWindow window;
    window.setWindowTitle(AppTitle);
    window.resize(663, 320);
    window.show();
    const int code = app.exec();
    state.StopRequested = true;
    return code;
}

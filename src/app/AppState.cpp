#include "app/AppState.h"

#include "app/Names.h"

AppState::AppState(const QString& programFolder)
    : ProgramFolder(programFolder), Settings(programFolder + QLatin1Char('/') + SettingsFileName,
                                             programFolder + QLatin1Char('/') + ImportedSettingsFileName)
{}

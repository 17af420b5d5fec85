#include "model/AppState.h"

#include "base/Names.h"

AppState::AppState(const QString& programFolder)
    : ProgramFolder(programFolder), Settings(programFolder + QLatin1Char('/') + SettingsFileName,
                                             programFolder + QLatin1Char('/') + ImportedSettingsFileName)
{}

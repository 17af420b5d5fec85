#pragma once
// The program's shared state, made once in main and handed by reference to whoever needs it.

#include "base/SettingsStore.h"
#include "model/ListState.h"
#include "model/RankRunState.h"
#include "model/SiteTables.h"

struct AppState {
    explicit AppState(const QString& programFolder);

    const QString ProgramFolder; // no trailing separator
    SettingsStore Settings;
    ListState Lists;
    RankRunState Run;
    SiteTables Sites;
    qint32 PendingHtmlCount = 0;
    qint32 PendingTitleCount = 0;
    bool StopRequested = false;
};

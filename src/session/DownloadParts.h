#pragma once
// The parts of the application state that the download layer is handed: the counters and the stop
// flag, and the tables the parsers write into. The download control and the request driver see no more.

#include "model/AppState.h"
#include "web/DownloadCounters.h"
#include "web/Parsers.h"

inline DownloadCounters CountersOf(AppState& state)
{
    return {state.PendingHtmlCount, state.PendingTitleCount, state.StopRequested};
}

inline ParseTables TablesOf(AppState& state)
{
    return {state.Run, state.Sites};
}

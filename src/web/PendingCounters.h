#pragma once
// The shared in-flight counters fall by one with each completion signal of the download control,
// never below 0. Callers raise them after each BeginDownload.

struct AppState;
class ocxParseWeb;

void ConnectPendingCounters(ocxParseWeb& control, AppState& state);

#pragma once
// quorvex-cli list: both lists with their options, the markets and the directory address, as text
// or as JSON.

struct AppState;

void PrintLists(const AppState& state, bool json);

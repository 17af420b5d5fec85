#pragma once
// The canned answers of a fixture folder: DIR/routes.json, a list of
// {"url": absolute address as requested, "file": page inside DIR, "status": code, "delay_ms": n}.

#include "FakeWeb.h"

// Adds every route of folder/routes.json to web; a folder without the file adds none. False, with
// the reason in error, when the file or one of its pages cannot be used.
bool LoadRoutes(const QString& folder, FakeWeb& web, QString& error);

#pragma once
// What the download layer shares with the runs that use it: the downloads in flight, counted by the
// download control from each start to its end, and the stop flag that every long loop and parser reads.
// The session makes it from the application state; nothing below it sees more of that state.

#include <QtGlobal>

struct DownloadCounters {
    qint32& PendingHtmlCount;  // paced pages and service requests in flight
    qint32& PendingTitleCount; // page summaries ("K", "k") in flight
    const bool& StopRequested;
};

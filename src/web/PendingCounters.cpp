#include "web/PendingCounters.h"

#include "app/AppState.h"
#include "web/ocxParseWeb.h"

void ConnectPendingCounters(ocxParseWeb& control, AppState& state)
{
    QObject::connect(&control, &ocxParseWeb::DownloadHtmlComplete, &control,
                     [&state] { state.PendingHtmlCount = std::max(0, state.PendingHtmlCount - 1); });
    QObject::connect(&control, &ocxParseWeb::DownloadTitleComplete, &control,
                     [&state] { state.PendingTitleCount = std::max(0, state.PendingTitleCount - 1); });
}

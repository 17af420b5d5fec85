#pragma once
// How a run sends the requests of today's services on the shared request driver: at once from a
// paced request's turn, counted in PendingHtmlCount like every paced download, and, after a rate
// limit that asked for a bounded wait, once more ahead of the paced lane after that wait.

#include "web/RequestDriver.h"
#include "web/ServiceExchange.h"

#include <functional>

struct AppState;

// Sends request through the driver's control for the download key propertyName; take gets the
// reply (or why none came) just before its end is announced.
void SendServiceRequest(AppState& state, RequestDriver& driver, const ServiceRequest& request,
                        const QString& propertyName, std::function<void(const ServiceReply&)> take);

// A paced request that calls send after at least delayMs, ahead of every paced request waiting.
void QueueServiceRetry(RequestDriver& driver, int delayMs, std::function<void()> send);

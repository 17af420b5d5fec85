#pragma once
// How a run asks a request of today's services again on the shared request driver: after a rate
// limit that asked for a bounded wait, once more ahead of the paced lane after that wait. The first
// try goes at once from a paced request's turn through the driver's control (BeginServiceRequest).

#include "web/RequestDriver.h"

#include <functional>

// A paced request that calls send after at least delayMs, ahead of every paced request waiting.
void QueueServiceRetry(RequestDriver& driver, int delayMs, std::function<void()> send);

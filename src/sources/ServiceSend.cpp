#include "sources/ServiceSend.h"

#include "app/AppState.h"
#include "web/ocxParseWeb.h"

void SendServiceRequest(AppState& state, RequestDriver& driver, const ServiceRequest& request,
                        const QString& propertyName, std::function<void(const ServiceReply&)> take)
{
    driver.Control().BeginServiceRequest(request, propertyName, std::move(take));
    ++state.PendingHtmlCount;
}

void QueueServiceRetry(RequestDriver& driver, int delayMs, std::function<void()> send)
{
    RequestDriver::Request again = RequestDriver::Call(std::move(send));
    again.PauseMs = delayMs;
    driver.AddPacedFirst(std::move(again));
}

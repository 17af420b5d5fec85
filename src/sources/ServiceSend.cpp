#include "sources/ServiceSend.h"

void QueueServiceRetry(RequestDriver& driver, int delayMs, std::function<void()> send)
{
    RequestDriver::Request again = RequestDriver::Call(std::move(send));
    again.PauseMs = delayMs;
    driver.AddPacedFirst(std::move(again));
}

// The shared start, stop and ends of the collection and the extraction.

#include "sitedb/SiteDbRun.h"

#include "base/Names.h"
#include "base/Prompter.h"
#include "model/AppState.h"
#include "web/RequestDriver.h"

using namespace Qt::StringLiterals;

SiteDbRun::SiteDbRun(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock, QObject* parent)
    : QObject(parent), state(state), driver(driver), prompter(prompter), clock(clock)
{
    // The driver serves every routine; only a run that goes listens to it.
    connect(&driver, &RequestDriver::Drained, this, [this] {
        if (running)
            Drained();
    });
    connect(&driver, &RequestDriver::Stopped, this, [this] {
        if (!running)
            return;
        this->prompter.ShowMessage(StopPressedText, MessageIcon::Exclamation, AppTitle);
        End(false);
    });
}

void SiteDbRun::Stop()
{
    if (!running)
        return;
    state.StopRequested = true;
    driver.ScheduleTurn();
}

bool SiteDbRun::Begin()
{
    if (running)
        return false;
    running = true;
    state.StopRequested = false;
    return true;
}

void SiteDbRun::EndWritten(const QString& keyword, const QString& message)
{
    Q_EMIT Written(keyword);
    prompter.ShowMessage(message, MessageIcon::Exclamation, SiteDbTitle);
    End(true);
}

void SiteDbRun::EndFailed(const QString& reason)
{
    prompter.ShowMessage(u"SQL error !\r\n"_s + reason, MessageIcon::Exclamation, AppTitle);
    End(false);
}

void SiteDbRun::EndUnwritten(const QString& message)
{
    prompter.ShowMessage(message, MessageIcon::Exclamation, SiteDbTitle);
    End(false);
}

void SiteDbRun::End(bool written)
{
    running = false;
    Q_EMIT ProgressValueChanged(0);
    Q_EMIT Finished(written);
}

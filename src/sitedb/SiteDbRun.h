#pragma once
// What the collection and the extraction share: the request driver they run on, the stop as
// "&Stop" makes it, and the three ways a run ends (written, stopped, a failed write).

#include <QObject>
#include <QString>

struct AppState;
class Clock;
class Prompter;
class RequestDriver;

class SiteDbRun : public QObject {
    Q_OBJECT
public:
    bool IsRunning() const { return running; }
    // As "&Stop": sets StopRequested, the driver cancels at its next turn.
    void Stop();

Q_SIGNALS:
    // The keyword's rows and progress are in the database.
    void Written(const QString& keyword);
    // Written, stopped or failed; the run is over.
    void Finished(bool written);
    void ProgressMaximumChanged(int maximum);
    void ProgressValueChanged(int value);

protected:
    SiteDbRun(AppState& state, RequestDriver& driver, Prompter& prompter, const Clock& clock, QObject* parent);

    // Marks the run as going, with StopRequested cleared; false when one goes already.
    bool Begin();
    // Every request of the driver has ended while this run goes.
    virtual void Drained() = 0;
    // The rows are written: the window shows them, then the message.
    void EndWritten(const QString& keyword, const QString& message);
    // A failed write: nothing of the run is kept, the database is as before.
    void EndFailed(const QString& reason);
    // Nothing worth writing came in: the message says why, the database is as before.
    void EndUnwritten(const QString& message);

    AppState& state;
    RequestDriver& driver;
    Prompter& prompter;
    const Clock& clock;

private:
    void End(bool written);

    bool running = false;
};

#pragma once
// Turns Ctrl+C (SIGINT) into a signal of the event loop, so a run can stop the way "&Stop" does.

#include <QObject>

class QSocketNotifier;

class InterruptWatcher : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatcher(QObject* parent = nullptr);
    ~InterruptWatcher() override;

Q_SIGNALS:
    void Interrupted();

private:
    QSocketNotifier* notifier = nullptr;
};

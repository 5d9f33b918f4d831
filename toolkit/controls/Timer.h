// The message timer.
#pragma once

#include "toolkit/controls/ControlTypes.h"

#include <QObject>
#include <QTimer>

// A message timer: its ticks come through the event loop, so they never
// interrupt a handler.
class TTimer : public QObject {
    Q_OBJECT
public:
    // An enabled timer of one second, which ticks once the event loop runs.
    explicit TTimer(QObject* Owner = nullptr);

    // Raised at every tick, with the timer as Sender.
    TNotifyEvent OnTimer;
    // Raises OnTimer as a tick would (tests drive timers this way).
    void Tick();

    // Enabling a timer starts a whole interval.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);  // Starts or stops the ticks.
    // Milliseconds between ticks; 0 stops the timer.
    int Interval() const { return interval_; }
    void SetInterval(int value);  // Starts a whole new interval.

private:
    void Update();
    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

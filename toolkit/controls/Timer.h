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
    explicit TTimer(QObject* Owner = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);

    TNotifyEvent OnTimer;

    // Raises OnTimer as a tick would (tests drive timers this way).
    void Tick();

private:
    void Update();
    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

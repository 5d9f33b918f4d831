#include "toolkit/controls/Timer.h"
#include "toolkit/controls/Application.h"

#include <algorithm>

// ------------------------------------------------------------------ TTimer

TTimer::TTimer(QObject* Owner) : QObject(Owner)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    Update();
}

void TTimer::SetEnabled(bool value)
{
    if (ChangeField(enabled_, value))
        Update();
}

void TTimer::SetInterval(int value)
{
    if (ChangeField(interval_, std::max(value, 0)))
        Update();
}

void TTimer::Update()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

void TTimer::Tick() { RaiseEvent(OnTimer, this); }

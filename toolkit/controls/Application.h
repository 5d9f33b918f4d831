// The application object: title, pending messages and the standard error
// box for what escapes an event handler.
#pragma once

#include <QApplication>
#include <QPointer>

#include <exception>
#include <functional>
#include <string>
#include <utility>

// The QApplication of a program built on the controls; make one before
// the first control.
class TApplication : public QApplication {
    Q_OBJECT
public:
    // Sets Application, and lets Qt's widgets use the faces our text uses.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    std::string Title() const { return title_; }  // The program's name, shown in message boxes.
    void SetTitle(const std::string& value);       // Also Qt's application display name.
    void ProcessMessages();                        // Handles the input and paints waiting now.

    // Shows what escaped an event handler in the standard error box; the
    // program carries on.
    void ShowException(const std::exception& e);
    // Runs a handler, sending anything it throws to ShowException.
    template <class F>
    void Guard(F&& f)
    {
        try {
            f();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    // Replaces the error box (tests record the messages instead).
    std::function<void(const std::string&)> OnError;

    // Qt's dispatch, under the guard: what a handler throws ends in the box.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::string title_;
};

// The one application object, or nullptr before it exists.
extern TApplication* Application;

// Runs an event handler under the application's guard when there is one.
template <class F>
void GuardedCall(F&& f)
{
    if (Application)
        Application->Guard(std::forward<F>(f));
    else
        f();
}

// Raises an event when a handler is assigned, under the guard.
template <class Event, class... Args>
void RaiseEvent(const Event& event, Args&&... args)
{
    if (event)
        GuardedCall([&] { event(std::forward<Args>(args)...); });
}

// Raises an On... event with Self as Sender, then emits Self's signal of
// the same meaning with the remaining arguments, both under the guard. The
// signal is left out when the event's handler destroyed Self.
template <class Object, class Event, class Signal, class... Args>
void RaiseAndEmit(Object* Self, const Event& event, Signal signal, const Args&... args)
{
    QPointer<QObject> alive(Self);
    RaiseEvent(event, static_cast<QObject*>(Self), args...);
    if (alive)
        GuardedCall([&] { (Self->*signal)(args...); });
}

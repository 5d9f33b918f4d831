// Event sounds.
#pragma once

#include <vector>

// Beep types as callers pass them.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;

// Plays the desktop's event sound for a beep type: 0 "bell", 0x10
// "dialog-error", 0x20 "dialog-question", 0x30 "dialog-warning", anything
// else "bell". Returns at once: the sound is played by a background thread.
// Silent (and quiet on stderr) when there is no sound server or device.
void MessageBeep(unsigned type);

// The sound-theme event id that MessageBeep plays for a type.
const char* BeepEventId(unsigned type);

// While one lives, MessageBeep records the types in it instead of playing.
// Recorders nest like FakeTickClock. User-interface thread only.
class BeepRecorder {
public:
    BeepRecorder();
    ~BeepRecorder();
    BeepRecorder(const BeepRecorder&) = delete;
    BeepRecorder& operator=(const BeepRecorder&) = delete;

    const std::vector<unsigned>& Beeps() const { return beeps_; }
    void Clear() { beeps_.clear(); }

private:
    friend void MessageBeep(unsigned type);
    std::vector<unsigned> beeps_;
    BeepRecorder* previous_;
};

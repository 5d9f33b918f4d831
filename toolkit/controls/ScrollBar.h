// The scroll bar.
#pragma once

#include "toolkit/controls/Control.h"

class QScrollBar;

// Which way the bar runs.
enum TScrollBarKind : int { sbHorizontal, sbVertical };

// PageSize is the length of the thumb, in the units of the range;
// LargeChange is how far a click on the track or Page Up/Down moves.
class TScrollBar : public TControl {
    Q_OBJECT
public:
    // A horizontal bar inside Owner, over the range 0..100 at 0, with a
    // small change of 1 and a large change of 1.
    explicit TScrollBar(QWidget* Owner = nullptr);

    TScrollBarKind Kind() const { return kind_; }  // Horizontal or vertical.
    void SetKind(TScrollBarKind value);            // Turns the bar, its long side kept; range and position stay.
    int Min() const;                               // The lowest position.
    int Max() const;                               // The highest position.
    int Position() const;                          // Where the thumb is, in Min..Max.
    int PageSize() const;                          // The thumb's length, in units of the range.
    int SmallChange() const;                       // The step of an arrow button or key.
    int LargeChange() const;                       // The step of a track click or Page Up/Down.
    void SetMin(int value);                        // Sets the lowest position; Max and Position follow into range.
    void SetMax(int value);                        // Sets the highest position; Min and Position follow into range.
    void SetPosition(int value);                   // Moves the thumb, held to Min..Max.
    void SetPageSize(int value);                   // Sets the thumb's length (at least 0).
    void SetSmallChange(int value);                // Sets the arrow step.
    void SetLargeChange(int value);                // Sets the page step (at least 1).
    // Sets the range to min..max, then the position, held to that range.
    void SetParams(int position, int min, int max);

    TNotifyEvent OnChange;  // Position changed, by the user or by a setter.

protected:
    void resizeEvent(QResizeEvent* e) override;  // Keeps the inner bar filling the control.

private:
    TScrollBarKind kind_ = sbHorizontal;
    int largeChange_ = 1;
    QScrollBar* bar_;
};

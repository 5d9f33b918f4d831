// The scroll bar.
#pragma once

#include "toolkit/controls/Control.h"

class QScrollBar;

enum TScrollBarKind : int { sbHorizontal, sbVertical };

// PageSize is the length of the thumb, in the units of the range;
// LargeChange is how far a click on the track or Page Up/Down moves.
class TScrollBar : public TControl {
    Q_OBJECT
public:
    explicit TScrollBar(QWidget* Owner = nullptr);

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind value);
    int Min() const;
    int Max() const;
    int Position() const;
    int PageSize() const;
    int SmallChange() const;
    int LargeChange() const;
    void SetMin(int value);
    void SetMax(int value);
    void SetPosition(int value);
    void SetPageSize(int value);
    void SetSmallChange(int value);
    void SetLargeChange(int value);
    void SetParams(int position, int min, int max);

    TNotifyEvent OnChange;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TScrollBarKind kind_ = sbHorizontal;
    int largeChange_ = 1;
    QScrollBar* bar_;
};

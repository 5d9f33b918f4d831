#include "toolkit/controls/ScrollBar.h"
#include "toolkit/controls/Application.h"

#include <QScrollBar>

#include <algorithm>
#include <cstdint>

// -------------------------------------------------------------- TScrollBar

TScrollBar::TScrollBar(QWidget* Owner) : TControl(Owner), bar_(new QScrollBar(Qt::Horizontal, this))
{
    bar_->setRange(0, 100);
    bar_->setSingleStep(1);
    bar_->setPageStep(0);
    resize(121, bar_->sizeHint().height());
    // Qt pages by the thumb's length; ours go by LargeChange.
    connect(bar_, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd)
            bar_->setSliderPosition(int(std::min<std::int64_t>(std::int64_t(bar_->value()) + largeChange_, bar_->maximum())));
        else if (action == QAbstractSlider::SliderPageStepSub)
            bar_->setSliderPosition(int(std::max<std::int64_t>(std::int64_t(bar_->value()) - largeChange_, bar_->minimum())));
    });
    connect(bar_, &QScrollBar::valueChanged, this, [this] { RaiseEvent(OnChange, this); });
}

void TScrollBar::SetKind(TScrollBarKind value)
{
    if (kind_ == value || (value != sbHorizontal && value != sbVertical))
        return;
    kind_ = value;
    bar_->setOrientation(value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    const QSize hint = bar_->sizeHint();
    if (value == sbVertical)
        resize(hint.width(), height() > width() ? height() : width());
    else
        resize(width() > height() ? width() : height(), hint.height());
}

int TScrollBar::Min() const { return bar_->minimum(); }
int TScrollBar::Max() const { return bar_->maximum(); }
int TScrollBar::Position() const { return bar_->value(); }
int TScrollBar::PageSize() const { return bar_->pageStep(); }
int TScrollBar::SmallChange() const { return bar_->singleStep(); }
int TScrollBar::LargeChange() const { return largeChange_; }
void TScrollBar::SetMin(int value) { bar_->setMinimum(value); }
void TScrollBar::SetMax(int value) { bar_->setMaximum(value); }
void TScrollBar::SetPosition(int value) { bar_->setValue(value); }
void TScrollBar::SetPageSize(int value) { bar_->setPageStep(std::max(value, 0)); }
void TScrollBar::SetSmallChange(int value) { bar_->setSingleStep(value); }
void TScrollBar::SetLargeChange(int value) { largeChange_ = std::max(value, 1); }

void TScrollBar::SetParams(int position, int min, int max)
{
    bar_->setRange(min, max);
    bar_->setValue(position);
}

void TScrollBar::resizeEvent(QResizeEvent* e)
{
    bar_->setGeometry(rect());
    TControl::resizeEvent(e);
}

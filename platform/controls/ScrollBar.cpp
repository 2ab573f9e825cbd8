#include "platform/controls/ScrollBar.h"

#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "platform/controls/Events.h"

#include <QMouseEvent>
#include <algorithm>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setSingleStep(20);
    applyRange();
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::qtValueChanged);
    connect(this, &QScrollBar::sliderReleased, this, [this] {
        if (!changedDuringDrag_)
            return;
        changedDuringDrag_ = false;
        raiseFromQt(onChange);
    });
}

std::int16_t ScrollBar::fromQt(int qtValue) const
{
    return std::int16_t(max_ >= min_ ? min_ + qtValue : min_ - qtValue);
}

int ScrollBar::toQt(std::int16_t value) const
{
    return max_ >= min_ ? value - min_ : min_ - value;
}

void ScrollBar::applyRange()
{
    syncing_ = true;
    QScrollBar::setRange(0, std::abs(int(max_) - int(min_)));
    QScrollBar::setValue(toQt(value_));
    syncing_ = false;
}

void ScrollBar::changeTo(std::int16_t value)
{
    const bool changed = value != value_;
    value_ = value;
    applyRange();
    if (changed)
        raiseInSetter(onChange);
}

void ScrollBar::setMin(std::int16_t min)
{
    min_ = min;
    const auto [low, high] = std::minmax(min_, max_);
    changeTo(std::clamp(value_, low, high));
}

void ScrollBar::setMax(std::int16_t max)
{
    max_ = max;
    const auto [low, high] = std::minmax(min_, max_);
    changeTo(std::clamp(value_, low, high));
}

void ScrollBar::setValue(std::int16_t value)
{
    const auto [low, high] = std::minmax(min_, max_);
    if (value < low || value > high)
        throw RuntimeError::invalidPropertyValue(QStringLiteral("Value"));
    changeTo(value);
}

void ScrollBar::setLargeChange(int largeChange)
{
    if (largeChange < 1 || largeChange > 32767)
        throw RuntimeError::invalidPropertyValue(QStringLiteral("LargeChange"));
    largeChange_ = largeChange;
    setPageStep(largeChange);
}

void ScrollBar::qtValueChanged(int qtValue)
{
    if (syncing_)
        return;
    const std::int16_t value = fromQt(qtValue);
    if (value == value_)
        return;
    value_ = value;
    if (isSliderDown()) {
        changedDuringDrag_ = true;
        raiseFromQt(onScroll);
    } else {
        raiseFromQt(onChange);
    }
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    QScrollBar::mouseReleaseEvent(event);
    // The bar has no MouseUp of its own: the release must not reach its container.
    event->accept();
}

#include "platform/ScrollBar.h"

#include "platform/PlatformError.h"

#include <QMouseEvent>
#include <algorithm>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setSingleStep(20);
    applyRange();
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::qtValueChanged);
    connect(this, &QScrollBar::sliderReleased, this, [this] {
        if (!changedDuringDrag_)
            return;
        changedDuringDrag_ = false;
        guarded([&] {
            if (onChange)
                onChange();
        });
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
    // Called directly, not through a signal, so that a handler's failure reaches our caller.
    if (changed && onChange)
        onChange();
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
        throw PlatformError(QStringLiteral("Value"),
                            QStringLiteral("プロパティの値が不正です。"), 380);
    changeTo(value);
}

void ScrollBar::setLargeChange(int largeChange)
{
    if (largeChange < 1 || largeChange > 32767)
        throw PlatformError(QStringLiteral("LargeChange"),
                            QStringLiteral("プロパティの値が不正です。"), 380);
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
    guarded([&] {
        if (isSliderDown()) {
            changedDuringDrag_ = true;
            if (onScroll)
                onScroll();
        } else if (onChange) {
            onChange();
        }
    });
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    QScrollBar::mouseReleaseEvent(event);
    // The bar has no MouseUp of its own: the release must not reach its container.
    event->accept();
}

#pragma once

#include <QScrollBar>
#include <cstdint>
#include <functional>

// A scroll bar with legacy 16-bit Min, Max and Value, where Max may lie below Min. Qt keeps its
// own range at [0, |Max - Min|] (QScrollBar would lower its minimum under a smaller maximum).
// Change is raised synchronously whenever the legacy Value changes, also when a new Min or Max
// moves Value to the nearer end of the range; Scroll while the thumb is dragged.
class ScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    std::int16_t min() const { return min_; }
    std::int16_t max() const { return max_; }
    std::int16_t value() const { return value_; }
    int largeChange() const { return largeChange_; }

    void setMin(std::int16_t min);
    void setMax(std::int16_t max);
    void setValue(std::int16_t value);
    // Accepts 1 to 32767; anything else throws PlatformError.
    void setLargeChange(int largeChange);

    std::function<void()> onChange;
    std::function<void()> onScroll;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyRange();
    void changeTo(std::int16_t value);
    std::int16_t fromQt(int qtValue) const;
    int toQt(std::int16_t value) const;
    void qtValueChanged(int qtValue);

    std::int16_t min_ = 0;
    std::int16_t max_ = 32767;
    std::int16_t value_ = 0;
    int largeChange_ = 1;
    bool syncing_ = false;
    bool changedDuringDrag_ = false;
};

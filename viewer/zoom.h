#pragma once

#include <QSize>
#include <cstdint>

// One zoom step of the count in thousandths of a percent, by the factor 1.1 both ways (so
// that a step out undoes a step in); rounded half to even, throwing PlatformError when the
// count no longer fits 32 bits.
std::int32_t zoomMilliIn(std::int32_t milli);
std::int32_t zoomMilliOut(std::int32_t milli);
// The whole percentage shown for a count.
std::int32_t zoomPercent(std::int32_t milli);
// One displayed size scaled by a step, as single precision; throws PlatformError on overflow.
float zoomedSize(float size, bool in);

// The outer size of a newly opened viewer: the picture plus 185 by 880 twips, or more where the
// window manager's frame (framePx, in pixels) is larger than those margins allow for, so that
// the picture area holds the whole picture; each direction limited on its own to one pixel less
// than the work area, which window managers would take for a maximised window.
QSize openingSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                       QSize workAreaTwips, QSize framePx = QSize(0, 0));
// The outer size that fits the window around the picture: the picture plus 187 by 892 twips, or
// more for a larger frame, limited as at the opening, so that the window never grows past the
// screen and a larger picture is reached with the scroll bars.
QSize fitSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                   QSize workAreaTwips, QSize framePx = QSize(0, 0));

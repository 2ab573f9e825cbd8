#include "viewer/zoom.h"

#include "app/numbers.h"
#include "platform/PlatformError.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "viewer/ViewerMetrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kStep = 1.1;
}

std::int32_t zoomMilliIn(std::int32_t milli)
{
    return toInt32(milli * kStep);
}

std::int32_t zoomMilliOut(std::int32_t milli)
{
    return toInt32(milli / kStep);
}

std::int32_t zoomPercent(std::int32_t milli)
{
    return toInt32(milli / 1000.0);
}

float zoomedSize(float size, bool in)
{
    const double scaled = in ? size * kStep : size / kStep;
    if (!std::isfinite(scaled) || std::fabs(scaled) > std::numeric_limits<float>::max())
        throw RuntimeError::overflow(QStringLiteral("zoom"));
    return float(scaled);
}

namespace {

QSize limitedTo(std::int32_t width, std::int32_t height, QSize workAreaTwips)
{
    return QSize(std::min(width, std::int32_t(workAreaTwips.width())),
                 std::min(height, std::int32_t(workAreaTwips.height())));
}

} // namespace

QSize openingSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                       QSize workAreaTwips)
{
    return limitedTo(pixelsToTwips(widthPx, twipsPerPixelX, viewer::kOpeningMargin.width),
                     pixelsToTwips(heightPx, twipsPerPixelY, viewer::kOpeningMargin.height),
                     workAreaTwips);
}

QSize fitSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                   QSize workAreaTwips)
{
    return limitedTo(pixelsToTwips(widthPx, twipsPerPixelX, viewer::kFitMargin.width),
                     pixelsToTwips(heightPx, twipsPerPixelY, viewer::kFitMargin.height),
                     workAreaTwips);
}

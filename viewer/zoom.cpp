#include "viewer/zoom.h"

#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "core/Twips.h"
#include "core/numbers.h"
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

QSize outerSizeTwips(float widthPx, float heightPx, double tx, double ty,
                     viewer::MarginTwips margin, QSize workAreaTwips, QSize framePx)
{
    // The fixed margins were made for a thin frame; a thicker one must not cover the picture.
    const std::int32_t width = std::max(pixelsToTwips(widthPx, tx, margin.width),
                                        pixelsToTwips(double(widthPx) + framePx.width(), tx));
    const std::int32_t height =
        std::max(pixelsToTwips(heightPx, ty, margin.height),
                 pixelsToTwips(double(heightPx) + viewer::kBoxHeightLoss + framePx.height(), ty));
    return QSize(std::min(width, std::int32_t(workAreaTwips.width() - std::lround(tx))),
                 std::min(height, std::int32_t(workAreaTwips.height() - std::lround(ty))));
}

} // namespace

QSize openingSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                       QSize workAreaTwips, QSize framePx)
{
    return outerSizeTwips(widthPx, heightPx, twipsPerPixelX, twipsPerPixelY, viewer::kOpeningMargin,
                          workAreaTwips, framePx);
}

QSize fitSizeTwips(float widthPx, float heightPx, double twipsPerPixelX, double twipsPerPixelY,
                   QSize workAreaTwips, QSize framePx)
{
    return outerSizeTwips(widthPx, heightPx, twipsPerPixelX, twipsPerPixelY, viewer::kFitMargin,
                          workAreaTwips, framePx);
}

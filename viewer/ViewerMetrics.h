#pragma once

// The viewer's fixed measures. Several look like slips and are not: every scroll range and
// window size that people and tests know follows from them, so each says why it is right.
namespace viewer {

// The toolbar strip across the top of the client area, in pixels (390 twips).
inline constexpr int kToolbarHeight = 26;

// The picture box is the client height less 27, not less the toolbar's 26: the box has
// always stopped one pixel short of the bottom edge, and every vertical scroll range is
// measured from that height. "Correcting" it moves every range by a pixel.
inline constexpr int kBoxHeightLoss = 27;

// The scroll bars' thickness and the corner square between them, in pixels (255 twips).
inline constexpr int kBarThickness = 17;

// A window narrower than 1851 twips springs back to 1852, the first width past the limit,
// not to the limit itself. At 15 twips a pixel both are 123 pixels, so the nested layout run
// that the spring-back causes finds the size unchanged and does not spring again.
inline constexpr int kNarrowestWidthTwips = 1851;
inline constexpr int kSpringBackWidthTwips = 1852;

// What a window adds around its picture, in twips: frame, title bar, toolbar and the box's
// margins. The opening and the fit add different amounts, on purpose: a window opened on a
// picture is a little smaller than the same window fitted to it, and so the windows have
// always been sized.
struct MarginTwips
{
    int width;
    int height;
};
inline constexpr MarginTwips kOpeningMargin{185, 880};
inline constexpr MarginTwips kFitMargin{187, 892};

} // namespace viewer

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace trelok::twips {

// 1 twip = 1/1440 inch; on a 96 dpi screen 15 twips make one pixel.
inline constexpr int perPixel = 15;
inline constexpr int perInch = 1440;

constexpr int px(double tw)
{
    return static_cast<int>(tw >= 0 ? (tw + perPixel / 2.0) / perPixel
                                    : (tw - perPixel / 2.0) / perPixel);
}
constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}
constexpr QSize size(int width, int height)
{
    return QSize(px(width), px(height));
}
constexpr QPoint point(int left, int top)
{
    return QPoint(px(left), px(top));
}

} // namespace trelok::twips

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QRect>

#include <cmath>

namespace trevalo {

// A rectangle in twips (1/1440 inch), in the coordinates of its container.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Converts twips to pixels and back: 15 twips to a pixel at 96 dots per inch, scaled with the
// screen's logical dots per inch.
class Twips {
public:
    explicit Twips(double logicalDpi = 96.0) : pxPerTwip_(logicalDpi / 1440.0) {}

    int px(int twips) const { return static_cast<int>(std::lround(twips * pxPerTwip_)); }
    // At least the given length in twips, never less.
    int pxAtLeast(int twips) const { return static_cast<int>(std::ceil(twips * pxPerTwip_)); }
    int twips(int px) const { return static_cast<int>(std::lround(px / pxPerTwip_)); }
    QRect rect(const TwipRect& r) const {
        return QRect(px(r.left), px(r.top), px(r.width), px(r.height));
    }

private:
    double pxPerTwip_;
};

} // namespace trevalo

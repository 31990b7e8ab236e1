// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/LayoutRule.h"

#include <algorithm>

namespace trevalo {

namespace {
int nonNegative(int v) {
    return std::max(v, 0);
}
} // namespace

int minClientHeight(const LayoutInput& in) {
    return in.statusBarHeight + in.setupPanelHeight + design::kMargin;
}

WindowLayout layoutWindow(const LayoutInput& in) {
    WindowLayout out;
    int width = in.windowWidth;
    int height = in.windowHeight;

    if (in.state == WindowState::Minimized) {
        out.resultTabsWidth = nonNegative(width - design::kFileOpPanel.width - 2 * design::kMargin);
        return out;
    }

    // Below a minimum the window is enlarged, and the layout goes on with the new size.
    if (in.state == WindowState::Normal) {
        const int minClient = minClientHeight(in);
        if (minClient > in.clientHeight) {
            height = minClient + (in.windowHeight - in.clientHeight);
            out.newWindowHeight = height;
        }
        if (width < design::kMinWindowWidth) {
            width = design::kMinWindowWidth;
            out.newWindowWidth = width;
        }
    }

    out.resultTabsWidth = nonNegative(width - design::kFileOpPanel.width - 2 * design::kMargin);

    const int tabHeight =
        height - in.setupPanelHeight - in.statusBarHeight - design::kResultAreaAllowance;
    if (tabHeight > 0) {
        out.resultTabsHeight = tabHeight;
        const TwipRect client{
            design::kResultTabs.left + in.tabBorder,
            design::kResultTabs.top + in.tabHeaderHeight,
            nonNegative(out.resultTabsWidth - 2 * in.tabBorder),
            nonNegative(tabHeight - in.tabHeaderHeight - in.tabBorder),
        };
        out.resultFrame = client;
        out.resultList = TwipRect{0, 0, client.width, client.height};
    }

    const int setupPanelWidth = nonNegative(width - 2 * design::kMargin);
    out.setupPanelWidth = setupPanelWidth;
    out.searchPathListWidth = nonNegative(setupPanelWidth - design::kSearchControlsWidth -
                                          design::kSearchPathListLeft - 2 * design::kMargin);
    out.pathPickerWidth =
        nonNegative(setupPanelWidth - design::kSearchControlsWidth - 2 * design::kMargin);
    out.searchControlsLeft =
        nonNegative(setupPanelWidth - design::kSearchControlsWidth - design::kMargin);
    out.fileOpPanelLeft = nonNegative(width - design::kFileOpPanel.width - design::kMargin);
    return out;
}

} // namespace trevalo

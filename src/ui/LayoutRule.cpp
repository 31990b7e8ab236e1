#include "ui/LayoutRule.h"

#include <algorithm>

namespace trevalo {

namespace {
int nonNegative(int v) {
    return std::max(v, 0);
}
} // namespace

int minClientHeight(const LayoutInput& in) {
    return in.statusBarHeight + in.frmPathHeight + 160;
}

WindowLayout layoutWindow(const LayoutInput& in) {
    WindowLayout out;
    int width = in.windowWidth;
    int height = in.windowHeight;

    if (in.state == WindowState::Minimized) {
        out.tabMainWidth = nonNegative(width - design::frmFileOp.width - 320);
        return out;
    }

    // Below a minimum the window is enlarged, and the layout goes on with the new size.
    if (in.state == WindowState::Normal) {
        const int minClient = minClientHeight(in);
        if (minClient > in.clientHeight) {
            height = minClient + (in.windowHeight - in.clientHeight);
            out.newWindowHeight = height;
        }
        if (width < design::minWindowWidth) {
            width = design::minWindowWidth;
            out.newWindowWidth = width;
        }
    }

    out.tabMainWidth = nonNegative(width - design::frmFileOp.width - 320);

    const int tabHeight = height - in.frmPathHeight - in.statusBarHeight - 800;
    if (tabHeight > 0) {
        out.tabMainHeight = tabHeight;
        const TwipRect client{
            design::tabMain.left + in.tabBorder,
            design::tabMain.top + in.tabHeaderHeight,
            nonNegative(out.tabMainWidth - 2 * in.tabBorder),
            nonNegative(tabHeight - in.tabHeaderHeight - in.tabBorder),
        };
        out.resultFrame = client;
        out.resultList = TwipRect{0, 0, client.width, client.height};
    }

    const int frmPathWidth = nonNegative(width - 320);
    out.frmPathWidth = frmPathWidth;
    out.lstPathWidth = nonNegative(frmPathWidth - design::fraSrchWidth - design::lstPathLeft - 320);
    out.frmSelectPathWidth = nonNegative(frmPathWidth - design::fraSrchWidth - 320);
    out.fraSrchLeft = nonNegative(frmPathWidth - design::fraSrchWidth - 160);
    out.frmFileOpLeft = nonNegative(width - design::frmFileOp.width - 160);
    return out;
}

} // namespace trevalo

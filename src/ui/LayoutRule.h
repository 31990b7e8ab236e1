// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/Twips.h"

#include <optional>

namespace trevalo {

// Design geometry of the window, in twips, in the window's client coordinates unless a
// container is named.
namespace design {
inline constexpr TwipRect kSetupPanel{120, 120, 9495, 3135};
inline constexpr TwipRect kResultTabs{120, 3360, 6015, 975};
inline constexpr TwipRect kFileOpPanel{6960, 3600, 1815, 3255};
inline constexpr int kSearchControlsWidth = 1575; // inside setupPanel
inline constexpr int kSearchPathListLeft = 3480;  // inside pathPicker
inline constexpr int kStatusBarHeight = 255;
inline constexpr int kMinWindowWidth = 10000;
inline constexpr int kSearchWindowHeight = 8000; // a search opens the result area
inline constexpr int kStartWidth = 9855;         // client size at start, before the load step
inline constexpr int kStartHeight = 7215;
// The margin the layout keeps beside a part that follows the window's width: right of the
// file-operations panel and of the search controls, and on either side of a part that spans
// the window (twice this); also below the set-up panel at the least height.
inline constexpr int kMargin = 160;
// What the window's outer height holds besides the set-up panel, the status bar and the tab
// strip: the decoration, the margin above the set-up panel and the gaps above and below the
// tab strip.
inline constexpr int kResultAreaAllowance = 800;
// The window's border and caption. Window managers on Linux draw decorations of any size, or
// none the program can see, so the layout reckons with those of a classic window: the outer
// size is the client size plus these.
inline constexpr int kDecorationWidth = 120;
inline constexpr int kDecorationHeight = 465;
} // namespace design

enum class WindowState { Normal, Minimized, Maximized };

// The window's sizes as the layout step sees them, in twips. Outer sizes include the
// decoration; clientHeight is the height inside it.
struct LayoutInput {
    int windowWidth = 0;
    int windowHeight = 0;
    int clientHeight = 0;
    WindowState state = WindowState::Normal;
    int setupPanelHeight = design::kSetupPanel.height;
    int statusBarHeight = design::kStatusBarHeight;
    // Where the tab strip's client area starts below its tabs, and the border around it.
    int tabHeaderHeight = 0;
    int tabBorder = 0;
};

// What the layout step does for one window size. Fields left unset keep their current value.
struct WindowLayout {
    // A new outer size when the window was below its minimum width or height. The rest of the
    // layout is already worked out for the new size.
    std::optional<int> newWindowWidth;
    std::optional<int> newWindowHeight;

    int resultTabsWidth = 0;
    // Set only while the window is not minimized.
    std::optional<int> resultTabsHeight; // only when the result area has room
    std::optional<TwipRect>
        resultFrame;                    // the visible resultFrame, onto the tab strip's client area
    std::optional<TwipRect> resultList; // its list, inside the frame
    std::optional<int> setupPanelWidth;
    std::optional<int> pathPickerWidth;     // inside setupPanel
    std::optional<int> searchPathListWidth; // inside pathPicker
    std::optional<int> searchControlsLeft;  // inside setupPanel
    std::optional<int> fileOpPanelLeft;
};

// The smallest client height: the set-up group box, the status bar and a margin.
int minClientHeight(const LayoutInput& in);

// The layout rule: from the window's sizes to the geometry of the controls that follow them.
// A window below the minimum width or height is enlarged to it (only in the normal state: a
// maximized window cannot be resized). No width or height comes out negative.
WindowLayout layoutWindow(const LayoutInput& in);

} // namespace trevalo

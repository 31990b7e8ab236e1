// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

class QTabBar;

namespace trevalo {

// The tab strip resultTabs: a row of tabs over a framed client area. The frames of the result
// lists are not its children; the window places the visible one onto the client area.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    QTabBar* tabBar() const { return tabs_; }
    // The client area starts this far below the strip's top (pixels)...
    int headerHeight() const;
    // ...and keeps this border from the strip's other edges.
    int border() const { return 2; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* tabs_;
};

} // namespace trevalo

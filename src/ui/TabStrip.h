// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

namespace trevalo {

// The tab strip resultTabs: a row of tabs over the pages of the result lists; the page of the
// chosen tab fills the area below the tabs.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    QTabBar* tabBar() const { return tabs_; }
    // Adds a tab and the page it shows.
    void addPage(const QString& caption, QWidget* page);
    // Shows or hides a page's tab. While more tabs show than the usual four, the strip scrolls
    // its tabs rather than widen the window.
    void setPageShown(int index, bool shown);
    // The height of the row of tabs (pixels).
    int headerHeight() const;

private:
    static constexpr int kUsualTabs = 4;
    QTabBar* tabs_;
    QStackedWidget* pages_;
};

} // namespace trevalo

// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/TabStrip.h"

#include <QBoxLayout>
#include <QStackedWidget>
#include <QTabBar>

namespace trevalo {

TabStrip::TabStrip(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), pages_(new QStackedWidget(this)) {
    tabs_->setObjectName(QStringLiteral("resultTabBar"));
    tabs_->setDrawBase(true);
    tabs_->setExpanding(false);
    // Every tab's caption stays whole: the strip is never narrower than its tabs.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);
    setFocusProxy(tabs_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(tabs_);
    column->addWidget(pages_, 1);
    connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
}

void TabStrip::addPage(const QString& caption, QWidget* page) {
    pages_->addWidget(page);
    tabs_->addTab(caption);
}

void TabStrip::setPageShown(int index, bool shown) {
    if (!shown && tabs_->currentIndex() == index)
        tabs_->setCurrentIndex(0);
    tabs_->setTabVisible(index, shown);
    int visible = 0;
    for (int i = 0; i < tabs_->count(); ++i)
        visible += tabs_->isTabVisible(i) ? 1 : 0;
    tabs_->setUsesScrollButtons(visible > kUsualTabs);
}

int TabStrip::headerHeight() const {
    return tabs_->sizeHint().height();
}

} // namespace trevalo

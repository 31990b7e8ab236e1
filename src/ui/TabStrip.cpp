// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/TabStrip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace trevalo {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
    tabs_->setObjectName(QStringLiteral("resultTabBar"));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    setFocusProxy(tabs_);
}

int TabStrip::headerHeight() const {
    return tabs_->sizeHint().height();
}

void TabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    tabs_->setGeometry(0, 0, width(), headerHeight());
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = QRect(0, headerHeight() - 1, width(), height() - headerHeight() + 1);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = tabs_->sizeHint();
    option.tabBarRect = QRect(0, 0, tabs_->sizeHint().width(), headerHeight());
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}

} // namespace trevalo

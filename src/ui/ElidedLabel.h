// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLabel>

namespace trevalo {

// A one-line label of the status bar that gives up width: when its text is wider than the room
// it has, the text is cut at the end with "...", and the whole text is its tooltip. Its least
// width is a few characters, so a long text never widens the window.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // Whether the text is cut at the label's present width.
    bool elided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace trevalo

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLineEdit>

namespace trevalo {

// The filter box above the result lists. Esc clears it (and goes on to the window, to stop a
// search, when it is empty already).
class FilterBar : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterBar(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace trevalo

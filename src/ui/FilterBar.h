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

signals:
    // The box got the keyboard focus: typing is about to start.
    void focused();

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace trevalo

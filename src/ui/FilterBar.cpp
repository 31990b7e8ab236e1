// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FilterBar.h"

#include <QKeyEvent>

namespace trevalo {

FilterBar::FilterBar(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("filterBar"));
    setPlaceholderText(tr("Filter: part of a name or folder, or a pattern with * and ? (Ctrl+F)"));
    setAccessibleName(tr("Filter"));
    setClearButtonEnabled(true);
}

bool FilterBar::event(QEvent* event) {
    // The window's Esc (stop the search) waits while there is text to clear.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !text().isEmpty()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void FilterBar::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focused();
}

void FilterBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace trevalo

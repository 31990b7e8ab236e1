// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/Twips.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace trevalo {

// The frame fileOpPanel beside the result lists: the Task button that opens the file menu, the
// picture preview and the switch that turns the preview on and off.
class FileOpPanel : public QWidget {
    Q_OBJECT
public:
    explicit FileOpPanel(QWidget* parent = nullptr);
    void placeControls(const Twips& tw);

    // The box the picture preview shows in, and whether the preview is switched on.
    QLabel& previewLabel() const { return *previewLabel_; }
    bool previewOn() const;
    // The panel's controls in the window's tab order.
    QList<QWidget*> focusOrder() const;

signals:
    // The Task button was clicked: the file menu opens.
    void taskClicked();

private:
    QPushButton* taskButton_;
    QLabel* previewLabel_;
    QCheckBox* previewCheckBox_;
};

} // namespace trevalo

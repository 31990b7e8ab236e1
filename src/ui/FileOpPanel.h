#pragma once

#include "ui/Twips.h"

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

    QPushButton* taskButton;
    QLabel* previewLabel;
    QCheckBox* previewCheckBox;
};

} // namespace trevalo

#pragma once

#include "ui/Twips.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace trevalo {

// The frame frmFileOp beside the result lists: the Task button that opens the file menu, the
// picture preview and the switch that turns the preview on and off.
class FileOpFrame : public QWidget {
    Q_OBJECT
public:
    explicit FileOpFrame(QWidget* parent = nullptr);
    void placeControls(const Twips& tw);

    QPushButton* cmdTask;
    QLabel* imgPreview;
    QCheckBox* chkPreview;
};

} // namespace trevalo

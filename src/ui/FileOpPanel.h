// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLabel>
#include <QList>
#include <QWidget>

class QCheckBox;
class QPushButton;

namespace trevalo {

// The box the picture preview shows in. It grows with the panel and tells when its size
// changed, so that the picture can be fitted again.
class PreviewBox : public QLabel {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The panel fileOpPanel beside the result lists: the Task button that opens the file menu, the
// picture preview and the switch that turns the preview on and off.
class FileOpPanel : public QWidget {
    Q_OBJECT
public:
    explicit FileOpPanel(QWidget* parent = nullptr);

    // The box the picture preview shows in, and whether the preview is switched on.
    QLabel& previewLabel() const { return *previewLabel_; }
    bool previewOn() const;
    // The panel's controls in the window's tab order.
    QList<QWidget*> focusOrder() const;
    // The Task button, where the file menu opens from the keyboard.
    QWidget* taskButton() const;

signals:
    // The Task button was clicked: the file menu opens.
    void taskClicked();
    // The preview box changed its size.
    void previewResized();
    // The preview was switched on or off.
    void previewSwitched(bool on);

private:
    QPushButton* taskButton_;
    PreviewBox* previewLabel_;
    QCheckBox* previewCheckBox_;
};

} // namespace trevalo

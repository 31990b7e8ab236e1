// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FileOpPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace trevalo {

namespace {
constexpr TwipRect kTaskButton{240, 120, 1215, 375};
constexpr TwipRect kPreviewLabel{120, 600, 1575, 1935};
constexpr TwipRect kPreviewCheckBox{240, 2640, 1095, 255};
} // namespace

FileOpPanel::FileOpPanel(QWidget* parent)
    : QWidget(parent), taskButton_(new QPushButton(tr("&Task"), this)),
      previewLabel_(new QLabel(this)), previewCheckBox_(new QCheckBox(tr("Pre&view"), this)) {
    setObjectName(QStringLiteral("fileOpPanel"));
    taskButton_->setObjectName(QStringLiteral("taskButton"));
    previewLabel_->setObjectName(QStringLiteral("previewLabel"));
    previewCheckBox_->setObjectName(QStringLiteral("previewCheckBox"));

    QFont bold = taskButton_->font();
    bold.setBold(true);
    taskButton_->setFont(bold);
    previewLabel_->setAlignment(Qt::AlignCenter);
    previewLabel_->setFrameShape(QFrame::StyledPanel);
    previewLabel_->setFrameShadow(QFrame::Sunken);
    previewCheckBox_->setChecked(true);
    connect(taskButton_, &QPushButton::clicked, this, &FileOpPanel::taskClicked);
}

bool FileOpPanel::previewOn() const {
    return previewCheckBox_->checkState() != Qt::Unchecked;
}

QList<QWidget*> FileOpPanel::focusOrder() const {
    return {taskButton_, previewCheckBox_};
}

void FileOpPanel::placeControls(const Twips& tw) {
    taskButton_->setGeometry(tw.rect(kTaskButton));
    previewLabel_->setGeometry(tw.rect(kPreviewLabel));
    previewCheckBox_->setGeometry(tw.rect(kPreviewCheckBox));
}

} // namespace trevalo

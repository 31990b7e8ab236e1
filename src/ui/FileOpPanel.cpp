// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/FileOpPanel.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QPushButton>

namespace trevalo {

namespace {
// The preview box's least size, in lines of the font: big enough to make out a picture.
constexpr int kPreviewLines = 8;
} // namespace

PreviewBox::PreviewBox(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

QSize PreviewBox::sizeHint() const {
    const int side = 16 * fontMetrics().height();
    return {side, side};
}

QSize PreviewBox::minimumSizeHint() const {
    const int side = kPreviewLines * fontMetrics().height();
    return {side, side};
}

void PreviewBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    emit resized();
}

FileOpPanel::FileOpPanel(QWidget* parent)
    : QWidget(parent), taskButton_(new QPushButton(tr("&Task"), this)),
      previewLabel_(new PreviewBox(this)), previewCheckBox_(new QCheckBox(tr("Pre&view"), this)) {
    setObjectName(QStringLiteral("fileOpPanel"));
    taskButton_->setObjectName(QStringLiteral("taskButton"));
    previewLabel_->setObjectName(QStringLiteral("previewLabel"));
    previewCheckBox_->setObjectName(QStringLiteral("previewCheckBox"));
    previewLabel_->setAccessibleName(tr("Picture preview"));
    taskButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-properties")));

    QFont bold = taskButton_->font();
    bold.setBold(true);
    taskButton_->setFont(bold);
    previewCheckBox_->setChecked(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(taskButton_, 0, Qt::AlignLeft);
    column->addWidget(previewLabel_, 1);
    column->addWidget(previewCheckBox_, 0, Qt::AlignLeft);

    connect(taskButton_, &QPushButton::clicked, this, &FileOpPanel::taskClicked);
    connect(previewLabel_, &PreviewBox::resized, this, &FileOpPanel::previewResized);
    connect(previewCheckBox_, &QCheckBox::toggled, this, &FileOpPanel::previewSwitched);
}

bool FileOpPanel::previewOn() const {
    return previewCheckBox_->checkState() != Qt::Unchecked;
}

QList<QWidget*> FileOpPanel::focusOrder() const {
    return {taskButton_, previewCheckBox_};
}

QWidget* FileOpPanel::taskButton() const {
    return taskButton_;
}

} // namespace trevalo

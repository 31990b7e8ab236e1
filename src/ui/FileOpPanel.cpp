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
    : QWidget(parent), taskButton(new QPushButton(tr("&Task"), this)),
      previewLabel(new QLabel(this)), previewCheckBox(new QCheckBox(tr("Pre&view"), this)) {
    setObjectName(QStringLiteral("fileOpPanel"));
    taskButton->setObjectName(QStringLiteral("taskButton"));
    previewLabel->setObjectName(QStringLiteral("previewLabel"));
    previewCheckBox->setObjectName(QStringLiteral("previewCheckBox"));

    QFont bold = taskButton->font();
    bold.setBold(true);
    taskButton->setFont(bold);
    previewLabel->setAlignment(Qt::AlignCenter);
    previewLabel->setFrameShape(QFrame::StyledPanel);
    previewLabel->setFrameShadow(QFrame::Sunken);
    previewCheckBox->setChecked(true);
}

void FileOpPanel::placeControls(const Twips& tw) {
    taskButton->setGeometry(tw.rect(kTaskButton));
    previewLabel->setGeometry(tw.rect(kPreviewLabel));
    previewCheckBox->setGeometry(tw.rect(kPreviewCheckBox));
}

} // namespace trevalo

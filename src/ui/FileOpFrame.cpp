#include "ui/FileOpFrame.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace trevalo {

namespace {
constexpr TwipRect kCmdTask{240, 120, 1215, 375};
constexpr TwipRect kImgPreview{120, 600, 1575, 1935};
constexpr TwipRect kChkPreview{240, 2640, 1095, 255};
} // namespace

FileOpFrame::FileOpFrame(QWidget* parent)
    : QWidget(parent), cmdTask(new QPushButton(tr("&Task"), this)), imgPreview(new QLabel(this)),
      chkPreview(new QCheckBox(tr("Pre&view"), this)) {
    setObjectName(QStringLiteral("frmFileOp"));
    cmdTask->setObjectName(QStringLiteral("cmdTask"));
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    chkPreview->setObjectName(QStringLiteral("chkPreview"));

    QFont bold = cmdTask->font();
    bold.setBold(true);
    cmdTask->setFont(bold);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setFrameShape(QFrame::StyledPanel);
    imgPreview->setFrameShadow(QFrame::Sunken);
    chkPreview->setChecked(true);
}

void FileOpFrame::placeControls(const Twips& tw) {
    cmdTask->setGeometry(tw.rect(kCmdTask));
    imgPreview->setGeometry(tw.rect(kImgPreview));
    chkPreview->setGeometry(tw.rect(kChkPreview));
}

} // namespace trevalo

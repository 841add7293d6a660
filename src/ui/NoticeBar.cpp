#include "NoticeBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>

#include "QtConvert.h"

namespace oxalis {

NoticeBar::NoticeBar(const QString& name, std::function<void(int)> onAction, std::function<void()> onClose,
                     QWidget* parent)
    : QFrame(parent), onAction_(std::move(onAction)) {
  setObjectName(name);
  setFrameShape(QFrame::StyledPanel);
  // Pale amber with dark text: readable on light and dark desktops alike.
  setStyleSheet(QString("QFrame#%1 { background: #fff3cd; border: 1px solid #d4a72c; border-radius: 4px; }"
                        "QFrame#%1 QLabel, QPushButton#%1Close { color: #3a2c00; }")
                    .arg(name));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 4, 4, 4);
  auto* icon = new QLabel(this);
  // At the screen's own scaling, so that it stays sharp at 150 % and 200 %.
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(QSize(24, 24), qApp->devicePixelRatio()));
  icon->setAlignment(Qt::AlignTop);
  row->addWidget(icon);
  text_ = new QLabel(this);
  text_->setObjectName(name + "Text");
  text_->setWordWrap(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(text_, 1);
  buttonBox_ = new QWidget(this);
  auto* buttons = new QHBoxLayout(buttonBox_);
  buttons->setContentsMargins(0, 0, 0, 0);
  row->addWidget(buttonBox_);
  close_ = new QPushButton(QString::fromUtf8("\u2715"), this);
  close_->setObjectName(name + "Close");
  close_->setToolTip("Close this notice");
  close_->setFlat(true);
  close_->setFixedWidth(28);
  row->addWidget(close_, 0, Qt::AlignTop);
  connect(close_, &QPushButton::clicked, this, [onClose = std::move(onClose)] { onClose(); });
  hide();
}

void NoticeBar::show(const Notice& notice) {
  text_->setText(qs(notice.text));
  if (notice.actions != shownActions_) {
    shownActions_ = notice.actions;
    qDeleteAll(buttons_);
    buttons_.clear();
    for (std::size_t i = 0; i < notice.actions.size(); ++i) {
      auto* button = new QPushButton(qs(notice.actions[i]), buttonBox_);
      button->setObjectName(objectName() + QString("Action%1").arg(i));
      connect(button, &QPushButton::clicked, this, [this, i] { onAction_(static_cast<int>(i)); });
      buttonBox_->layout()->addWidget(button);
      buttons_.append(button);
    }
  }
  setVisible(notice.visible());
}

}  // namespace oxalis

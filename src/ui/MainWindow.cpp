#include "MainWindow.h"

#include <QStatusBar>

namespace oxalis {

MainWindow::MainWindow(MainWindowModel& model, QWidget* parent) : QMainWindow(parent), model_(model) {
  setObjectName("Main");
  setMinimumSize(1024, 768);
  setCentralWidget(new QWidget(this));

  auto* bar = statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(true);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString("Panel%1").arg(i + 1));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    label->setMinimumWidth(60);
    // The identity panel carries the longest texts.
    bar->addWidget(label, i == 2 ? 4 : 1);
    panels_[i] = label;
  }

  subscription_ = model_.changed.subscribe([this] { render(); });
  render();
}

void MainWindow::render() {
  setWindowTitle(QString::fromStdString(model_.caption));
  for (std::size_t i = 0; i < panels_.size(); ++i) panels_[i]->setText(QString::fromStdString(model_.panels[i]));
}

}  // namespace oxalis

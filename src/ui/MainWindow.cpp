#include "MainWindow.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QTimer>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace oxalis {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

void renderEntry(QAction* action, const MenuEntry& entry) {
  action->setText(qs(entry.caption));
  action->setEnabled(entry.enabled);
  action->setChecked(entry.checked);
  action->setVisible(entry.visible);
}

}  // namespace

MainWindow::MainWindow(Core& core, QWidget* parent) : QMainWindow(parent), core_(core), model_(core.mainWindow) {
  setObjectName("Main");
  setMinimumSize(1024, 768);
  buildMenus();

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  auto* buttons = new QHBoxLayout;
  searchPort_ = new QPushButton(central);
  searchPort_->setObjectName("SearchPort");
  identifie_ = new QPushButton(central);
  identifie_->setObjectName("Identifie");
  searchPort_->setMinimumWidth(130);
  identifie_->setMinimumWidth(130);
  buttons->addWidget(searchPort_);
  buttons->addWidget(identifie_);
  buttons->addStretch(1);
  column->addLayout(buttons);
  livePanel_ = new LivePanelWidget(core_, central);
  column->addWidget(livePanel_);
  column->addStretch(1);
  setCentralWidget(central);
  connect(searchPort_, &QPushButton::clicked, this, [this] { core_.search.restart(); });
  connect(identifie_, &QPushButton::clicked, this, [this] { core_.Identifie_Click(); });

  auto* bar = statusBar();
  bar->setObjectName("StatusBar1");
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString("Panel%1").arg(i + 1));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    label->setMinimumWidth(60);
    label->setToolTip(MainWindowModel::kPanelTooltips[i]);
    // The identity panel carries the longest texts, then level, used time
    // and memory; date and time keep their own width.
    static constexpr std::array<int, MainWindowModel::kStatusPanels> kStretch{1, 1, 4, 2, 2, 2, 0, 0};
    if (kStretch[i] == 0) label->setMinimumWidth(100);
    bar->addWidget(label, kStretch[i]);
    panels_[i] = label;
  }

  subscription_ = model_.changed.subscribe([this] { render(); });
  render();

  // Panels 7 and 8: today's date and the time, in the user's own format.
  auto* clock = new QTimer(this);
  connect(clock, &QTimer::timeout, this, &MainWindow::showDateAndTime);
  clock->start(1000);
  showDateAndTime();
}

void MainWindow::showDateAndTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  panels_[6]->setText(locale.toString(now.date(), QLocale::ShortFormat));
  panels_[7]->setText(locale.toString(now.time(), "HH:mm:ss"));
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("File");
  const auto offline = [&](const char* name, const char* code) {
    QAction* action = file->addAction(QString());
    action->setObjectName(name);
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, code] { core_.search.chooseOfflineModule(code); });
    return action;
  };
  oxalisOffLine_ = offline("Oxalis_OffLine", "OX2");
  panoraOffLine_ = offline("Panora_OffLine", "PNU");
  qtxOffLine_ = offline("QTX_OffLine", "QTX");
  file->addSeparator();
  QAction* exit = file->addAction("&Exit");
  exit->setObjectName("Exit");
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::render() {
  setWindowTitle(qs(model_.caption));
  for (std::size_t i = 0; i < 6; ++i) panels_[i]->setText(qs(model_.panels[i]));
  searchPort_->setText(qs(model_.searchPortCaption));
  identifie_->setText(qs(model_.identifieCaption));
  renderEntry(oxalisOffLine_, model_.oxalisOffLine);
  renderEntry(panoraOffLine_, model_.panoraOffLine);
  renderEntry(qtxOffLine_, model_.qtxOffLine);
}

}  // namespace oxalis

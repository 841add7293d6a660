#include "MainWindow.h"

#include <QActionGroup>
#include <tuple>
#include <QClipboard>
#include <QCloseEvent>
#include <QInputDialog>
#include <filesystem>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "AboutDialog.h"
#include "AccessCodeDialog.h"
#include "QtConvert.h"
#include "FactoryWindow.h"
#include "FirmwareWindow.h"
#include "SetupWindow.h"
#include "Theme.h"
#include "ToolbarIcons.h"
#include "app/MainMenu.h"
#include "app/Shutdown.h"
#include "app/UserLevel.h"
#include "app/DataCommands.h"
#include "app/Recovery.h"
#include "app/Replay.h"
#include "trace/TraceAnalysis.h"

namespace oxalis {

namespace {

void renderEntry(QAction* action, const MenuEntry& entry) {
  action->setText(qs(entry.caption));
  action->setEnabled(entry.enabled);
  action->setChecked(entry.checked);
  action->setVisible(entry.visible);
}

// "&Setup" and the tool bar's setup button: the core prepares the window's
// model, then the window shows it modally until it closes.
void showSetup(Core& core, QWidget* parent) {
  core.openSetup();
  SetupWindow window(core, parent);
  window.exec();
}

void showFirmware(Core& core, QWidget* parent) {
  if (!firmwareClick(core)) return;
  FirmwareWindow window(core, parent);
  window.exec();
}

}  // namespace

MainWindow::MainWindow(Core& core, QWidget* parent) : QMainWindow(parent), core_(core), model_(core.mainWindow) {
  setObjectName("Main");
  // The live panel shrinks and the trace takes what is left, so the window
  // fits a 1024 x 768 screen with its frame and the desktop's panels.
  setMinimumSize(960, 540);
  resize(1200, 800);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
  }
  buildMenus();
  buildToolbar();

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(4, 4, 4, 0);
  linkNotice_ = new NoticeBar("LinkNotice", [](int) {}, [this] { core_.dismissLinkNotice(); }, central);
  column->addWidget(linkNotice_);
  recoveryNotice_ = new NoticeBar(
      "RecoveryNotice", [this](int i) { recoveryNotice_Click(core_, i); },
      [this] { recoveryNotice_Click(core_, kRecoveryLater); }, central);
  column->addWidget(recoveryNotice_);
  auto* buttons = new QHBoxLayout;
  searchPort_ = new QPushButton(central);
  searchPort_->setObjectName("SearchPort");
  searchPort_->setToolTip("Search the module on the serial ports (F5)");
  identifie_ = new QPushButton(central);
  identifie_->setObjectName("Identifie");
  searchPort_->setMinimumWidth(130);
  identifie_->setMinimumWidth(130);
  buttons->addWidget(searchPort_);
  buttons->addWidget(identifie_);
  buttons->addStretch(1);
  buttons->addWidget(buildReplayBar(central));
  column->addLayout(buttons);
  livePanel_ = new LivePanelWidget(core_, central);
  column->addWidget(livePanel_, 1);
  trace_ = new TraceWidget(core_, qs(core_.state.appFolder), central);
  column->addWidget(trace_, 2);
  setCentralWidget(central);
  connect(searchPort_, &QPushButton::clicked, this, [this] { core_.SearchPort_Click(); });
  connect(identifie_, &QPushButton::clicked, this, [this] { core_.Identifie_Click(); });
  factoryWindow_ = new FactoryWindow(core_, this);
  auto* search = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(search, &QShortcut::activated, this, [this] { core_.SearchPort_Click(); });

  auto* bar = statusBar();
  bar->setObjectName("StatusBar1");
  // The identity panel carries the longest texts, then level, used time and
  // memory; date and time keep their own width.
  static constexpr std::array<int, MainWindowModel::kStatusPanels> kStretch{1, 1, 4, 2, 2, 2, 0, 0};
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString("Panel%1").arg(i + 1));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    label->setMinimumWidth(kStretch[i] == 0 ? 100 : 60);
    label->setToolTip(MainWindowModel::kPanelTooltips[i]);
    bar->addWidget(label, kStretch[i]);
    panels_[i] = label;
  }
  recordMark_ = new QLabel(bar);
  recordMark_->setObjectName("RecordMark");
  recordMark_->setToolTip("Recording: the time recorded so far");
  recordMark_->setStyleSheet("color: white; background: #c62828; font-weight: bold; padding: 0 6px; border-radius: 3px");
  recordMark_->hide();
  bar->insertWidget(0, recordMark_);
  // What the link last gave up on (a record the module refused again and again).
  statusMessage_ = new QLabel(bar);
  statusMessage_->setObjectName("StatusMessage");
  statusMessage_->hide();
  bar->addWidget(statusMessage_, 3);

  subscription_ = model_.changed.subscribe([this] { render(); });
  // The search and information buttons are captioned by the live panel's
  // layout for the module type.
  buttonSubscription_ = core_.monitor.livePanel.changed.subscribe([this] { renderButtons(); });
  showLook();
  render();
  renderButtons();

  // Panels 7 and 8: today's date and the time, in the user's own format.
  auto* clock = new QTimer(this);
  connect(clock, &QTimer::timeout, this, &MainWindow::showDateAndTime);
  clock->start(1000);
  showDateAndTime();
}

QAction* MainWindow::addEntry(QMenu* menu, const QString& name, const QString& caption,
                              std::function<void()> handler) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  actions_[name] = action;
  return action;
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("File");
  addEntry(file, "DataNew", "&New", [this] { dataNew(core_); })->setShortcut(QKeySequence::New);
  addEntry(file, "DataOpen", "&Open", [this] { dataOpen(core_); })->setShortcut(QKeySequence::Open);
  addEntry(file, "DataSave", "&Save", [this] { dataSave(core_); })->setShortcut(QKeySequence::Save);
  addEntry(file, "DataSaveAs", "&Save As", [this] { dataSaveAs(core_); })
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  addEntry(file, "DataExportCsv", "&Export CSV...", [this] { dataExportCsv(core_); });
  file->addSeparator();
  addEntry(file, "ReplayPlay", "&Replay: play / pause", [this] { replayPlayPause(core_); })
      ->setShortcut(Qt::Key_F6);
  addEntry(file, "ReplayLive", "Replay: back to &live", [this] { replayStop(core_); })
      ->setShortcut(Qt::Key_F7);
  file->addSeparator();
  for (const auto& [name, code] : {std::pair{"Oxalis_OffLine", "OX2"}, std::pair{"Panora_OffLine", "PNU"},
                                   std::pair{"QTX_OffLine", "QTX"}}) {
    addEntry(file, name, QString(), [this, code = code] { core_.chooseOfflineModule(code); })
        ->setCheckable(true);
  }
  file->addSeparator();
  addEntry(file, "Exit", "&Exit", [this] { close(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* tools = menuBar()->addMenu("&Tools");
  tools->setObjectName("Tools");
  addEntry(tools, "MenuSetup", "&Setup", [this] { showSetup(core_, this); });
  QMenu* level = tools->addMenu("&Level");
  level->setObjectName("Niveau");
  addEntry(level, "NiveauBasic", "&Basic", [this] { askForLevel(kLevelBasic); })->setCheckable(true);
  addEntry(level, "NiveauNormal", "&Normal", [this] { askForLevel(kLevelNormal); })->setCheckable(true);
  addEntry(level, "NiveauExpert", "&Expert", [this] { askForLevel(kLevelExpert); })->setCheckable(true);
  addEntry(level, "NiveauHyperUser", "&Master", [this] { askForLevel(kLevelMaster); })->setCheckable(true);
  addEntry(tools, "Firmware", "&Firmware", [this] { showFirmware(core_, this); });
  buildLookMenu(tools);

  buildPortMenu();
  buildTraceMenu();

  QAction* about = menuBar()->addAction("&About");
  about->setObjectName("About");
  connect(about, &QAction::triggered, this, &MainWindow::showAbout);
  actions_["About"] = about;
}

// "&Look": follow the desktop (the default), or light or dark whatever the
// desktop says. The choice is kept in the settings.
void MainWindow::buildLookMenu(QMenu* parent) {
  QMenu* menu = parent->addMenu("L&ook");
  menu->setObjectName("Look");
  auto* group = new QActionGroup(this);
  for (const auto& [name, caption, choice] : {std::tuple{"LookDesktop", "Follow the &desktop", "Desktop"},
                                             std::tuple{"LookLight", "&Light", "Light"},
                                             std::tuple{"LookDark", "&Dark", "Dark"}}) {
    QAction* action = addEntry(menu, name, caption, [this, choice = std::string(choice)] {
      core_.state.theme = choice;
      showLook();
    });
    action->setCheckable(true);
    group->addAction(action);
  }
}

void MainWindow::showLook() {
  const std::string& choice = core_.state.theme;
  applyLook(lookFor(choice));
  actions_.at("LookDark")->setChecked(choice == "Dark");
  actions_.at("LookLight")->setChecked(choice == "Light");
  actions_.at("LookDesktop")->setChecked(choice != "Dark" && choice != "Light");
  statusMessage_->setStyleSheet(QString("color: %1").arg(failureText().name()));
  for (auto& [key, action] : toolActions_) action->setIcon(toolbarIcon(key, action->isEnabled()));
}

// Menu "&Port": the automatic search, or one serial device tried alone.
// The list is read again each time the menu opens, so adapters plugged in or
// pulled out since show as they are.
void MainWindow::buildPortMenu() {
  portMenu_ = menuBar()->addMenu("&Port");
  portMenu_->setObjectName("PortMenu");
  connect(portMenu_, &QMenu::aboutToShow, this, [this] { showPorts(presentSerialDevices()); });
  showPorts({});
}

void MainWindow::showPorts(const std::vector<SerialDevice>& devices) {
  portMenu_->clear();
  const int chosen = core_.link.state.chosenPort;
  QAction* automatic = portMenu_->addAction("&Automatic search");
  automatic->setObjectName("PortAutomatic");
  automatic->setCheckable(true);
  automatic->setChecked(chosen == 0);
  connect(automatic, &QAction::triggered, this, [this] { core_.choosePort(0); });
  portMenu_->addSeparator();
  const std::vector<PortEntry> entries = portEntries(withPortLinks(devices, portMap_), portMap_);
  if (entries.empty()) portMenu_->addAction("No serial device found")->setEnabled(false);
  for (const PortEntry& entry : entries) {
    QAction* action = portMenu_->addAction(entry.text);
    action->setObjectName(QString("Port%1").arg(entry.number));
    action->setCheckable(true);
    action->setChecked(entry.number != 0 && entry.number == chosen);
    action->setEnabled(entry.number != 0);
    connect(action, &QAction::triggered, this, [this, number = entry.number] {
      core_.choosePort(static_cast<std::uint8_t>(number));
    });
  }
}

// Menu "T&race": the measuring tools of the trace.
void MainWindow::buildTraceMenu() {
  QMenu* menu = menuBar()->addMenu("T&race");
  menu->setObjectName("TraceMenu");
  QMenu* overlay = menu->addMenu("&Overlay");
  overlay->setObjectName("Overlay");
  for (int q = 0; q < 5; ++q)
    addEntry(overlay, QString("Overlay%1").arg(q), QString(), [this, q] {
      overlayQuantity(core_.trace, q, actions_.at(QString("Overlay%1").arg(q))->isChecked());
    })->setCheckable(true);
  // The quantities as the module type names them, those it sends.
  connect(overlay, &QMenu::aboutToShow, this, [this] {
    const LivePanelModel& panel = core_.monitor.livePanel;
    for (std::size_t q = 0; q < 5; ++q) {
      QAction* action = actions_.at(QString("Overlay%1").arg(q));
      action->setText(qs(panel.traceChoiceNames[q]));
      action->setVisible(panel.traceChoiceVisible[q]);
      action->setChecked(core_.trace.overlay[q]);
    }
  });
  addEntry(menu, "FitAll", "Fit &all", [this] { fitAll(core_.trace); })->setShortcut(Qt::Key_F);
  // Every drawn quantity's scale fitted to what is on screen, or all back
  // to their own ranges; a double click on the value labels does the
  // labelled one alone.
  addEntry(menu, "FitScales", "Fit &scales to screen", [this] {
    const bool fit = actions_.at("FitScales")->isChecked();
    for (int q : drawnQuantities(core_.trace)) fitQuantity(core_.trace, q, fit);
  })->setCheckable(true);
  menu->addSeparator();
  addEntry(menu, "ClearCursorB", "Clear cursor &B", [this] { clearCursorB(core_.trace); });
  addEntry(menu, "CopyReadout", "&Copy readout", [this] { copyReadout(); })->setShortcut(QKeySequence::Copy);
  menu->addSeparator();
  addEntry(menu, "ExportPicture", "Export &picture...", [this] { exportPicture(); });
  addEntry(menu, "ExportCsvSpan", "Export CSV &between cursors...", [this] { dataExportCsvBetweenCursors(core_); });
}

void MainWindow::copyReadout() {
  const std::string text = readoutText(core_.trace);
  if (text.empty()) {
    core_.platform.dialogs.message("Place cursor B (Shift + left click on the trace) to measure between the cursors.",
                                   "Copy readout", MessageIcon::Information);
    return;
  }
  QGuiApplication::clipboard()->setText(qs(text));
}

void MainWindow::exportPicture() {
  FileDialogRequest request;
  request.title = "Export picture";
  request.filter = "PNG pictures (*.png)|*.png";
  request.defaultExtension = "png";
  request.startFolder = core_.state.dataFolder.empty() ? core_.state.appFolder : core_.state.dataFolder;
  request.fileName = std::filesystem::path(core_.state.dataFileName).stem().string();
  request.promptOverwrite = true;
  const auto file = core_.platform.dialogs.saveFile(request);
  if (!file) return;
  bool ok = false;
  const int width = QInputDialog::getInt(this, "Export picture", "Width in pixels (up to 3840):",
                                         std::max(core_.trace.view.traceWidth, 200), 200, 3840, 10, &ok);
  if (!ok) return;
  const QImage picture = renderTracePicture(core_, width, trace_->oscillo()->font());
  if (!picture.save(qs(*file), "PNG"))
    core_.platform.dialogs.message("Fail to save picture " + *file, "Error", MessageIcon::Warning);
}

void MainWindow::buildToolbar() {
  toolbar_ = addToolBar("Tools");
  toolbar_->setObjectName("Toolbar1");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(28, 28));
  for (const ToolButton& button : model_.toolbar) {
    if (button.separator) {
      toolbar_->addSeparator();
      continue;
    }
    const QString key = qs(button.key);
    QAction* action = toolbar_->addAction(toolbarIcon(key, true), qs(button.tooltip));
    action->setObjectName(key);
    action->setToolTip(qs(button.tooltip));
    connect(action, &QAction::triggered, this, [this, key] {
      if (key == "Setup") {
        showSetup(core_, this);
      } else if (key == "Load_Firmware") {
        showFirmware(core_, this);
      } else {
        toolbarClick(core_, key.toStdString());
      }
    });
    toolActions_[key] = action;
  }
}

// The replay bar, right of the search buttons: what is shown (a replay,
// not the module), where the replay is, play / pause, speed, back to live.
QWidget* MainWindow::buildReplayBar(QWidget* parent) {
  replayBar_ = new QWidget(parent);
  replayBar_->setObjectName("ReplayBar");
  auto* row = new QHBoxLayout(replayBar_);
  row->setContentsMargins(0, 0, 0, 0);
  replayBadge_ = new QLabel("REPLAY - not live", replayBar_);
  replayBadge_->setObjectName("ReplayBadge");
  replayBadge_->setToolTip("The live panel shows the opened data file, not the module");
  replayBadge_->setStyleSheet("color: white; background: #1565c0; font-weight: bold; padding: 2px 8px; border-radius: 3px");
  replayPosition_ = new QLabel(replayBar_);
  replayPosition_->setObjectName("ReplayPosition");
  replayPosition_->setToolTip("Time of the sample shown / time of the last sample");
  // Wide enough for a full ring's times, so the bar does not jump as they grow.
  replayPosition_->setMinimumWidth(replayPosition_->fontMetrics().horizontalAdvance("0000.00 s / 0000.00 s") + 8);
  replayPlay_ = new QPushButton(replayBar_);
  replayPlay_->setObjectName("ReplayPlay");
  replayPlay_->setToolTip("Play the opened data file through the live panel, or pause (F6)");
  replaySpeed_ = new QComboBox(replayBar_);
  replaySpeed_->setObjectName("ReplaySpeed");
  replaySpeed_->setToolTip("Replay speed: times the recorded pace");
  for (int speed : kReplaySpeeds) replaySpeed_->addItem(QString::fromUtf8("%1\u00D7").arg(speed), speed);
  replayLive_ = new QPushButton("Back to &live", replayBar_);
  replayLive_->setObjectName("ReplayLive");
  replayLive_->setToolTip("End the replay: the live panel shows the module again (F7)");
  for (QWidget* w : std::initializer_list<QWidget*>{replayBadge_, replayPosition_, replayPlay_, replaySpeed_, replayLive_})
    row->addWidget(w);
  connect(replayPlay_, &QPushButton::clicked, this, [this] { replayPlayPause(core_); });
  connect(replaySpeed_, &QComboBox::activated, this,
          [this](int index) { replaySetSpeed(core_, replaySpeed_->itemData(index).toInt()); });
  connect(replayLive_, &QPushButton::clicked, this, [this] { replayStop(core_); });
  return replayBar_;
}

void MainWindow::renderReplayBar() {
  const ReplayBarModel& bar = model_.replay;
  replayBar_->setVisible(bar.visible);
  replayBadge_->setVisible(bar.active);
  replayPosition_->setText(qs(bar.position));
  replayPosition_->setVisible(bar.active);
  // No mnemonic: Alt+P opens the Port menu; F6 plays and pauses.
  replayPlay_->setText(bar.playing ? QString("Pause") : QString::fromUtf8("\u25B6 Play"));
  replayLive_->setVisible(bar.active);
  const int index = replaySpeed_->findData(bar.speed);
  if (index >= 0 && replaySpeed_->currentIndex() != index) replaySpeed_->setCurrentIndex(index);
  actions_.at("ReplayPlay")->setEnabled(bar.visible);
  actions_.at("ReplayLive")->setEnabled(bar.active);
}

void MainWindow::askForLevel(std::uint8_t level) {
  // Qt has just ticked the chosen entry; the tick follows the level only
  // once its code is accepted.
  render();
  requestLevel(core_, level);
  AccessCodeDialog dialog(core_, this);
  dialog.exec();
  render();
}

void MainWindow::showAbout() {
  AboutDialog about(this);
  about.exec();
}

void MainWindow::renderButtons() {
  const LivePanelModel& panel = core_.monitor.livePanel;
  // The panel changes three times a second; the captions rarely.
  if (const QString text = qs(panel.SearchPort); searchPort_->text() != text) searchPort_->setText(text);
  if (const QString text = qs(panel.Identifie); identifie_->text() != text) identifie_->setText(text);
}

void MainWindow::render() {
  setWindowTitle(qs(model_.caption));
  for (std::size_t i = 0; i < 6; ++i) panels_[i]->setText(qs(model_.panels[i]));
  recordMark_->setText(QString::fromUtf8("\u25CF ") + qs(model_.recordMark));
  recordMark_->setVisible(!model_.recordMark.empty());
  statusMessage_->setText(qs(model_.statusMessage));
  statusMessage_->setToolTip(qs(model_.statusMessage));
  statusMessage_->setVisible(!model_.statusMessage.empty());
  linkNotice_->show(model_.linkNotice);
  recoveryNotice_->show(model_.recoveryNotice);
  renderReplayBar();
  renderEntry(actions_.at("DataNew"), model_.dataNew);
  renderEntry(actions_.at("DataOpen"), model_.dataOpen);
  renderEntry(actions_.at("DataSave"), model_.dataSave);
  renderEntry(actions_.at("DataSaveAs"), model_.dataSaveAs);
  renderEntry(actions_.at("DataExportCsv"), model_.dataExportCsv);
  renderEntry(actions_.at("Oxalis_OffLine"), model_.oxalisOffLine);
  renderEntry(actions_.at("Panora_OffLine"), model_.panoraOffLine);
  renderEntry(actions_.at("QTX_OffLine"), model_.qtxOffLine);
  renderEntry(actions_.at("MenuSetup"), model_.menuSetup);
  renderEntry(actions_.at("Firmware"), model_.firmware);
  const auto levels = levelMenu(core_);
  const std::array<QString, 4> levelNames{"NiveauBasic", "NiveauNormal", "NiveauExpert", "NiveauHyperUser"};
  for (std::size_t i = 0; i < levels.size(); ++i) renderEntry(actions_.at(levelNames[i]), levels[i]);
  for (const ToolButton& button : model_.toolbar) {
    if (button.separator) continue;
    QAction* action = toolActions_.at(qs(button.key));
    if (action->isEnabled() == button.enabled) continue;
    action->setEnabled(button.enabled);
    // Each button shows its own picture, greyed while disabled.
    action->setIcon(toolbarIcon(qs(button.key), button.enabled));
  }
}

void MainWindow::showDateAndTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  panels_[6]->setText(locale.toString(now.date(), QLocale::ShortFormat));
  panels_[7]->setText(locale.toString(now.time(), "HH:mm:ss"));
}

void MainWindow::closeWithoutQuestions() {
  interactiveClose_ = false;
  close();
}

void MainWindow::restorePlace() {
  const QStringList parts = qs(core_.state.windowGeometry).split(',');
  if (parts.size() != 5) return;
  std::array<int, 5> v{};
  for (std::size_t i = 0; i < v.size(); ++i) {
    bool ok = false;
    v[i] = parts[static_cast<qsizetype>(i)].trimmed().toInt(&ok);
    if (!ok) return;
  }
  const QRect place(v[0], v[1], v[2], v[3]);
  // A place on a screen that is no longer there (a laptop away from its
  // second monitor) is not used: the window would open out of sight.
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect room = screen->availableGeometry();
    if (!room.intersects(place)) continue;
    setGeometry(QRect(place.topLeft(), place.size().boundedTo(room.size()).expandedTo(minimumSize())));
    if (v[4] != 0) setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
}

void MainWindow::rememberPlace() {
  const QRect place = isMaximized() ? normalGeometry() : geometry();
  core_.state.windowGeometry = QString("%1,%2,%3,%4,%5")
                                   .arg(place.x())
                                   .arg(place.y())
                                   .arg(place.width())
                                   .arg(place.height())
                                   .arg(isMaximized() ? 1 : 0)
                                   .toStdString();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    shutDown_ = true;
    rememberPlace();
    ShutdownReport report = shutdown(core_, interactiveClose_);
    // A shutdown signal that came while the question was open: the samples
    // go to the recovery file rather than being dropped.
    if (report.cancelled && !interactiveClose_) report = shutdown(core_, false);
    if (report.cancelled) {
      // Cancel, a cancelled save dialog or a failed save: the window and
      // its samples stay.
      shutDown_ = false;
      event->ignore();
      return;
    }
    if (!report.recoveryFile.empty())
      qInfo("Unsaved samples were written to the recovery data file %s", report.recoveryFile.c_str());
    if (!report.error.empty()) qWarning("%s", report.error.c_str());
  }
  event->accept();
}

}  // namespace oxalis

#pragma once
// The main window `Main`: renders the core's MainWindowModel and forwards
// the user's actions to the core.
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QToolBar>
#include <array>
#include <map>

#include "LivePanelWidget.h"
#include "NoticeBar.h"
#include "PortMenu.h"
#include "TraceWidget.h"
#include "app/Core.h"

class QAction;

namespace oxalis {

class FactoryWindow;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Core& core, QWidget* parent = nullptr);

  // The label of status-bar panel 1..8.
  QLabel* statusPanel(int number) const { return panels_.at(static_cast<std::size_t>(number - 1)); }
  QPushButton* searchPortButton() const { return searchPort_; }
  QPushButton* identifieButton() const { return identifie_; }
  QAction* oxalisOffLineAction() const { return actions_.at("Oxalis_OffLine"); }
  QAction* panoraOffLineAction() const { return actions_.at("Panora_OffLine"); }
  QAction* qtxOffLineAction() const { return actions_.at("QTX_OffLine"); }
  // Menu entries and tool-bar buttons by control name or key.
  QAction* action(const QString& name) const { return actions_.at(name); }
  QAction* toolButton(const QString& key) const { return toolActions_.at(key); }
  QToolBar* toolbar() const { return toolbar_; }
  LivePanelWidget* livePanel() const { return livePanel_; }
  TraceWidget* trace() const { return trace_; }
  NoticeBar* linkNotice() const { return linkNotice_; }
  NoticeBar* recoveryNotice() const { return recoveryNotice_; }
  QLabel* recordMark() const { return recordMark_; }
  // The replay bar and its controls.
  QWidget* replayBar() const { return replayBar_; }
  QLabel* replayBadge() const { return replayBadge_; }
  QLabel* replayPosition() const { return replayPosition_; }
  QPushButton* replayPlayButton() const { return replayPlay_; }
  QComboBox* replaySpeedBox() const { return replaySpeed_; }
  QPushButton* replayLiveButton() const { return replayLive_; }
  // The factory window, shown at the Master level.
  FactoryWindow* factoryWindow() const { return factoryWindow_; }

  // The Port menu lists `devices` (what the platform lists when it opens),
  // each under the port number `map` gives it.
  void setPortMap(PortMap map) { portMap_ = std::move(map); }
  void showPorts(const std::vector<SerialDevice>& devices);

  // The window's place from the settings (core.state.windowGeometry),
  // when a screen still shows it; and its place written back there.
  void restorePlace();
  void rememberPlace();

  // The look the settings choose (core.state.theme), on every window.
  void showLook();

  // Closing without the unsaved-data question (SIGTERM, SIGINT): unsaved
  // samples go to a recovery file instead.
  void closeWithoutQuestions();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildTraceMenu();
  void buildPortMenu();
  void buildLookMenu(QMenu* parent);
  void copyReadout();
  void exportPicture();
  void buildMenus();
  void buildToolbar();
  QWidget* buildReplayBar(QWidget* parent);
  void renderReplayBar();
  void render();
  void renderButtons();
  void showDateAndTime();
  void askForLevel(std::uint8_t level);
  void showAbout();
  QAction* addEntry(QMenu* menu, const QString& name, const QString& caption, std::function<void()> handler);

  Core& core_;
  MainWindowModel& model_;
  std::array<QLabel*, MainWindowModel::kStatusPanels> panels_{};
  QPushButton* searchPort_ = nullptr;
  QPushButton* identifie_ = nullptr;
  LivePanelWidget* livePanel_ = nullptr;
  TraceWidget* trace_ = nullptr;
  NoticeBar* linkNotice_ = nullptr;
  NoticeBar* recoveryNotice_ = nullptr;
  QLabel* recordMark_ = nullptr;
  QWidget* replayBar_ = nullptr;
  QLabel* replayBadge_ = nullptr;
  QLabel* replayPosition_ = nullptr;
  QPushButton* replayPlay_ = nullptr;
  QComboBox* replaySpeed_ = nullptr;
  QPushButton* replayLive_ = nullptr;
  QLabel* statusMessage_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::map<QString, QAction*> actions_;
  std::map<QString, QAction*> toolActions_;
  bool interactiveClose_ = true;
  bool shutDown_ = false;
  FactoryWindow* factoryWindow_ = nullptr;
  QMenu* portMenu_ = nullptr;
  PortMap portMap_;
  Subscription subscription_;
  Subscription buttonSubscription_;
};

}  // namespace oxalis

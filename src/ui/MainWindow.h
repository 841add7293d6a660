#pragma once
// The main window `Main`: renders the core's MainWindowModel and forwards
// the user's actions to the core.
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <array>

#include "LivePanelWidget.h"
#include "app/Core.h"

class QAction;

namespace oxalis {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Core& core, QWidget* parent = nullptr);

  // The label of status-bar panel 1..8.
  QLabel* statusPanel(int number) const { return panels_.at(static_cast<std::size_t>(number - 1)); }
  QPushButton* searchPortButton() const { return searchPort_; }
  QPushButton* identifieButton() const { return identifie_; }
  QAction* oxalisOffLineAction() const { return oxalisOffLine_; }
  QAction* panoraOffLineAction() const { return panoraOffLine_; }
  QAction* qtxOffLineAction() const { return qtxOffLine_; }
  LivePanelWidget* livePanel() const { return livePanel_; }

 private:
  void buildMenus();
  void render();
  void showDateAndTime();

  Core& core_;
  MainWindowModel& model_;
  std::array<QLabel*, MainWindowModel::kStatusPanels> panels_{};
  QPushButton* searchPort_ = nullptr;
  QPushButton* identifie_ = nullptr;
  LivePanelWidget* livePanel_ = nullptr;
  QAction* oxalisOffLine_ = nullptr;
  QAction* panoraOffLine_ = nullptr;
  QAction* qtxOffLine_ = nullptr;
  Subscription subscription_;
};

}  // namespace oxalis

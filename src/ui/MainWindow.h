#pragma once
// The main window `Main`: renders the core's MainWindowModel.
#include <QLabel>
#include <QMainWindow>
#include <array>

#include "app/MainWindowModel.h"

namespace oxalis {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowModel& model, QWidget* parent = nullptr);

  // The label of status-bar panel 1..8.
  QLabel* statusPanel(int number) const { return panels_.at(static_cast<std::size_t>(number - 1)); }

 private:
  void render();

  MainWindowModel& model_;
  std::array<QLabel*, MainWindowModel::kStatusPanels> panels_{};
  Subscription subscription_;
};

}  // namespace oxalis

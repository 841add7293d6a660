#pragma once
// The live panel: 18 labelled value cells, nine diagnostic lamps, the
// trace channel ticks, the link buttons and the display's setting lists.
// Renders the core's LivePanelModel; a cell is repainted only when the core
// repainted it (its text or colour changed, or after a resize).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "app/Core.h"

namespace oxalis {

// One value cell `Display(i)`: its text centred, in the freshness colour.
class ValueCell : public QWidget {
  Q_OBJECT
 public:
  ValueCell(int index, bool large, QWidget* parent);
  void show(const QString& text, QColor colour);
  QString text() const { return text_; }
  QColor colour() const { return colour_; }
  int paints() const { return paints_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool large_;
  QString text_;
  QColor colour_;
  int paints_ = 0;
};

// One pair `Alarme_DiagVert(i)` / `Alarme_DiagRouge(i)`: green when the
// condition is good, red when it is not, with its label.
class DiagLamp : public QWidget {
  Q_OBJECT
 public:
  DiagLamp(int index, QWidget* parent);
  void show(const DiagLampModel& lamp);
  bool isRed() const { return red_; }
  // False (grey) while no module reports the condition.
  bool isKnown() const { return known_; }
  QString label() const { return label_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool red_ = false;
  bool known_ = false;
  QString label_;
};

class LivePanelWidget : public QWidget {
  Q_OBJECT
 public:
  explicit LivePanelWidget(Core& core, QWidget* parent = nullptr);

  ValueCell* cell(int i) const { return cells_.at(static_cast<std::size_t>(i)); }
  QLabel* cellLabel(int i) const { return labels_.at(static_cast<std::size_t>(i)); }
  DiagLamp* lamp(int i) const { return lamps_.at(static_cast<std::size_t>(i)); }
  QCheckBox* showCanal(int i) const { return showCanal_.at(static_cast<std::size_t>(i)); }
  QPushButton* runStopButton() const { return frameButton_; }
  QComboBox* channelList() const { return comboChannel_; }
  QComboBox* brightnessList() const { return comboLuminosite_; }
  QComboBox* fuelList() const { return comboFuel_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void render();
  void showDisplaySettings();

  Core& core_;
  std::array<ValueCell*, LivePanelModel::kCells> cells_{};
  std::array<QLabel*, LivePanelModel::kCells> labels_{};
  std::array<int, LivePanelModel::kCells> renderedPaints_{};
  std::array<std::uint32_t, LivePanelModel::kCells> renderedLabelColours_{};  // kBlack: no style sheet
  std::array<DiagLamp*, LivePanelModel::kLamps> lamps_{};
  std::array<QCheckBox*, 5> showCanal_{};
  QPushButton* frameButton_ = nullptr;
  QComboBox* comboChannel_ = nullptr;
  QComboBox* comboLuminosite_ = nullptr;
  QComboBox* comboFuel_ = nullptr;
  Subscription subscription_;
};

}  // namespace oxalis

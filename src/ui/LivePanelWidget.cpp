#include "LivePanelWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QAbstractItemView>
#include <QVBoxLayout>
#include <algorithm>

#include "QtConvert.h"
#include "Theme.h"
#include "monitor/LivePanel.h"
#include "trace/Trace.h"

namespace oxalis {

ValueCell::ValueCell(int index, bool large, QWidget* parent) : QWidget(parent), large_(large) {
  setObjectName(QString("Display%1").arg(index));
  // Cells shrink on small screens and grow, digits with them, on large ones.
  setMinimumSize(large ? 110 : 72, large ? 34 : 22);
  setMaximumHeight(large ? 130 : 72);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  QFont f = font();
  f.setFamily("DejaVu Sans Mono");
  f.setStyleHint(QFont::Monospace);
  f.setBold(true);
  setFont(f);
}

QSize ValueCell::sizeHint() const { return large_ ? QSize(150, 56) : QSize(96, 36); }

void ValueCell::show(const QString& text, QColor colour) {
  text_ = text;
  colour_ = colour;
  ++paints_;
  update();
}

void ValueCell::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  // The digits fill about two thirds of the cell's height, and the widest
  // usual text (eight characters) its width.
  QFont f = font();
  const int byHeight = height() * 62 / 100;
  const int byWidth = width() * 100 / (8 * 62);
  f.setPixelSize(std::max(9, std::min(byHeight, byWidth)));
  p.setFont(f);
  p.setPen(colour_);
  p.drawText(rect(), Qt::AlignCenter, text_);
}

DiagLamp::DiagLamp(int index, QWidget* parent) : QWidget(parent) {
  setObjectName(QString("Alarme_Diag%1").arg(index));
  setMinimumSize(96, 18);
  setMaximumHeight(34);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize DiagLamp::sizeHint() const { return {110, 24}; }

void DiagLamp::show(const DiagLampModel& lamp) {
  red_ = lamp.red;
  known_ = lamp.known;
  label_ = qs(known_ && red_ ? lamp.redLabel : lamp.greenLabel);
  QString tip = qs(red_ ? lamp.redTooltip : lamp.greenTooltip);
  if (!known_) tip = "Grey: no module reports this condition now.\n" + qs(lamp.greenTooltip);
  setToolTip(tip);
  setVisible(lamp.visible);
  update();
}

void DiagLamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(!known_ ? QColor(170, 170, 170) : red_ ? QColor(230, 40, 40) : QColor(40, 200, 60));
  p.setPen(QPen(Qt::black, 1));
  p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  p.setPen(Qt::black);
  p.drawText(rect().adjusted(2, 3, -2, 0), Qt::AlignHCenter | Qt::AlignTop, label_);
}

LivePanelWidget::LivePanelWidget(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("LivePanel");
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  // Row 0-1: the five main quantities, large. Rows 2-5: the slow values.
  // Rows 6-7: the user channels.
  const auto place = [&](int i, int row, int column, bool large) {
    labels_[static_cast<std::size_t>(i)] = new QLabel(this);
    labels_[static_cast<std::size_t>(i)]->setObjectName(QString("DisplayLabel%1").arg(i));
    labels_[static_cast<std::size_t>(i)]->setAlignment(Qt::AlignCenter);
    labels_[static_cast<std::size_t>(i)]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    cells_[static_cast<std::size_t>(i)] = new ValueCell(i, large, this);
    grid->addWidget(labels_[static_cast<std::size_t>(i)], row, column);
    grid->addWidget(cells_[static_cast<std::size_t>(i)], row + 1, column);
  };
  for (int i = 0; i <= 4; ++i) place(i, 0, i, true);
  for (int i = 5; i <= 8; ++i) place(i, 2, i - 5, false);
  for (int i = 9; i <= 12; ++i) place(i, 4, i - 9, false);
  for (int i = 13; i <= 17; ++i) place(i, 6, i - 13, false);
  // Room the window gives the panel goes mostly to the five main
  // quantities, whose digits grow with it.
  grid->setRowStretch(1, 3);
  for (int row : {3, 5, 7}) grid->setRowStretch(row, 1);

  // The display's setting lists sit over value cells 10-12, just below
  // their labels, and show the setting the display reports.
  comboChannel_ = new QComboBox(this);
  comboChannel_->setObjectName("Combo_Channel");
  comboChannel_->addItems({"Richness", "Lambda", "O2", "A/F", "mV", "Analog Input (Ch5)", "Channel 1", "Channel 2",
                           "Channel 3", "Channel 4", "Ubat", "Used Time"});
  comboLuminosite_ = new QComboBox(this);
  comboLuminosite_->setObjectName("Combo_Luminosite");
  comboLuminosite_->addItems({"Auto", "25%", "50%", "75%", "100%"});
  comboFuel_ = new QComboBox(this);
  comboFuel_->setObjectName("Combo_TypeCarburant");
  comboFuel_->addItems({"Gasoline", "Diesel"});
  int column = 1;
  for (QComboBox* combo : {comboChannel_, comboFuel_, comboLuminosite_}) {
    combo->setCurrentIndex(-1);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    combo->setMinimumHeight(22);
    combo->hide();
    grid->addWidget(combo, 5, column++);
  }
  connect(comboChannel_, &QComboBox::activated, this, [this](int i) { Combo_Channel_Click(core_.monitor, core_.link.commands, i); });
  connect(comboLuminosite_, &QComboBox::activated, this, [this](int i) { Combo_Luminosite_Click(core_.monitor, core_.link.commands, i); });
  connect(comboFuel_, &QComboBox::activated, this, [this](int i) { Combo_TypeCarburant_Click(core_.monitor, core_.link.commands, i); });

  auto* ticks = new QHBoxLayout;
  for (int k = 0; k < 5; ++k) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QString("ShowCanal%1").arg(k));
    box->setToolTip("Draw this channel on the trace");
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) { ShowCanal_Click(core_.trace, k, on); });
    showCanal_[static_cast<std::size_t>(k)] = box;
    ticks->addWidget(box);
  }
  ticks->addStretch(1);
  grid->addLayout(ticks, 8, 0, 1, 5);
  outer->addLayout(grid, 1);

  auto* side = new QVBoxLayout;
  side->setSpacing(3);
  for (int i = 0; i < LivePanelModel::kLamps; ++i) {
    lamps_[static_cast<std::size_t>(i)] = new DiagLamp(i, this);
    side->addWidget(lamps_[static_cast<std::size_t>(i)]);
  }
  frameButton_ = new QPushButton(this);
  frameButton_->setObjectName("Boutton_Frame");
  connect(frameButton_, &QPushButton::clicked, this, [this] { Boutton_Frame_Click(core_.monitor, core_.link.commands, core_.link.state.streamRunning); });
  side->addWidget(frameButton_);
  side->addStretch(1);
  outer->addLayout(side);

  subscription_ = core_.monitor.livePanel.changed.subscribe([this] { render(); });
  render();
}

void LivePanelWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  livePanelResized(core_.monitor);
}

void LivePanelWidget::render() {
  const LivePanelModel& model = core_.monitor.livePanel;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    const LiveCellModel& cell = model.cells[i];
    labels_[i]->setText(qs(cell.label));
    labels_[i]->setToolTip(qs(cell.labelTooltip));
    // Channel colours (white, yellow, cyan...) are made for a dark ground.
    // A style sheet is costly to apply: only when the colour changes.
    if (cell.labelColor != renderedLabelColours_[i]) {
      renderedLabelColours_[i] = cell.labelColor;
      labels_[i]->setStyleSheet(cell.labelColor == kBlack
                                    ? QString()
                                    : colouredTextStyle(toQColor(cell.labelColor)) + "; font-weight: bold");
    }
    // On the display cells 10-12 are its setting lists.
    const bool underList = model.panoraListsVisible && i >= 10 && i <= 12;
    labels_[i]->setVisible(cell.visible);
    cells_[i]->setVisible(cell.visible && !underList);
    if (cell.paintCount != renderedPaints_[i]) {
      renderedPaints_[i] = cell.paintCount;
      cells_[i]->show(qs(cell.text), toQColor(cell.textColor));
    }
  }
  for (std::size_t i = 0; i < lamps_.size(); ++i) lamps_[i]->show(model.lamps[i]);
  for (std::size_t k = 0; k < showCanal_.size(); ++k) {
    const QSignalBlocker block(showCanal_[k]);
    showCanal_[k]->setChecked(model.showCanal[k]);
    showCanal_[k]->setVisible(model.showCanalVisible[k]);
    showCanal_[k]->setText(qs(core_.channels.slot(static_cast<int>(k) + 1).Name));
  }
  for (QComboBox* combo : {comboChannel_, comboFuel_, comboLuminosite_}) combo->setVisible(model.panoraListsVisible);
  if (model.panoraListsVisible) showDisplaySettings();
  frameButton_->setText(qs(model.Boutton_Frame));
}

void LivePanelWidget::showDisplaySettings() {
  // The settings the display reports, unless the user has a list open.
  const LiveValues& v = core_.monitor.live;
  const auto select = [](QComboBox* combo, int index) {
    if (combo->view()->isVisible() || combo->currentIndex() == index) return;
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  };
  if (!core_.link.state.dataFlowing) return;
  select(comboChannel_, v.channelSelect);
  select(comboFuel_, v.fuelType);
  select(comboLuminosite_, v.brightnessPct % 25 == 0 ? v.brightnessPct / 25 : -1);
}

}  // namespace oxalis

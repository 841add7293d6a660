#include "FactoryWindow.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "QtConvert.h"

namespace oxalis {

namespace {

constexpr const char* kReadTip = "Double click pour lire la valeur dans le controleur";
constexpr const char* kSendTip = "Click droit pour envoyer";
constexpr const char* kHwTip = "Ecrire le numéro avec une décimale ex: 1.0";
constexpr const char* kSwTip = "Ecrire le numéro avec une décimale ex : 1.2";
constexpr int kLogRenderMs = 330;  // the log box catches up three times a second
constexpr int kRenderMs = 250;     // the other boxes at most four times a second

// The plain text boxes and the model text each shows.
struct TextBox {
  const char* name;
  std::string FactoryModel::*text;
};
constexpr std::array<TextBox, 16> kTextBoxes{{{"W_Tprop", &FactoryModel::W_Tprop},
                                              {"W_Tint", &FactoryModel::W_Tint},
                                              {"SeuilG", &FactoryModel::SeuilG},
                                              {"SeuilD", &FactoryModel::SeuilD},
                                              {"SIteration", &FactoryModel::SIteration},
                                              {"W_Userlevel", &FactoryModel::W_Userlevel},
                                              {"Set_Time", &FactoryModel::Set_Time},
                                              {"W_SN", &FactoryModel::W_SN},
                                              {"W_HW", &FactoryModel::W_HW},
                                              {"W_RHW", &FactoryModel::W_RHW},
                                              {"W_SW", &FactoryModel::W_SW},
                                              {"W_RSW", &FactoryModel::W_RSW},
                                              {"DEBUG_TX", &FactoryModel::DEBUG_TX},
                                              {"DEBUG_RX", &FactoryModel::DEBUG_RX},
                                              {"W_DIAG", &FactoryModel::W_DIAG},
                                              {"WDT_CNT", &FactoryModel::WDT_CNT}}};
constexpr std::array<const char*, 6> kDiagCan{" Warning",          "RX Warn (>95)",    "TX Warn (>95)",
                                              "RX Passive (>127)", "TX Passive (>127)", "TX Bus Off (>255)"};

}  // namespace

FactoryWindow::FactoryWindow(Core& core, QWidget* parent)
    : QDialog(parent), core_(core), factory_(core.factoryWindow) {
  setObjectName("HyperUser");
  setWindowTitle("Hyper User Window");
  auto* outer = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  QAction* exit = bar->addMenu("&File")->addAction("&Exit");
  connect(exit, &QAction::triggered, this, &FactoryWindow::reject);
  outer->setMenuBar(bar);
  auto* columns = new QHBoxLayout;
  outer->addLayout(columns, 1);
  auto* left = new QVBoxLayout;
  columns->addLayout(left);

  // Offsets and supply, each with its bar (negated value: up raises it).
  auto* calibration = new QGroupBox("Calibration", this);
  auto* grid = new QGridLayout(calibration);
  const std::array<std::tuple<const char*, const char*, const char*, const char*, int, int, void (Factory::*)()>, 3>
      rows{{{"Offset Vgnd", "OffsetVgnd", "Scroll_Vgnd", "SendVgnd", 1, 4095, &Factory::SendVgnd_Click},
            {"Offset Vs", "OffsetVs", "Scroll_Vs", "SendVs", 1, 4095, &Factory::SendVs_Click},
            {"VDD", "VDD", "Scroll_VDD", "SendVDD", 4901, 5099, &Factory::SendVDD_Click}}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& [caption, name, scrollName, sendName, low, high, handler] = rows[i];
    const auto which = static_cast<CalibrationBox>(i);
    auto* box = new QLineEdit(calibration);
    box->setObjectName(name);
    box->setToolTip(kReadTip);
    box->installEventFilter(this);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance("Overflow") + 16);
    calibration_[i] = box;
    auto* scroll = new QScrollBar(Qt::Horizontal, calibration);
    scroll->setObjectName(scrollName);
    scroll->setRange(-high, -low);
    scroll->setInvertedAppearance(true);  // the value grows to the right
    scroll->setMinimumWidth(140);
    if (i == 2) scroll->setToolTip(kReadTip);
    scrolls_[i] = scroll;
    connect(box, &QLineEdit::textEdited, this,
            [this, which](const QString& text) { factory_.calibrationEdited(which, text.toStdString()); });
    connect(box, &QLineEdit::editingFinished, this, [this, which] { factory_.calibrationEntered(which); });
    connect(scroll, &QScrollBar::sliderMoved, this, [this, which](int position) { factory_.calibrationScrolled(which, position); });
    connect(scroll, &QScrollBar::actionTriggered, this, [this, which, scroll](int) {
      factory_.calibrationScrolled(which, scroll->sliderPosition());
    });
    const int row = static_cast<int>(i);
    grid->addWidget(new QLabel(caption, calibration), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(scroll, row, 2);
    QPushButton* send = addButton(sendName, (std::string("Send ") + (i == 0 ? "Vgnd" : i == 1 ? "Vs" : "VDD")).c_str(), handler);
    grid->addWidget(send, row, 3);
  }
  left->addWidget(calibration);

  // The probe loop (controllers) and the display's thresholds.
  auto* probe = new QGroupBox("Probe", this);
  auto* probeGrid = new QGridLayout(probe);
  const auto labelled = [&](QGridLayout* layout, int row, int column, const char* caption, QLineEdit* edit) {
    layout->addWidget(new QLabel(caption, edit->parentWidget()), row, column);
    layout->addWidget(edit, row, column + 1);
  };
  labelled(probeGrid, 0, 0, "Tprop", addBox("W_Tprop"));
  labelled(probeGrid, 1, 0, "Tint", addBox("W_Tint"));
  probeGrid->addWidget(addButton("SendTprop", "Send Tprop et Tint", &Factory::SendTprop_Click), 2, 0, 1, 2);
  labelled(probeGrid, 0, 2, "SeuilG", addBox("SeuilG", kSendTip));
  labelled(probeGrid, 1, 2, "SeuilD", addBox("SeuilD", kSendTip));
  labelled(probeGrid, 2, 2, "Iteration", addBox("SIteration", kSendTip));
  left->addWidget(probe);

  // Identity, level and time.
  auto* identity = new QGroupBox("Identity", this);
  auto* idGrid = new QGridLayout(identity);
  labelled(idGrid, 0, 0, "Version HW", addBox("W_HW", kHwTip));
  idGrid->addWidget(addBox("W_RHW", kHwTip), 0, 2);
  labelled(idGrid, 1, 0, "Version SW", addBox("W_SW", kSwTip));
  idGrid->addWidget(addBox("W_RSW", kSwTip), 1, 2);
  labelled(idGrid, 2, 0, "S/N", addBox("W_SN"));
  idGrid->addWidget(addButton("SendIdentity", "Send HW SW S/N", &Factory::SendIdentity_Click), 2, 2);
  labelled(idGrid, 3, 0, "User Level", addBox("W_Userlevel"));
  idGrid->addWidget(addButton("SendUserLevel", "Send UserLevel", &Factory::SendUserLevel_Click), 3, 2);
  QLineEdit* time = addBox("Set_Time", "Set probe used time (hhhh:mm:ss)");
  time->setInputMask("9999:99:99");
  labelled(idGrid, 4, 0, "Time SETUP", time);
  idGrid->addWidget(addButton("Send_Time", "SEND TIME", &Factory::Send_Time_Click), 4, 2);
  idGrid->addWidget(addButton("READ_ALL", "READ ALL", &Factory::READ_ALL_Click), 5, 0, 1, 3);
  left->addWidget(identity);
  left->addStretch(1);

  // The link: last records, queue, diagnostics, error indications, log.
  auto* right = new QVBoxLayout;
  columns->addLayout(right, 1);
  auto* link = new QGroupBox("Link", this);
  auto* linkGrid = new QGridLayout(link);
  labelled(linkGrid, 0, 0, "TX FRAME", addBox("DEBUG_TX"));
  labelled(linkGrid, 1, 0, "RX FRAME", addBox("DEBUG_RX"));
  bufferLevel_ = new QProgressBar(link);
  bufferLevel_->setObjectName("BufferLevel");
  bufferLevel_->setRange(0, 100);
  linkGrid->addWidget(new QLabel("TX buff level", link), 2, 0);
  linkGrid->addWidget(bufferLevel_, 2, 1);
  labelled(linkGrid, 3, 0, "diag", addBox("W_DIAG"));
  labelled(linkGrid, 4, 0, "WDT", addBox("WDT_CNT"));
  auto* errorsRow = new QHBoxLayout;
  const std::array<const char*, 5> errorNames{"Chksum", "Blank", "Verify", "OverRun", "Perte de trame"};
  for (std::size_t i = 0; i < errors_.size(); ++i) {
    errors_[i] = new QCheckBox(errorNames[i], link);
    errors_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    errors_[i]->setFocusPolicy(Qt::NoFocus);
    errorsRow->addWidget(errors_[i]);
  }
  lostFrames_ = new QLabel(link);
  lostFrames_->setToolTip(FactoryModel::kLostFramesTooltip);
  errorsRow->addWidget(lostFrames_);
  linkGrid->addLayout(errorsRow, 5, 0, 1, 2);
  auto* canBox = new QGroupBox("CAN", link);
  auto* canGrid = new QGridLayout(canBox);
  canGrid->addWidget(new QLabel("CNTErrCAN", canBox), 0, 0);
  canErrors_ = new QLabel(canBox);
  canErrors_->setObjectName("CNTErrCAN");
  canGrid->addWidget(canErrors_, 0, 1);
  for (std::size_t i = 0; i < diagCan_.size(); ++i) {
    diagCan_[i] = new QCheckBox(kDiagCan[i], canBox);
    diagCan_[i]->setObjectName(QString("DiagCan%1").arg(i));
    diagCan_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    diagCan_[i]->setFocusPolicy(Qt::NoFocus);
    canGrid->addWidget(diagCan_[i], 1 + static_cast<int>(i) / 2, static_cast<int>(i) % 2);
  }
  linkGrid->addWidget(canBox, 6, 0, 1, 2);
  right->addWidget(link);

  log_ = new QPlainTextEdit(this);
  log_->setObjectName("W_Log");
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(20000);
  log_->setMinimumHeight(log_->fontMetrics().lineSpacing() * 12);
  right->addWidget(log_, 1);
  auto* logButtons = new QHBoxLayout;
  logButtons->addWidget(addButton("LogStart", "Start", &Factory::LogStart_Click));
  logButtons->addWidget(addButton("LogStop", "Stop", &Factory::LogStop_Click));
  logButtons->addWidget(addButton("LogClear", "Clear", &Factory::LogClear_Click));
  right->addLayout(logButtons);

  for (QLineEdit* box : boxes_) {
    const std::string name = box->objectName().toStdString();
    for (const TextBox& t : kTextBoxes)
      if (name == t.name)
        connect(box, &QLineEdit::textEdited, this,
                [this, member = t.text](const QString& text) { core_.factory.*member = text.toStdString(); });
  }
  for (const char* name : {"DEBUG_TX", "DEBUG_RX", "W_DIAG", "WDT_CNT"}) box(name)->setReadOnly(true);
  connect(box("W_Tprop"), &QLineEdit::editingFinished, this, [this] { factory_.tpropEntered(box("W_Tprop")->text().toStdString()); });
  connect(box("W_Tint"), &QLineEdit::editingFinished, this, [this] { factory_.tintEntered(box("W_Tint")->text().toStdString()); });

  // The log box follows the model at a calm pace, whatever the traffic.
  auto* logTimer = new QTimer(this);
  logTimer->start(kLogRenderMs);
  connect(logTimer, &QTimer::timeout, this, &FactoryWindow::showNewLogText);
  renderTimer_ = new QTimer(this);
  renderTimer_->setSingleShot(true);
  renderTimer_->setInterval(kRenderMs);
  connect(renderTimer_, &QTimer::timeout, this, &FactoryWindow::render);

  // The link changes the model many times a second; the boxes catch up
  // at most every kRenderMs. Showing and hiding follow at once.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    resize(QSize(1000, 680).boundedTo(screen->availableGeometry().size() - QSize(40, 80)).expandedTo(minimumSizeHint()));

  subscription_ = core_.factory.changed.subscribe([this] {
    if (core_.factory.visible != shownForMaster_)
      render();
    else if (!renderTimer_->isActive())
      renderTimer_->start();
  });
  render();
}

QLineEdit* FactoryWindow::addBox(const char* name, const char* tip) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  if (tip) edit->setToolTip(tip);
  edit->installEventFilter(this);
  boxes_.push_back(edit);
  return edit;
}

QPushButton* FactoryWindow::addButton(const char* name, const char* caption, void (Factory::*handler)()) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { std::invoke(handler, factory_); });
  buttons_.push_back(button);
  return button;
}

QLineEdit* FactoryWindow::box(const QString& name) const {
  for (QLineEdit* edit : boxes_)
    if (edit->objectName() == name) return edit;
  for (QLineEdit* edit : calibration_)
    if (edit->objectName() == name) return edit;
  return nullptr;
}

QPushButton* FactoryWindow::button(const QString& name) const {
  for (QPushButton* b : buttons_)
    if (b->objectName() == name) return b;
  return nullptr;
}

void FactoryWindow::reject() { factory_.Exit_Click(); }

// Only the text added since the last look goes into the box, which keeps
// its own newest lines; a "Clear", or more new text than the model still
// holds, shows the model's text whole.
void FactoryWindow::showNewLogText() {
  if (!isVisible()) return;
  const FactoryModel& model = core_.factory;
  if (model.logResets == shownLogResets_ && model.logWritten == shownLogWritten_) return;
  QScrollBar* bar = log_->verticalScrollBar();
  const bool following = bar->value() == bar->maximum();
  const std::uint64_t added = model.logWritten - shownLogWritten_;
  if (model.logResets != shownLogResets_ || added > model.W_Log.size()) {
    log_->setPlainText(qs(model.W_Log));
  } else {
    QTextCursor end(log_->document());
    end.movePosition(QTextCursor::End);
    // Lines end in CR LF; the box breaks at the LF alone.
    QString tail = qs(model.W_Log.substr(model.W_Log.size() - added));
    tail.remove(QLatin1Char('\r'));
    end.insertText(tail);
  }
  shownLogResets_ = model.logResets;
  shownLogWritten_ = model.logWritten;
  if (following) bar->setValue(bar->maximum());
}

// Right clicks send the display's thresholds; double clicks read an offset.
bool FactoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ContextMenu) {
    const std::array<std::pair<const char*, void (Factory::*)()>, 3> sends{
        {{"SeuilG", &Factory::SeuilG_RightClick}, {"SeuilD", &Factory::SeuilD_RightClick},
         {"SIteration", &Factory::SIteration_RightClick}}};
    for (const auto& [name, handler] : sends)
      if (watched->objectName() == name) {
        std::invoke(handler, factory_);
        return true;
      }
  }
  if (event->type() == QEvent::MouseButtonDblClick)
    for (std::size_t i = 0; i < calibration_.size(); ++i)
      if (watched == calibration_[i]) factory_.calibrationDoubleClick(static_cast<CalibrationBox>(i));
  return QDialog::eventFilter(watched, event);
}

void FactoryWindow::render() {
  const FactoryModel& model = core_.factory;
  const std::array<const FactoryModel::Calibration*, 3> calibrations{&model.OffsetVgnd, &model.OffsetVs, &model.VDD};
  for (std::size_t i = 0; i < calibrations.size(); ++i) {
    if (calibration_[i]->text() != qs(calibrations[i]->text))
      calibration_[i]->setText(qs(calibrations[i]->text));
    if (!scrolls_[i]->isSliderDown() && calibrations[i]->scroll != 0) {
      const QSignalBlocker quiet(scrolls_[i]);
      scrolls_[i]->setValue(calibrations[i]->scroll);
    }
  }
  for (const TextBox& t : kTextBoxes) {
    QLineEdit* edit = box(t.name);
    const QString text = qs(model.*(t.text));
    if (edit->text() != text) edit->setText(text);
  }
  for (QWidget* w : {static_cast<QWidget*>(button("SendTprop")), static_cast<QWidget*>(box("W_Tprop")),
                     static_cast<QWidget*>(box("W_Tint"))})
    w->setEnabled(model.sendTpropEnabled);
  for (const char* name : {"SeuilG", "SeuilD", "SIteration"}) box(name)->setEnabled(model.displayThresholdsEnabled);
  bufferLevel_->setValue(model.BufferLevel);
  const std::array<bool, 5> errors{model.checksumError, model.blankError, model.verifyError, model.overrun,
                                   model.frameLost};
  for (std::size_t i = 0; i < errors_.size(); ++i) errors_[i]->setChecked(errors[i]);
  for (std::size_t i = 0; i < diagCan_.size(); ++i) diagCan_[i]->setChecked(model.DiagCan[i]);
  canErrors_->setText(qs(model.CNTErrCAN));
  lostFrames_->setText(qs(model.lostFramesText));
  // Shown when the Master level begins, hidden when it ends; the close box
  // hides it in between.
  if (!model.visible) {
    hide();
  } else if (!shownForMaster_) {
    show();
    showNewLogText();
  }
  shownForMaster_ = model.visible;
}

}  // namespace oxalis

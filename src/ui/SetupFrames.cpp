// The setup window's frames: "CAN SETUP" on the left, the module's own
// settings ("Vout and Richness setup", "Heater setup", "Time SETUP", the
// table page) on the right, and the coefficient toolbox floating over
// "Vout and Richness setup".
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "QtConvert.h"
#include "SetupWindow.h"

namespace oxalis {

namespace {

const char* fieldName(Field field) {
  switch (field) {
    case Field::Vout_NOT: return "Vout_NOT";
    case Field::Vout_HS: return "Vout_HS";
    case Field::Rich_NOT: return "Rich_NOT";
    case Field::Rich_HS: return "Rich_HS";
    case Field::W_Stoichio: return "W_Stoichio";
    case Field::RPM_threshold: return "RPM_threshold";
    case Field::Heater_Timeout: return "Heater_Timeout";
    case Field::Combo_Filtre: return "Combo_Filtre";
    case Field::Check_Heater: return "Check_Heater";
    case Field::Check_WarmInit: return "Check_WarmInit";
    case Field::Option_User: return "Option_User";
    case Field::Option_Skynam: return "Option_Skynam";
    case Field::BaudRateList: return "BaudRateList";
    case Field::Format_Intel: return "Format_Intel";
    case Field::TypeDataMSG1: return "TypeDataMSG1";
    case Field::ListSensorSkynam: return "ListSensorSkynam";
    case Field::ListeProtocoles: return "ListeProtocoles";
    case Field::ID0: return "ID0";
    case Field::ID1: return "ID1";
    case Field::ID2: return "ID2";
    case Field::ID3: return "ID3";
    case Field::ID4: return "ID4";
    case Field::SelMsg0: return "SelMsg0";
    case Field::SelMsg1: return "SelMsg1";
    case Field::SelMsg2: return "SelMsg2";
  }
  return "";
}

QGroupBox* group(const QString& name, QWidget* parent) {
  auto* box = new QGroupBox(parent);
  box->setObjectName(name);
  return box;
}

constexpr int kNumberWidth = 110;      // "2500", "14.57", "Heater timeout"
constexpr int kIdentifierWidth = 100;  // "0x1FFFFFFF"

}  // namespace

QLineEdit* SetupWindow::addTextBox(Field field, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(fieldName(field));
  box->installEventFilter(this);
  connect(box, &QLineEdit::textEdited, this,
          [this, field](const QString& text) { setup_.fieldEdited(field, text.toStdString()); });
  inputs_.at(index(field)) = box;
  return box;
}

QComboBox* SetupWindow::addList(Field field, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(fieldName(field));
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  list->installEventFilter(this);
  // `activated` is the user's choice only; rendering never calls back.
  connect(list, &QComboBox::activated, this, [this, field](int position) {
    if (field == Field::ListeProtocoles) {
      setup_.ListeProtocoles_Click(position);
    } else {
      setup_.listClick(field, position);
    }
  });
  inputs_.at(index(field)) = list;
  return list;
}

QCheckBox* SetupWindow::addCheckBox(Field field, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(fieldName(field));
  box->installEventFilter(this);
  connect(box, &QCheckBox::clicked, this, [this, field](bool checked) { setup_.checkClick(field, checked); });
  inputs_.at(index(field)) = box;
  return box;
}

QLabel* SetupWindow::addCaption(Field field, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString(fieldName(field)) + "_Label");
  captions_.at(index(field)) = label;
  return label;
}

QWidget* SetupWindow::buildCanFrame() {
  QGroupBox* can = group("CAN_SETUP", nullptr);
  frames_.push_back(can);
  auto* column = new QVBoxLayout(can);

  transmitGroup_ = group("CanTransmit", can);
  transmitGroup_->setTitle("CAN messages sended on the CAN bus");
  auto* transmit = new QGridLayout(transmitGroup_);
  transmit->setHorizontalSpacing(10);
  auto* options = new QHBoxLayout;
  for (const Field field : {Field::Option_User, Field::Option_Skynam}) {
    auto* option = new QRadioButton(transmitGroup_);
    option->setObjectName(fieldName(field));
    // The model says which option is chosen, including neither.
    option->setAutoExclusive(false);
    option->installEventFilter(this);
    connect(option, &QRadioButton::clicked, this, [this, field] {
      if (field == Field::Option_Skynam) {
        setup_.Option_Skynam_Click();
      } else {
        setup_.Option_User_Click();
      }
    });
    inputs_.at(index(field)) = option;
    options->addWidget(option);
  }
  options->addStretch(1);
  transmit->addLayout(options, 0, 0, 1, 4);
  transmit->addWidget(addCaption(Field::BaudRateList, transmitGroup_), 1, 0);
  transmit->addWidget(addList(Field::BaudRateList, transmitGroup_), 1, 1);
  transmit->addWidget(addCheckBox(Field::Format_Intel, transmitGroup_), 1, 2, 1, 2);
  for (int message = 0; message < 3; ++message) {
    const auto id = static_cast<Field>(static_cast<int>(Field::ID0) + message);
    const auto enable = static_cast<Field>(static_cast<int>(Field::SelMsg0) + message);
    QLabel* label = addCaption(id, transmitGroup_);
    label->installEventFilter(this);  // double click
    transmit->addWidget(label, 2 + message, 0);
    addTextBox(id, transmitGroup_)->setFixedWidth(kIdentifierWidth);
    transmit->addWidget(input(id), 2 + message, 1);
    transmit->addWidget(addCheckBox(enable, transmitGroup_), 2 + message, 2, 1, 2);
  }
  QLabel* word4 = addCaption(Field::TypeDataMSG1, transmitGroup_);
  word4->installEventFilter(this);  // click
  transmit->addWidget(word4, 5, 0);
  transmit->addWidget(addList(Field::TypeDataMSG1, transmitGroup_), 5, 1);
  transmit->addWidget(addCaption(Field::ListSensorSkynam, transmitGroup_), 6, 0);
  transmit->addWidget(addList(Field::ListSensorSkynam, transmitGroup_), 6, 1);
  transmit->addWidget(addCaption(Field::ID3, transmitGroup_), 6, 2);
  addTextBox(Field::ID3, transmitGroup_)->setFixedWidth(kIdentifierWidth);
  transmit->addWidget(input(Field::ID3), 6, 3);
  transmit->setColumnStretch(4, 1);
  column->addWidget(transmitGroup_);

  protocolGroup_ = group("EcuProtocol", can);
  protocolGroup_->setTitle("ECU protocol");
  auto* protocol = new QGridLayout(protocolGroup_);
  protocol->setHorizontalSpacing(10);
  protocol->addWidget(addCaption(Field::ListeProtocoles, protocolGroup_), 0, 0);
  protocol->addWidget(addList(Field::ListeProtocoles, protocolGroup_), 0, 1);
  protocol->addWidget(addCaption(Field::ID4, protocolGroup_), 0, 2);
  addTextBox(Field::ID4, protocolGroup_)->setFixedWidth(kIdentifierWidth);
  protocol->addWidget(input(Field::ID4), 0, 3);
  protocol->setColumnStretch(4, 1);
  column->addWidget(protocolGroup_);

  receiveGroup_ = group("CanReceive", can);
  receiveGroup_->setTitle("CAN messages received from CAN bus");
  auto* receive = new QVBoxLayout(receiveGroup_);
  buildGrid(receive);
  column->addWidget(receiveGroup_);
  column->addWidget(buildTransferButtons(can));
  column->addStretch(1);
  return can;
}

// "Read all", "Read selected cells", "Write all", "Write selected cells":
// the reads above the writes, each beside its selection variant.
QWidget* SetupWindow::buildTransferButtons(QWidget* parent) {
  auto* row = new QWidget(parent);
  row->setObjectName("CanTransfers");
  auto* buttons = new QGridLayout(row);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addWidget(addButton("ReadCfgCAN", "Read all", row, &Setup::ReadCfgCAN_Click), 0, 0);
  buttons->addWidget(addButton("ReadCfg_Selection", "Read selected cells", row, &Setup::ReadCfg_Selection_Click), 0, 1);
  buttons->addWidget(addButton("WriteCfgCAN", "Write all", row, &Setup::WriteCfgCAN_Click), 0, 2);
  buttons->addWidget(addButton("WriteCfg_selection", "Write selected cells", row, &Setup::WriteCfg_selection_Click),
                     0, 3);
  buttons->setColumnStretch(4, 1);
  return row;
}

QWidget* SetupWindow::buildRightColumn() {
  rightColumn_ = new QWidget;
  rightColumn_->setObjectName("SetupRightColumn");
  auto* column = new QVBoxLayout(rightColumn_);
  column->setContentsMargins(0, 0, 0, 0);

  QGroupBox* vout = group("VOUT_SETUP", rightColumn_);
  frames_.push_back(vout);
  auto* voutRows = new QGridLayout(vout);
  int row = 0;
  for (const Field field : {Field::Vout_NOT, Field::Vout_HS, Field::Rich_NOT, Field::Rich_HS}) {
    voutRows->addWidget(addCaption(field, vout), row, 0);
    voutRows->addWidget(addTextBox(field, vout), row++, 1);
    input(field)->setFixedWidth(kNumberWidth);
  }
  voutRows->addWidget(addCaption(Field::Combo_Filtre, vout), row, 0);
  voutRows->addWidget(addList(Field::Combo_Filtre, vout), row++, 1);
  input(Field::Combo_Filtre)->setMinimumWidth(kNumberWidth);
  voutRows->addWidget(addCaption(Field::W_Stoichio, vout), row, 0);
  voutRows->addWidget(addTextBox(Field::W_Stoichio, vout), row++, 1);
  input(Field::W_Stoichio)->setFixedWidth(kNumberWidth);
  voutRows->setColumnStretch(2, 1);
  column->addWidget(vout);

  QGroupBox* heater = group("Frame_Heater", rightColumn_);
  frames_.push_back(heater);
  auto* heaterRows = new QGridLayout(heater);
  heaterRows->addWidget(addCheckBox(Field::Check_Heater, heater), 0, 0, 1, 2);
  heaterRows->addWidget(addCheckBox(Field::Check_WarmInit, heater), 1, 0, 1, 2);
  row = 2;
  for (const Field field : {Field::RPM_threshold, Field::Heater_Timeout}) {
    heaterRows->addWidget(addCaption(field, heater), row, 0);
    heaterRows->addWidget(addTextBox(field, heater), row++, 1);
    input(field)->setFixedWidth(kNumberWidth);
  }
  heaterRows->setColumnStretch(2, 1);

  QGroupBox* time = group("Time_setup", rightColumn_);
  frames_.push_back(time);
  auto* timeRow = new QHBoxLayout(time);
  setTime_ = new QLineEdit(time);
  setTime_->setObjectName("Set_Time");
  setTime_->setInputMask("9999:99:99");  // hhhh:mm:ss
  setTime_->setToolTip("Set probe used time (hhhh:mm:ss)");
  setTime_->setFixedWidth(kNumberWidth);
  connect(setTime_, &QLineEdit::textEdited, this,
          [this](const QString& text) { setup_.Set_Time_Change(text.toStdString()); });
  timeRow->addWidget(setTime_);
  timeRow->addWidget(addButton("Send_Time", "SEND TIME", time, &Setup::Send_Time_Click));
  timeRow->addStretch(1);
  // "Heater setup" and "Time SETUP" side by side, leaving the height to the
  // table page.
  auto* heaterAndTime = new QHBoxLayout;
  heaterAndTime->addWidget(heater, 1);
  heaterAndTime->addWidget(time, 0, Qt::AlignTop);
  column->addLayout(heaterAndTime);

  QGroupBox* tables = group("Linearisation_Vout", rightColumn_);
  frames_.push_back(tables);
  auto* tableColumn = new QVBoxLayout(tables);
  buildTablePage(tables, tableColumn);
  column->addWidget(tables, 1);
  column->addStretch(0);  // takes the room instead while the table grid is hidden
  return rightColumn_;
}

void SetupWindow::buildToolbox(QWidget* column) {
  toolbox_ = new QFrame(column);
  toolbox_->setObjectName("Frame_CalculCoef");
  toolbox_->setFrameShape(QFrame::Panel);
  toolbox_->setFrameShadow(QFrame::Raised);
  toolbox_->setLineWidth(2);
  toolbox_->setAutoFillBackground(true);
  auto* rows = new QGridLayout(toolbox_);
  toolboxTitle_ = new QLabel("Coefficients toolbox", toolbox_);
  toolboxTitle_->setObjectName("ToolboxTitle");
  toolboxTitle_->setStyleSheet("font-weight: bold");
  rows->addWidget(toolboxTitle_, 0, 0, 1, 3);
  auto* close = new QPushButton("X", toolbox_);
  close->setObjectName("CloseFrame");
  close->setAutoDefault(false);
  close->setFixedWidth(28);
  connect(close, &QPushButton::clicked, this, [this] { setup_.CloseFrame_Click(); });
  rows->addWidget(close, 0, 3, Qt::AlignRight);
  auto* forms = new QHBoxLayout;
  const std::array<std::pair<const char*, const char*>, 2> formNames{std::pair{"OptionAx", "Type Ax+B"},
                                                                     std::pair{"Option1surX", "Type 1/(Cx+D)"}};
  for (std::size_t i = 0; i < formNames.size(); ++i) {
    auto* option = new QRadioButton(formNames[i].second, toolbox_);
    option->setObjectName(formNames[i].first);
    option->setAutoExclusive(false);  // the model says which one is chosen
    const bool linear = i == 0;
    connect(option, &QRadioButton::clicked, this, [this, linear] { setup_.toolboxForm_Click(linear); });
    toolboxForms_[i] = option;
    forms->addWidget(option);
  }
  forms->addStretch(1);
  rows->addLayout(forms, 1, 0, 1, 4);
  rows->addWidget(new QLabel("IN value", toolbox_), 2, 1);
  rows->addWidget(new QLabel("OUT value", toolbox_), 2, 2);
  const std::array<std::pair<const char*, ToolboxInput>, 5> inputs{
      std::pair{"VX1", ToolboxInput::VX1}, std::pair{"VX2", ToolboxInput::VX2}, std::pair{"VY1", ToolboxInput::VY1},
      std::pair{"VY2", ToolboxInput::VY2}, std::pair{"Vdec", ToolboxInput::Vdec}};
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    auto* box = new QLineEdit(toolbox_);
    box->setObjectName(inputs[i].first);
    box->setFixedWidth(kNumberWidth);
    const ToolboxInput input = inputs[i].second;
    connect(box, &QLineEdit::textEdited, this,
            [this, input](const QString& text) { setup_.toolboxEdited(input, text.toStdString()); });
    toolboxBoxes_[i] = box;
  }
  rows->addWidget(new QLabel("Point 1", toolbox_), 3, 0);
  rows->addWidget(toolboxBoxes_[0], 3, 1);
  rows->addWidget(toolboxBoxes_[2], 3, 2);
  rows->addWidget(new QLabel("Point 2", toolbox_), 4, 0);
  rows->addWidget(toolboxBoxes_[1], 4, 1);
  rows->addWidget(toolboxBoxes_[3], 4, 2);
  rows->addWidget(new QLabel("Decimales", toolbox_), 5, 0);
  rows->addWidget(toolboxBoxes_[4], 5, 1);
  rows->addWidget(addButton("SET_COEF", "SET grid", toolbox_, &Setup::SET_COEF_Click), 5, 2);
  toolbox_->hide();
}

void SetupWindow::renderToolbox() {
  const CoefficientToolbox& model = setup_.window.toolbox;
  for (std::size_t i = 0; i < toolboxForms_.size(); ++i) {
    const QSignalBlocker quiet(toolboxForms_[i]);
    toolboxForms_[i]->setChecked(model.linear == (i == 0));
  }
  const std::array<const std::string*, 5> texts{&model.VX1, &model.VX2, &model.VY1, &model.VY2, &model.decimals};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (toolboxBoxes_[i]->text() == qs(*texts[i])) continue;
    const int cursor = toolboxBoxes_[i]->cursorPosition();
    toolboxBoxes_[i]->setText(qs(*texts[i]));
    toolboxBoxes_[i]->setCursorPosition(std::min(cursor, static_cast<int>(texts[i]->size())));
  }
  // "Type 1/(Cx+D)" needs one point only.
  toolboxBoxes_[1]->setEnabled(model.linear);
  toolboxBoxes_[3]->setEnabled(model.linear);
  toolbox_->setVisible(model.visible);
  if (model.visible) {
    placeToolbox();
    toolbox_->raise();
  }
}

// Over "Vout and Richness setup": the same top and left.
void SetupWindow::placeToolbox() {
  if (!toolbox_) return;
  const QGroupBox* vout = frame("VOUT_SETUP");
  const QSize size = toolbox_->sizeHint().expandedTo(QSize(vout->width(), 0));
  toolbox_->setGeometry(QRect(vout->geometry().topLeft(), size));
}

// Through the CAN frame from top to bottom, then the right column.
void SetupWindow::setTabOrderTopToBottom() {
  std::vector<QWidget*> order;
  for (const Field field :
       {Field::Option_User, Field::Option_Skynam, Field::BaudRateList, Field::Format_Intel, Field::ID0,
        Field::SelMsg0, Field::ID1, Field::SelMsg1, Field::ID2, Field::SelMsg2, Field::TypeDataMSG1,
        Field::ListSensorSkynam, Field::ID3, Field::ListeProtocoles, Field::ID4})
    order.push_back(input(field));
  order.push_back(grid_);
  for (const char* name : {"ReadCfgCAN", "ReadCfg_Selection", "WriteCfgCAN", "WriteCfg_selection"})
    order.push_back(button(name));
  for (const Field field : {Field::Vout_NOT, Field::Vout_HS, Field::Rich_NOT, Field::Rich_HS, Field::Combo_Filtre,
                            Field::W_Stoichio, Field::Check_Heater, Field::Check_WarmInit, Field::RPM_threshold,
                            Field::Heater_Timeout})
    order.push_back(input(field));
  order.push_back(setTime_);
  order.push_back(button("Send_Time"));
  order.push_back(tableGrid_);
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace oxalis

#include "SetupWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <tuple>

#include "Theme.h"
#include "QtConvert.h"
#include "ToolbarIcons.h"

namespace oxalis {

namespace {

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Keys that move the focus or only modify another key: they do not reach
// the inputs' rules.
bool isNavigationOrModifier(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
      return true;
    default:
      return false;
  }
}

// A focus change caused by a window of the tool's own (a message box the
// core opened, a list's pop-up) is not the user leaving the input.
bool leftByUser(const QEvent* event) {
  const auto reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// The read and write buttons' pictures: an arrow between the module (a
// chip) and the tool; greyed while disabled.
QIcon transferIcon(bool towardsModule, bool enabled) {
  constexpr int kSize = 32;
  const bool dark = currentLook() == Look::Dark;
  const QColor chip = enabled ? QColor(40, 130, 60) : QColor(185, 185, 185);
  // The arrow and the outline turn light in the dark look.
  const QColor arrow = !enabled ? QColor(170, 170, 170) : dark ? QColor(110, 160, 255) : QColor(30, 60, 160);
  const QColor outline = !enabled ? QColor(160, 160, 160) : dark ? QColor(215, 215, 215) : QColor(30, 30, 30);
  QIcon icon;
  // Drawn at each common scaling, sharp at 150 % and 200 %.
  for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
    QPixmap pixmap(qRound(kSize * scale), qRound(kSize * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(outline, 1.2));
    p.setBrush(chip);
    p.drawRoundedRect(QRectF(17, 8, 12, 16), 2, 2);
    p.setPen(QPen(arrow, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 16), QPointF(14, 16));
    const double tip = towardsModule ? 14 : 3;
    const double back = towardsModule ? 9 : 8;
    p.drawLine(QPointF(tip, 16), QPointF(back, 11));
    p.drawLine(QPointF(tip, 16), QPointF(back, 21));
    p.end();
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Disabled);
  }
  return icon;
}

// The edit state as the input's background; the normal state gives the
// input back its default look.
void paintState(QWidget* input, EditState state) {
  const bool ownBackground = qobject_cast<QCheckBox*>(input) || qobject_cast<QRadioButton*>(input);
  const auto colour = stateColour(state);
  if (!colour) {
    if (input->testAttribute(Qt::WA_SetPalette)) input->setPalette(QPalette());
    if (ownBackground) input->setAutoFillBackground(false);
    return;
  }
  const QColor background = toQColor(*colour);
  QPalette palette = input->palette();
  if (palette.color(QPalette::Base) == background && input->testAttribute(Qt::WA_SetPalette)) return;
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Button, background);
  palette.setColor(QPalette::Window, background);
  // The look's text colour may not read on the state's colour.
  for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
    palette.setColor(QPalette::Active, role, readableOn(background));
    palette.setColor(QPalette::Inactive, role, readableOn(background));
  }
  input->setPalette(palette);
  if (ownBackground) input->setAutoFillBackground(true);
}

}  // namespace

SetupWindow::SetupWindow(Core& core, QWidget* parent) : QDialog(parent), core_(core), setup_(core.setup) {
  setObjectName("ModuleSetup");
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  buildMenusAndToolbar(outer);

  // Two columns: the CAN frame, and the module's own settings. A scroll area
  // keeps every input reachable on a small screen.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("SetupScroll");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  auto* body = new QWidget(scroll);
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(6, 6, 6, 6);
  columns->setSpacing(8);
  columns->addWidget(buildCanFrame(), 0, Qt::AlignTop);
  columns->addWidget(buildRightColumn(), 1);
  scroll->setWidget(body);
  outer->addWidget(scroll, 1);
  // What the last transfer came to, below everything.
  transferStatus_ = new QLabel(this);
  transferStatus_->setObjectName("TransferStatus");
  transferStatus_->setContentsMargins(8, 2, 8, 4);
  transferStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  transferStatus_->setWordWrap(true);
  outer->addWidget(transferStatus_);
  buildToolbox(rightColumn_);
  setTabOrderTopToBottom();

  subscription_ = setup_.window.changed.subscribe([this] { render(); });
  render();

  // As large as the content, within the screen; the scroll area takes over
  // below that. Rendering changed sizes inside nested frames whose layouts
  // would learn of it only from posted events, and layouts keep the hints of
  // their first measure: measure afresh.
  for (QWidget* child : findChildren<QWidget*>()) child->updateGeometry();
  for (QLayout* nested : findChildren<QLayout*>()) nested->invalidate();
  const QSize content = body->sizeHint();
  // Room around it for the menu, the tool bar and the layouts' margins,
  // which their size hints understate.
  QSize wanted(content.width() + 24, content.height() + toolbar_->sizeHint().height() +
                                         layout()->menuBar()->sizeHint().height() +
                                         transferStatus_->sizeHint().height() + 32);
  // No larger than a small laptop's screen allows either: the table grid
  // scrolls.
  wanted = wanted.boundedTo(QSize(1300, 720));
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    wanted = wanted.boundedTo(room);
  }
  resize(wanted);
}

void SetupWindow::buildMenusAndToolbar(QVBoxLayout* outer) {
  auto* bar = new QMenuBar(this);
  bar->setObjectName("SetupMenu");
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("SetupFile");
  for (const auto& [name, caption, handler] :
       {std::tuple{"Open", "&Open", &Setup::Open_Click}, std::tuple{"Save", "&Save", &Setup::Save_Click},
        std::tuple{"Save_as", "&Save as", &Setup::Save_as_Click}}) {
    QAction* entry = file->addAction(caption);
    entry->setObjectName(name);
    connect(entry, &QAction::triggered, this, [this, handler = handler] { std::invoke(handler, setup_); });
    actions_.push_back(entry);
  }
  file->addSeparator();
  QAction* exit = file->addAction("&Exit Setup");
  exit->setObjectName("Exit_Setup");
  connect(exit, &QAction::triggered, this, [this] { close(); });
  actions_.push_back(exit);
  outer->setMenuBar(bar);

  toolbar_ = new QToolBar("Setup", this);
  toolbar_->setObjectName("SetupToolBarre");
  toolbar_->setIconSize(QSize(24, 24));
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  const std::array<std::tuple<QString, QIcon, void (Setup::*)()>, 4> buttons{
      std::tuple{QString("Open"), toolbarIcon("Open", true), &Setup::Open_Click},
      std::tuple{QString("Save"), toolbarIcon("Save", true), &Setup::Save_Click},
      std::tuple{QString("Read from Oxalis"), transferIcon(false, true), &Setup::ReadCfgCAN_Click},
      std::tuple{QString("Write to Oxalis"), transferIcon(true, true), &Setup::WriteCfgCAN_Click}};
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const auto& [text, icon, handler] = buttons[i];
    QAction* button = toolbar_->addAction(icon, text);
    button->setObjectName(QString("SetupToolBarre%1").arg(i + 1));
    connect(button, &QAction::triggered, this, [this, handler = handler] { std::invoke(handler, setup_); });
    actions_.push_back(button);
  }
  outer->addWidget(toolbar_);
}

QAction* SetupWindow::action(const QString& name) const {
  for (QAction* entry : actions_)
    if (entry->objectName() == name) return entry;
  return nullptr;
}

QGroupBox* SetupWindow::frame(const QString& name) const {
  for (QGroupBox* box : frames_)
    if (box->objectName() == name) return box;
  return nullptr;
}

// The close box comes here too (QDialog's close event rejects): the core may
// keep the window open when the user cancels the unsaved-data question.
void SetupWindow::reject() {
  if (setup_.window.GrilleCan.editor.open) setup_.editorCommit();
  if (setup_.window.tables.SaisieText.open) setup_.SaisieText_Enter();
  if (core_.closeSetup()) QDialog::reject();
}

void SetupWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeToolbox();
}

void SetupWindow::render() {
  // A handler may notify again while the window renders (a focus change
  // caused by rendering reaches the core): render once more afterwards.
  if (rendering_) {
    renderAgain_ = true;
    return;
  }
  rendering_ = true;
  do {
    renderAgain_ = false;
    const SetupWindowModel& model = setup_.window;
    setWindowTitle(qs(model.caption));
    for (int field = 0; field < kFieldCount; ++field) renderControl(static_cast<Field>(field));
    const std::array<std::pair<const char*, const Frame*>, 5> frames{
        std::pair{"CAN_SETUP", &model.CAN_SETUP}, std::pair{"VOUT_SETUP", &model.VOUT_SETUP},
        std::pair{"Frame_Heater", &model.Frame_Heater}, std::pair{"Time_setup", &model.Time_setup},
        std::pair{"Linearisation_Vout", &model.Linearisation_Vout}};
    for (const auto& [name, state] : frames) {
      QGroupBox* box = frame(name);
      if (box->title() != qs(state->caption)) box->setTitle(qs(state->caption));
      box->setEnabled(state->enabled);
      box->setVisible(state->visible);
    }
    // A group none of whose inputs shows is left out, so the grid below it
    // moves up.
    protocolGroup_->setVisible(model.ListeProtocoles.visible || model.ID[4].visible);
    if (setTime_->text() != qs(model.Set_Time)) setTime_->setText(qs(model.Set_Time));
    // The table frame grows with its grid; without it the room stays below.
    auto* column = static_cast<QBoxLayout*>(rightColumn_->layout());
    column->setStretch(column->count() - 2, model.tableGridVisible ? 1 : 0);
    column->setStretch(column->count() - 1, model.tableGridVisible ? 0 : 1);
    notAllowed_->setVisible(model.Label_NotAllowed);
    renderGrid();
    renderEditor();
    renderLibraryList();
    renderTablePage();
    renderToolbox();
    renderTransferStatus();
  } while (renderAgain_);
  rendering_ = false;
}

void SetupWindow::renderControl(Field field) {
  const Control& control = setup_.window.control(field);
  QWidget* input = inputs_.at(index(field));
  const QString tip = qs(control.tip);
  if (auto* box = qobject_cast<QLineEdit*>(input)) {
    if (const QString text = qs(control.text); box->text() != text) {
      const int cursor = box->cursorPosition();
      box->setText(text);
      box->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    }
  } else if (auto* list = qobject_cast<QComboBox*>(input)) {
    QStringList items;
    for (const std::string& item : control.items) items.append(qs(item));
    bool same = list->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) same = list->itemText(i) == items[i];
    const QSignalBlocker quiet(list);
    if (!same) {
      list->clear();
      list->addItems(items);
    }
    const bool chosen = control.index >= 0 && control.index < list->count();
    // Nothing chosen: the list shows the model's text ("???", "Filter").
    list->setPlaceholderText(chosen ? QString() : qs(control.text));
    list->setCurrentIndex(chosen ? control.index : -1);
  } else if (auto* button = qobject_cast<QAbstractButton*>(input)) {
    if (button->text() != qs(control.caption)) button->setText(qs(control.caption));
    const QSignalBlocker quiet(button);
    button->setChecked(control.checked);
  }
  input->setEnabled(control.enabled);
  input->setVisible(control.visible);
  if (input->toolTip() != tip) input->setToolTip(tip);
  paintState(input, control.state);
  if (QLabel* label = captions_.at(index(field))) {
    if (label->text() != qs(control.caption)) label->setText(qs(control.caption));
    label->setVisible(control.visible && control.captionVisible);
    if (label->toolTip() != tip) label->setToolTip(tip);
  }
}

int SetupWindow::fieldOf(const QObject* object) const {
  const auto found = std::find(inputs_.begin(), inputs_.end(), object);
  return found == inputs_.end() ? -1 : static_cast<int>(found - inputs_.begin());
}

bool SetupWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == cellEditor_)
    return floatingEditorEvent(event, setup_.window.GrilleCan.editor.open, &Setup::editorEscape, &Setup::editorCommit);
  if (watched == tableEditor_)
    return floatingEditorEvent(event, setup_.window.tables.SaisieText.open, &Setup::SaisieText_Escape,
                               &Setup::SaisieText_Enter);
  if (watched == libraryList_ && type == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int row = libraryList_->currentRow();
    if (isEnter(key)) setup_.LibraryList_Choose(row);
    else if (key == Qt::Key_Escape) setup_.LibraryList_Escape();
    else if (key == Qt::Key_Backspace) setup_.LibraryList_Delete(row);
    else return false;
    return true;
  }
  if (watched == grid_ && type == QEvent::KeyPress) {
    if (isEnter(static_cast<QKeyEvent*>(event)->key())) {
      setup_.GrilleCan_KeyEnter();
      return true;
    }
    return false;
  }
  if (watched == tableGrid_ && type == QEvent::KeyPress) {
    if (isEnter(static_cast<QKeyEvent*>(event)->key())) {
      setup_.GrilleConversion_KeyEnter();
      return true;
    }
    return false;
  }
  // The labels: "ID 1", "ID 2", "ID Display" answer a double click, "Word4"
  // a click.
  for (int message = 0; message < 3; ++message) {
    if (watched == captions_[index(Field::ID0) + static_cast<std::size_t>(message)] &&
        type == QEvent::MouseButtonDblClick) {
      setup_.idLabelDoubleClick(message);
      return true;
    }
  }
  if (watched == captions_[index(Field::TypeDataMSG1)] && type == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    setup_.Word4Label_Click();
    return true;
  }

  const int found = fieldOf(watched);
  if (found < 0) return QDialog::eventFilter(watched, event);
  const auto field = static_cast<Field>(found);
  if (auto* box = qobject_cast<QLineEdit*>(watched)) return textBoxEvent(field, box, event);
  if (auto* list = qobject_cast<QComboBox*>(watched)) {
    if (type == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)->key())) {
      // Enter belongs to the list (no default button in this window).
      if (field == Field::ListSensorSkynam) setup_.ListSensorSkynam_Enter(list->currentIndex());
      return true;
    }
    if (field == Field::BaudRateList && type == QEvent::MouseButtonDblClick) setup_.BaudRateList_DblClick();
    return false;
  }
  if (field == Field::Option_Skynam && type == QEvent::MouseButtonDblClick) setup_.Option_Skynam_DblClick();
  return false;
}

bool SetupWindow::textBoxEvent(Field field, QLineEdit* box, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      // Enter and Esc have their meaning in the input: neither presses a
      // button nor closes the window.
      if (isEnter(key)) {
        setup_.fieldKey(field, SetupKey::Enter);
        return true;
      }
      if (key == Qt::Key_Escape) {
        setup_.fieldKey(field, SetupKey::Escape);
        return true;
      }
      if (isNavigationOrModifier(key)) return false;
      // The box takes the key first (a changed text reaches the core through
      // textEdited), then the key's rule runs on the new text.
      static_cast<QObject*>(box)->event(event);
      setup_.fieldKey(field, SetupKey::Other);
      return true;
    }
    case QEvent::FocusIn: {
      const bool identifier = field >= Field::ID0 && field <= Field::ID4;
      if (identifier && leftByUser(event)) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, box, [box] {
          if (box->hasFocus() && box->text().startsWith("0x")) box->setSelection(2, box->text().size() - 2);
        });
      }
      return false;
    }
    case QEvent::FocusOut:
      if (leftByUser(event) && !rendering_) setup_.fieldLeave(field);
      return false;
    case QEvent::MouseButtonDblClick:
      setup_.fieldDoubleClick(field);
      return false;
    default:
      return false;
  }
}

}  // namespace oxalis

// The setup window's table page `Linearisation_Vout`: the display's tabs,
// the grid `GrilleConversion` with its floating editor `SaisieText`, the
// curve of the table on screen, the unit options and the Read, Write and
// "Factory set" buttons. Like the channel grid, the grid draws the model's
// rows as they are, header row and point-number column included.
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <functional>
#include <tuple>

#include "Theme.h"
#include "QtConvert.h"
#include "SetupWindow.h"
#include "TableCurve.h"

namespace oxalis {

namespace {

constexpr int kRowHeight = 20;
constexpr int kTwipsPerPixel = 15;
constexpr int kShownRowsAtLeast = 7;  // the grid scrolls below this many rows

bool isDisplay(const Core& core) { return IsDisplayModule(core.link.state.identity.deviceCode); }

}  // namespace

QPushButton* SetupWindow::addButton(const char* name, const char* caption, QWidget* parent,
                                    void (Setup::*handler)()) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);  // Enter belongs to the inputs and the grids
  // std::invoke rather than (setup_.*handler)(): the optimiser under the
  // sanitizers takes the captured member pointer for uninitialised.
  connect(button, &QPushButton::clicked, this, [this, handler] { std::invoke(handler, setup_); });
  buttons_.push_back(button);
  return button;
}

QPushButton* SetupWindow::button(const QString& name) const {
  for (QPushButton* entry : buttons_)
    if (entry->objectName() == name) return entry;
  return nullptr;
}

void SetupWindow::buildTablePage(QGroupBox* tables, QVBoxLayout* column) {
  tableTabs_ = new QTabBar(tables);
  tableTabs_->setObjectName("TabStripCarto");
  tableTabs_->setExpanding(false);
  tableTabs_->setElideMode(Qt::ElideNone);
  tableTabs_->setUsesScrollButtons(true);
  // The five captions side by side are wider than the window: the strip
  // takes the frame's width and scrolls its tabs.
  tableTabs_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  for (int tab = 0; tab < kDisplayChannels; ++tab) tableTabs_->addTab(QString());
  // A click only; rendering selects the model's tab without calling back.
  connect(tableTabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
    if (tab >= 0) setup_.TabStripCarto_Click(tab + 1);
  });
  column->addWidget(tableTabs_);

  tableArea_ = new QFrame(tables);
  tableArea_->setObjectName("TableArea");
  auto* area = new QHBoxLayout(tableArea_);
  area->setContentsMargins(0, 0, 0, 0);

  tableGrid_ = new QTableWidget(0, ConversionGrid::kColumns, tableArea_);
  tableGrid_->setObjectName("GrilleConversion");
  tableGrid_->horizontalHeader()->hide();
  tableGrid_->verticalHeader()->hide();
  tableGrid_->verticalHeader()->setMinimumSectionSize(kRowHeight);
  tableGrid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  tableGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tableGrid_->setSelectionMode(QAbstractItemView::NoSelection);
  tableGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tableGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  tableGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
  tableGrid_->setWordWrap(false);
  tableGrid_->setMinimumHeight(kShownRowsAtLeast * kRowHeight);
  tableGrid_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  tableGrid_->installEventFilter(this);  // Enter
  connect(tableGrid_, &QTableWidget::cellClicked, this,
          [this](int row, int column) { setup_.GrilleConversion_Click(row, column); });
  connect(tableGrid_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    QMenu menu(this);
    menu.setObjectName("MapFile");
    QAction* load = menu.addAction("&Load Map from File");
    load->setObjectName("LoadMapFile");
    connect(load, &QAction::triggered, this, [this] { setup_.LoadMapFile_Click(); });
    QAction* save = menu.addAction("&Save Map in File");
    save->setObjectName("SaveMapFile");
    connect(save, &QAction::triggered, this, [this] { setup_.SaveMapFile_Click(); });
    menu.exec(tableGrid_->viewport()->mapToGlobal(position));
  });
  // The editor moves with its cell while the grid scrolls.
  connect(tableGrid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { renderTableEditor(); });

  tableEditor_ = new QLineEdit(tableGrid_->viewport());
  tableEditor_->setObjectName("SaisieText");
  tableEditor_->setStyleSheet("QLineEdit { background: white; color: black; border: 1px solid #303030; }");
  tableEditor_->hide();
  tableEditor_->installEventFilter(this);
  connect(tableEditor_, &QLineEdit::textEdited, this,
          [this](const QString& text) { setup_.SaisieText_Change(text.toStdString()); });
  area->addWidget(tableGrid_);

  auto* side = new QVBoxLayout;
  curve_ = new TableCurve(tableArea_);
  side->addWidget(curve_, 1);
  unitRow_ = new QWidget(tableArea_);
  auto* units = new QHBoxLayout(unitRow_);
  units->setContentsMargins(0, 0, 0, 0);
  const std::array<std::tuple<const char*, const char*, TableUnit>, 3> options{
      std::tuple{"OptionRich", "Rich", TableUnit::Rich}, std::tuple{"OptionLbda", "Lbda", TableUnit::Lambda},
      std::tuple{"OptionAF", "AF", TableUnit::AirFuel}};
  for (std::size_t i = 0; i < options.size(); ++i) {
    const auto& [name, caption, unit] = options[i];
    auto* option = new QRadioButton(caption, unitRow_);
    option->setObjectName(name);
    option->setAutoExclusive(false);  // the model says which one is chosen
    connect(option, &QRadioButton::clicked, this, [this, unit = unit] { setup_.tableUnit_Click(unit); });
    unitOptions_[i] = option;
    units->addWidget(option);
  }
  units->addStretch(1);
  side->addWidget(unitRow_);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(addButton("ReadVout", "Read", tableArea_, &Setup::ReadVout_Click));
  buttonRow->addWidget(addButton("WriteVout", "Write", tableArea_, &Setup::WriteVout_Click));
  buttonRow->addStretch(1);
  factorySet_ = addButton("FactorySet", "Factory set", tableArea_, &Setup::FactorySet_Click);
  buttonRow->addWidget(factorySet_);
  side->addLayout(buttonRow);
  area->addLayout(side, 1);
  column->addWidget(tableArea_, 1);

  notAllowed_ = new QLabel("Table not allowed in Display mode (Only for Oxalis)", tables);
  notAllowed_->setObjectName("Label_NotAllowed");
  notAllowed_->setStyleSheet(QString("color: %1; font-weight: bold").arg(failureText().name()));
  column->addWidget(notAllowed_);
}

void SetupWindow::renderTablePage() {
  const SetupWindowModel& model = setup_.window;
  const TablePage& page = model.tables;
  const ConversionGrid& grid = page.GrilleConversion;

  tableArea_->setVisible(model.tableGridVisible);
  tableTabs_->setVisible(model.tableGridVisible && model.tableTabsVisible);
  for (int tab = 0; tab < kDisplayChannels; ++tab) {
    const QString caption = qs(page.TabStripCarto.captions[static_cast<std::size_t>(tab)]);
    if (tableTabs_->tabText(tab) != caption) tableTabs_->setTabText(tab, caption);
  }
  if (const int selected = page.TabStripCarto.selected - 1;
      selected >= 0 && selected < kDisplayChannels && tableTabs_->currentIndex() != selected) {
    const QSignalBlocker quiet(tableTabs_);
    tableTabs_->setCurrentIndex(selected);
  }

  const bool display = isDisplay(core_);
  unitRow_->setVisible(!display);
  const std::array<TableUnit, 3> units{TableUnit::Rich, TableUnit::Lambda, TableUnit::AirFuel};
  for (std::size_t i = 0; i < units.size(); ++i) {
    const QSignalBlocker quiet(unitOptions_[i]);
    unitOptions_[i]->setChecked(page.unit == units[i]);
  }
  factorySet_->setVisible(model.factorySetVisible);

  const int rows = static_cast<int>(grid.rows.size());
  if (tableGrid_->rowCount() != rows) tableGrid_->setRowCount(rows);
  const QColor header = tableGrid_->palette().color(QPalette::Button);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < ConversionGrid::kColumns; ++column) {
      const GridCell& cell = grid.cell(row, column);
      QTableWidgetItem* item = tableGrid_->item(row, column);
      if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(row == 0 || column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
        tableGrid_->setItem(row, column, item);
      }
      if (item->text() != qs(cell.text)) item->setText(qs(cell.text));
      const QBrush background = cell.background ? QBrush(toQColor(*cell.background))
                                : row == 0 || column == 0 ? QBrush(header)
                                                          : QBrush();
      if (item->background() != background) {
        item->setBackground(background);
        // A cell coloured by its state keeps dark or light text, whichever reads on it.
        item->setForeground(cell.background ? QBrush(readableOn(background.color())) : QBrush());
      }
    }
  }
  // Column widths: twips to pixels, widened where a header would not fit;
  // the grid is wider than its columns by the room of its scroll bar.
  const QFontMetrics metrics(tableGrid_->font());
  int width = 0;
  for (int column = 0; column < ConversionGrid::kColumns; ++column) {
    int pixels = ConversionGrid::kWidthsTwips[static_cast<std::size_t>(column)] / kTwipsPerPixel;
    if (rows > 0) pixels = std::max(pixels, metrics.horizontalAdvance(qs(grid.cell(0, column).text)) + 8);
    if (tableGrid_->columnWidth(column) != pixels) tableGrid_->setColumnWidth(column, pixels);
    width += pixels;
  }
  const int margin = std::max(ConversionGrid::kGridMarginTwips / kTwipsPerPixel,
                              tableGrid_->verticalScrollBar()->sizeHint().width());
  tableGrid_->setFixedWidth(width + margin + 2 * tableGrid_->frameWidth());
  tableGrid_->setMaximumHeight(std::max(rows, 1) * kRowHeight + 2 * tableGrid_->frameWidth());
  if (grid.currentRow < rows && grid.currentColumn < ConversionGrid::kColumns &&
      (tableGrid_->currentRow() != grid.currentRow || tableGrid_->currentColumn() != grid.currentColumn))
    tableGrid_->setCurrentCell(grid.currentRow, grid.currentColumn, QItemSelectionModel::NoUpdate);

  renderCurve();
  renderTableEditor();
}

// The table on screen: the lambda controller's richness against its output
// voltage, or the display's selected channel, raw In against raw Out.
void SetupWindow::renderCurve() {
  const TablePage& page = setup_.window.tables;
  std::vector<std::pair<double, double>> points;
  if (isDisplay(core_)) {
    for (const TablePoint& point : SelectedDisplayTable(page)) points.emplace_back(point.in, point.out);
    curve_->setCurve(std::move(points), "In", "Out");
    return;
  }
  for (const TablePoint& point : page.outputTable) points.emplace_back(point.in / 1000.0, point.out);
  curve_->setCurve(std::move(points), "Richness", "Vout (mV)");
}

void SetupWindow::renderTableEditor() {
  const ConversionEditor& editor = setup_.window.tables.SaisieText;
  placeFloatingEditor(tableGrid_, tableEditor_, tableEditorCell_, editor.open, editor.row, editor.column, editor.text);
}

void SetupWindow::renderTransferStatus() {
  const std::string& status = setup_.window.transferStatus;
  const QString text = qs(status);
  // Green when every value came back as written, red when some did not.
  QString style;
  if (status == "Written and verified") {
    style = QString("color: %1; font-weight: bold").arg(successText().name());
  } else if (status.starts_with("Written, but") || status.starts_with("No answer")) {
    style = QString("color: %1; font-weight: bold").arg(failureText().name());
  }
  if (transferStatus_->text() != text) transferStatus_->setText(text);
  if (transferStatus_->styleSheet() != style) transferStatus_->setStyleSheet(style);
}

}  // namespace oxalis

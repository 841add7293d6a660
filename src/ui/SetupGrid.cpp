// The channel grid `GrilleCan`, its floating cell editor and the channel
// library's menu and floating file list. The grid draws
// the model's rows as they are, header row and row-number column included,
// so a cell's row and column are the core's numbering.
#include <QFocusEvent>
#include <QGroupBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "Theme.h"
#include "QtConvert.h"
#include "SetupWindow.h"

namespace oxalis {

namespace {

constexpr int kRowHeight = 20;
// Rows of the grid shown when it is moved up and made shorter: the header
// and the five decoded channels.
constexpr int kShortRows = 6;

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

void SetupWindow::buildGrid(QVBoxLayout* group) {
  grid_ = new QTableWidget(0, CanGridModel::kColumns, receiveGroup_);
  grid_->setObjectName("GrilleCan");
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setMinimumSectionSize(kRowHeight);
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->horizontalHeader()->setMinimumSectionSize(kRowHeight);
  // Cells are edited through the core's editor only; the selection is the
  // model's.
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->setWordWrap(false);
  grid_->setTextElideMode(Qt::ElideNone);
  grid_->installEventFilter(this);  // Enter

  connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) { setup_.GrilleCan_Click(row, column); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int column) { setup_.GrilleCan_DblClick(row, column); });
  // The right click picks the row the "&Channels Library" menu acts on.
  connect(grid_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    const int row = grid_->rowAt(position.y());
    if (row < 0) return;
    setup_.GrilleCan_RightClick(row);
    QMenu menu(this);
    menu.setObjectName("ChannelsLibrary");
    menu.setTitle("&Channels Library");
    QAction* select = menu.addAction("&Select From Library");
    select->setObjectName("SelectFromLibrary");
    const QPoint inWindow = grid_->viewport()->mapTo(this, position);
    connect(select, &QAction::triggered, this,
            [this, inWindow] { setup_.SelectFromLibrary_Click(inWindow.x(), inWindow.y()); });
    QAction* add = menu.addAction("&Add to Library");
    add->setObjectName("AddToLibrary");
    connect(add, &QAction::triggered, this, [this] { setup_.AddToLibrary_Click(); });
    menu.exec(grid_->viewport()->mapToGlobal(position));
  });

  // Enter or a double click chooses a file, Esc hides the list, Backspace
  // deletes the file (the event filter).
  libraryList_ = new QListWidget(this);
  libraryList_->setObjectName("LibraryList");
  libraryList_->hide();
  libraryList_->installEventFilter(this);
  connect(libraryList_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { setup_.LibraryList_Choose(libraryList_->row(item)); });

  cellEditor_ = new QLineEdit(grid_->viewport());
  cellEditor_->setObjectName("GrilleCanEditor");
  cellEditor_->setStyleSheet("QLineEdit { background: white; color: black; border: 1px solid #303030; }");
  cellEditor_->hide();
  cellEditor_->installEventFilter(this);
  connect(cellEditor_, &QLineEdit::textEdited, this,
          [this](const QString& text) { setup_.editorEdited(text.toStdString()); });
  group->addWidget(grid_, 0, Qt::AlignLeft);
}

void SetupWindow::renderLibraryList() {
  const LibraryFileList& model = setup_.window.libraryList;
  if (!model.visible) {
    libraryList_->hide();
    return;
  }
  QStringList files;
  for (const std::string& file : model.files) files << qs(file);
  QStringList shown;
  for (int i = 0; i < libraryList_->count(); ++i) shown << libraryList_->item(i)->text();
  if (shown != files) {
    libraryList_->clear();
    libraryList_->addItems(files);
    libraryList_->setCurrentRow(0);
  }
  // Beside the right click, kept inside the window.
  const QSize size(220, 180);
  libraryList_->resize(size);
  libraryList_->move(std::clamp(model.x, 0, std::max(0, width() - size.width())),
                     std::clamp(model.y, 0, std::max(0, height() - size.height())));
  if (!libraryList_->isVisible()) {
    libraryList_->show();
    libraryList_->raise();
    libraryList_->setFocus();
  }
}

void SetupWindow::renderGrid() {
  const CanGridModel& model = setup_.window.GrilleCan;
  const int rows = static_cast<int>(model.rows.size());
  if (grid_->rowCount() != rows) grid_->setRowCount(rows);
  const QColor header = grid_->palette().color(QPalette::Button);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < CanGridModel::kColumns; ++column) {
      const GridCell& cell = model.cell(row, column);
      QTableWidgetItem* item = grid_->item(row, column);
      if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (row == 0 || column == 0) item->setTextAlignment(Qt::AlignCenter);
        grid_->setItem(row, column, item);
      }
      if (item->text() != qs(cell.text)) item->setText(qs(cell.text));
      // The header row and the row numbers look like headers.
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
  grid_->setEnabled(model.enabled);
  const int shown = model.movedUp ? std::min(rows, kShortRows) : rows;
  grid_->setFixedHeight(std::max(shown, 1) * kRowHeight + 2 * grid_->frameWidth());
  // Column widths: twips to pixels at the screen's resolution (1440 twips an
  // inch), widened where a header text would not fit; the colour column is
  // as wide as a row is high. The scroll bar takes room only when the grid
  // is shorter than its rows.
  const int dpi = grid_->logicalDpiX();
  const QFontMetrics metrics(grid_->font());
  int width = 0;
  for (int column = 0; column < CanGridModel::kColumns; ++column) {
    int pixels = kRowHeight;
    if (column != CanGridModel::kColourColumn) {
      pixels = CanGridModel::kWidthsTwips[static_cast<std::size_t>(column)] * dpi / 1440;
      for (const int row : {0, rows - 1})
        if (row >= 0) pixels = std::max(pixels, metrics.horizontalAdvance(qs(model.cell(row, column).text)) + 8);
    }
    if (grid_->columnWidth(column) != pixels) grid_->setColumnWidth(column, pixels);
    width += pixels;
  }
  const bool scrolls = shown < rows;
  grid_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  grid_->setFixedWidth(width + 2 * grid_->frameWidth() + (scrolls ? grid_->verticalScrollBar()->sizeHint().width() : 0));

  grid_->clearSelection();
  const bool selection = model.selectionTop || model.selectionBottom || model.selectionLeft || model.selectionRight;
  if (selection && model.selectionBottom < rows)
    grid_->setRangeSelected(QTableWidgetSelectionRange(model.selectionTop, model.selectionLeft,
                                                       model.selectionBottom, model.selectionRight),
                            true);
  if (model.lastClickedRow < rows &&
      (grid_->currentRow() != model.lastClickedRow || grid_->currentColumn() != model.currentColumn))
    grid_->setCurrentCell(model.lastClickedRow, model.currentColumn, QItemSelectionModel::NoUpdate);
}

void SetupWindow::renderEditor() {
  const CanGridModel::Editor& editor = setup_.window.GrilleCan.editor;
  placeFloatingEditor(grid_, cellEditor_, editorCell_, editor.open, editor.row, editor.column, editor.text);
}

// A floating editor over a grid cell: hidden when closed (the focus goes
// back to its grid), otherwise exactly over its cell; just opened, its
// text is all selected, ready to type over.
void SetupWindow::placeFloatingEditor(QTableWidget* grid, QLineEdit* box, QPoint& openCell, bool open, int row,
                                      int column, const std::string& text) {
  if (!open || row >= grid->rowCount()) {
    if (box->isVisible()) {
      const bool hadFocus = box->hasFocus();
      box->hide();
      if (hadFocus) grid->setFocus();
    }
    openCell = QPoint(-1, -1);
    return;
  }
  const QModelIndex cell = grid->model()->index(row, column);
  const QPoint at(column, row);
  if (openCell != at) grid->scrollTo(cell);
  const QRect place = grid->visualRect(cell);
  if (box->geometry() != place) box->setGeometry(place);
  if (box->text() != qs(text)) box->setText(qs(text));
  if (openCell != at) {
    openCell = at;
    box->show();
    box->raise();
    box->selectAll();
    box->setFocus(Qt::OtherFocusReason);
  }
}

// Keys and focus of a floating editor: Escape and Enter go to the core;
// leaving the box commits it, but a message box or pop-up the core opened
// does not.
bool SetupWindow::floatingEditorEvent(QEvent* event, bool open, void (Setup::*escape)(), void (Setup::*commit)()) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape) {
        std::invoke(escape, setup_);
        return true;
      }
      if (isEnter(key)) {
        std::invoke(commit, setup_);
        return true;
      }
      return false;
    }
    case QEvent::FocusOut: {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !rendering_ && open)
        std::invoke(commit, setup_);
      return false;
    }
    default:
      return false;
  }
}

}  // namespace oxalis

#pragma once
// The setup window `ModuleSetup`: renders the core's SetupWindowModel
// (`core.setup.window`) and forwards the user's actions to the handlers of
// Setup. Every text, tick, enabling, visibility and colour comes from the
// model; the window only lays the inputs out.
//
// Object names are the controls' names; the indexed controls drop the
// parentheses: `ID`(0..4) are "ID0".."ID4", `SelMsg`(0..2) "SelMsg0"..
// "SelMsg2", as in the core's Field names. The label beside an input is
// named after it with "_Label" ("Vout_NOT_Label", "ID2_Label").
#include <QDialog>
#include <QPoint>
#include <array>
#include <vector>

#include "app/Core.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabBar;
class QTableWidget;
class QToolBar;
class QAction;
class QListWidget;
class QVBoxLayout;

namespace oxalis {

class TableCurve;

class SetupWindow : public QDialog {
  Q_OBJECT
 public:
  SetupWindow(Core& core, QWidget* parent);

  // The input of a field and the label beside it (nullptr for check boxes
  // and option buttons, which carry their own caption).
  QWidget* input(Field field) const { return inputs_.at(index(field)); }
  QLabel* captionLabel(Field field) const { return captions_.at(index(field)); }
  QGroupBox* frame(const QString& name) const;
  QTableWidget* grid() const { return grid_; }
  QLineEdit* cellEditor() const { return cellEditor_; }
  // The channel library's floating file list.
  QListWidget* libraryList() const { return libraryList_; }
  QFrame* toolbox() const { return toolbox_; }
  QLabel* notAllowedNotice() const { return notAllowed_; }
  QPushButton* factorySetButton() const { return factorySet_; }
  QLineEdit* setTimeBox() const { return setTime_; }
  // The table page: the grid `GrilleConversion`, its editor `SaisieText`,
  // the tabs `TabStripCarto`, the curve.
  QTableWidget* tableGrid() const { return tableGrid_; }
  QLineEdit* tableEditor() const { return tableEditor_; }
  QTabBar* tableTabs() const { return tableTabs_; }
  TableCurve* tableCurve() const { return curve_; }
  // The line at the bottom that tells what the last transfer came to.
  QLabel* transferStatusLine() const { return transferStatus_; }
  QPushButton* button(const QString& name) const;
  QToolBar* toolbar() const { return toolbar_; }
  QAction* action(const QString& name) const;

 public slots:
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  static std::size_t index(Field field) { return static_cast<std::size_t>(field); }

  // Building (SetupWindow.cpp, SetupFrames.cpp, SetupGrid.cpp, SetupTablePage.cpp).
  void buildMenusAndToolbar(QVBoxLayout* outer);
  QWidget* buildCanFrame();
  QWidget* buildRightColumn();
  void buildGrid(QVBoxLayout* group);
  void buildToolbox(QWidget* column);
  QWidget* buildTransferButtons(QWidget* parent);
  void buildTablePage(QGroupBox* tables, QVBoxLayout* column);
  QPushButton* addButton(const char* name, const char* caption, QWidget* parent, void (Setup::*handler)());
  QLineEdit* addTextBox(Field field, QWidget* parent);
  QComboBox* addList(Field field, QWidget* parent);
  QCheckBox* addCheckBox(Field field, QWidget* parent);
  QLabel* addCaption(Field field, QWidget* parent);
  void setTabOrderTopToBottom();

  // Rendering.
  void render();
  void renderControl(Field field);
  void renderGrid();
  void renderEditor();
  void renderLibraryList();
  void renderToolbox();
  void placeToolbox();
  void renderTablePage();
  void renderTableEditor();
  void renderCurve();
  void renderTransferStatus();

  // Forwarding.
  bool textBoxEvent(Field field, QLineEdit* box, QEvent* event);
  void placeFloatingEditor(QTableWidget* grid, QLineEdit* box, QPoint& openCell, bool open, int row, int column,
                           const std::string& text);
  bool floatingEditorEvent(QEvent* event, bool open, void (Setup::*escape)(), void (Setup::*commit)());
  int fieldOf(const QObject* object) const;

  Core& core_;
  Setup& setup_;
  std::array<QWidget*, kFieldCount> inputs_{};
  std::array<QLabel*, kFieldCount> captions_{};
  std::vector<QGroupBox*> frames_;
  QGroupBox* transmitGroup_ = nullptr;
  QGroupBox* protocolGroup_ = nullptr;
  QGroupBox* receiveGroup_ = nullptr;
  QWidget* rightColumn_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QLineEdit* cellEditor_ = nullptr;
  QPoint editorCell_{-1, -1};  // the cell the open editor stands over
  QListWidget* libraryList_ = nullptr;
  QFrame* toolbox_ = nullptr;
  QLabel* toolboxTitle_ = nullptr;
  std::array<QLineEdit*, 5> toolboxBoxes_{};  // VX1, VX2, VY1, VY2, Vdec
  std::array<QRadioButton*, 2> toolboxForms_{};  // OptionAx, Option1surX
  QFrame* tableArea_ = nullptr;
  QLabel* notAllowed_ = nullptr;
  QPushButton* factorySet_ = nullptr;
  QLineEdit* setTime_ = nullptr;
  std::vector<QPushButton*> buttons_;
  QTableWidget* tableGrid_ = nullptr;
  QLineEdit* tableEditor_ = nullptr;
  QPoint tableEditorCell_{-1, -1};  // the cell the open table editor stands over
  QTabBar* tableTabs_ = nullptr;
  std::array<QRadioButton*, 3> unitOptions_{};  // OptionRich, OptionLbda, OptionAF
  QWidget* unitRow_ = nullptr;
  TableCurve* curve_ = nullptr;
  QLabel* transferStatus_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::vector<QAction*> actions_;
  bool rendering_ = false;
  bool renderAgain_ = false;
  Subscription subscription_;
};

}  // namespace oxalis

// The setup window renders the core's setup model and forwards the user's
// keys, clicks and focus changes to the setup handlers.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "CoreFixture.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "Screenshot.h"
#include "SetupWindow.h"
#include "TableCurve.h"
#include "app/UserLevel.h"

using oxalis::Field;
using oxalis::SetupWindow;

namespace {

// The setup core opened for a module type at a user level, as the main
// window's "&Setup" entry does.
struct OpenSetup {
  explicit OpenSetup(const char* code = "OX2", std::uint8_t level = oxalis::kLevelBasic) {
    f.core.link.state.identity.deviceCode = code;
    f.core.state.userLevel = level;
    f.core.openSetup();
    window = std::make_unique<SetupWindow>(f.core, nullptr);
    window->show();
  }
  QLineEdit* box(Field field) const { return qobject_cast<QLineEdit*>(window->input(field)); }

  oxalis::test::CoreFixture f;
  std::unique_ptr<SetupWindow> window;
};

void type(QLineEdit* box, const char* text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

// A picture of the window once its layouts have settled.
void picture(SetupWindow& window, const std::string& name) {
  QApplication::sendPostedEvents();
  oxalis::test::saveScreenshot(window, ("setup_window_" + name + ".png").c_str());
}

QColor modified() { return oxalis::toQColor(oxalis::kModifiedColour); }

// A click in the middle of a grid's cell.
void clickCell(QTableWidget* grid, int row, int column) {
  grid->scrollToItem(grid->item(row, column));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
}

}  // namespace

class SetupWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void opensModallyFromSetupEntryAndToolButtonAtBasicLevel() {
    for (const QString entry : {"MenuSetup", "Setup"}) {
      oxalis::test::CoreFixture f;
      oxalis::ApplyUserLevel(f.core);
      oxalis::MainWindow main(f.core);
      QString shown;
      QTimer::singleShot(0, &main, [&] {
        auto* setup = qobject_cast<SetupWindow*>(QApplication::activeModalWidget());
        if (!setup) return;
        shown = setup->objectName() + " " + setup->windowTitle();
        setup->action("Exit_Setup")->trigger();  // nothing changed: closes without a question
        if (setup->isVisible()) {
          shown += " stayed open";
          setup->done(QDialog::Rejected);
        }
      });
      if (entry == "Setup") {
        main.toolButton(entry)->trigger();
      } else {
        main.action(entry)->trigger();
      }
      QCOMPARE(shown, QString("ModuleSetup SETUP"));
      QVERIFY(f.dialogs.questions.empty() || f.dialogs.questions.back().title != "Setup message");
      QVERIFY(!f.core.setup.window.visible);
    }
  }

  void enterInABoxAppliesItsRuleAndEscapeDoesNotClose() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    QLineEdit* box = s.box(Field::Vout_HS);
    type(box, "6000");
    QCOMPARE(s.f.core.setup.window.Vout_HS.text, std::string("6000"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), QString("5000"));
    QCOMPARE(box->palette().color(QPalette::Base), modified());
    picture(*s.window, "modified");
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(s.window->isVisible());  // Esc belongs to the box
  }

  void leavingABoxValidatesItButAMessageBoxTakingFocusDoesNot() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    QLineEdit* box = s.box(Field::Vout_HS);
    type(box, "6000");
    for (const auto reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
      QFocusEvent away(QEvent::FocusOut, reason);
      QApplication::sendEvent(box, &away);
      QCOMPARE(box->text(), QString("6000"));
    }
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &tab);
    QCOMPARE(box->text(), QString("5000"));
  }

  void closingAfterAChangeAsksAndCancelKeepsTheWindow() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    type(s.box(Field::Vout_NOT), "1");
    s.f.dialogs.answers = {oxalis::Answer::Cancel, oxalis::Answer::No};
    s.window->close();
    QCOMPARE(s.f.dialogs.questions.back().text, std::string("Data not save. Do you want to save them?"));
    QVERIFY(s.window->isVisible());
    QTest::keyClick(s.window.get(), Qt::Key_Escape);  // Esc outside a box: the same close path
    QVERIFY(!s.window->isVisible());
  }

  void rendersEveryStateOfAControl() {
    OpenSetup s;
    oxalis::SetupWindowModel& model = s.f.core.setup.window;
    auto* speed = qobject_cast<QComboBox*>(s.window->input(Field::BaudRateList));
    model.BaudRateList.index = -1;
    model.BaudRateList.text = "???";
    model.BaudRateList.tip = "Tprop:1";
    model.BaudRateList.state = oxalis::EditState::Modified;
    model.Check_Heater.checked = true;
    model.Rich_HS.captionVisible = false;
    model.ID[1].visible = false;
    model.changed.notify();
    QCOMPARE(speed->currentIndex(), -1);
    QCOMPARE(speed->placeholderText(), QString("???"));  // nothing chosen shows the model's text
    QCOMPARE(speed->toolTip(), QString("Tprop:1"));
    QCOMPARE(speed->palette().color(QPalette::Button), modified());
    QVERIFY(qobject_cast<QCheckBox*>(s.window->input(Field::Check_Heater))->isChecked());
    QVERIFY(!s.window->captionLabel(Field::Rich_HS)->isVisible());
    QVERIFY(s.window->input(Field::Rich_HS)->isVisible());
    QVERIFY(!s.window->input(Field::ID1)->isVisible());
    QVERIFY(!s.window->captionLabel(Field::ID1)->isVisible());

    model.BaudRateList.choose(1);
    model.BaudRateList.state = oxalis::EditState::Normal;
    model.changed.notify();
    QCOMPARE(speed->currentText(), QString("500k"));
    QVERIFY(!speed->testAttribute(Qt::WA_SetPalette));  // the default look again
  }

  void gridShowsSlotsAndItsEditorChangesASlot() {
    OpenSetup s;
    s.f.core.channels.slot(1).Name = "Oil pressure";
    s.f.core.setup.RefreshChannelGrid(0);
    s.f.core.setup.window.changed.notify();
    QTableWidget* grid = s.window->grid();
    QCOMPARE(grid->item(1, 1)->text(), QString("Oil pressure"));
    QCOMPARE(grid->item(0, 1)->text(), QString("Name"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 1)).center());
    QLineEdit* editor = s.window->cellEditor();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->selectedText(), QString("Oil pressure"));
    QTest::keyClicks(editor, "Boost");
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!editor->isVisible());
    QCOMPARE(s.f.core.channels.slot(1).Name, std::string("Boost"));
    QCOMPARE(grid->item(1, 1)->text(), QString("Boost"));
    QVERIFY(s.window->isVisible());  // Enter went to the editor, not to the window

    // Enter on the grid opens the current cell again; Esc puts its text back.
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(editor->isVisible());
    QTest::keyClicks(editor, "Oil");
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!editor->isVisible());
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.f.core.channels.slot(1).Name, std::string("Boost"));
  }

  void enteringAnIdentifierBoxSelectsTheDigitsAfter0x() {
    OpenSetup s;
    QLineEdit* box = s.box(Field::ID0);
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    box->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(box->selectedText(), QString("200"));
  }

  void rowHeaderOpensTheToolboxOverTheVoutFrameAndXClosesIt() {
    OpenSetup s;
    QTableWidget* grid = s.window->grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, 0)).center());
    QFrame* toolbox = s.window->toolbox();
    QVERIFY(toolbox->isVisible());
    QCOMPARE(toolbox->geometry().topLeft(), s.window->frame("VOUT_SETUP")->geometry().topLeft());
    QTest::mouseClick(toolbox->findChild<QPushButton*>("CloseFrame"), Qt::LeftButton);
    QVERIFY(!toolbox->isVisible());
  }

  void labelGesturesMarkTheirInputs() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    const oxalis::SetupWindowModel& model = s.f.core.setup.window;
    QTest::mouseDClick(s.window->captionLabel(Field::ID2), Qt::LeftButton);  // "ID Display"
    QCOMPARE(model.SelMsg[2].state, oxalis::EditState::Modified);
    QTest::mouseClick(s.window->captionLabel(Field::TypeDataMSG1), Qt::LeftButton);  // "Word4"
    QCOMPARE(model.ListSensorSkynam.state, oxalis::EditState::Modified);
    QCOMPARE(s.window->input(Field::SelMsg2)->palette().color(QPalette::Window), modified());
  }

  void tablePageShowsTheModulesTableWithItsCurve() {
    struct Case {
      const char* code;
      int points;
      bool tabsShown;
      bool unitsShown;
      QString inHeader;
    };
    for (const Case& c : {Case{"OX2", 32, false, true, "Richness"}, Case{"PNU", 16, true, false, "In"}}) {
      OpenSetup s(c.code, oxalis::kLevelExpert);
      QTableWidget* grid = s.window->tableGrid();
      QCOMPARE(grid->rowCount(), c.points + 1);  // the header row above the points
      QCOMPARE(grid->item(0, 1)->text(), c.inHeader);
      QCOMPARE(grid->item(c.points, 0)->text().trimmed(), QString::number(c.points));
      QCOMPARE(s.window->tableCurve()->points().size(), static_cast<std::size_t>(c.points));
      QCOMPARE(s.window->tableTabs()->isVisible(), c.tabsShown);
      QCOMPARE(s.window->findChild<QWidget*>("OptionRich")->isVisible(), c.unitsShown);
      if (c.tabsShown) {
        QCOMPARE(s.window->tableTabs()->count(), 5);
        QCOMPARE(s.window->tableTabs()->tabText(4), QString("Convertion table for channel 5"));
        s.f.core.setup.window.tables.displayTables[2][0].out = 1234;
        QTest::mouseClick(s.window->tableTabs(), Qt::LeftButton, {},
                          s.window->tableTabs()->tabRect(2).center());
        QCOMPARE(s.f.core.setup.window.tables.TabStripCarto.selected, 3);
        QCOMPARE(s.window->tableCurve()->points().front().second, 1234.0);  // the curve follows the tab
      }
    }
  }

  void typedTableCellIsStoredInItsUnitAndTurnsModified() {
    struct Case {
      const char* unit;
      const char* typed;
      int stored;
    };
    for (const Case& c : {Case{"OptionRich", "0.9", 900}, Case{"OptionLbda", "0.5", 2000}}) {
      OpenSetup s("OX2", oxalis::kLevelExpert);
      QTest::mouseClick(s.window->findChild<QRadioButton*>(c.unit), Qt::LeftButton);
      QTableWidget* grid = s.window->tableGrid();
      clickCell(grid, 1, 1);
      QLineEdit* editor = s.window->tableEditor();
      QVERIFY(editor->isVisible());
      QCOMPARE(editor->geometry(), grid->visualItemRect(grid->item(1, 1)));
      QTest::keyClicks(editor, c.typed);
      QTest::keyClick(editor, Qt::Key_Return);
      QVERIFY(!editor->isVisible());
      QVERIFY(s.window->isVisible());  // Enter went to the editor, not to the window
      QCOMPARE(s.f.core.setup.window.tables.outputTable[0].in, c.stored);
      QCOMPARE(grid->item(1, 1)->background().color(), modified());
      QCOMPARE(s.window->tableCurve()->points().front().first, c.stored / 1000.0);
    }
    // Esc leaves the value as it was.
    OpenSetup s("OX2", oxalis::kLevelExpert);
    clickCell(s.window->tableGrid(), 2, 2);
    QTest::keyClicks(s.window->tableEditor(), "1");
    QTest::keyClick(s.window->tableEditor(), Qt::Key_Escape);
    QVERIFY(!s.window->tableEditor()->isVisible());
    QCOMPARE(s.f.core.setup.window.tables.outputTable[1].out, 4576);
  }

  void rightClickOnTheTableOffersTheMapFiles() {
    struct Case {
      const char* entry;
      const char* dialogTitle;
    };
    for (const Case& c : {Case{"LoadMapFile", "Open Setup File"}, Case{"SaveMapFile", "Save as"}}) {
      OpenSetup s("OX2", oxalis::kLevelExpert);
      QTableWidget* grid = s.window->tableGrid();
      QStringList captions;
      QTimer::singleShot(0, s.window.get(), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        captions << menu->objectName();
        for (QAction* entry : menu->actions()) captions << entry->text();
        menu->findChild<QAction*>(c.entry)->trigger();
        menu->close();
      });
      const QPoint at = grid->visualItemRect(grid->item(3, 2)).center();
      QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
      QApplication::sendEvent(grid->viewport(), &click);
      QCOMPARE(captions, QStringList({"MapFile", "&Load Map from File", "&Save Map in File"}));
      QCOMPARE(s.f.dialogs.fileRequests.size(), std::size_t{1});
      QCOMPARE(s.f.dialogs.fileRequests.back().title, std::string(c.dialogTitle));
    }
  }

  void factorySetTurnsEveryValueCellModified() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    QTest::mouseClick(s.window->factorySetButton(), Qt::LeftButton);
    QTableWidget* grid = s.window->tableGrid();
    for (int row = 1; row < grid->rowCount(); ++row)
      for (int column = 1; column <= 2; ++column) QCOMPARE(grid->item(row, column)->background().color(), modified());
    s.f.core.setup.window.transferStatus = "Written, but the module holds other values for: Vout table";
    s.f.core.setup.window.changed.notify();
    picture(*s.window, "factory_set");
  }

  void everyTransferWithoutAModuleSaysSo() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    const std::vector<std::function<void()>> presses{
        [&] { QTest::mouseClick(s.window->button("WriteCfgCAN"), Qt::LeftButton); },
        [&] { QTest::mouseClick(s.window->button("WriteCfg_selection"), Qt::LeftButton); },
        [&] { QTest::mouseClick(s.window->button("ReadCfgCAN"), Qt::LeftButton); },
        [&] { QTest::mouseClick(s.window->button("ReadCfg_Selection"), Qt::LeftButton); },
        [&] { QTest::mouseClick(s.window->button("ReadVout"), Qt::LeftButton); },
        [&] { QTest::mouseClick(s.window->button("WriteVout"), Qt::LeftButton); },
        [&] { s.window->action("SetupToolBarre3")->trigger(); },
        [&] { s.window->action("SetupToolBarre4")->trigger(); },
    };
    for (std::size_t i = 0; i < presses.size(); ++i) {
      s.f.dialogs.messages.clear();
      presses[i]();
      QVERIFY2(!s.f.dialogs.messages.empty(), std::to_string(i).c_str());
      QCOMPARE(s.f.dialogs.messages.back().text,
               std::string("No Oxalis detected. Quit setup window and connect again with a Oxalis"));
    }
  }

  void archiveMenusAndTheChannelLibraryListAnswerTheUser() {
    QTemporaryDir folder;
    OpenSetup s("OX2", oxalis::kLevelExpert);
    s.f.core.state.appFolder = folder.path().toStdString();
    s.f.core.state.setupFileName = (folder.path() + "/car.OXS").toStdString();
    s.f.core.channels.slot(2).Name = "Speed";
    s.window->action("SetupToolBarre1")->trigger();
    QCOMPARE(s.f.dialogs.fileRequests.back().title, std::string("Open Setup File"));
    s.window->action("SetupToolBarre2")->trigger();
    QVERIFY(QFileInfo::exists(folder.path() + "/car.OXS"));
    s.window->action("Save_as")->trigger();
    QCOMPARE(s.f.dialogs.fileRequests.back().title, std::string("Save as"));

    // Row 2 into the library, then the list beside the click; Esc hides it.
    QTableWidget* grid = s.window->grid();
    const auto rightClick = [&](const char* entry) {
      QStringList captions;
      QTimer::singleShot(0, s.window.get(), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        captions << menu->title();
        for (QAction* action : menu->actions()) captions << action->text();
        menu->findChild<QAction*>(entry)->trigger();
        menu->close();
      });
      const QPoint at = grid->visualItemRect(grid->item(2, 1)).center();
      QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
      QApplication::sendEvent(grid->viewport(), &click);
      return captions;
    };
    QCOMPARE(rightClick("AddToLibrary"), QStringList({"&Channels Library", "&Select From Library", "&Add to Library"}));
    QCOMPARE(s.f.dialogs.messages.back().text, std::string("channel saved"));
    rightClick("SelectFromLibrary");
    QListWidget* list = s.window->libraryList();
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QString("Speed.lib"));
    QVERIFY(s.window->rect().contains(list->geometry()));
    picture(*s.window, "library_list");
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!list->isVisible());
    QVERIFY(s.window->isVisible());
  }

  void transferStatusShowsInItsColour() {
    struct Case {
      const char* text;
      const char* colour;  // in the style; empty: the plain text colour
    };
    OpenSetup s;
    for (const Case& c : {Case{"Written and verified", "#1b5e20"},
                          Case{"Written, but the module holds other values for: ID 1", "#b71c1c"},
                          Case{"No answer from the module for: Vout", "#b71c1c"}, Case{"Writing...", ""}}) {
      s.f.core.setup.window.transferStatus = c.text;
      s.f.core.setup.window.changed.notify();
      QLabel* line = s.window->transferStatusLine();
      QVERIFY(line->isVisible());
      QCOMPARE(line->text(), QString(c.text));
      QCOMPARE(line->styleSheet().contains(c.colour), true);
      if (!*c.colour) QVERIFY(line->styleSheet().isEmpty());
    }
  }

  void probeTimeIsTypedThroughItsMaskAndSent() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    QLineEdit* time = s.window->setTimeBox();
    QVERIFY(time->isEnabled());
    QCOMPARE(time->toolTip(), QString("Set probe used time (hhhh:mm:ss)"));
    time->setFocus();
    time->home(false);
    QTest::keyClicks(time, "0012x3456");  // the letter is refused, the colons are skipped
    QCOMPARE(s.f.core.setup.window.Set_Time, std::string("0012:34:56"));
    QTest::mouseClick(s.window->button("Send_Time"), Qt::LeftButton);
    QVERIFY(s.f.dialogs.messages.empty());
    time->end(false);
    QTest::keyClick(time, Qt::Key_Backspace);
    QTest::mouseClick(s.window->button("Send_Time"), Qt::LeftButton);
    QCOMPARE(s.f.dialogs.messages.back().text, std::string("Invalid time format(hhhhh:mm:ss)"));
  }

  void toolboxPutsItsCoefficientsIntoTheChannelRow() {
    OpenSetup s("OX2", oxalis::kLevelExpert);
    QTableWidget* grid = s.window->grid();
    clickCell(grid, 1, 0);
    QFrame* toolbox = s.window->toolbox();
    QVERIFY(toolbox->isVisible());
    const auto box = [&](const char* name) { return toolbox->findChild<QLineEdit*>(name); };
    QTest::mouseClick(toolbox->findChild<QRadioButton*>("Option1surX"), Qt::LeftButton);
    QVERIFY(!box("VX2")->isEnabled() && !box("VY2")->isEnabled());
    QTest::mouseClick(toolbox->findChild<QRadioButton*>("OptionAx"), Qt::LeftButton);
    QVERIFY(box("VX2")->isEnabled() && box("VY2")->isEnabled());
    for (const auto& [name, text] : {std::pair{"VX1", "0"}, std::pair{"VY1", "0"}, std::pair{"VX2", "1000"},
                                     std::pair{"VY2", "5000"}, std::pair{"Vdec", "2"}})
      type(box(name), text);
    picture(*s.window, "toolbox");
    QTest::mouseClick(toolbox->findChild<QPushButton*>("SET_COEF"), Qt::LeftButton);
    QVERIFY(!toolbox->isVisible());
    QStringList coefficients;
    for (int column = 6; column <= 10; ++column) coefficients << grid->item(1, column)->text().trimmed();
    QCOMPARE(coefficients, QStringList({"500", "0", "0", "100", "2"}));
    QCOMPARE(grid->item(1, 6)->background().color(), modified());
  }

  void eachModuleTypeShowsItsOwnLayout() {
    struct Case {
      const char* code;
      std::vector<const char*> shown;
      std::vector<const char*> hidden;
      QString idDisplayLabel;
      bool gridEnabled;
    };
    const std::vector<Case> cases{
        {"OX2", {"ListeProtocoles", "Combo_Filtre", "FactorySet", "Rich_HS", "TableArea", "GrilleConversion",
                 "TableCurve", "OptionAF", "ReadVout", "WriteVout"},
         {"Option_User", "Option_Skynam", "Label_NotAllowed", "TabStripCarto"}, "ID Display", true},
        {"PNU", {"ListeProtocoles", "Combo_Filtre", "Label_NotAllowed", "TabStripCarto", "GrilleConversion"},
         {"FactorySet", "Option_User", "OptionRich"}, "ID Oxalis", true},
        {"OXL", {"Rich_HS", "FactorySet"}, {"Combo_Filtre", "Combo_Filtre_Label", "Label_NotAllowed"}, "ID Display",
         false},
        {"RMW", {"ID0", "ID2", "Vout_NOT"},
         {"ListeProtocoles", "Option_User", "ID1", "ID1_Label", "ID4", "SelMsg0", "Rich_NOT", "Rich_HS",
          "FactorySet", "TableArea", "GrilleConversion", "TableCurve", "ReadVout", "TabStripCarto"},
         "ID for ECU", true},
    };
    for (const Case& c : cases) {
      OpenSetup s(c.code);
      for (const char* name : c.shown) QVERIFY2(s.window->findChild<QWidget*>(name)->isVisible(), name);
      for (const char* name : c.hidden) QVERIFY2(!s.window->findChild<QWidget*>(name)->isVisible(), name);
      QCOMPARE(s.window->captionLabel(Field::ID2)->text(), c.idDisplayLabel);
      QCOMPARE(s.window->grid()->isEnabled(), c.gridEnabled);
      picture(*s.window, c.code);
      // On a 1366 x 768 screen (less the frame and the desktop's panels)
      // everything shows without scrolling.
      s.window->resize(1350, 720);
      QApplication::sendPostedEvents();
      QVERIFY(!s.window->findChild<QScrollArea*>("SetupScroll")->verticalScrollBar()->isVisible());
      QVERIFY(!s.window->findChild<QScrollArea*>("SetupScroll")->horizontalScrollBar()->isVisible());
    }
  }
};

QTEST_MAIN(SetupWindowTest)
#include "setup_window_test.moc"

// The main window's menus, tool bar, access-code window and about box.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "AboutDialog.h"
#include "AccessCodeDialog.h"
#include "CoreFixture.h"
#include "QtDialogs.h"
#include "Screenshot.h"
#include "TempFolder.h"
#include "MainWindow.h"
#include "app/UserLevel.h"

using namespace oxalis;

class ShellTest : public QObject {
  Q_OBJECT
 private slots:
  void theWindowComesBackWhereItWasUnlessNoScreenShowsThatPlace() {
    test::CoreFixture f;
    {
      MainWindow first(f.core);
      first.setGeometry(QRect(30, 40, 960, 560));
      first.rememberPlace();
    }
    const std::string remembered = f.core.state.windowGeometry;
    QCOMPARE(QString::fromStdString(remembered), QString("30,40,960,560,0"));
    MainWindow again(f.core);
    again.restorePlace();
    QCOMPARE(again.geometry(), QRect(30, 40, 960, 560));

    f.core.state.windowGeometry = "9000,9000,980,560,0";  // a monitor no longer plugged in
    MainWindow elsewhere(f.core);
    const QRect own = elsewhere.geometry();
    elsewhere.restorePlace();
    QCOMPARE(elsewhere.geometry(), own);
  }

  void thePortMenuListsTheDevicesPresentAndChoosesOne() {
    test::CoreFixture f;
    MainWindow window(f.core);
    const auto texts = [&] {
      QStringList out;
      for (QAction* a : window.findChild<QMenu*>("PortMenu")->actions())
        if (!a->isSeparator()) out << a->text() + (a->isEnabled() ? "" : " [off]") + (a->isChecked() ? " [x]" : "");
      return out;
    };
    QCOMPARE(texts(), (QStringList{"&Automatic search [x]", "No serial device found [off]"}));
    const SerialDevice adapter{"/dev/ttyUSB1", "FT232R USB UART", 0x0403, 0x6001};
    const SerialDevice modem{"/dev/ttyACM0", "", -1, -1};
    const SerialDevice builtIn{"/dev/ttyS0", "", -1, -1};
    window.showPorts({builtIn, modem, adapter});  // plugged in
    QCOMPARE(texts(), (QStringList{"&Automatic search [x]", "COM2: /dev/ttyUSB1 - FT232R USB UART (0403:6001)",
                                   "COM17: /dev/ttyACM0", "/dev/ttyS0 (no port number) [off]"}));
    window.findChild<QAction*>("Port2")->trigger();
    QCOMPARE(f.core.link.state.chosenPort, 2);
    window.showPorts({builtIn, modem});  // the adapter pulled out
    QCOMPARE(texts(), (QStringList{"&Automatic search", "COM17: /dev/ttyACM0", "/dev/ttyS0 (no port number) [off]"}));
    window.findChild<QAction*>("PortAutomatic")->trigger();
    QCOMPARE(f.core.link.state.chosenPort, 0);

    // A link in the ports folder (a pseudo-terminal, a simulated module) is
    // listed under its number while it points at something.
    test::TempFolder folder;
    test::WriteBytes(folder / "pts5", "");
    std::filesystem::create_directory(folder / "ports");
    std::filesystem::create_symlink(folder / "pts5", folder / "ports" / "COM5");
    window.setPortMap(PortMap({folder / "ports"}));
    window.showPorts({builtIn});
    QCOMPARE(texts(), (QStringList{"&Automatic search [x]", QString("COM5: %1 - port link").arg((folder / "pts5").c_str()),
                                   "/dev/ttyS0 (no port number) [off]"}));
    std::filesystem::remove(folder / "pts5");  // dangling: not listed
    window.showPorts({builtIn});
    QCOMPARE(texts(), (QStringList{"&Automatic search [x]", "/dev/ttyS0 (no port number) [off]"}));
  }

  void menusCarryTheirCaptionsAndShortcuts() {
    test::CoreFixture f;
    MainWindow window(f.core);
    QCOMPARE(window.action("DataOpen")->text(), QString("&Open"));
    QCOMPARE(window.action("DataOpen")->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(window.action("DataSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    QCOMPARE(window.action("DataSaveAs")->text(), QString("Save &As"));
    QCOMPARE(window.action("Exit")->shortcut(), QKeySequence("Ctrl+Q"));
    QCOMPARE(window.action("NiveauHyperUser")->text(), QString("&Master"));
    QCOMPARE(window.action("About")->text(), QString("&About"));
    QVERIFY(!window.action("MenuSetup")->isEnabled());  // no setup window in this version
    QStringList menus;
    for (QAction* a : window.menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Tools", "&Port", "T&race", "&About"}));  // the trace's measuring tools before About
  }

  void toolbarFollowsTheModelAndGreysDisabledButtons() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.show();
    QCOMPARE(window.toolButton("Open")->toolTip(), QString("Open"));
    QCOMPARE(window.toolButton("Load_Firmware")->toolTip(), QString("Load Firmware"));
    QVERIFY(window.toolButton("Start_Record")->isEnabled());
    QVERIFY(!window.toolButton("Stop_Record")->isEnabled());
    window.toolButton("Start_Record")->trigger();
    QVERIFY(!window.toolButton("Start_Record")->isEnabled());
    QVERIFY(!window.toolButton("Open")->isEnabled());
    QVERIFY(!window.action("DataNew")->isEnabled());
    QVERIFY(window.toolButton("Stop_Record")->isEnabled());
    test::saveScreenshot(window, "main_window_recording.png");
  }

  // Escape, or the box's close button, on a question that has Cancel
  // answers Cancel, never No.
  void escapeOnAQuestionIsCancel() {
    QtDialogs dialogs;
    for (const bool useCloseButton : {false, true}) {
      QTimer::singleShot(0, [useCloseButton] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        test::saveScreenshot(*box, "close_question.png");
        if (useCloseButton)
          box->close();
        else
          QTest::keyClick(box, Qt::Key_Escape);
      });
      QCOMPARE(dialogs.question("Data not saved. Do you want save them?", "Save Data", QuestionButtons::YesNoCancel,
                                MessageIcon::Question),
               Answer::Cancel);
    }
  }

  void closingWithUnsavedDataStaysOpenUnlessLetGo() {
    test::TempFolder folder;
    test::CoreFixture f;
    f.core.state.appFolder = folder.path().string();
    f.core.start();
    MainWindow window(f.core);
    window.show();
    f.core.state.dataNotSaved = true;
    f.dialogs.answers = {Answer::Cancel};
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QVERIFY(f.core.state.dataNotSaved);
    f.dialogs.answers = {Answer::No};
    QVERIFY(window.close());
    QCOMPARE(f.dialogs.questions.size(), std::size_t{2});
  }

  void levelMenuTicksTheCurrentLevel() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    const auto ticked = [&window] {
      QStringList out;
      for (const char* name : {"NiveauBasic", "NiveauNormal", "NiveauExpert", "NiveauHyperUser"})
        if (window.action(name)->isChecked()) out << name;
      return out;
    };
    QCOMPARE(ticked(), QStringList{"NiveauExpert"});
    // Choosing Basic and leaving the code window keeps the tick on Expert.
    QTimer::singleShot(0, [] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog);
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.action("NiveauBasic")->trigger();
    QCOMPARE(ticked(), QStringList{"NiveauExpert"});
    requestLevel(f.core, kLevelMaster);
    validateLevelCode(f.core, "482913");
    QCOMPARE(ticked(), QStringList{"NiveauHyperUser"});
  }

  // A 1024 x 768 screen, less the window frame and the desktop's panel:
  // every value cell, lamp and the status bar stay inside the window.
  void smallScreenKeepsEverythingInside() {
    test::CoreFixture f;
    MainWindow window(f.core);
    window.show();
    window.resize(1010, 690);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    QCOMPARE(window.size(), QSize(1010, 690));
    const QRect inside = window.rect();
    const auto within = [&](QWidget* w) { return inside.contains(QRect(w->mapTo(&window, QPoint(0, 0)), w->size())); };
    for (int i = 0; i < 18; ++i)
      if (window.livePanel()->cell(i)->isVisible()) QVERIFY2(within(window.livePanel()->cell(i)), qPrintable(QString::number(i)));
    for (int i = 0; i < 9; ++i) QVERIFY(within(window.livePanel()->lamp(i)));
    QVERIFY(within(window.statusBar()));
    QVERIFY(window.trace()->height() > 150);
  }

  void accessCodeWindowMasksMasterCodes() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    requestLevel(f.core, kLevelMaster);
    AccessCodeDialog dialog(f.core, &window);
    dialog.show();
    QCOMPARE(dialog.objectName(), QString("Saisie_Code"));
    QCOMPARE(dialog.windowTitle(), QString("User Code"));
    QCOMPARE(dialog.codeBox()->echoMode(), QLineEdit::Password);
    QTest::keyClicks(dialog.codeBox(), "482913");
    test::saveScreenshot(dialog, "access_code_master.png");
    QTest::mouseClick(dialog.enterButton(), Qt::LeftButton);
    QCOMPARE(f.core.state.userLevel, std::uint8_t{kLevelMaster});
    QCOMPARE(window.statusPanel(4)->text(), QString("User level : Master"));
  }

  void accessCodeCaptionShowsTheIdentifierWhenItArrives() {
    test::CoreFixture f;
    f.core.start();
    requestLevel(f.core, kLevelNormal);
    AccessCodeDialog dialog(f.core, nullptr);
    dialog.show();
    f.core.accessCode.userCodeBase = 4321;
    f.core.accessCode.caption = "User Code ID: 24321";
    f.core.accessCode.changed.notify();
    QCOMPARE(dialog.windowTitle(), QString("User Code ID: 24321"));
    QCOMPARE(dialog.userCodeLabel()->text(), QString("User Code ID: 24321"));
    QCOMPARE(dialog.codeBox()->echoMode(), QLineEdit::Normal);
    test::saveScreenshot(dialog, "access_code_normal.png");
  }

  void wrongCodeKeepsTheWindowOpenAndCancelCloses() {
    test::CoreFixture f;
    f.core.start();
    requestLevel(f.core, kLevelNormal);
    AccessCodeDialog dialog(f.core, nullptr);
    dialog.show();
    QTest::keyClicks(dialog.codeBox(), "12");
    QTest::mouseClick(dialog.enterButton(), Qt::LeftButton);
    QCOMPARE(f.dialogs.messages.at(0).text, std::string("Wrong Code"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.codeBox()->text(), QString());
    QCOMPARE(f.core.state.userLevel, std::uint8_t{kLevelExpert});
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!f.core.accessCode.visible);
    QCOMPARE(f.core.state.userLevel, std::uint8_t{kLevelExpert});
  }

  void aboutBoxShowsTheHistoryInAFixedFont() {
    AboutDialog about(nullptr);
    about.show();
    QCOMPARE(about.windowTitle(), QString("About"));
    QVERIFY(about.releaseNote()->isReadOnly());
    QVERIFY(about.releaseNote()->toPlainText().startsWith("V2.8    Fix: crash during minimisation of main window\n"));
    QVERIFY(QFontInfo(about.releaseNote()->font()).fixedPitch());
    test::saveScreenshot(about, "about.png");
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"

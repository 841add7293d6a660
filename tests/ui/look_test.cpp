// The light and the dark look: every window rendered in each, every text on
// it measured against its own background (WCAG contrast of at least 4.5),
// and the tool bar's pictures against the bar (at least 3, as for any
// picture that carries meaning).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "AboutDialog.h"
#include "AccessCodeDialog.h"
#include "CoreFixture.h"
#include "FactoryWindow.h"
#include "FirmwareWindow.h"
#include "LivePanelWidget.h"
#include "MainWindow.h"
#include "Screenshot.h"
#include "SetupWindow.h"
#include "SimulatedLink.h"
#include "TempFolder.h"
#include "Theme.h"
#include "app/DataCommands.h"
#include "app/Recording.h"
#include "app/UserLevel.h"

using namespace oxalis;

namespace {

// The contrast of what is drawn in `area` of `picture`: its background is
// its most common colour, the text the pixel farthest from it (the core of
// a glyph's stroke; its edges are blended with the background, and a round
// digit such as "3" may have a single pixel of the full colour).
double contrastIn(const QImage& picture, QRect area) {
  QHash<QRgb, int> counts;
  // The area is in points; at 200 % a picture has two pixels a point.
  const qreal scale = picture.devicePixelRatio();
  area = QRect(area.topLeft() * scale, area.size() * scale).intersected(picture.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[picture.pixel(x, y)];
  QRgb background = 0;
  int most = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > most) most = it.value(), background = it.key();
  double best = 1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    best = std::max(best, contrastRatio(QColor(it.key()), QColor(background)));
  return best;
}

// The part of a widget where its text lies, away from frames, bevels,
// indicators and arrows.
QRect textArea(QWidget* w) {
  const int indicator = w->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                        w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
  if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) return w->rect().adjusted(indicator, 1, -1, -1);
  if (qobject_cast<QComboBox*>(w)) return w->rect().adjusted(4, 4, -w->height(), -4);
  if (qobject_cast<QLabel*>(w)) return w->contentsRect();
  return w->rect().adjusted(4, 4, -4, -4);
}

QString textOf(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  if (auto* cell = qobject_cast<ValueCell*>(w)) return cell->text();
  return {};
}

// Every shown, enabled text of the window below 4.5, by name.
QStringList unreadable(QWidget& window, const QString& look) {
  QApplication::sendPostedEvents();
  const QImage picture = window.grab().toImage();
  QStringList failures;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&window) || !w->isEnabled() || w->window() != &window) continue;
    if (textOf(w).trimmed().isEmpty() || qobject_cast<QToolButton*>(w)) continue;
    // Only what is on screen: a scroll area may hold part of the widget out of sight.
    const QRect area = textArea(w).intersected(w->visibleRegion().boundingRect()).translated(w->mapTo(&window, QPoint(0, 0)));
    if (area.width() < 4 || area.height() < 4) continue;
    const double ratio = contrastIn(picture, area);
    if (ratio < 4.5)
      failures << QString("%1 %2 %3 %4 '%5' %6").arg(look, window.objectName(), w->metaObject()->className(), w->objectName(), textOf(w).left(20)).arg(ratio, 0, 'f', 2);
  }
  return failures;
}

void picture(QWidget& window, const QString& name) {
  QApplication::sendPostedEvents();
  test::saveScreenshot(window, name.toUtf8().constData());
}

}  // namespace

class LookTest : public QObject {
  Q_OBJECT
 private slots:
  void everyWindowReadsInBothLooks_data() {
    QTest::addColumn<QString>("look");
    QTest::addColumn<QString>("module");
    QTest::newRow("light OX2") << "Light" << "OX2";
    QTest::newRow("dark OX2") << "Dark" << "OX2";
    QTest::newRow("light PNU") << "Light" << "PNU";
    QTest::newRow("dark PNU") << "Dark" << "PNU";
  }

  void everyWindowReadsInBothLooks() {
    QFETCH(QString, look);
    QFETCH(QString, module);
    test::TempFolder folder;
    test::SimulatedLink link;
    link.plug(1, module.toStdString());
    link.core.state.appFolder = folder.path().string();
    link.core.start();
    link.core.state.theme = look.toStdString();
    MainWindow window(link.core);
    window.showLook();
    window.resize(1366, 740);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(currentLook(), look == "Dark" ? Look::Dark : Look::Light);
    link.run(2000);
    startRecord(link.core);
    link.run(3000);
    QTest::mouseMove(window.trace()->oscillo(), QPoint(300, 100));  // the cursor time box
    QTest::qWait(50);
    QStringList failures = unreadable(window, look);
    const QString tag = look.toLower() + "_" + module;
    picture(window, "look_main_" + tag + ".png");

    // The tool bar's pictures, recording (stop enabled) and not (stop greyed).
    for (bool recording : {true, false}) {
      if (!recording) stopRecord(link.core);
      QApplication::sendPostedEvents();
      const QImage bar = window.toolbar()->grab().toImage();
      for (QAction* action : window.toolbar()->actions()) {
        QWidget* button = window.toolbar()->widgetForAction(action);
        if (!button || action->isSeparator()) continue;
        const QRect area = button->geometry().adjusted(3, 3, -3, -3);
        // A greyed picture needs only to stay in sight; an active one to stand out.
        const double ratio = contrastIn(bar, area);
        if (ratio < (action->isEnabled() ? 3.0 : 2.0))
          failures << QString("%1 picture %2 %3 %4").arg(look, action->objectName()).arg(action->isEnabled()).arg(ratio, 0, 'f', 2);
      }
    }

    // A replay's bar.
    const std::string file = (folder / "run.DA1").string();
    link.dialogs.files = {file};
    QVERIFY(dataSaveAs(link.core));
    QVERIFY(dataOpenFile(link.core, file));
    QTest::mouseClick(window.replayPlayButton(), Qt::LeftButton);
    link.run(500);
    failures += unreadable(window, look);
    picture(window, "look_replay_" + tag + ".png");

    // The setup window, the factory window and the About box.
    link.core.openSetup();
    {
      SetupWindow setup(link.core, nullptr);
      setup.resize(1366, 740);
      setup.show();
      QVERIFY(QTest::qWaitForWindowExposed(&setup));
      failures += unreadable(setup, look);
      picture(setup, "look_setup_" + tag + ".png");
    }
    link.core.closeSetup();
    link.core.state.userLevel = kLevelMaster;
    ApplyUserLevel(link.core);
    FactoryWindow* factory = window.factoryWindow();
    QVERIFY(factory->isVisible());
    link.run(500);
    failures += unreadable(*factory, look);
    picture(*factory, "look_factory_" + tag + ".png");
    AboutDialog about(nullptr);
    about.show();
    failures += unreadable(about, look);
    picture(about, "look_about_" + tag + ".png");
    link.core.firmware.open();
    FirmwareWindow firmware(link.core, nullptr);
    firmware.show();
    failures += unreadable(firmware, look);
    picture(firmware, "look_firmware_" + tag + ".png");
    requestLevel(link.core, kLevelExpert);
    AccessCodeDialog code(link.core, nullptr);
    code.show();
    failures += unreadable(code, look);
    picture(code, "look_access_code_" + tag + ".png");
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
  }

  // A bigger window gives the five main quantities bigger digits.
  void theLiveDigitsGrowWithTheWindow() {
    test::CoreFixture f;
    MainWindow window(f.core);
    window.resize(1366, 740);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::sendPostedEvents();
    const int small = window.livePanel()->cell(1)->height();
    window.resize(1920, 1040);
    QApplication::sendPostedEvents();
    QTest::qWait(20);
    QVERIFY2(window.livePanel()->cell(1)->height() >= small * 3 / 2,
             qPrintable(QString("%1 -> %2").arg(small).arg(window.livePanel()->cell(1)->height())));
  }
};

QTEST_MAIN(LookTest)
#include "look_test.moc"

// Port numbering: ports folders in order, then the platform's own devices.
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "PortMap.h"

using oxalis::PortMap;
namespace fs = std::filesystem;

class PortMapTest : public QObject {
  Q_OBJECT

 private slots:
  void firstFolderWithAnEntryWins() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path demo = root / "demo";
    const fs::path app = root / "app";
    fs::create_directories(demo);
    fs::create_directories(app);
    fs::create_symlink("/dev/null", demo / "COM2");
    fs::create_symlink("/dev/null", app / "COM2");
    fs::create_symlink("/dev/null", app / "COM4");
    // A link whose device is gone still names the port: opening it then
    // reports the device absent instead of trying another device.
    fs::create_symlink(root / "nowhere", demo / "COM5");
    std::ofstream(app / "COM6").put('x');

    const PortMap map({demo, root / "missing-folder", app});
    QCOMPARE(map.resolve(2), demo / "COM2");
    QCOMPARE(map.resolve(4), app / "COM4");
    QCOMPARE(map.resolve(5), demo / "COM5");
    QCOMPARE(map.resolve(6), app / "COM6");
    QCOMPARE(map.resolve(3), PortMap::platformDefault(3));
    // No COM33 entry is ever looked for.
    fs::create_symlink("/dev/null", app / "COM33");
    QVERIFY(map.resolve(33).empty());
  }

  void platformDefaults() {
    const PortMap map;
#ifdef _WIN32
    QCOMPARE(map.resolve(1), fs::path("COM1"));
    QCOMPARE(map.resolve(32), fs::path("COM32"));
#else
    QCOMPARE(map.resolve(1), fs::path("/dev/ttyUSB0"));
    QCOMPARE(map.resolve(16), fs::path("/dev/ttyUSB15"));
    QCOMPARE(map.resolve(17), fs::path("/dev/ttyACM0"));
    QCOMPARE(map.resolve(32), fs::path("/dev/ttyACM15"));
#endif
    QVERIFY(map.resolve(0).empty());
    QVERIFY(map.resolve(-1).empty());
    QVERIFY(map.resolve(33).empty());
  }
};

QTEST_MAIN(PortMapTest)
#include "port_map_test.moc"

// The Qt serial adapter against a pseudo-terminal standing in for the module's
// USB serial adapter: bytes both ways, open failures, and an unplugged adapter.
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "PortMap.h"
#include "QtSerialPort.h"

using oxalis::PortMap;
using oxalis::PortOpenResult;
using oxalis::QtSerialPort;

namespace {

constexpr int kWaitMs = 5000;

// The far end of the link: the master side of a raw pseudo-terminal. A slave
// descriptor stays open here so the master does not see a hang-up whenever
// the adapter closes its side.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) return;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) return;
    // Raw before anything is written: canonical mode would echo, rewrite CR
    // and swallow XON/XOFF.
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0) return;
    ::cfmakeraw(&tio);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0) return;
    slavePath_ = name;
  }
  ~PseudoTerminal() {
    closeMaster();
    closeSlave();
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool ok() const { return !slavePath_.empty(); }
  const std::string& slavePath() const { return slavePath_; }
  int master() const { return master_; }

  bool write(std::string_view bytes) {
    return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Everything the adapter has sent so far.
  std::string readAvailable() {
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = ::read(master_, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    return out;
  }
  void closeMaster() { closeFd(master_); }
  void closeSlave() { closeFd(slave_); }

 private:
  static void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

// Runs the event loop until a condition holds. Whatever can make it hold calls
// poke(); the time-out only ends a test that would otherwise hang.
class Waiter {
 public:
  bool until(std::function<bool()> done) {
    if (done()) return true;
    QEventLoop loop;
    loop_ = &loop;
    done_ = std::move(done);
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    loop_ = nullptr;
    return done_();
  }
  void poke() {
    if (loop_ && done_()) loop_->quit();
  }

 private:
  QEventLoop* loop_ = nullptr;
  std::function<bool()> done_;
};

// Collects what the adapter sends to the far end.
class MasterReader {
 public:
  MasterReader(PseudoTerminal& pty, Waiter& waiter) : pty_(pty), notifier_(pty.master(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this, &waiter] {
      received += pty_.readAvailable();
      waiter.poke();
    });
  }
  // Before the master is closed.
  void stop() { notifier_.setEnabled(false); }
  std::string received;

 private:
  PseudoTerminal& pty_;
  QSocketNotifier notifier_;
};

std::string bytesOf(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

class SerialPtyTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::filesystem::path portsFolder_;

  void link(int portNumber, const std::string& target) {
    std::filesystem::create_symlink(target, portsFolder_ / ("COM" + std::to_string(portNumber)));
  }
  PortMap portMap() const { return PortMap({portsFolder_}); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    portsFolder_ = std::filesystem::path(dir_->path().toStdString()) / "ports";
    std::filesystem::create_directory(portsFolder_);
  }
  void cleanup() { dir_.reset(); }

  void bytesPassUnchangedBothWays() {
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    link(3, pty.slavePath());
    // Sent by the module before the port was opened: not for this session.
    QVERIFY(pty.write("stale"));

    Waiter waiter;
    MasterReader master(pty, waiter);
    QtSerialPort port(portMap());
    std::string received;
    port.setByteHandler([&](std::uint8_t b) {
      received.push_back(static_cast<char>(b));
      waiter.poke();
    });

    QCOMPARE(port.open(3), PortOpenResult::Ok);
    QVERIFY(port.isOpen());
    QCOMPARE(port.currentPath(), QString::fromStdString((portsFolder_ / "COM3").string()));
    QCOMPARE(port.currentPort(), 3);

    const std::string request = ":00000012EE" + bytesOf({0x11});
    QVERIFY(port.write(request));
    QVERIFY(waiter.until([&] { return master.received.size() >= request.size(); }));
    QCOMPARE(master.received, request);

    // Flow-control characters, NUL, 0xFF and the record start are all data.
    const std::string reply = bytesOf({0x11, 0x13, 0x00, 0xFF, ':', 0x0D, 0x0A, 0x11, 0x7F, 0x80});
    QVERIFY(pty.write(reply));
    QVERIFY(waiter.until([&] { return received.size() >= reply.size(); }));
    QCOMPARE(received, reply);

    // Output dropped before it left is never seen by the module; what follows
    // arrives alone.
    master.received.clear();
    QVERIFY(port.write("dropped"));
    port.discardOutput();
    QVERIFY(port.write("K"));
    QVERIFY(waiter.until([&] { return !master.received.empty(); }));
    QCOMPARE(master.received, std::string("K"));

    port.close();
    QVERIFY(!port.isOpen());
    QVERIFY(port.currentPath().isEmpty());
    QVERIFY(!port.write("x"));
  }

  void openReportsAbsentForMissingDevices() {
    QtSerialPort port(portMap());
    // A link left behind by an adapter or demo that has gone away.
    link(7, (portsFolder_ / "gone").string());
    QCOMPARE(port.open(7), PortOpenResult::Absent);
    QVERIFY(!port.isOpen());
    const std::string text = port.lastOpenError();
    QVERIFY2(text.find((portsFolder_ / "COM7").string()) != std::string::npos, text.c_str());

    QCOMPARE(port.open(0), PortOpenResult::Absent);
    QCOMPARE(port.open(33), PortOpenResult::Absent);
    QVERIFY(!port.write("x"));
  }

  void openReportsPermissionDeniedWithDialoutFix() {
    if (::geteuid() == 0) QSKIP("runs as root, for whom every device is readable and writable");
    const auto device = portsFolder_ / "locked-device";
    {
      QFile file(QString::fromStdString(device.string()));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    std::filesystem::permissions(device, std::filesystem::perms::none);
    link(5, device.string());

    QtSerialPort port(portMap());
    QCOMPARE(port.open(5), PortOpenResult::PermissionDenied);
    const std::string text = port.lastOpenError();
    QVERIFY2(text.find("dialout") != std::string::npos, text.c_str());
    QVERIFY2(text.find((portsFolder_ / "COM5").string()) != std::string::npos, text.c_str());
  }

  void openReportsBusyWhileAnotherProgramHoldsThePort() {
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    link(3, pty.slavePath());
    QtSerialPort first(portMap());
    QtSerialPort second(portMap());
    QCOMPARE(first.open(3), PortOpenResult::Ok);

    QCOMPARE(second.open(3), PortOpenResult::Busy);
    const std::string text = second.lastOpenError();
    QVERIFY2(text.find("another program") != std::string::npos, text.c_str());

    first.close();
    QCOMPARE(second.open(3), PortOpenResult::Ok);
  }

  void unplugClosesThePortAndReportsLossOnce() {
    auto pty = std::make_unique<PseudoTerminal>();
    QVERIFY(pty->ok());
    link(3, pty->slavePath());

    Waiter waiter;
    QtSerialPort port(portMap());
    int lost = 0;
    port.setLostHandler([&] {
      ++lost;
      waiter.poke();
    });
    QCOMPARE(port.open(3), PortOpenResult::Ok);
    // An ordinary close is not a loss.
    port.close();
    QCOMPARE(port.open(3), PortOpenResult::Ok);

    // Pulling the adapter: the far end closes. Closing the master alone is
    // enough (the helper's slave descriptor does not keep the line up); the
    // adapter's side then reads end-of-file on every pass of the event loop,
    // which Qt reports as ReadError with an unrelated errno, or EIO
    // (ResourceError) when output was pending. Both descriptors go here, as
    // they do when a simulated module is unplugged.
    pty.reset();
    QVERIFY(waiter.until([&] { return lost > 0; }));
    QCOMPARE(lost, 1);
    QVERIFY(!port.isOpen());

    // Had the port stayed open, the hung-up descriptor would raise the error
    // again on the very next pass.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(lost, 1);
    QVERIFY(!port.write(":00000012EE"));
  }
};

QTEST_MAIN(SerialPtyTest)
#include "serial_pty_test.moc"

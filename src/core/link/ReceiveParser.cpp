#include "link/ReceiveParser.h"

#include "app/Core.h"
#include "link/RecordCodec.h"
#include "link/ReplyDispatch.h"

namespace oxalis {

namespace {
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
constexpr std::uint8_t kChecksumError = 0xC3;
constexpr std::uint8_t kBlankError = 0xC6;
constexpr std::uint8_t kVerifyError = 0xCC;
constexpr std::uint8_t kOverrun = 0xD8;
constexpr std::uint8_t kFirmwareChecksumError = 0xF0;
constexpr std::uint8_t kUpdateSuccessful = 0xFA;
constexpr int kSearchWaitForReplyMs = 500;
}  // namespace

void ReceiveParser::onByte(std::uint8_t c) {
  AppState& state = core_.state;
  RxState& rx = state.rx;

  if (state.linkUp) {
    state.dataFlowing = true;
    state.silentTicks = 0;
    if (core_.mainWindow.panel(2) != "Link ON") {
      core_.mainWindow.panel(2) = "Link ON";
      core_.mainWindow.changed.notify();
    }
  } else {
    // Something answers on the port under test: give it time to finish.
    core_.platform.timers.setInterval(TimerId::Search, kSearchWaitForReplyMs);
  }

  if (handleSingleCharacter(c)) return;

  if (c == ':') {
    rx.previousRxLine = std::move(rx.rxLine);
    rx.rxLine = ":";
    rx.rxCharCount = 1;
    rx.rxFrameBad = false;
    state.rxIdle = false;
    return;
  }
  if (state.rxIdle) return;

  rx.rxLine.push_back(static_cast<char>(c));
  const int digit = HexDigitValue(static_cast<char>(c));
  if (rx.rxCharCount % 2 == 1) {
    if (digit >= 0) rx.rxHighNibble = static_cast<std::uint8_t>(digit);
  } else {
    if (digit >= 0) rx.rxLowNibble = static_cast<std::uint8_t>(digit);
    const std::size_t i = rx.rxCharCount / 2;
    if (i < rx.rxFrame.size()) rx.rxFrame[i] = static_cast<std::uint8_t>(rx.rxHighNibble * 16 + rx.rxLowNibble);
  }
  if (rx.rxCharCount < 255) ++rx.rxCharCount;

  // A frame announcing more than 122 bytes can never reach its length, as
  // the count stops at 255: it is dropped at the next ":".
  if (rx.rxCharCount == 2 * rx.rxFrame[1] + 11) completeFrame();
}

bool ReceiveParser::handleSingleCharacter(std::uint8_t c) {
  AppState& state = core_.state;
  FactoryModel& factory = core_.factory;
  const auto tick = [&](bool FactoryModel::*box) {
    if (!factory.visible) return;
    factory.*box = true;
    factory.changed.notify();
  };
  switch (c) {
    case kXoff:
      core_.queue.onXoff();
      return true;
    case kXon:
      core_.queue.onXon(state.rxIdle ? std::string_view{} : std::string_view(state.rx.rxLine));
      return true;
    case kChecksumError:
      core_.queue.onChecksumError();
      return true;
    case kOverrun:
      core_.queue.onOverrun();
      return true;
    case kBlankError:
      core_.log.LogLine("Blank error");
      tick(&FactoryModel::Blank);
      return true;
    case kVerifyError:
      core_.log.LogLine("Verify error");
      tick(&FactoryModel::Verify);
      return true;
    case kFirmwareChecksumError:
      core_.log.LogLine("Firmware checksum error");
      tick(&FactoryModel::Verify);
      return true;
    case kUpdateSuccessful:
      core_.log.LogLine("Udate successful : " + std::to_string(kUpdateSuccessful));
      state.rx.updateOk = true;
      tick(&FactoryModel::Verify);
      return true;
    default:
      return false;
  }
}

void ReceiveParser::completeFrame() {
  AppState& state = core_.state;
  RxState& rx = state.rx;
  core_.log.LogLine("Chaine reçue : " + rx.rxLine);

  const int length = rx.rxFrame[1];
  unsigned sum = 0;
  for (int i = 1; i <= length + 4; ++i) sum += rx.rxFrame[static_cast<std::size_t>(i)];
  const std::uint8_t received = rx.rxFrame[static_cast<std::size_t>(length + 5)];
  if ((sum + received) % 256 != 0) {
    core_.log.LogLine("Chksum error " + HexByte(received) + "<>" + HexByte((256 - sum % 256) % 256));
    rx.rxFrameBad = true;
    state.rxIdle = true;
    return;
  }
  dispatchReply(core_);
  state.rxIdle = true;
}

}  // namespace oxalis

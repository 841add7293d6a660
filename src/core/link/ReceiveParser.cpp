#include "link/ReceiveParser.h"

#include <string>

#include "link/Link.h"
#include "link/RecordCodec.h"
#include "link/ReplyDispatch.h"
#include "platform/Timers.h"

namespace oxalis {

namespace {
using namespace link_char;
constexpr int kSearchWaitForReplyMs = 500;
}  // namespace

void ReceiveParser::onByte(std::uint8_t c) {
  LinkState& state = link_.state;
  RxState& rx = state.rx;

  if (state.linkUp) {
    state.dataFlowing = true;
    state.silentTicks = 0;
    if (!upReported_) {
      upReported_ = true;
      link_.events().linkStatusChanged(LinkStatus::Up);
    }
  } else {
    // Something answers on the port under test: give it time to finish.
    link_.timers().setInterval(TimerId::Search, kSearchWaitForReplyMs);
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
  if (digit < 0) {
    // A record holds nothing but hex digits: a noisy line turned one of
    // them into something else, and the checksum may not tell.
    dropFrame("Record dropped, not hexadecimal : ");
    return;
  }
  if (rx.rxCharCount % 2 == 1) {
    rx.rxHighNibble = static_cast<std::uint8_t>(digit);
  } else {
    rx.rxLowNibble = static_cast<std::uint8_t>(digit);
    const std::size_t i = rx.rxCharCount / 2;
    if (i < rx.rxFrame.size()) rx.rxFrame[i] = static_cast<std::uint8_t>(rx.rxHighNibble * 16 + rx.rxLowNibble);
  }
  if (rx.rxCharCount < 255) ++rx.rxCharCount;

  // The length byte is in: a frame longer than the receiver can hold would
  // never complete, and would only grow until the next ":".
  if (rx.rxCharCount == 3 && rx.rxFrame[1] > kMaxReceivedLength) {
    dropFrame("Record dropped, length too long : ");
    return;
  }
  if (rx.rxCharCount == 2 * rx.rxFrame[1] + 11) completeFrame();
}

void ReceiveParser::dropFrame(std::string_view reason) {
  LinkState& state = link_.state;
  RxState& rx = state.rx;
  if (link_.diagnostics().watching()) link_.diagnostics().logLine(std::string(reason) + rx.rxLine);
  ++rx.droppedRecords;
  rx.rxFrameBad = true;
  state.rxIdle = true;
}

bool ReceiveParser::handleSingleCharacter(std::uint8_t c) {
  LinkState& state = link_.state;
  LinkDiagnostics& diagnostics = link_.diagnostics();
  const auto report = [&](const char* line, LinkFlag flag) {
    if (!diagnostics.watching()) return;
    diagnostics.logLine(line);
    diagnostics.flag(flag);
  };
  switch (c) {
    case kXoff:
      link_.queue.onXoff();
      return true;
    case kXon:
      link_.queue.onXon(state.rxIdle ? std::string_view{} : std::string_view(state.rx.rxLine));
      return true;
    case kChecksumError:
      link_.queue.onChecksumError();
      return true;
    case kOverrun:
      link_.queue.onOverrun();
      return true;
    case kBlankError:
      report("Blank error", LinkFlag::Blank);
      return true;
    case kVerifyError:
      report("Verify error", LinkFlag::Verify);
      return true;
    case kFirmwareChecksumError:
      report("Firmware checksum error", LinkFlag::Verify);
      link_.events().bootloaderReply(c);
      return true;
    case kUpdateSuccessful:
      report("Udate successful : 250", LinkFlag::Verify);
      state.rx.updateOk = true;
      link_.events().bootloaderReply(c);
      return true;
    default:
      return false;
  }
}

void ReceiveParser::completeFrame() {
  LinkState& state = link_.state;
  RxState& rx = state.rx;
  if (link_.diagnostics().watching()) link_.diagnostics().logLine("Chaine reçue : " + rx.rxLine);

  const int length = rx.rxFrame[1];
  unsigned sum = 0;
  for (int i = 1; i <= length + 4; ++i) sum += rx.rxFrame[static_cast<std::size_t>(i)];
  const std::uint8_t received = rx.rxFrame[static_cast<std::size_t>(length + 5)];
  if ((sum + received) % 256 != 0) {
    if (link_.diagnostics().watching())
      link_.diagnostics().logLine("Chksum error " + HexByte(received) + "<>" + HexByte((256 - sum % 256) % 256));
    rx.rxFrameBad = true;
    state.rxIdle = true;
    return;
  }
  dispatchReply(link_);
  state.rxIdle = true;
}

}  // namespace oxalis

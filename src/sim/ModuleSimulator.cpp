#include "sim/ModuleSimulator.h"

#include <algorithm>
#include <utility>

#include "link/RecordCodec.h"
#include "sim/MeasurementFrame.h"

namespace oxalis::sim {

namespace {

constexpr std::uint8_t kData = 0x00;
constexpr std::uint8_t kArea = 0x04;
constexpr std::uint8_t kReadParams = 0x10;
constexpr std::uint8_t kReadMemory = 0x11;
constexpr std::uint8_t kIdentify = 0x12;
constexpr std::uint8_t kFrames = 0x13;
constexpr std::uint8_t kReload = 0x14;
constexpr std::uint8_t kTime = 0x15;
constexpr std::uint8_t kEnd = 0x01;
constexpr std::uint8_t kRestart = 0x20;
constexpr std::uint16_t kRestartAddress = 0x0001;

constexpr std::uint16_t kConfigurationArea = 0x00F0;
constexpr std::uint16_t kProgramArea = 0x0000;
constexpr std::uint8_t kTimeReloadGroup = 4;

constexpr std::uint8_t kErasedBootloaderVersion = 0xFF;
constexpr std::uint8_t kErasedCountsAs = 10;
// Bootloaders above this version check the end checksum.
constexpr std::uint8_t kLastVersionWithoutEndChecksum = 12;

// Separates the fault draws from the signal noise of the same seed.
constexpr std::uint32_t kFaultSeedSalt = 0x5EEDFA17u;

bool Overlaps(int begin, int end, int slot) { return begin < slot + 4 && slot < end; }

bool IsRestart(const ReceivedRecord& r) { return r.type == kRestart && r.address == kRestartAddress && r.data.empty(); }

// The checksum byte the record arrived with: the two's complement of the
// sum of its other bytes.
std::uint8_t ChecksumByte(const ReceivedRecord& r) {
  unsigned sum = static_cast<unsigned>(r.data.size()) + (r.address >> 8) + (r.address & 0xFF) + r.type;
  for (const auto b : r.data) sum += b;
  return static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

// Records of a firmware file that the end checksum counts: data and the
// address records, not the end record.
bool CountsInEndChecksum(std::uint8_t type) { return type == kData || (type >= 0x02 && type <= 0x05); }

}  // namespace

ModuleSimulator::ModuleSimulator(SimOptions options)
    : options_(std::move(options)),
      type_(ModuleTypeOf(options_.device)),
      faults_(options_.faults),
      configuration_(DefaultConfiguration(options_)),
      active_(configuration_),
      program_(DefaultProgramMemory(options_)),
      engine_(options_.seed),
      faultRng_(options_.seed ^ kFaultSeedSalt),
      counterBase_(options_.usedTime) {}

void ModuleSimulator::receive(std::string_view bytes) {
  for (char c : bytes) receive(static_cast<std::uint8_t>(c));
}

void ModuleSimulator::receive(std::uint8_t byte) {
  if (faults_.silent || updateStalled()) return;
  if (byte == kXon || byte == kXoff) return;
  switch (assembler_.push(static_cast<char>(byte))) {
    case RecordAssembler::Result::Pending:
      return;
    case RecordAssembler::Result::Rejected:
      sendByte(kChecksumError);
      sendXon();
      return;
    case RecordAssembler::Result::Valid:
      if (chance(faults_.checksumErrorProbability)) {
        sendByte(kChecksumError);
        sendXon();
        return;
      }
      if (bootloader_) {
        bootload(assembler_.record());
        return;
      }
      act(assembler_.record());
      sendXon();
      if (IsRestart(assembler_.record())) enterBootloader();
      return;
  }
}

void ModuleSimulator::act(const ReceivedRecord& record) {
  switch (record.type) {
    case kIdentify:
      identify();
      break;
    case kReadParams:
      readParameters(record);
      break;
    case kReadMemory:
      readMemory(record);
      break;
    case kFrames:
      if (record.address == 1 && !streaming_) {
        streaming_ = true;
        nextFrame_ = now_ + kFramePeriod;
      } else if (record.address == 0) {
        streaming_ = false;
      }
      break;
    case kReload:
      reload(static_cast<std::uint8_t>(record.address & 0xFF));
      break;
    case kTime: {
      const std::uint32_t t = runningTime();
      const std::string data = {static_cast<char>(t >> 24), static_cast<char>(t >> 16 & 0xFF),
                                static_cast<char>(t >> 8 & 0xFF), static_cast<char>(t & 0xFF)};
      sendRecord(kTime, 0, data);
      break;
    }
    case kArea:
      selectArea(record);
      break;
    case kData:
      writeData(record);
      break;
    default:
      break;
  }
}

void ModuleSimulator::identify() {
  const auto& c = configuration_;
  const std::uint8_t* identity = &c[cfg::kIdentity];
  std::string data = options_.device;
  data.resize(3, ' ');
  const auto add = [&data](std::uint8_t b) { data.push_back(static_cast<char>(b)); };
  if (type_ == ModuleType::Oxl) {
    add(identity[2]);
    add(identity[4]);
  } else {
    if (type_ == ModuleType::Qtx) add(options_.version.value_or(DefaultVersion(type_)).boardVariant);
    for (int i = 2; i < 6; ++i) add(identity[i]);
  }
  sendRecord(kIdentify, ReadWordBigEndian(c, cfg::kIdentity), data);
}

void ModuleSimulator::readParameters(const ReceivedRecord& record) {
  const int count = record.address >> 8;
  const int start = record.address & 0xFF;
  std::string data;
  for (int i = 0; i < count; ++i) data.push_back(static_cast<char>(configuration_[(start + i) & 0xFF]));
  sendRecord(kReadParams, static_cast<std::uint16_t>(start), data);
}

void ModuleSimulator::readMemory(const ReceivedRecord& record) {
  const int count = record.data.empty() ? 0 : record.data[0];
  std::string data;
  for (int i = 0; i < count; ++i)
    data.push_back(static_cast<char>(program_[(record.address + i) % kProgramMemorySize]));
  sendRecord(kReadMemory, record.address, data);
}

void ModuleSimulator::selectArea(const ReceivedRecord& record) {
  if (record.data.size() != 2) return;
  const auto upper = static_cast<std::uint16_t>(record.data[0] << 8 | record.data[1]);
  area_ = upper == kConfigurationArea ? MemoryArea::Configuration
          : upper == kProgramArea     ? MemoryArea::Program
                                      : MemoryArea::Other;
}

void ModuleSimulator::writeData(const ReceivedRecord& record) {
  const auto size = static_cast<int>(record.data.size());
  if (area_ == MemoryArea::Program) {
    for (int i = 0; i < size; ++i) program_[(record.address + i) % kProgramMemorySize] = record.data[i];
    return;
  }
  if (area_ != MemoryArea::Configuration) return;
  const int start = record.address & 0xFF;
  for (int i = 0; i < size; ++i) {
    const auto offset = static_cast<std::uint8_t>((start + i) & 0xFF);
    if (faults_.ignoreWritesAt != offset) configuration_[offset] = record.data[i];
  }
  // A time written at either time slot waits for the group 4 reload.
  if (Overlaps(start, start + size, cfg::kTimeSet)) pendingTime_ = ReadLongBigEndian(configuration_, cfg::kTimeSet);
  if (Overlaps(start, start + size, cfg::kTimeCounter))
    pendingTime_ = ReadLongBigEndian(configuration_, cfg::kTimeCounter);
}

void ModuleSimulator::reload(std::uint8_t group) {
  if (group != kTimeReloadGroup) {
    active_ = configuration_;
    return;
  }
  if (!pendingTime_) return;
  counterBase_ = *pendingTime_;
  counterBaseTime_ = now_;
  pendingTime_.reset();
  refreshTimeMirror();
}

std::uint32_t ModuleSimulator::runningTime() const {
  return counterBase_ + static_cast<std::uint32_t>((now_ - counterBaseTime_).count() / 10);
}

void ModuleSimulator::refreshTimeMirror() { WriteLongBigEndian(configuration_, cfg::kTimeCounter, runningTime()); }

void ModuleSimulator::advance(std::chrono::milliseconds elapsed) {
  if (elapsed.count() <= 0) return;
  const auto end = now_ + elapsed;
  if (const auto quiet = quietEnd(); quiet && *quiet <= end) {
    now_ = std::max(now_, *quiet);
    sendByte(kUpdateSuccessful);
    finishUpdate();
  }
  while (streaming_ && nextFrame_ <= end) {
    now_ = nextFrame_;
    sendMeasurement();
    nextFrame_ += kFramePeriod;
  }
  now_ = end;
  refreshTimeMirror();
}

void ModuleSimulator::sendMeasurement() {
  const double seconds = static_cast<double>(now_.count()) / 1000.0;
  const EngineState engine = engine_.sample(seconds);
  const std::uint8_t selector = kSlowSlots[slowSlot_];
  const std::string data = MeasurementData({.type = type_,
                                            .engine = engine,
                                            .configuration = active_,
                                            .program = program_,
                                            .seconds = seconds,
                                            .selector = selector});
  damaged_ = false;
  sendRecord(kFrames, static_cast<std::uint16_t>(sequence_ << 8 | selector), data);
  if (!damaged_) ++intactMeasurements_;
  sequence_ = static_cast<std::uint8_t>(sequence_ + 1);  // 255 wraps to 0
  slowSlot_ = (slowSlot_ + 1) % 8;
}

void ModuleSimulator::sendRecord(std::uint8_t type, std::uint16_t address, std::string_view data) {
  for (char c : BuildRecord(type, address, data)) sendByte(static_cast<std::uint8_t>(c));
}

void ModuleSimulator::sendXon() {
  if (!faults_.withholdXon) sendByte(kXon);
}

void ModuleSimulator::sendByte(std::uint8_t byte) {
  if (faults_.silent || chance(faults_.dropProbability)) {
    damaged_ = true;
    return;
  }
  if (chance(faults_.corruptProbability)) {
    byte ^= static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(faultRng_));
    damaged_ = true;
  }
  output_.push_back(static_cast<char>(byte));
}

bool ModuleSimulator::chance(double probability) {
  if (probability <= 0.0) return false;
  if (probability >= 1.0) return true;
  return std::uniform_real_distribution<double>(0.0, 1.0)(faultRng_) < probability;
}

void ModuleSimulator::enterBootloader() {
  const bool streamed = bootloader_ ? bootloader_->streamedBefore : streaming_;
  if (!bootloader_) bootloaderRecords_ = 0;
  const std::uint8_t version = program_[prog::kBootloaderVersion];
  bootloader_ = Bootloader{.version = version == kErasedBootloaderVersion ? kErasedCountsAs : version,
                           .streamedBefore = streamed};
  streaming_ = false;
}

void ModuleSimulator::bootload(const ReceivedRecord& record) {
  ++bootloaderRecords_;
  Bootloader& boot = *bootloader_;
  boot.lastRecordAt = now_;
  if (IsRestart(record)) {
    sendXon();
    enterBootloader();
    return;
  }
  if (record.type == kEnd) {
    const bool checked = boot.version > kLastVersionWithoutEndChecksum;
    const bool success = !checked || (record.address & 0xFF) == boot.endChecksum;
    sendByte(success ? kUpdateSuccessful : kFirmwareChecksumError);
    sendXon();
    if (success) {
      finishUpdate();
    } else {
      // The image has to come again: the count starts over.
      boot = Bootloader{.version = boot.version, .streamedBefore = boot.streamedBefore, .lastRecordAt = now_};
    }
    return;
  }
  const bool resend = boot.lastAccepted == record;
  if (CountsInEndChecksum(record.type) && !resend)
    boot.endChecksum = static_cast<std::uint8_t>(boot.endChecksum + ChecksumByte(record));
  boot.lastAccepted = record;
  if (record.type == kArea && record.data.size() == 2) boot.programArea = record.data[0] == 0 && record.data[1] == 0;
  if (record.type == kData) bootWrite(record);
  sendXon();
}

void ModuleSimulator::bootWrite(const ReceivedRecord& record) {
  Bootloader& boot = *bootloader_;
  boot.dataArrived = true;
  if (!boot.programArea) return;
  for (std::size_t i = 0; i < record.data.size(); ++i) {
    const std::size_t address = record.address + i;
    if (address < prog::kFirmwareStart || address >= kProgramMemorySize) continue;
    program_[address] = record.data[i];
    boot.majorWritten = boot.majorWritten || address == prog::kFirmwareVersion;
    boot.minorWritten = boot.minorWritten || address == prog::kFirmwareVersion + 1u;
  }
}

void ModuleSimulator::finishUpdate() {
  const Bootloader boot = *bootloader_;
  bootloader_.reset();
  if (boot.majorWritten && boot.minorWritten) {
    const std::uint8_t major = program_[prog::kFirmwareVersion], minor = program_[prog::kFirmwareVersion + 1];
    if (type_ == ModuleType::Oxl) {
      configuration_[cfg::kIdentity + 4] = static_cast<std::uint8_t>(major * 10 + minor);
    } else {
      configuration_[cfg::kIdentity + 4] = major;
      configuration_[cfg::kIdentity + 5] = minor;
    }
  }
  // The new firmware starts as at power on, with the stream as it was.
  area_ = MemoryArea::Configuration;
  active_ = configuration_;
  streaming_ = boot.streamedBefore;
  nextFrame_ = now_ + kFramePeriod;
}

bool ModuleSimulator::updateStalled() const {
  return bootloader_ && faults_.stallUpdateAfter && bootloaderRecords_ >= *faults_.stallUpdateAfter;
}

std::optional<std::chrono::milliseconds> ModuleSimulator::quietEnd() const {
  if (!bootloader_ || updateStalled() || faults_.silent) return std::nullopt;
  if (bootloader_->version > kLastVersionWithoutEndChecksum || !bootloader_->dataArrived) return std::nullopt;
  return bootloader_->lastRecordAt + kUpdateQuietEnd;
}

std::string ModuleSimulator::takeOutput() { return std::exchange(output_, {}); }

}  // namespace oxalis::sim

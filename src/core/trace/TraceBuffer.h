#pragma once
// The trace: a ring of 65000 samples, one per measurement (20 ms each),
// allocated once; the visible window onto it; the cursor.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace oxalis {

struct TraceSample {
  std::int16_t vOutMv = 0;
  std::int16_t richness = 0;
  std::int32_t o2 = 0;
  std::int32_t lambda = 0;
  std::int32_t airFuel = 0;
  std::int16_t probeTempC = 0;
  std::int16_t vsMv = 0;
  std::uint8_t diagFlags = 0;
  std::array<std::int32_t, 5> channel{};

  bool operator==(const TraceSample&) const = default;
};

struct TraceBuffer {
  static constexpr std::int32_t kRingSize = 65000;
  static constexpr int kSamplesPerSecond = 50;

  // Sample number n lives in slot n mod 65000.
  std::vector<TraceSample> traceRing = std::vector<TraceSample>(kRingSize);
  std::int32_t sampleCount = 0;  // samples appended since the trace was cleared
  std::int32_t writeIndex = 0;   // slot of the next append
  bool ringWrapped = false;
  std::int32_t startIndex = 0;   // 0 until the ring wraps, then writeIndex + 1

  // The visible window and the cursor, as absolute sample numbers.
  std::int32_t viewStart = 0;
  std::int32_t viewEnd = 1000;
  std::int32_t cursorSample = 0;
  // Overview box on the strip, in pixels.
  std::int16_t overviewLeft = 0;
  std::int16_t overviewRight = 0;

  // Mouse state: where the left button went down (pan) and where the right
  // button went down (zoom).
  std::int32_t dragAnchor = 0;
  std::int32_t zoomStart = 0;
  bool leftDown = false;
  bool rightDown = false;
  // Dragging the overview box: how far after the window's start the strip
  // was taken, in samples.
  std::int32_t stripGrab = 0;
  bool stripDown = false;

  // OptionChOscillo: the built-in quantity drawn, 0 vOutMv, 1 richness,
  // 2 lambda, 3 o2, 4 airFuel; -1 none.
  int selectedQuantity = 1;

  // The samples the ring holds, oldest first: the slot of the oldest and how
  // many. The data file and the CSV export write them in this order.
  struct HeldSlots {
    std::int32_t firstSlot = 0;
    std::int32_t count = 0;
  };
  HeldSlots heldSlots() const {
    if (ringWrapped) return {((writeIndex % kRingSize) + kRingSize) % kRingSize, kRingSize};
    // The write index comes back to 0 when the 65000th sample fills the
    // ring, one sample before the ring counts as wrapped: that ring is full.
    const std::int32_t end =
        std::clamp(writeIndex == 0 && sampleCount >= kRingSize ? kRingSize : writeIndex, 0, kRingSize);
    const std::int32_t first = std::clamp(startIndex, 0, end);
    return {first, end - first};
  }

  TraceSample& at(std::int32_t sampleNumber) {
    return traceRing[static_cast<std::size_t>(((sampleNumber % kRingSize) + kRingSize) % kRingSize)];
  }
  const TraceSample& at(std::int32_t sampleNumber) const {
    return traceRing[static_cast<std::size_t>(((sampleNumber % kRingSize) + kRingSize) % kRingSize)];
  }
};

}  // namespace oxalis

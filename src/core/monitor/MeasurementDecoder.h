#pragma once
// Decoding of the measurement records the module streams (record type 0x13)
// into LiveValues, and the rational channel scaling shared with the setup.
#include <cstdint>
#include <span>

namespace oxalis {

struct Monitor;

// One measurement record: its data bytes and the slow-slot selector (the
// address low byte). Fills monitor.live according to the module's type:
// the fast fields, the slow slot the selector names ("OXL", "OX2", "PNU"),
// the fuel tank drain tool's and the steering-wheel module's own layouts and
// the user channels. The link hands on only records of their type's layout
// length (link/ModuleTypes.h); called directly with a shorter one, the
// decoder reads the missing bytes as 0. A module type outside "OXL", "OX2", "PNU", "QTX", "RMW" has no known
// layout, and its records change nothing. The live panel is notified only
// when a tooltip that the record carries has changed; the values themselves
// are repainted by the refresh tick.
// With `moduleLambda` (the factory window open) the module's own lambda is
// shown instead of the one computed from the richness, so that the module's
// computation can be checked.
void decodeMeasurement(Monitor& monitor, std::span<const std::uint8_t> data, std::uint8_t selector,
                       bool moduleLambda);

}  // namespace oxalis

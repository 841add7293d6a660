#pragma once
// What the tool does with a complete, checked record from the module,
// by record type.
#include <cstdint>
#include <span>

namespace oxalis {

class Core;

// The frame is in core.state.rx.rxFrame.
void dispatchReply(Core& core);

// The identification reply (type 0x12).
void handleIdentification(Core& core);

// A parameter reply: start offset and the data bytes folded most
// significant first.
void handleParameterReply(Core& core, std::uint8_t offset, double value);

// A memory reply: 16-bit address and the data bytes.
void handleMemoryReply(Core& core, std::uint16_t address, std::span<const std::uint8_t> bytes);

}  // namespace oxalis

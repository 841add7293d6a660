#pragma once
// What the link does with a complete, checked record from the module, by
// record type: the link's own part (identity, lost-frame count, stream
// control), then the event that hands the content to the rest of the tool.
#include <cstdint>

namespace oxalis {

class Link;

// The frame is in link.state.rx.rxFrame.
void dispatchReply(Link& link);

// The identification reply (type 0x12).
void handleIdentification(Link& link);

}  // namespace oxalis

#pragma once
// User levels: the level stored in the module, and bringing the windows in
// line with the current level.
namespace oxalis {

class Core;

// The module's stored level (offset 0x0A) has been read. Master stays
// Master; otherwise levels 1..4 are taken and anything else (255, an erased
// byte) gives Basic.
void storedLevelRead(Core& core, double value);

// Brings the windows in line with userLevel.
void ApplyUserLevel(Core& core);

}  // namespace oxalis

#pragma once
// User levels: choosing a level with its access code, the level stored in
// the module, and bringing the windows in line with the current level.
#include <cstdint>
#include <string_view>

namespace oxalis {

class Core;

inline constexpr long kMasterCode = 482913;
// The code of a lower level L is the module's user-code identifier plus
// L times this.
inline constexpr long kLevelCodeMultiplier = 37591;

// The module's stored level (offset 0x0A) has been read. Master stays
// Master; otherwise levels 1..4 are taken and anything else (255, an erased
// byte) gives Basic.
void storedLevelRead(Core& core, double value);

// Brings menus, tool bar and status bar in line with userLevel.
void ApplyUserLevel(Core& core);

// Menu "&Level": asks for `level` (1..4) and opens the access-code window,
// which reads the module's user-code identifier.
void requestLevel(Core& core, std::uint8_t level);

// "Enter" in the access-code window with the typed text. A right code sets
// the level (a lower level is also stored in the module) and closes the
// window; a wrong one says "Wrong Code", keeps the level and leaves the
// window open, its code box emptied, for another try. True when the window
// closes.
bool validateLevelCode(Core& core, std::string_view typed);

// Esc or "Cancel" in the access-code window: closes it without change.
void cancelLevelCode(Core& core);

}  // namespace oxalis

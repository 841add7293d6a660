#pragma once
// The edit state of a value in the setup window, shown as its background.
#include <cstdint>
#include <optional>
#include <string>

#include "util/Colour.h"

namespace oxalis {

// Where a value stands: as loaded (the input's normal background), typed by
// the user and not yet written, confirmed by the module, loaded from a setup
// archive.
enum class EditState { Normal, Modified, Confirmed, Archive };

inline constexpr std::uint32_t kModifiedColour = Rgb(255, 192, 192);   // 0xC0C0FF
inline constexpr std::uint32_t kConfirmedColour = Rgb(200, 255, 200);  // 0xC8FFC8
inline constexpr std::uint32_t kArchiveColour = Rgb(192, 192, 255);    // 0xFFC0C0

// The background of an input in a state; nothing for the normal one.
constexpr std::optional<std::uint32_t> stateColour(EditState state) {
  switch (state) {
    case EditState::Modified: return kModifiedColour;
    case EditState::Confirmed: return kConfirmedColour;
    case EditState::Archive: return kArchiveColour;
    case EditState::Normal: break;
  }
  return std::nullopt;
}

// One cell of a grid: its text and its background (nothing: the grid's
// normal background).
struct GridCell {
  std::string text;
  std::optional<std::uint32_t> background;
};

}  // namespace oxalis

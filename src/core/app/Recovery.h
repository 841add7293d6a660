#pragma once
// Recovery data files: when the tool is ended by the system (logout, Ctrl+C)
// with unsaved samples, they go to "Recovery <date> <time>.DA1". The next
// start offers that file back, in a notice of the main window, so that no
// modal box stacks on the port search.
#include <filesystem>
#include <optional>

namespace oxalis {

class Core;

// Where the shutdown writes unsaved samples now:
// "<data folder>/Recovery 2026-12-08 17-45-03.DA1", in the data folder when
// it exists, otherwise the app folder.
std::filesystem::path NewRecoveryFilePath(const Core& core);

// The recovery notice's buttons.
inline constexpr int kRecoveryOpen = 0;
inline constexpr int kRecoveryLater = 1;
inline constexpr int kRecoveryDelete = 2;

// The newest "Recovery *.DA1" of the folder when it is newer than every
// other data file there (a later save supersedes it); none otherwise.
std::optional<std::filesystem::path> FindRecoveryFile(const std::filesystem::path& folder);

// At start-up: looks in the data folder, then the app folder, and shows the
// notice "open / later / delete" for a recovery file found.
void offerRecovery(Core& core);

// A button of the notice (kRecoveryOpen, kRecoveryLater, kRecoveryDelete).
// "Later" keeps the file for the next start; "Delete" asks first.
void recoveryNotice_Click(Core& core, int action);

}  // namespace oxalis

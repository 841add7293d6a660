#pragma once
#include <string>

namespace oxalis {

// The version history shown by the about box `F_About`, newest first: each
// line ends with CR LF, and a line feed separates the versions.
std::string ReleaseNoteText();

}  // namespace oxalis

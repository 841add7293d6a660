#pragma once
// Reading and saving whole files. A save never destroys the previous file:
// the new content goes into a temporary file in the same folder, which then
// replaces the target in one rename. Failures are returned, in words.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace oxalis {

struct FileResult {
  bool ok = true;
  // When not ok: the file and the reason, for example
  // "Cannot write /home/ana/run.DA1: permission denied".
  std::string error;
};

// Replaces the file's content with the bytes, as they are. The temporary
// file is written, flushed, checked and closed before it is renamed over the
// target; on any failure it is removed and the target is left as it was.
// A target that is a symbolic link has the file it points to replaced, and
// the permissions of an existing target carry over to the new file.
FileResult WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The largest file the tool reads. Every file it writes is far smaller (a
// full data file is some 7 MB): a bigger one was not made for it, and
// reading it whole could take the memory a running recording needs.
inline constexpr std::uintmax_t kLargestFileRead = 64u << 20;

// The whole content of a file, byte for byte; nothing when it cannot be
// read or is larger than kLargestFileRead, with the file and the reason in
// *error when error is given.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error = nullptr);

// The reason behind an error code in a few words: "permission denied",
// "disk full", "no such folder", ...
std::string DescribeFileError(std::error_code code);

}  // namespace oxalis

#include "util/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <exception>
#include <fstream>
#include <new>
#include <random>

namespace oxalis {

namespace fs = std::filesystem;

namespace {

// The error a failed stream operation left behind, when the library kept it.
std::error_code lastStreamError() { return std::error_code(errno, std::generic_category()); }

std::string failure(const char* verb, const fs::path& file, std::string_view reason) {
  return std::string(verb) + " " + file.string() + ": " + std::string(reason);
}

std::uint64_t mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::uint64_t seed() {
  std::uint64_t value = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    value ^= static_cast<std::uint64_t>(device()) << 32 | device();
  } catch (const std::exception&) {
    // No random source: the clock and the counter still make names unique
    // within this process, and the existence check below does the rest.
  }
  return value;
}

// A short name of its own beside the target, whatever the target's name
// length, so the temporary file can always be created where the target can.
fs::path temporaryBeside(const fs::path& folder) {
  static const std::uint64_t processSeed = seed();
  static std::atomic<std::uint64_t> counter{0};
  static constexpr char kHex[] = "0123456789abcdef";
  for (int attempt = 0;; ++attempt) {
    std::uint64_t token = mix(processSeed + counter.fetch_add(1));
    std::string name = ".oxalis-";
    for (int k = 0; k < 16; ++k, token >>= 4) name += kHex[token & 0xF];
    name += ".tmp";
    fs::path candidate = folder / name;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec)) || attempt >= 8) return candidate;
  }
}

// The file a save really replaces: the end of a chain of symbolic links.
fs::path resolveTarget(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
  fs::path resolved = fs::weakly_canonical(file, ec);
  return ec ? file : resolved;
}

FileResult writeAtomically(const fs::path& file, std::string_view bytes) {
  const fs::path target = resolveTarget(file);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();

  std::error_code ec;
  const fs::file_status folderStatus = fs::status(folder, ec);
  if (!fs::exists(folderStatus)) return {false, failure("Cannot save", file, "no such folder")};
  if (!fs::is_directory(folderStatus)) return {false, failure("Cannot save", file, "a part of the path is not a folder")};
  const fs::file_status targetStatus = fs::status(target, ec);
  if (fs::is_directory(targetStatus)) return {false, failure("Cannot save", file, "a folder of that name is in the way")};

  const fs::path temporary = temporaryBeside(folder);
  const auto fail = [&](std::string_view reason) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return FileResult{false, failure("Cannot save", file, reason)};
  };

  {
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return fail(errno ? DescribeFileError(lastStreamError()) : "the file cannot be created");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return fail(errno ? DescribeFileError(lastStreamError()) : "writing failed");
    errno = 0;
    out.close();
    if (!out) return fail(errno ? DescribeFileError(lastStreamError()) : "writing failed");
  }

  if (fs::exists(targetStatus)) fs::permissions(temporary, targetStatus.permissions(), ec);  // best effort
  fs::rename(temporary, target, ec);
  if (ec) return fail(DescribeFileError(ec));
  return {};
}

std::optional<std::string> readWhole(const fs::path& file, std::string* error) {
  const auto fail = [&](std::string_view reason) -> std::optional<std::string> {
    if (error) *error = failure("Cannot read", file, reason);
    return std::nullopt;
  };
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (!fs::exists(status)) return fail(fs::exists(fs::status(file.parent_path(), ec)) || file.parent_path().empty()
                                           ? "no such file"
                                           : "no such folder");
  if (fs::is_directory(status)) return fail("it is a folder");

  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) return fail(errno ? DescribeFileError(lastStreamError()) : "the file cannot be opened");

  std::string content;
  const std::uintmax_t size = fs::file_size(file, ec);
  const auto tooLarge = [&] {
    return fail("it is larger than " + std::to_string(kLargestFileRead >> 20) +
                " MB, far larger than any file this tool writes");
  };
  if (!ec && size > kLargestFileRead) return tooLarge();
  if (!ec && size > 0) content.resize(static_cast<std::size_t>(size));
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  std::size_t have = static_cast<std::size_t>(in.gcount());
  // The file may have grown since its size was taken, or have no size at all.
  while (in) {
    if (have > kLargestFileRead) return tooLarge();
    content.resize(have + 65536);
    in.read(content.data() + have, 65536);
    have += static_cast<std::size_t>(in.gcount());
  }
  if (in.bad()) return fail(errno ? DescribeFileError(lastStreamError()) : "reading failed");
  content.resize(have);
  return content;
}

}  // namespace

std::string DescribeFileError(std::error_code code) {
  if (!code) return "unknown error";
  const std::error_condition c = code.default_error_condition();
  if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted) return "permission denied";
  if (c == std::errc::no_space_on_device) return "disk full";
  if (c == std::errc::no_such_file_or_directory) return "no such file or folder";
  if (c == std::errc::not_a_directory) return "a part of the path is not a folder";
  if (c == std::errc::is_a_directory || c == std::errc::directory_not_empty || c == std::errc::file_exists)
    return "a folder of that name is in the way";
  if (c == std::errc::read_only_file_system) return "the disk is read-only";
  if (c == std::errc::file_too_large) return "file too large";
  if (c == std::errc::filename_too_long) return "file name too long";
  if (c == std::errc::too_many_files_open || c == std::errc::too_many_files_open_in_system)
    return "too many open files";
  if (c == std::errc::device_or_resource_busy || c == std::errc::text_file_busy) return "the file is busy";
  if (c == std::errc::io_error) return "input/output error";
  if (c == std::errc::cross_device_link) return "the temporary file is on another disk";
  if (c == std::errc::invalid_argument) return "invalid file name";
  return code.message();
}

FileResult WriteFileAtomically(const fs::path& file, std::string_view bytes) {
  try {
    return writeAtomically(file, bytes);
  } catch (const std::bad_alloc&) {
    return {false, "Cannot save: not enough memory"};
  } catch (const std::exception& e) {
    return {false, std::string("Cannot save: ") + e.what()};
  }
}

std::optional<std::string> ReadWholeFile(const fs::path& file, std::string* error) {
  try {
    return readWhole(file, error);
  } catch (const std::bad_alloc&) {
    if (error) *error = "Cannot read the file: not enough memory to hold it";
  } catch (const std::exception& e) {
    if (error) *error = std::string("Cannot read: ") + e.what();
  }
  return std::nullopt;
}

}  // namespace oxalis

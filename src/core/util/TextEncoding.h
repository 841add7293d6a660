#pragma once
// Text on disk and text in memory. The tool keeps text as UTF-8 in memory
// and writes its files in Windows-1252, byte for byte as the maker's earlier
// Windows tool did: "ºC" is the two bytes 0xBA 'C' on disk.
#include <string>
#include <string_view>

namespace oxalis {

// UTF-8 to Windows-1252. A character with no Windows-1252 form becomes "?".
// Input that is not valid UTF-8 (a stray continuation byte, a cut sequence,
// an over-long form, a surrogate, a value past U+10FFFF) gives one "?" per
// offending byte and reading goes on at the next byte.
// U+0081, U+008D, U+008F, U+0090 and U+009D become the bytes 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D, the five bytes that Windows-1252 leaves undefined, so
// that such bytes read from a file are written back unchanged; the other
// C1 controls U+0080..U+009F have no form and become "?".
std::string Utf8ToWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8, with the full table of 0x80..0x9F ("€" for 0x80,
// "‚" for 0x82 ...). The five undefined bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// read as the control characters of the same number (U+0081 ...), which
// Utf8ToWindows1252 turns back into the same bytes: a file read and saved
// again keeps every byte. Every byte sequence is accepted.
std::string Windows1252ToUtf8(std::string_view windows1252);

// Text that should be UTF-8 (a file saved by another editor with a UTF-8
// byte-order mark), with every invalid byte replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

// Files write the degree of "ºC" as the ordinal sign (byte 0xBA); on screen
// it is the degree sign "°C".
std::string DegreeSignForScreen(std::string text);

// Removes a UTF-8 byte-order mark from the start of a file's text; true when
// there was one (the file is then UTF-8 rather than Windows-1252).
bool StripUtf8Bom(std::string_view& text);

}  // namespace oxalis

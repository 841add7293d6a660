#pragma once
namespace oxalis {
inline constexpr const char* kVersion = "2.10";
}

#pragma once

#include <string>
#include <string_view>

namespace velmora::windows_platform {

// Texts between the system's UTF-16 and the program's ANSI code page. The ANSI functions convert silently and
// by "best fit" (a file "hosts.Ωmega" is listed by FindFirstFileA as "hosts.Omega", a name that stands for
// another file): where a text from the system must be exact, it is read with the wide function and converted
// here, and every character the code page has no place for becomes kUnrepresentableCharacter, which no file
// name holds and the program's name checks refuse.

// The ANSI form of a UTF-16 text, exact but for the characters marked as unrepresentable.
std::string ExactAnsiOf(std::wstring_view text);

// Whether the text came through the conversion whole.
bool HoldsUnrepresentable(std::string_view ansi);

// The UTF-16 form of an ANSI text (always exact).
std::wstring WideOf(std::string_view ansi);

}  // namespace velmora::windows_platform

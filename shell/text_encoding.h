#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The program's texts as other encodings need them. A program text is UTF-8 where its bytes form UTF-8, and a
// byte that is not part of a UTF-8 sequence is a Windows-1252 character. Pure functions, no locale.

// The length of the well-formed UTF-8 sequence at `at` and its code point, or 0 when there is none (also for
// ASCII, which callers take byte by byte).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint);

// The character a Windows-1252 byte stands for, and the byte of a character (nothing when it has none).
char16_t Windows1252Character(unsigned char byte);
std::optional<unsigned char> Windows1252Byte(char16_t character);

// A program text in UTF-16.
std::u16string Utf16Of(std::string_view text);

// The Windows-1252 form of a text, or nothing when a character has no place in that code page.
std::optional<std::string> Windows1252Of(const std::u16string& text);

}  // namespace velmora

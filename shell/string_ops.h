#pragma once

#include <string>

namespace velmora {

// Replaces occurrences of a find text inside a text, with the program's classic, slightly quirky rules:
// without match-case the caller's find variable is upper-cased, and after each replacement the search
// resumes one character past the inserted text and goes on only while an upper-case occurrence remains.
// It does not validate its arguments; an empty find text leaves the text unchanged.
//
// Texts are bytes; upper-casing maps ASCII letters only, so UTF-8 sequences keep their length and bytes.
std::string ReplaceText(std::string text, std::string& findText, const std::string& replacement,
                        const bool& matchCase);

// Upper-case form used by ReplaceText: ASCII letters only, every other byte unchanged.
std::string UpperCaseAscii(std::string text);

// Lower-case form of ASCII letters, every other byte unchanged.
std::string LowerCaseAscii(std::string text);

// A box text breaks its lines with a single CR; a terminal or a toolkit breaks them at LF. The text with
// every CR turned into LF, every other byte unchanged: the one place that turns one into the other.
std::string BoxTextWithLineFeeds(std::string text);

// The text without leading and trailing blanks (space characters only; tabs stay).
std::string TrimBlanks(const std::string& text);

}  // namespace velmora

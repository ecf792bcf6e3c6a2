#pragma once

#include <string>
#include <string_view>

namespace velmora::linux_platform {

// File-name comparison as the program's home platform makes it on a case-sensitive file system: names are
// compared without regard to case (full Unicode simple case mapping for UTF-8 names, byte by byte for bytes
// that are not UTF-8), and wildcards follow the classic directory-search rules.

// The name upper-cased code point by code point, one 32-bit unit per character; bytes that are not valid
// UTF-8 keep a unit of their own so that no two different names fold alike by accident of decoding.
std::u32string FoldedName(std::string_view name);

// The folded name as bytes in the order of its units (four big-endian bytes each), so that byte order is
// the folded names' order.
std::string CaseBlindKey(std::string_view name);

bool NamesEqualIgnoringCase(std::string_view a, std::string_view b);

// Case-insensitive order of names, ties broken by the bytes so that the order is total and stable.
bool NameLessIgnoringCase(std::string_view a, std::string_view b);

// `*` matches any run of characters (also none), `?` exactly one; everything else, brackets included, stands
// for itself; case is ignored. A pattern ending in ".*" also matches a name that has no dot at all.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace velmora::linux_platform

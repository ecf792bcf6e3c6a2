#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The five values a shortcut carries, in the form the shell's shortcut object takes them. Texts are the
// program's own: UTF-8, where a byte that is not part of a UTF-8 sequence is a Windows-1252 character.
struct ShellLinkValues {
    std::string targetPath;
    std::string workingDirectory;
    std::int16_t windowStyle = 0;
    std::string arguments;
    std::string iconLocation;  // "path,N"
};

// An icon location taken apart: the file, and the index of the icon within it.
struct IconLocationParts {
    std::string path;
    std::int32_t index = 0;
};

// Splits "path,N" at the last comma; blanks before the index are skipped and the index is read as a signed
// decimal number up to the first character that is not a digit (no digits give 0). A text without a comma
// is all path, with index 0.
IconLocationParts SplitIconLocation(const std::string& location);

// The show command a link stores for a window style: maximised (3) and minimised without focus (7) are
// kept, anything else is a normal window (1), as readers treat every other value anyway.
std::uint32_t ShowCommandFor(std::int16_t windowStyle);

// Writes the bytes of a Shell Link (.lnk) file for the five values, in the layout Windows reads: the
// header, a simple item list when the target is a drive path (X:\...), the link information with the
// target as local base path (with UTF-16 copies when it does not fit Windows-1252), the working directory,
// arguments and icon file as UTF-16 strings, and the terminal block. File times, size and attributes are
// left unset, as the shell does for a target it cannot see. It touches no file.
//
// Throws RuntimeError (Invalid procedure call) for a text longer than a link can hold (65535 UTF-16 units).
std::string ShellLinkBytes(const ShellLinkValues& values);

}  // namespace velmora

#pragma once

#include <optional>
#include <string>

namespace velmora::windows_platform {

// Lines of a prompt as Win32 controls draw them: every lone CR or LF becomes CR LF.
std::string PromptWithWindowsLineBreaks(const std::string& prompt);

// A small modal dialog of our own, built from an in-memory template: the prompt, an edit field holding the
// default text (selected, so typing replaces it), OK and Cancel. OK gives the field's text, Cancel (also
// Escape and the close box) gives empty text; nothing when the dialog cannot be shown. Texts are ANSI.
std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText);

// Control ids of the dialog, for tests that answer it.
inline constexpr int kInputBoxPromptId = 100;
inline constexpr int kInputBoxEditId = 101;

}  // namespace velmora::windows_platform

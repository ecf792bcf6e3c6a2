#pragma once

#include <memory>
#include <string>

class QInputDialog;
class QMessageBox;

namespace velmora::linux_platform {

// The program's modal boxes as Qt dialogs. The builders only set the dialogs up, so that tests can look at
// them; the Show functions run them and translate the answer. No logic lives here.

// Buttons and icon from the style value (0 OK, 4 Yes/No with Yes as default; 16 stop, 32 question,
// 48 exclamation, 64 information icon). The text is plain, never rich text.
std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& prompt, int style, const std::string& title);
// Returns 1 (OK), 6 (Yes) or 7 (No); closing a Yes/No box answers No.
int ShowMessageBox(const std::string& prompt, int style, const std::string& title);

std::unique_ptr<QInputDialog> BuildInputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText);
// OK gives the field's text, Cancel gives empty text.
std::string ShowInputBox(const std::string& prompt, const std::string& title, const std::string& defaultText);

}  // namespace velmora::linux_platform

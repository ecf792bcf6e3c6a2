#pragma once

#include <string>

namespace velmora {

class Form1View;
class Platform;

// The window's commands that create, show, change or delete the hosts directory's files: Create New, View and
// Edit, Show current hosts, Delete, Add Line, and opening the hosts directory. Each talks to the user through
// the platform's boxes, works on files through the hosts store, and hands viewing and editing to the desktop's
// editor and file manager without waiting for them. They keep no state between clicks.

// Default text of the Add Line box; an answer equal to it counts as no change.
inline constexpr char kDefaultHostsLine[] = "#   127.0.0.1   Localhost";

void CreateNewVariant(Form1View& view, Platform& platform, const std::string& hostsDir);
void ViewAndEditVariant(Form1View& view, Platform& platform, const std::string& hostsDir);
void ShowCurrentHosts(Platform& platform, const std::string& hostsDir);
void DeleteVariant(Form1View& view, Platform& platform, const std::string& hostsDir);
void AddLineToVariant(Form1View& view, Platform& platform, const std::string& hostsDir);
void OpenHostsDirectory(Platform& platform, const std::string& hostsDir);

// Why a new variant's name cannot be used, or empty text when it can. The name is taken without its outer
// blanks; it must name a file of its own in the hosts directory that the switch can reach.
std::string ProblemWithNewVariantName(const std::string& trimmedName);

}  // namespace velmora

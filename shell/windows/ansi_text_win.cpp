#include "shell/windows/ansi_text_win.h"

#include <windows.h>

#include "shell/platform.h"

namespace velmora::windows_platform {

std::string ExactAnsiOf(std::wstring_view text)
{
    if (text.empty())
        return {};
    const char substitute[] = {kUnrepresentableCharacter, '\0'};
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0,
                                             substitute, nullptr);
    std::string ansi(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    ansi.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                                               ansi.data(), needed, substitute, nullptr)));
    // A conversion that failed must not pass for an empty text.
    if (ansi.empty())
        return std::string(1, kUnrepresentableCharacter);
    return ansi;
}

bool HoldsUnrepresentable(std::string_view ansi)
{
    return ansi.find(kUnrepresentableCharacter) != std::string_view::npos;
}

std::wstring WideOf(std::string_view ansi)
{
    if (ansi.empty())
        return {};
    const int length = static_cast<int>(ansi.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed)));
    return wide;
}

}  // namespace velmora::windows_platform

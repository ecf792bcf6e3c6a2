#pragma once

#include <QString>
#include <string>

#include "shell/string_ops.h"

namespace velmora::linux_platform {

// The toolkit texts of the program's own: bytes in, QString out and back, nothing else. The boxes use them,
// and the Qt view of the window too.
//
// Program texts are bytes in the system's code page (UTF-8 here); the toolkit wants QString.
inline QString ToQString(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQString(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

// A prompt breaks its lines at CR; the toolkit breaks them at LF.
inline QString PromptToQString(const std::string& prompt)
{
    return ToQString(BoxTextWithLineFeeds(prompt));
}

}  // namespace velmora::linux_platform

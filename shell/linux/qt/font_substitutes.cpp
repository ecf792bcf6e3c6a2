#include "shell/linux/qt/font_substitutes.h"

#include <QFont>

namespace velmora::linux_platform {

void InstallFontSubstitutes()
{
    for (const FontSubstitute& substitute : kFontSubstitutes) {
        const QString requested = QString::fromLatin1(substitute.requested);
        // Qt asks for a stand-in only when the face itself is not installed. Replacing the list keeps a
        // second call from piling up duplicates.
        QFont::removeSubstitutions(requested);
        QFont::insertSubstitution(requested, QString::fromLatin1(substitute.installed));
    }
}

}  // namespace velmora::linux_platform

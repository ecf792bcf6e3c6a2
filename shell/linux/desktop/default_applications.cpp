#include "shell/linux/desktop/default_applications.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <memory>

namespace velmora::linux_platform {

namespace {

struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

std::string TakeString(gchar* text)
{
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

bool DeclaresType(GAppInfo* application, const std::string& contentType)
{
    const char** types = g_app_info_get_supported_types(application);
    for (; types && *types; ++types)
        if (g_content_type_equals(*types, contentType.c_str()))
            return true;
    return false;
}

std::optional<DefaultApplication> Describe(GAppInfo* application)
{
    if (!G_IS_DESKTOP_APP_INFO(application))
        return std::nullopt;
    DefaultApplication described;
    const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(application));
    described.desktopFile = file ? file : "";

    // The executable GIO reports is cut at the first blank without unquoting; parse the whole Exec instead.
    const char* commandLine = g_app_info_get_commandline(application);
    gint count = 0;
    gchar** arguments = nullptr;
    if (!commandLine || !g_shell_parse_argv(commandLine, &count, &arguments, nullptr))
        return std::nullopt;
    for (gint i = 0; i < count; ++i)
        described.commandTemplate.emplace_back(arguments[i]);
    g_strfreev(arguments);
    if (described.commandTemplate.empty())
        return std::nullopt;
    described.executable = TakeString(g_find_program_in_path(described.commandTemplate.front().c_str()));
    if (described.executable.empty())
        return std::nullopt;

    // What the rest of the entry adds to its start: the texts two field codes stand for, the terminal and
    // the working directory.
    GDesktopAppInfo* entry = G_DESKTOP_APP_INFO(application);
    const char* name = g_app_info_get_name(application);
    described.name = name ? name : "";
    described.icon = TakeString(g_desktop_app_info_get_string(entry, G_KEY_FILE_DESKTOP_KEY_ICON));
    described.inTerminal = g_desktop_app_info_get_boolean(entry, G_KEY_FILE_DESKTOP_KEY_TERMINAL);
    described.workingDirectory = TakeString(g_desktop_app_info_get_string(entry, G_KEY_FILE_DESKTOP_KEY_PATH));
    return described;
}

}  // namespace

std::string ContentTypeOfFile(const std::string& nativePath)
{
    GObjectPtr<GFile> file(g_file_new_for_path(nativePath.c_str()));
    GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                 G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr, nullptr));
    if (info) {
        const char* type = g_file_info_get_content_type(info.get());
        if (type)
            return TakeString(g_content_type_get_mime_type(type));
    }
    gboolean uncertain = FALSE;
    return TakeString(g_content_type_get_mime_type(
        TakeString(g_content_type_guess(nativePath.c_str(), nullptr, 0, &uncertain)).c_str()));
}

std::optional<DefaultApplication> DefaultApplicationFor(const std::string& contentType, bool exactTypeOnly)
{
    GObjectPtr<GAppInfo> chosen(g_app_info_get_default_for_type(contentType.c_str(), FALSE));
    if (chosen && (!exactTypeOnly || DeclaresType(chosen.get(), contentType)))
        if (auto described = Describe(chosen.get()))
            return described;
    if (!exactTypeOnly)
        return std::nullopt;

    GList* recommended = g_app_info_get_recommended_for_type(contentType.c_str());
    std::optional<DefaultApplication> found;
    for (GList* item = recommended; item && !found; item = item->next) {
        auto* application = static_cast<GAppInfo*>(item->data);
        if (DeclaresType(application, contentType))
            found = Describe(application);
    }
    g_list_free_full(recommended, g_object_unref);
    return found;
}

}  // namespace velmora::linux_platform

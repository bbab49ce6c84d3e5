// The desktop wallpaper: SystemParametersInfoA(SPI_SETDESKWALLPAPER) keeps the path where
// Windows keeps it (HKEY_CURRENT_USER\Control Panel\Desktop, value Wallpaper) when asked to
// update the profile, and hands the picture to the running desktop where it knows how: GNOME
// and its kin through GSettings, XFCE through xfconf-query. Other desktops only get it stored.

#include "WinInternal.h"

#include <runtime/SysUtils.h>

#include <gio/gio.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace win {

namespace {

// Does XDG_CURRENT_DESKTOP (names separated by ":") name one of `desktops`?
bool desktopIs(std::initializer_list<std::string_view> desktops) {
    const char* env = std::getenv("XDG_CURRENT_DESKTOP");
    if (!env)
        return false;
    std::string_view all(env);
    for (std::size_t pos = 0; pos <= all.size();) {
        std::size_t end = all.find(':', pos);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string name = rtl::UpperCase(all.substr(pos, end - pos));
        for (std::string_view d : desktops)
            if (name == rtl::UpperCase(d) || name == "X-" + rtl::UpperCase(d))
                return true;
        pos = end + 1;
    }
    return false;
}

// GNOME's background settings, both the light and the dark style's picture.
void tellGSettings(const std::string& hostPath) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.background", TRUE) : nullptr;
    if (!schema)
        return;
    gchar* uri = g_filename_to_uri(hostPath.c_str(), nullptr, nullptr);
    if (uri) {
        GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
        for (const char* key : {"picture-uri", "picture-uri-dark"})
            if (g_settings_schema_has_key(schema, key))
                g_settings_set_string(settings, key, uri);
        g_settings_sync();
        g_object_unref(settings);
        g_free(uri);
    }
    g_settings_schema_unref(schema);
}

// Runs a program found on PATH with its output discarded; its standard output when asked.
bool runProgram(const std::vector<std::string>& argv, std::string* output = nullptr) {
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0)
            if (output)
                output->append(buf, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    if (rc != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// XFCE keeps one picture per monitor and workspace: every last-image property gets it.
void tellXfconf(const std::string& hostPath) {
    std::string list;
    if (!runProgram({"xfconf-query", "-c", "xfce4-desktop", "-l"}, &list))
        return;
    std::size_t pos = 0;
    while (pos < list.size()) {
        std::size_t end = list.find('\n', pos);
        if (end == std::string::npos)
            end = list.size();
        const std::string property = list.substr(pos, end - pos);
        if (property.size() >= 11 && property.compare(property.size() - 11, 11, "/last-image") == 0)
            runProgram({"xfconf-query", "-c", "xfce4-desktop", "-p", property, "-s", hostPath});
        pos = end + 1;
    }
}

} // namespace

BOOL SystemParametersInfoA(UINT action, UINT /*param*/, void* pvParam, UINT winIni) {
    if (action != SPI_SETDESKWALLPAPER)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    const std::string path = pvParam ? static_cast<const char*>(pvParam) : "";
    if (winIni & SPIF_UPDATEINIFILE) {
        const DWORD error =
            detail::writeRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", path);
        if (error != ERROR_SUCCESS)
            return detail::fail(error, FALSE);
    }
    const std::string host = path.empty() ? std::string() : HostPath(path);
    if (!host.empty() && ::access(host.c_str(), R_OK) == 0) {
        if (desktopIs({"GNOME", "Unity", "Budgie", "Cinnamon", "Pantheon"}))
            tellGSettings(host);
        else if (desktopIs({"XFCE"}))
            tellXfconf(host);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace win

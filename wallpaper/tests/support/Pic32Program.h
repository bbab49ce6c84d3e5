#pragma once

// VL_PIC32 as a user meets it: a copy of the program in a folder of its own, beside the
// folders and pictures a test puts there (pictures made by ImageMagick), started on a virtual
// display with a window manager. The wallpaper goes to a registry folder and a GSettings key
// file of the test's own, as on a GNOME desktop. The windows are found, read and driven from
// outside: titles and keys through xdotool, labels and shown windows through the
// accessibility tree, pixels through screenshots.

#include <TestSupport.h>
#include <VirtualDisplay.h>

#include <memory>
#include <string>
#include <vector>

namespace pic32test {

// Where a test's screenshots stay after it: build/<kind>/screenshots/VL_PIC32/.
std::string ScreenshotFolder();

class Pic32Program {
  public:
    explicit Pic32Program(const vltest::VirtualDisplay::Options& options = {});
    ~Pic32Program();

    // The program's folder (host path) and a path in it.
    const std::string& Folder() const { return m_dir.Path(); }
    std::string File(const std::string& name) const { return m_dir.File(name); }
    // A folder (with its parents) in the program's folder.
    void MakeFolder(const std::string& name) const;
    // A file in the program's folder.
    void Write(const std::string& name, const std::string& bytes) const;
    // A picture made by ImageMagick: `convert <arguments> <file>`.
    void Picture(const std::string& name, const std::string& arguments) const;

    // Starts the program and waits for the browsing window ("VELT: ..."); false when the
    // display or the window did not come.
    bool Start();
    pid_t Pid() const { return m_process ? m_process->Pid() : -1; }
    vltest::VirtualDisplay& Display() { return m_display; }
    // What the program wrote to its standard output and error.
    std::string Log() const { return vltest::ReadFile(LogFile()); }
    std::string LogFile() const { return m_home.File("program.log"); }

    // The browsing window, and its title now.
    const std::string& MainWindow() const { return m_main; }
    std::string Caption() const;
    // Waits until the browsing window's title is `caption`.
    bool WaitForCaption(const std::string& caption, int timeoutMs = 10000) const;
    // Presses keys (xdotool names, "shift+Return") on the browsing window, one after another.
    bool Press(const std::vector<std::string>& keys) const;

    // Opens a menu with `open` on the browsing window and, once it shows, chooses its item by
    // `item` (the underlined letter).
    bool ChooseFromMenu(const std::string& open, const std::string& item) const;

    // The preview window once it shows (a shown window of the program other than the browsing
    // window, titled like it); "" when none came.
    std::string WaitForPreview(int timeoutMs = 10000) const;
    // Waits until the window no longer shows.
    bool WaitForWindowGone(const std::string& window, int timeoutMs = 10000) const;
    // Waits until no window but the browsing window shows.
    bool WaitForOnlyMainWindow(int timeoutMs = 10000) const;
    // How many of the program's windows show, as the program itself tells its accessibility
    // tree; -1 when the tree cannot be read. Asked after a key whose effect was seen, it
    // tells what earlier keys did, with no waiting.
    int ShowingWindows() const;

    // A message box by its title once it shows, and whether it holds a label with `text`
    // (UTF-8, exactly); "" when none came.
    std::string WaitForBox(const std::string& title, int timeoutMs = 10000) const;
    bool WaitForLabel(const std::string& text, int timeoutMs = 10000) const;

    // Waits for the program to end; its exit code then (-1 while it runs).
    bool WaitForEnd(int timeoutMs = 10000);
    int ExitCode() const { return m_process ? m_process->ExitCode() : -1; }

    // What the wallpaper call left: the user's registry file and GSettings' key file.
    std::string RegistryFolder() const { return m_home.File("registry"); }
    std::string RegistryFile() const { return m_home.File("registry/HKEY_CURRENT_USER.reg"); }
    std::string GSettingsFile() const { return m_home.File("config/glib-2.0/settings/keyfile"); }

  private:
    vltest::TempDir m_dir{"vlpic32inst"};
    vltest::TempDir m_home{"vlpic32home"}; // the user's registry, settings and the log
    vltest::VirtualDisplay m_display;
    std::unique_ptr<vltest::ChildProcess> m_process;
    std::string m_main;
};

// The colour of one pixel of a PNG file as 0xRRGGBB; -1 when the file or the pixel is not there.
long PixelAt(const std::string& pngFile, int x, int y);

} // namespace pic32test

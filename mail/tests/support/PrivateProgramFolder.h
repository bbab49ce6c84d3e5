#pragma once

// VL_PAK32 keeps VL_PAK32.INI beside the running program. A test program that runs the windows
// in-process therefore restarts itself from a copy in a fresh folder first, so that its INI file
// is its own and never the one beside the real program or another test program.

#include <string>

namespace vlpak32test {

class PrivateProgramFolder {
  public:
    // The first time: copies this program into a new temporary folder and executes the copy
    // with the same arguments (does not return). In the copy: takes over the folder.
    PrivateProgramFolder(int argc, char** argv);
    // Removes the folder with what the tests left in it.
    ~PrivateProgramFolder();
    PrivateProgramFolder(const PrivateProgramFolder&) = delete;
    PrivateProgramFolder& operator=(const PrivateProgramFolder&) = delete;

    // The host path of the folder (where VL_PAK32.INI is looked for).
    const std::string& Path() const { return m_path; }
    // Path() + "/VL_PAK32.INI".
    std::string IniFile() const { return m_path + "/VL_PAK32.INI"; }

  private:
    std::string m_path;
};

} // namespace vlpak32test

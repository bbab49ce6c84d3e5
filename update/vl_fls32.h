#pragma once

// The update detector's file objects: one path each, or a pair of paths (the copy on the FTP
// server and the local copy in the product folder) for the two news files. The INI reader goes
// through the Windows profile functions with fixed 256-character buffers.

#include <cstdint>
#include <memory>
#include <string>

namespace VL_NEW32 {

// One path, kept both as the zero-terminated buffer the profile functions take and as a string.
class TMyFile {
  public:
    // folder + name, with a "\" between them unless folder already ends in "/" or "\". A path
    // longer than 255 characters is cut to its first 255, the buffer's room.
    void SetPath(const std::string& folder, const std::string& name);

    char FileNameBuf[256] = {};
    std::string FileName;
};

// A plain file reference.
class TFile {
  public:
    TFile();
    ~TFile();

    std::unique_ptr<TMyFile> MyFile;
};

// Single values of a private profile (INI) file, read and written at the path MyFile names at
// the time of the call.
class TIniFile {
  public:
    TIniFile();
    ~TIniFile();

    // The value, at most 127 characters; "" for a missing file, section or key alike.
    std::string ReadString(const std::string& section, const std::string& key);
    // Writes the value (an empty one keeps the key with nothing after "="); true when the
    // profile function reported success. Texts longer than 255 characters are cut to 255.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);

    std::unique_ptr<TMyFile> MyFile;
    char SectionBuf[256] = {};
    char KeyBuf[256] = {};
    char ValueBuf[256] = {};
};

// The news information file: its server path and its local copy, read as an INI file.
class TInfFile {
  public:
    TInfFile();
    ~TInfFile();

    std::unique_ptr<TIniFile> Remote;
    std::unique_ptr<TIniFile> Local;
    std::uint8_t Kind = 0;
};

// The news text file: its server path and its local copy.
class TRtfFile {
  public:
    TRtfFile();
    ~TRtfFile();

    std::unique_ptr<TFile> Remote;
    std::unique_ptr<TFile> Local;
    std::uint8_t Kind = 0;
};

} // namespace VL_NEW32

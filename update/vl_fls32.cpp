#include "vl_fls32.h"

#include <windows/Windows.h>

#include <algorithm>
#include <cstring>

namespace VL_NEW32 {

namespace {

// Copies at most 255 characters and the terminating zero into a 256-character buffer.
void copyToBuf(char (&buf)[256], const std::string& text) {
    const std::size_t n = std::min<std::size_t>(text.size(), sizeof buf - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
}

} // namespace

void TMyFile::SetPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (path.empty() || (path.back() != '/' && path.back() != '\\'))
        path += '\\';
    path += name;
    copyToBuf(FileNameBuf, path);
    FileName = FileNameBuf;
}

TFile::TFile() : MyFile(std::make_unique<TMyFile>()) {}

TFile::~TFile() {
    MyFile.reset();
}

TIniFile::TIniFile() : MyFile(std::make_unique<TMyFile>()) {}

TIniFile::~TIniFile() {
    MyFile.reset();
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key) {
    copyToBuf(SectionBuf, section);
    copyToBuf(KeyBuf, key);
    win::GetPrivateProfileStringA(SectionBuf, KeyBuf, "", ValueBuf, 128, MyFile->FileNameBuf);
    return ValueBuf;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    copyToBuf(SectionBuf, section);
    copyToBuf(KeyBuf, key);
    copyToBuf(ValueBuf, value);
    return win::WritePrivateProfileStringA(SectionBuf, KeyBuf, ValueBuf, MyFile->FileNameBuf) != 0;
}

TInfFile::TInfFile() {
    Local = std::make_unique<TIniFile>();
    Remote = std::make_unique<TIniFile>();
}

TInfFile::~TInfFile() {
    Local.reset();
    Remote.reset();
}

TRtfFile::TRtfFile() {
    Local = std::make_unique<TFile>();
    Remote = std::make_unique<TFile>();
}

TRtfFile::~TRtfFile() {
    Local.reset();
    Remote.reset();
}

} // namespace VL_NEW32

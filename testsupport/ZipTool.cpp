#include "ZipTool.h"

#include "TestSupport.h"

#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace vltest {

namespace {

std::string percentDecode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string f;
    while (std::getline(in, f, '\t'))
        out.push_back(f);
    return out;
}

const std::string kTool = VLTEST_SUPPORT_DIR "/zip_tool.py";

} // namespace

ZipListing ListZip(const std::string& archivePath) {
    ZipListing listing;
    std::string output;
    if (RunProgram({"/usr/bin/python3", kTool, "list", archivePath}, &output) != 0)
        return listing;
    listing.read = true;
    std::stringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f = fields(line);
        if (f.size() == 7 && f[0] == "entry") {
            listing.entries.push_back({percentDecode(f[1]), std::stoi(f[2]), std::stoi(f[3]),
                                       std::stoull(f[4]), f[5], static_cast<std::uint32_t>(std::stoul(f[6]))});
        } else if (f.size() == 2 && f[0] == "zip64") {
            listing.zip64 = f[1] == "1";
        } else if (f.size() == 2 && f[0] == "test") {
            listing.test = percentDecode(f[1]);
        }
    }
    return listing;
}

bool MakeZip(const std::string& archivePath, const std::vector<ZipRecipeEntry>& entries) {
    std::string json = "[";
    for (const ZipRecipeEntry& e : entries) {
        if (json.size() > 1)
            json += ",";
        json += "{\"name\":" + JsonString(e.name) + ",\"data\":\"" + hex(e.data) + "\",\"method\":\"" +
                (e.stored ? "stored" : "deflated") + "\"";
        if (!e.rawName.empty())
            json += ",\"raw_name\":\"" + hex(e.rawName) + "\"";
        if (e.zip64)
            json += ",\"zip64\":true";
        if (e.folder)
            json += ",\"folder\":true";
        json += "}";
    }
    json += "]";
    const std::string spec = archivePath + ".recipe.json";
    WriteFile(spec, json);
    const int status = RunProgram({"/usr/bin/python3", kTool, "make", archivePath, spec});
    ::unlink(spec.c_str());
    return status == 0;
}

int UnzipTest(const std::string& archivePath, std::string* output) {
    return RunProgram({"/usr/bin/unzip", "-t", "-q", archivePath}, output);
}

} // namespace vltest

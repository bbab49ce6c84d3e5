// LZ-expansion files: compressed files written by Debian's mscompress come back whole, plain files
// byte for byte, damaged ones fail with the LZ error codes.

#include <windows/LZExpand.h>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using vltest::ScopedEnv;
using vltest::TempDir;

namespace {

class LZExpand : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    // Writes `name` and its compressed form `name_` (mscompress keeps the original).
    void compress(const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        ASSERT_EQ(std::system(("mscompress '" + dir.File(name) + "' >/dev/null 2>&1").c_str()), 0);
        ASSERT_EQ(dir.Read(name + "_").substr(0, 4), "SZDD");
    }

    // LZOpenFileA for reading, LZCopy into a new file, both closed; the copy's result.
    win::LONG copy(const std::string& from, const std::string& to) {
        win::OFSTRUCT in, out;
        const win::INT source = win::LZOpenFileA(from.c_str(), &in, win::OF_READ);
        const win::INT dest = win::LZOpenFileA(to.c_str(), &out, win::OF_CREATE);
        EXPECT_GE(dest, 0) << to;
        const win::LONG result = win::LZCopy(source, dest);
        win::LZClose(source);
        win::LZClose(dest);
        return result;
    }
};

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(gen());
    return s;
}

TEST_F(LZExpand, CompressedFilesExpandToTheOriginal) {
    std::string repetitive;
    for (int i = 0; i < 20000; ++i)
        repetitive += "wiersz " + std::to_string(i % 97) + " \xB9\xE6\xEA\n";
    const std::pair<std::string, std::string> cases[] = {
        {"empty.txt", ""}, // mscompress pads it with a byte the stated length leaves out
        {"sixteen.txt", "abcdefghijklmnop"},
        {"blanks.txt", std::string(5000, ' ')}, // references into the window's first filling
        {"text.txt", repetitive},
        {"random.bin", randomBytes(300000, 7)}, // mostly literals, across many reads
        {"mixed.bin", randomBytes(5000, 1) + repetitive.substr(0, 70000) + randomBytes(5000, 2)},
    };
    for (const auto& [name, bytes] : cases) {
        compress(name, bytes);
        EXPECT_EQ(copy("C:\\" + name + "_", "C:\\" + name + ".out"), static_cast<win::LONG>(bytes.size()))
            << name;
        EXPECT_EQ(dir.Read(name + ".out"), bytes) << name;
    }
}

TEST_F(LZExpand, PlainFilesAreCopiedByteForByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"empty", ""},
        {"short", "SZ"},                                         // shorter than a header
        {"almost", std::string("SZDD\x88\xF0\x27\x34rest", 12)}, // one magic byte off
        {"binary", randomBytes(200000, 3)},
    };
    for (const auto& [name, bytes] : cases) {
        dir.Write(name, bytes);
        EXPECT_EQ(copy("C:\\" + name, "C:\\" + name + ".out"), static_cast<win::LONG>(bytes.size())) << name;
        EXPECT_EQ(dir.Read(name + ".out"), bytes) << name;
    }
}

TEST_F(LZExpand, TheStatedLengthRulesAndDamageFails) {
    compress("a.txt", std::string(3000, 'a') + randomBytes(3000, 5));
    const std::string whole = dir.Read("a.txt_");
    dir.Write("cut.txt_", whole.substr(0, whole.size() - 100));
    std::string longer = whole;
    longer[10] = static_cast<char>(longer[10] + 1); // states one byte more than the data gives
    dir.Write("longer.txt_", longer);
    std::string shorter = whole;
    shorter[10] = static_cast<char>(shorter[10] - 1);
    dir.Write("shorter.txt_", shorter);
    EXPECT_EQ(copy("C:\\cut.txt_", "C:\\cut.out"), win::LZERROR_READ);
    EXPECT_EQ(copy("C:\\longer.txt_", "C:\\longer.out"), win::LZERROR_READ);
    // The stated length is the file's: the rest of the data is left out.
    EXPECT_EQ(copy("C:\\shorter.txt_", "C:\\shorter.out"), 5999);
    EXPECT_EQ(dir.Read("shorter.out"), dir.Read("a.txt").substr(0, 5999));

    std::string method = whole;
    method[8] = 'B';
    dir.Write("method.txt_", method);
    dir.Write("header.txt_", whole.substr(0, 10));
    win::OFSTRUCT record;
    EXPECT_EQ(win::LZOpenFileA("C:\\method.txt_", &record, win::OF_READ), win::LZERROR_UNKNOWNALG);
    EXPECT_EQ(win::LZOpenFileA("C:\\header.txt_", &record, win::OF_READ), win::LZERROR_READ);
}

TEST_F(LZExpand, OpenFailuresLeaveTheErrorCodeInTheRecord) {
    dir.Write("there.txt", "content");
    struct Case {
        const char* path;
        win::WORD style;
        win::DWORD error;
    };
    const Case cases[] = {
        {"C:\\missing.txt", win::OF_EXIST, win::ERROR_FILE_NOT_FOUND},
        {"C:\\missing.txt", win::OF_READ, win::ERROR_FILE_NOT_FOUND},
        {"C:\\no\\such.txt", win::OF_EXIST, win::ERROR_PATH_NOT_FOUND},
        {"C:\\no\\such.txt", win::OF_CREATE, win::ERROR_PATH_NOT_FOUND},
        {"Q:\\file.txt", win::OF_READ, win::ERROR_PATH_NOT_FOUND},
        {"", win::OF_EXIST, win::ERROR_PATH_NOT_FOUND},
        {"C:\\", win::OF_CREATE, win::ERROR_ACCESS_DENIED}, // a folder
    };
    for (const Case& c : cases) {
        win::OFSTRUCT record;
        EXPECT_LT(win::LZOpenFileA(c.path, &record, c.style), 0) << c.path;
        EXPECT_EQ(record.nErrCode, c.error) << c.path;
    }

    win::OFSTRUCT record;
    record.nErrCode = 99;
    EXPECT_GE(win::LZOpenFileA("c:\\THERE.TXT", &record, win::OF_EXIST), 0);
    EXPECT_EQ(record.nErrCode, win::ERROR_SUCCESS);
    EXPECT_STREQ(record.szPathName, "C:\\there.txt");
    EXPECT_EQ(dir.Read("there.txt"), "content"); // the test changed nothing
}

TEST_F(LZExpand, CreateEmptiesAnExistingFile) {
    dir.Write("old.txt", "a much longer content than what replaces it");
    dir.Write("new.txt", "short");
    EXPECT_EQ(copy("C:\\new.txt", "C:\\old.txt"), 5);
    EXPECT_EQ(dir.Read("old.txt"), "short");
}

TEST_F(LZExpand, CopyRefusesHandlesThatAreNotOpen) {
    dir.Write("in.txt", "data");
    win::OFSTRUCT in, out;
    const win::INT source = win::LZOpenFileA("C:\\in.txt", &in, win::OF_READ);
    const win::INT dest = win::LZOpenFileA("C:\\out.txt", &out, win::OF_CREATE);
    ASSERT_GE(source, 0);
    ASSERT_GE(dest, 0);
    EXPECT_EQ(win::LZCopy(-1, dest), win::LZERROR_BADINHANDLE);
    EXPECT_EQ(win::LZCopy(source, 123456), win::LZERROR_BADOUTHANDLE);
    win::LZClose(source);
    EXPECT_EQ(win::LZCopy(source, dest), win::LZERROR_BADINHANDLE); // closed
    win::LZClose(dest);
    win::LZClose(dest); // twice is harmless
}

} // namespace

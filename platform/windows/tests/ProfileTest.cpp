// Private profile functions on real files: reads under the platform's rules, writes that keep
// every other byte of the file, and refusals with the platform's error codes.

#include <windows/Windows.h>

#include "TestSupport.h"
#include <runtime/Cp1250.h>

#include <csignal>
#include <fcntl.h>
#include <set>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using vltest::ScopedEnv;
using vltest::TempDir;

using namespace rtl;
using win::BOOL;
using win::DWORD;

namespace {

std::string readIni(const char* section, const char* key, const char* def, DWORD size,
                    const std::string& file, DWORD* copied = nullptr) {
    std::string buf(size + 8, '\x7F');
    DWORD n = win::GetPrivateProfileStringA(section, key, def, buf.data(), size, file.c_str());
    if (copied)
        *copied = n;
    EXPECT_EQ(buf[n], '\0');
    return buf.substr(0, n);
}

std::string folderEntries(const std::string& dir) {
    std::string names;
    for (auto& e : std::filesystem::directory_iterator(dir))
        names += e.path().filename().string() + ";";
    return names;
}

class Profile : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};
};

const std::string kSample = "; settings written by the host\r\n"
                            "[Eksport_TRN]\r\n"
                            "Tytul_Wiadomosci=  Paczka 1  \r\n"
                            "  Quoted = \"  spaced  \"\r\n"
                            "Single='abc'\r\n"
                            "HalfQuote=\"abc\r\n"
                            "Mixed=\"abc'\r\n"
                            "Inner=a\"b\"c\r\n"
                            "Empty=\r\n"
                            "NoEquals\r\n"
                            "Haslo=\x9E\x90\x81\x94\r\n"
                            "Dup=first\r\n"
                            "Dup=second\r\n"
                            "Long=" +
                            std::string(200, 'x') + "\r\n" + "Polski=" + "Błąd zapisu"_w +
                            "\r\n"
                            "\r\n"
                            "[Error]\r\n"
                            "Nr=0\r\n"
                            "[eksport_trn]\r\n"
                            "Later=in the second section\r\n";

struct ReadCase {
    const char* section;
    const char* key;
    const char* def;
    DWORD size;
    std::string expected;
};

class ProfileRead : public Profile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, GivesThePlatformsValue) {
    dir.Write("settings.ini", kSample);
    const ReadCase& c = GetParam();
    DWORD copied = 0;
    EXPECT_EQ(readIni(c.section, c.key, c.def, c.size, "C:\\settings.ini", &copied), c.expected);
    EXPECT_EQ(copied, c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileRead,
    ::testing::Values(ReadCase{"Eksport_TRN", "Tytul_Wiadomosci", "brak", 2048, "Paczka 1"},
                      ReadCase{"EKSPORT_trn", "tytul_WIADOMOSCI", "brak", 2048, "Paczka 1"},
                      ReadCase{"Eksport_TRN", "Quoted", "brak", 2048, "  spaced  "},
                      ReadCase{"Eksport_TRN", "Single", "brak", 2048, "abc"},
                      ReadCase{"Eksport_TRN", "HalfQuote", "brak", 2048, "\"abc"},
                      ReadCase{"Eksport_TRN", "Mixed", "brak", 2048, "\"abc'"},
                      ReadCase{"Eksport_TRN", "Inner", "brak", 2048, "a\"b\"c"},
                      ReadCase{"Eksport_TRN", "Empty", "brak", 2048, ""},
                      ReadCase{"Eksport_TRN", "NoEquals", "brak", 2048, "brak"},
                      ReadCase{"Eksport_TRN", "Haslo", "brak", 2048, "\x9E\x90\x81\x94"},
                      ReadCase{"Eksport_TRN", "Dup", "brak", 2048, "first"},
                      ReadCase{"Eksport_TRN", "Long", "", 128, std::string(127, 'x')},
                      ReadCase{"Eksport_TRN", "Long", "", 2048, std::string(200, 'x')},
                      ReadCase{"Eksport_TRN", "Polski", "", 2048, "Błąd zapisu"_w},
                      ReadCase{"Eksport_TRN", "Quoted", "", 5, "  sp"},
                      ReadCase{"Eksport_TRN", "Tytul_Wiadomosci", "", 1, ""},
                      ReadCase{"Eksport_TRN", "Missing", "brak", 2048, "brak"},
                      ReadCase{"Eksport_TRN", "Missing", "brak  ", 2048, "brak"},
                      ReadCase{"Eksport_TRN", "Missing", nullptr, 2048, ""},
                      ReadCase{"Eksport_TRN", "Missing", "default cut", 5, "defa"},
                      ReadCase{"Brak", "Nr", "brak", 2048, "brak"},
                      ReadCase{"Error", "Nr", "brak", 2048, "0"},
                      ReadCase{"Eksport_TRN", "Later", "brak", 2048, "brak"},
                      ReadCase{"Eksport_TRN", "; settings written by the host", "brak", 2048, "brak"}));

TEST_F(Profile, MissingFileGivesTheDefault) {
    EXPECT_EQ(readIni("Eksport_TRN", "SMTP", "brak", 2048, "C:\\nothing.ini"), "brak");
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(readIni("Eksport_TRN", "SMTP", "brak", 2048, "C:\\no\\folder.ini"), "brak");
    EXPECT_FALSE(std::filesystem::exists(dir.File("nothing.ini")));
}

TEST_F(Profile, LfOnlyFileReads) {
    dir.Write("lf.ini", "[A]\nKey = value \n[B]\nKey=other\n");
    EXPECT_EQ(readIni("A", "key", "", 128, "C:\\lf.ini"), "value");
    EXPECT_EQ(readIni("b", "KEY", "", 128, "C:\\lf.ini"), "other");
}

TEST_F(Profile, DriveRootPathWithTwoBackslashesIsAccepted) {
    ASSERT_TRUE(win::WritePrivateProfileStringA("Error", "Nr", "0", "C:\\\\VL_PAK32.INI"));
    EXPECT_EQ(dir.Read("VL_PAK32.INI"), "[Error]\r\nNr=0\r\n");
    EXPECT_EQ(readIni("Error", "Nr", "brak", 2048, "C:\\\\VL_PAK32.INI"), "0");
}

TEST_F(Profile, SectionAndKeyNamesAreListed) {
    dir.Write("s.ini", "[One]\r\na=1\r\nb=2\r\n[Two]\r\n");
    std::string buf(64, '\x7F');
    DWORD n = win::GetPrivateProfileStringA(nullptr, nullptr, "", buf.data(), 64, "C:\\s.ini");
    EXPECT_EQ(n, 8u);
    EXPECT_EQ(buf.substr(0, 9), std::string("One\0Two\0\0", 9));
    n = win::GetPrivateProfileStringA("one", nullptr, "", buf.data(), 64, "C:\\s.ini");
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(buf.substr(0, 5), std::string("a\0b\0\0", 5));
    n = win::GetPrivateProfileStringA(nullptr, nullptr, "", buf.data(), 7, "C:\\s.ini");
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(buf.substr(0, 7), std::string("One\0T\0\0", 7));
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class ProfileWrite : public Profile, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItWrites) {
    const WriteCase& c = GetParam();
    if (c.before != "<none>")
        dir.Write("w.ini", c.before);
    ASSERT_TRUE(win::WritePrivateProfileStringA(c.section, c.key, c.value, "C:\\w.ini"))
        << win::GetLastError();
    if (c.after == "<none>")
        EXPECT_FALSE(std::filesystem::exists(dir.File("w.ini")));
    else
        EXPECT_EQ(dir.Read("w.ini"), c.after);
    EXPECT_EQ(folderEntries(dir.Path()), c.after == "<none>" ? "" : "w.ini;");
}

const std::string kKept = "; komentarz \x90\x81\r\n"
                          "[Eksport_TRN]\r\n"
                          "  Haslo = \x9E\x90 \r\n"
                          "; inner comment\r\n"
                          "odd line without equals\r\n"
                          "\r\n"
                          "[Error]\r\n"
                          "Nr = 7\r\n"
                          "Msg=stary b\xB3\xB9"
                          "d\r\n"
                          "\r\n"
                          "[Last]\r\n"
                          "x=1";

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileWrite,
    ::testing::Values(
        WriteCase{"NewFile", "<none>", "Error", "Nr", "0", "[Error]\r\nNr=0\r\n"},
        WriteCase{"EmptyValue", "<none>", "Error", "Msg", "", "[Error]\r\nMsg=\r\n"},
        WriteCase{"ReplaceKeepsKeySpelling", kKept, "error", "NR", "0",
                  "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo = \x9E\x90 \r\n; inner comment\r\n"
                  "odd line without equals\r\n\r\n[Error]\r\nNr=0\r\nMsg=stary b\xB3\xB9"
                  "d\r\n\r\n[Last]\r\nx=1"},
        WriteCase{"ReplaceWithEmptyKeepsKey", kKept, "Error", "Msg", "",
                  "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo = \x9E\x90 \r\n; inner comment\r\n"
                  "odd line without equals\r\n\r\n[Error]\r\nNr = 7\r\nMsg=\r\n\r\n[Last]\r\nx=1"},
        WriteCase{"BytesOfValueKept", kKept, "Eksport_TRN", "Haslo", "\x90\x81\x98",
                  "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo=\x90\x81\x98\r\n; inner comment\r\n"
                  "odd line without equals\r\n\r\n[Error]\r\nNr = 7\r\nMsg=stary b\xB3\xB9"
                  "d\r\n\r\n[Last]\r\nx=1"},
        WriteCase{
            "NewKeyBeforeBlankLine", kKept, "Eksport_TRN", "SMTP", "smtp.example",
            "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo = \x9E\x90 \r\n; inner comment\r\n"
            "odd line without equals\r\nSMTP=smtp.example\r\n\r\n[Error]\r\nNr = 7\r\nMsg=stary b\xB3\xB9"
            "d\r\n"
            "\r\n[Last]\r\nx=1"},
        WriteCase{"NewKeyAtEndWithoutNewline", kKept, "Last", "y", "2", kKept + "\r\ny=2\r\n"},
        WriteCase{"NewSectionAppended", kKept, "Nowa", "k", "v", kKept + "\r\n[Nowa]\r\nk=v\r\n"},
        WriteCase{"NullValueDeletesKey", kKept, "ERROR", "msg", nullptr,
                  "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo = \x9E\x90 \r\n; inner comment\r\n"
                  "odd line without equals\r\n\r\n[Error]\r\nNr = 7\r\n\r\n[Last]\r\nx=1"},
        WriteCase{"NullKeyDeletesSection", kKept, "error", nullptr, nullptr,
                  "; komentarz \x90\x81\r\n[Eksport_TRN]\r\n  Haslo = \x9E\x90 \r\n; inner comment\r\n"
                  "odd line without equals\r\n\r\n[Last]\r\nx=1"},
        WriteCase{"DeletingWhatIsMissingChangesNothing", kKept, "Brak", "x", nullptr, kKept},
        WriteCase{"AllNullFlushes", kKept, nullptr, nullptr, nullptr, kKept},
        WriteCase{"LfFileKeepsLf", "[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\n"},
        WriteCase{"LfFileNewSection", "[A]\na=1\n", "B", "b", "2", "[A]\na=1\n[B]\nb=2\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Profile, ReadOnlyFileIsRefusedAndUntouched) {
    dir.Write("ro.ini", kKept);
    ASSERT_EQ(::chmod(dir.File("ro.ini").c_str(), 0444), 0);
    EXPECT_FALSE(win::WritePrivateProfileStringA("Error", "Nr", "0", "C:\\ro.ini"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.Read("ro.ini"), kKept);
    EXPECT_EQ(folderEntries(dir.Path()), "ro.ini;");
}

TEST_F(Profile, ReadOnlyAttributeIsRefusedToo) {
    dir.Write("ro.ini", kKept);
    ASSERT_TRUE(
        win::SetFileAttributesA("C:\\RO.INI", win::FILE_ATTRIBUTE_READONLY | win::FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(win::WritePrivateProfileStringA("Error", "Nr", "0", "C:\\ro.ini"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.Read("ro.ini"), kKept);
}

TEST_F(Profile, MissingFolderIsPathNotFound) {
    EXPECT_FALSE(win::WritePrivateProfileStringA("Error", "Nr", "0", "C:\\brak\\x.ini"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(dir.File("brak")));
}

TEST_F(Profile, WriteKeepsModeAndLeavesNoTemporaryFile) {
    dir.Write("m.ini", "[A]\r\na=1\r\n");
    ASSERT_EQ(::chmod(dir.File("m.ini").c_str(), 0640), 0);
    ASSERT_TRUE(win::WritePrivateProfileStringA("A", "a", "2", "C:\\m.ini"));
    struct stat st;
    ASSERT_EQ(::stat(dir.File("m.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.Read("m.ini"), "[A]\r\na=2\r\n");
    EXPECT_EQ(folderEntries(dir.Path()), "m.ini;");
}

TEST_F(Profile, WriteIsInTheFileWhenTheCallReturns) {
    for (int i = 0; i < 5; ++i) {
        std::string v = std::to_string(i);
        ASSERT_TRUE(win::WritePrivateProfileStringA("Error", "Nr", v.c_str(), "C:\\now.ini"));
        EXPECT_EQ(dir.Read("now.ini"), "[Error]\r\nNr=" + v + "\r\n");
    }
}

// A write that runs out of room (here: the file size limit of the process) fails and leaves the
// old file whole, with no half-written file beside it.
TEST_F(Profile, FullDiskLeavesTheOldFileWhole) {
    dir.Write("full.ini", kKept);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim = {64, 64};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        std::string big(4096, 'z');
        BOOL ok = win::WritePrivateProfileStringA("Error", "Msg", big.c_str(), "C:\\full.ini");
        ::_exit(ok ? 1 : (win::GetLastError() == win::ERROR_DISK_FULL ? 0 : 2));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir.Read("full.ini"), kKept);
    EXPECT_EQ(folderEntries(dir.Path()), "full.ini;");
}

// A file in UTF-16 with its byte-order mark stays UTF-16: a value is read in Windows-1250 and
// a record written into it is UTF-16 too, every character the code page lacks kept.
TEST_F(Profile, Utf16FileIsReadAndWrittenAsUtf16) {
    auto utf16 = [](std::u16string_view text) {
        std::string bytes = "\xFF\xFE";
        for (char16_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
        return bytes;
    };
    dir.Write("u.ini", utf16(u"[Eksport_TRN]\r\nKatalog_TRN=C:\\Przes\u0142ki\r\nUwaga=\u65E5\u672C\r\n"));
    EXPECT_EQ(readIni("Eksport_TRN", "Katalog_TRN", "brak", 2048, "C:\\u.ini"), "C:\\Przesłki"_w);
    EXPECT_EQ(readIni(nullptr, nullptr, "", 2048, "C:\\u.ini"), std::string("Eksport_TRN\0", 12));

    ASSERT_TRUE(win::WritePrivateProfileStringA("Error", "Nr", "-1", "C:\\u.ini"));
    ASSERT_TRUE(win::WritePrivateProfileStringA("Error", "Msg", "Błąd"_w.c_str(), "C:\\u.ini"));
    EXPECT_EQ(dir.Read("u.ini"),
              utf16(u"[Eksport_TRN]\r\nKatalog_TRN=C:\\Przes\u0142ki\r\nUwaga=\u65E5\u672C\r\n"
                    u"[Error]\r\nNr=-1\r\nMsg=B\u0142\u0105d\r\n"));
    EXPECT_EQ(readIni("Error", "Msg", "", 2048, "C:\\u.ini"), "Błąd"_w);
}

// A write killed between its temporary file and the rename leaves the temporary file behind;
// the next write of the same file takes it away, and leaves those of other files and those
// still in use alone.
TEST_F(Profile, NextWriteRemovesTemporaryFilesLeftByAKilledOne) {
    dir.Write("VL_PAK32.INI", "[Error]\r\nNr=0\r\n");
    dir.Write(".VL_PAK32.INI.vltmp.Ab12Cd", "[Error]\r\nNr=half");
    dir.Write(".VL_PAK32.INI.vltmp.zz99zz", "");
    dir.Write(".OTHER.INI.vltmp.Ab12Cd", "other");
    dir.Write(".VL_PAK32.INI.vltmp.keep", "not one of ours");
    dir.Write(".VL_PAK32.INI.vltmp.InUse1", "in use");
    int held = ::open(dir.File(".VL_PAK32.INI.vltmp.InUse1").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(held, F_OFD_SETLK, &whole), 0);

    ASSERT_TRUE(win::WritePrivateProfileStringA("Error", "Nr", "1", "C:\\VL_PAK32.INI"));
    ::close(held);
    std::set<std::string> left;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        left.insert(e.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"VL_PAK32.INI", ".OTHER.INI.vltmp.Ab12Cd", ".VL_PAK32.INI.vltmp.keep",
                                           ".VL_PAK32.INI.vltmp.InUse1"}));
    EXPECT_EQ(dir.Read("VL_PAK32.INI"), "[Error]\r\nNr=1\r\n");
}

} // namespace

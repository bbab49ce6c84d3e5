// The library as a host program uses it: loaded with dlopen, the export bound by name, called
// over real record files in a temporary folder.

#include <Velt_b64.h>
#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A record file too large for memory must come back as status 7 rather than end the process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

namespace fs = std::filesystem;
using rtl::operator""_w;

class Library {
  public:
    Library() {
        m_handle = dlopen(VELT_B64_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            throw std::runtime_error(dlerror());
        call =
            reinterpret_cast<VBGetPersDataFromBase64File_t>(dlsym(m_handle, "VBGetPersDataFromBase64File"));
    }
    ~Library() { dlclose(m_handle); }
    void* handle() const { return m_handle; }
    VBGetPersDataFromBase64File_t call = nullptr;

  private:
    void* m_handle = nullptr;
};

Library& library() {
    static Library lib;
    return lib;
}

struct Outcome {
    int status;
    std::optional<std::string> text;
};

Outcome call(unsigned index, const char* fileName, const char* separator) {
    unsigned char status = 0xEE;
    const char* text = library().call(index, fileName, separator, &status);
    return {status, text ? std::optional<std::string>(text) : std::nullopt};
}

// Where a case's FileName points.
enum class Target { Record, WindowsForm, Missing, Folder, Null, Empty, Wildcard };

struct HostCase {
    const char* name;
    std::string content; // the record file's bytes, Base64 as written
    Target target;
    unsigned index;
    const char* separator;
    int status;
    std::optional<std::string> text;
};

class HostCallTable : public testing::TestWithParam<HostCase> {};

TEST_P(HostCallTable, ReturnsFieldAndStatus) {
    const HostCase& c = GetParam();
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("record.b64", c.content);
    std::string name;
    const char* fileName = nullptr;
    switch (c.target) {
    case Target::Record:
        fileName = record.c_str();
        break;
    case Target::WindowsForm:
        name = folder.Path() + "\\RECORD.B64";
        fileName = name.c_str();
        break;
    case Target::Missing:
        name = folder.File("missing.b64");
        fileName = name.c_str();
        break;
    case Target::Folder:
        fileName = folder.Path().c_str();
        break;
    case Target::Null:
        fileName = nullptr;
        break;
    case Target::Empty:
        fileName = "";
        break;
    case Target::Wildcard:
        name = folder.File("record.b6?");
        fileName = name.c_str();
        break;
    }
    const Outcome out = call(c.index, fileName, c.separator);
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.text, c.text);
}

// "A;B;C;D;E;F;G;" and its neighbours; the Base64 is written out so that the padding shows.
const std::string kSeven = "QTtCO0M7RDtFO0Y7Rzs=";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostCallTable,
    testing::Values(
        HostCase{"Field1", kSeven, Target::Record, 1, ";", 0, "A"},
        HostCase{"Field3", kSeven, Target::Record, 3, ";", 0, "C"},
        HostCase{"Field7", kSeven, Target::Record, 7, ";", 0, "G"},
        // The name as a Windows host writes it: backslash, other letter case.
        HostCase{"WindowsFormName", kSeven, Target::WindowsForm, 2, ";", 0, "B"},
        // Only the lowest byte of Index counts: 0x103 asks for field 3.
        HostCase{"IndexLowestByte", kSeven, Target::Record, 0x103, ";", 0, "C"},
        // "A;B;C;D;E;F;G;tail text"
        HostCase{"TailIgnored3", "QTtCO0M7RDtFO0Y7Rzt0YWlsIHRleHQ=", Target::Record, 3, ";", 0, "C"},
        HostCase{"TailIgnored7", "QTtCO0M7RDtFO0Y7Rzt0YWlsIHRleHQ=", Target::Record, 7, ";", 0, "G"},
        // "A;B;C;D;E;F;G" and "A;B;C;D;E;F;G;H;"
        HostCase{"SixSeparators", "QTtCO0M7RDtFO0Y7Rw==", Target::Record, 1, ";", 5, std::nullopt},
        HostCase{"EightSeparators", "QTtCO0M7RDtFO0Y7RztIOw==", Target::Record, 1, ";", 5, std::nullopt},
        // "A;B;C;;E;F;G;"
        HostCase{"EmptyField4", "QTtCO0M7O0U7RjtHOw==", Target::Record, 4, ";", 0, std::nullopt},
        HostCase{"AfterEmptyField", "QTtCO0M7O0U7RjtHOw==", Target::Record, 5, ";", 0, "E"},
        // The index is refused before the file is looked at: a missing file would give 2.
        HostCase{"Index0", kSeven, Target::Missing, 0, ";", 1, std::nullopt},
        HostCase{"Index8", kSeven, Target::Missing, 8, ";", 1, std::nullopt},
        HostCase{"Index0NullName", kSeven, Target::Null, 0, nullptr, 1, std::nullopt},
        HostCase{"LineBreakAtEnd", kSeven + "\n", Target::Record, 1, ";", 4, std::nullopt},
        HostCase{"CrLfAtEnd", kSeven + "\r\n", Target::Record, 1, ";", 4, std::nullopt},
        HostCase{"EmptyFile", "", Target::Record, 1, ";", 3, std::nullopt},
        HostCase{"TwoCharacters", "QQ", Target::Record, 1, ";", 4, std::nullopt},
        HostCase{"TwoCharSeparator", kSeven, Target::Record, 1, ";;", 5, std::nullopt},
        HostCase{"EmptySeparator", kSeven, Target::Record, 1, "", 5, std::nullopt},
        HostCase{"Folder", kSeven, Target::Folder, 1, ";", 2, std::nullopt},
        HostCase{"NullName", kSeven, Target::Null, 1, ";", 2, std::nullopt},
        HostCase{"EmptyName", kSeven, Target::Empty, 1, ";", 2, std::nullopt},
        HostCase{"Missing", kSeven, Target::Missing, 1, ";", 2, std::nullopt},
        HostCase{"WildcardName", kSeven, Target::Wildcard, 1, ";", 2, std::nullopt},
        HostCase{"NullSeparator", kSeven, Target::Record, 1, nullptr, 8, std::nullopt},
        // Decodes to nothing: a success with no text.
        HostCase{"OnlyPadding", "====", Target::Record, 1, nullptr, 0, std::nullopt},
        // "A;B;C;D;E;F;GH;", "A;B;C;D;E;F;GHIJ;", "A;B;C;D;E;F;GHI;": 0, 1 and 2 "=".
        HostCase{"NoPadding", "QTtCO0M7RDtFO0Y7R0g7", Target::Record, 7, ";", 0, "GH"},
        HostCase{"OnePadding", "QTtCO0M7RDtFO0Y7R0hJSjs=", Target::Record, 7, ";", 0, "GHIJ"},
        HostCase{"TwoPaddings", "QTtCO0M7RDtFO0Y7R0hJOw==", Target::Record, 7, ";", 0, "GHI"},
        // "Łódź|Gdańsk|...|Świdnica|" in Windows-1250, split at "|".
        HostCase{"Windows1250", "o/Nkn3xHZGHxc2t8S3Jha/N3fFdyb2OzYXd8UG96bmHxfK9hZ2HxfIx3aWRuaWNhfA==",
                 Target::Record, 7, "|", 0, "Świdnica"_w}),
    [](const testing::TestParamInfo<HostCase>& info) { return std::string(info.param.name); });

TEST(HostCall, OnlyTheExportIsVisible) {
    EXPECT_NE(dlsym(library().handle(), "VBGetPersDataFromBase64File"), nullptr);
    // The library's own routines and the Windows layer linked into it stay inside.
    for (const char* hidden :
         {"_ZN8Velt_b6415Base64CharValueEc", "_ZN8Velt_b6412DecodeBase64ESt4spanIcLm18446744073709551615EERh",
          "_ZN8Velt_b6417ReadPersDataFieldB5cxx11EhPKcS1_Rh", "_ZN3win11CreateFileAEPKcjjPvjjS2_",
          "_ZN3win8ReadFileEPvS0_jPjS0_"})
        EXPECT_EQ(dlsym(library().handle(), hidden), nullptr) << hidden;

    // The dynamic symbol table defines nothing else.
    const std::string command = std::string("nm -D --defined-only '") + VELT_B64_LIBRARY + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string symbols;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string s(line);
        if (s.find(" A ") == std::string::npos) // version nodes
            symbols += s.substr(s.rfind(' ') + 1);
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, "VBGetPersDataFromBase64File\n");
}

TEST(HostCall, TextStaysUntilTheNextCall) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("r.b64", kSeven);
    unsigned char status = 0xEE;
    const char* first = library().call(2, record.c_str(), ";", &status);
    ASSERT_NE(first, nullptr);
    fs::remove(record); // the text is the library's, not the file's
    EXPECT_STREQ(first, "B");
    // A failing call returns null and writes its own status.
    EXPECT_EQ(library().call(2, record.c_str(), ";", &status), nullptr);
    EXPECT_EQ(status, 2);
}

TEST(HostCall, NoStatusByteStillGivesTheText) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("r.b64", kSeven);
    const char* text = library().call(6, record.c_str(), ";", nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "F");
}

// Each thread keeps its own returned text.
TEST(HostCall, ThreadsKeepTheirOwnText) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("r.b64", kSeven);
    std::atomic<int> wrong = 0;
    std::vector<std::thread> threads;
    for (unsigned index = 1; index <= 7; ++index) {
        threads.emplace_back([&, index] {
            const std::string expected(1, static_cast<char>('A' + index - 1));
            for (int i = 0; i < 200; ++i) {
                unsigned char status = 0xEE;
                const char* text = library().call(index, record.c_str(), ";", &status);
                if (status != 0 || !text || expected != text)
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
}

// Whatever the outcome, the call leaves no handle behind: a writer gets the file afterwards.
TEST(HostCall, FileIsClosedAfterEveryOutcome) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("r.b64", kSeven);
    for (const char* separator : {";", "|", static_cast<const char*>(nullptr)}) {
        call(1, record.c_str(), separator);
        const win::HANDLE h =
            win::CreateFileA(record.c_str(), win::GENERIC_WRITE, 0, nullptr, win::OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, win::INVALID_HANDLE_VALUE) << (separator ? separator : "null");
        win::CloseHandle(h);
    }
}

TEST(HostCall, SeparatorsBeyondTheFirst64KiB) {
    vltest::TempDir folder{"velt_b64"};
    // Field 1 of 70000 "i" (Base64 of "iii" is "aWlp"), then "x;b;c;d;e;f;g;".
    std::string text;
    for (int i = 0; i < 70000 / 3; ++i)
        text += "aWlp";
    text += "aXg7YjtjO2Q7ZTtmO2c7"; // "ix;b;c;d;e;f;g;"
    const std::string record = folder.Write("long.b64", text);
    EXPECT_EQ(call(1, record.c_str(), ";").text, std::string(70000, 'i') + "x");
    EXPECT_EQ(call(2, record.c_str(), ";").text, "b");
    EXPECT_EQ(call(7, record.c_str(), ";").text, "g");
}

TEST(HostCall, FileTooLargeForMemoryIsStatus7) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("huge.b64", "");
    fs::resize_file(record, std::uintmax_t{1} << 42); // 4 TiB, sparse
    const Outcome out = call(1, record.c_str(), ";");
    EXPECT_EQ(out.status, 7);
    EXPECT_EQ(out.text, std::nullopt);
}

// Runs `body` in a child process and returns its exit code.
template <class F> int inChild(F&& body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 200;
}

TEST(HostCall, FileHeldForWritingByAnotherProcessIsStatus6) {
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("held.b64", kSeven);

    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    std::fflush(nullptr);
    const pid_t writer = fork();
    if (writer == 0) {
        // The other program: opens the record for writing, shares reading, and waits.
        const win::HANDLE h = win::CreateFileA(record.c_str(), win::GENERIC_WRITE, win::FILE_SHARE_READ,
                                               nullptr, win::OPEN_EXISTING, 0, nullptr);
        const char opened = h == win::INVALID_HANDLE_VALUE ? 'n' : 'y';
        (void)!write(fromChild[1], &opened, 1);
        char done;
        (void)!read(toChild[0], &done, 1);
        win::CloseHandle(h);
        _exit(0);
    }
    char opened = 0;
    ASSERT_EQ(read(fromChild[0], &opened, 1), 1);
    ASSERT_EQ(opened, 'y');

    const Outcome held = call(1, record.c_str(), ";");
    EXPECT_EQ(held.status, 6);
    EXPECT_EQ(held.text, std::nullopt);

    ASSERT_EQ(write(toChild[1], "x", 1), 1);
    int wstatus = 0;
    waitpid(writer, &wstatus, 0);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
        close(fd);

    // Released: the same call succeeds.
    const Outcome released = call(1, record.c_str(), ";");
    EXPECT_EQ(released.status, 0);
    EXPECT_EQ(released.text, "A");
}

TEST(HostCall, FileThatCannotBeReadIsStatus6) {
    vltest::TempDir folder{"velt_b64"};
    fs::permissions(folder.Path(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    const std::string record = folder.Write("locked.b64", kSeven);
    fs::permissions(record, fs::perms::none);
    // As an ordinary user: root reads any file.
    const int status = inChild([&] {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 100;
        unsigned char s = 0xEE;
        const char* text = library().call(1, record.c_str(), ";", &s);
        return text ? 101 : static_cast<int>(s);
    });
    EXPECT_EQ(status, 6);
}

} // namespace

// A host that unloads the library gets it out of its address space, also after calling the
// export on its main thread. Other tests keep the library loaded, so when it is mapped already
// the test runs again alone in a fresh process of this program.
TEST(HostCall, UnloadingUnmapsTheLibrary) {
    const std::string path = fs::canonical(VELT_B64_LIBRARY).string();
    auto mapped = [&] {
        std::ifstream maps("/proc/self/maps");
        for (std::string line; std::getline(maps, line);)
            if (line.find(path) != std::string::npos)
                return true;
        return false;
    };
    if (mapped()) {
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        const std::string command =
            "'" + self + "' --gtest_filter=HostCall.UnloadingUnmapsTheLibrary >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return;
    }
    void* handle = dlopen(VELT_B64_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto call = reinterpret_cast<VBGetPersDataFromBase64File_t>(dlsym(handle, "VBGetPersDataFromBase64File"));
    ASSERT_NE(call, nullptr);
    vltest::TempDir folder{"velt_b64"};
    const std::string record = folder.Write("r.b64", kSeven);
    unsigned char status = 0xEE;
    ASSERT_STREQ(call(2, record.c_str(), ";", &status), "B");
    EXPECT_TRUE(mapped());
    ASSERT_EQ(dlclose(handle), 0);
    EXPECT_FALSE(mapped());
}

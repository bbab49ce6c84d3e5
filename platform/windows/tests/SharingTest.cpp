// File handles: sharing rules checked against a real second process, read-only files, and
// the platform's creation rules.

#include <windows/Windows.h>

#include "TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using vltest::ScopedEnv;
using vltest::TempDir;

namespace {

using win::DWORD;

// Runs `call` in a child process and gives the error code it ended with (0 for success).
DWORD inOtherProcess(const std::function<DWORD()>& call) {
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(static_cast<int>(call() & 0xFF));
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status)) : 0xFF;
}

DWORD openAndClose(const std::string& path, DWORD access, DWORD share) {
    win::HANDLE h = win::CreateFileA(path.c_str(), access, share, nullptr, win::OPEN_EXISTING, 0, nullptr);
    if (h == win::INVALID_HANDLE_VALUE)
        return win::GetLastError();
    win::CloseHandle(h);
    return 0;
}

class Sharing : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};
    void SetUp() override { dir.Write("rec.b64", "QUJD"); }
};

TEST_F(Sharing, DenyWriteOpenFailsWhileAnotherProcessWrites) {
    win::HANDLE writer =
        win::CreateFileA("C:\\rec.b64", win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                         nullptr, win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(
        inOtherProcess([] { return openAndClose("C:\\rec.b64", win::GENERIC_READ, win::FILE_SHARE_READ); }),
        win::ERROR_SHARING_VIOLATION);
    // Reading that lets others write is fine.
    EXPECT_EQ(inOtherProcess([] {
                  return openAndClose("C:\\rec.b64", win::GENERIC_READ,
                                      win::FILE_SHARE_READ | win::FILE_SHARE_WRITE);
              }),
              0u);
    // An open without data access (measuring the size) takes no part.
    EXPECT_EQ(inOtherProcess([] { return openAndClose("C:\\rec.b64", 0, win::FILE_SHARE_READ); }), 0u);
    ASSERT_TRUE(win::CloseHandle(writer));
    EXPECT_EQ(
        inOtherProcess([] { return openAndClose("C:\\rec.b64", win::GENERIC_READ, win::FILE_SHARE_READ); }),
        0u);
}

TEST_F(Sharing, WriteFailsWhileAnotherProcessDeniesWriting) {
    win::HANDLE reader = win::CreateFileA("C:\\rec.b64", win::GENERIC_READ, win::FILE_SHARE_READ, nullptr,
                                          win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(inOtherProcess([] {
                  return openAndClose("C:\\rec.b64", win::GENERIC_WRITE,
                                      win::FILE_SHARE_READ | win::FILE_SHARE_WRITE);
              }),
              win::ERROR_SHARING_VIOLATION);
    EXPECT_EQ(
        inOtherProcess([] { return openAndClose("C:\\rec.b64", win::GENERIC_READ, win::FILE_SHARE_READ); }),
        0u);
    EXPECT_EQ(inOtherProcess([] {
                  return win::WritePrivateProfileStringA("A", "b", "c", "C:\\rec.b64") ? 0u
                                                                                       : win::GetLastError();
              }),
              win::ERROR_SHARING_VIOLATION);
    EXPECT_EQ(dir.Read("rec.b64"), "QUJD");
    // Two opens in one process count as two.
    EXPECT_EQ(openAndClose("C:\\rec.b64", win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE),
              win::ERROR_SHARING_VIOLATION);
    ASSERT_TRUE(win::CloseHandle(reader));
    EXPECT_EQ(inOtherProcess([] {
                  return openAndClose("C:\\rec.b64", win::GENERIC_WRITE,
                                      win::FILE_SHARE_READ | win::FILE_SHARE_WRITE);
              }),
              0u);
}

TEST_F(Sharing, ExclusiveOpenShutsOutReaders) {
    win::HANDLE only =
        win::CreateFileA("C:\\rec.b64", win::GENERIC_READ, 0, nullptr, win::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(only, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(inOtherProcess([] {
                  return openAndClose("C:\\rec.b64", win::GENERIC_READ,
                                      win::FILE_SHARE_READ | win::FILE_SHARE_WRITE);
              }),
              win::ERROR_SHARING_VIOLATION);
    win::CloseHandle(only);
}

TEST_F(Sharing, ReadWriteAndSize) {
    win::HANDLE h =
        win::CreateFileA("C:\\new.bin", win::GENERIC_WRITE, 0, nullptr, win::CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(win::WriteFile(h, "hello\x90", 6, &written, nullptr));
    EXPECT_EQ(written, 6u);
    DWORD high = 7;
    EXPECT_EQ(win::GetFileSize(h, &high), 6u);
    EXPECT_EQ(high, 0u);
    ASSERT_TRUE(win::CloseHandle(h));
    EXPECT_FALSE(win::CloseHandle(h));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);

    h = win::CreateFileA("C:\\NEW.BIN", win::GENERIC_READ, win::FILE_SHARE_READ, nullptr, win::OPEN_EXISTING,
                         win::FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    char buf[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(win::ReadFile(h, buf, sizeof buf, &read, nullptr));
    EXPECT_EQ(std::string(buf, read), "hello\x90");
    win::CloseHandle(h);

    EXPECT_EQ(win::CreateFileA("C:\\new.bin", win::GENERIC_WRITE, 0, nullptr, win::CREATE_NEW, 0, nullptr),
              win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_EXISTS);
    h = win::CreateFileA("C:\\new.bin", win::GENERIC_WRITE, 0, nullptr, win::CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_EQ(win::GetFileSize(h, nullptr), 0u);
    win::CloseHandle(h);
}

TEST_F(Sharing, OpenErrors) {
    EXPECT_EQ(openAndClose("C:\\none.b64", win::GENERIC_READ, win::FILE_SHARE_READ),
              win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(openAndClose("C:\\none\\x.b64", win::GENERIC_READ, win::FILE_SHARE_READ),
              win::ERROR_PATH_NOT_FOUND);
    dir.MakeFolder("folder");
    EXPECT_EQ(openAndClose("C:\\folder", win::GENERIC_READ, win::FILE_SHARE_READ), win::ERROR_ACCESS_DENIED);
    ASSERT_TRUE(win::SetFileAttributesA("C:\\rec.b64", win::FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(openAndClose("C:\\rec.b64", win::GENERIC_WRITE, win::FILE_SHARE_READ),
              win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(openAndClose("C:\\rec.b64", win::GENERIC_READ, win::FILE_SHARE_READ), 0u);
    EXPECT_EQ(win::CreateFileA("C:\\rec.b64", win::GENERIC_WRITE, 0, nullptr, win::CREATE_ALWAYS, 0, nullptr),
              win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.Read("rec.b64"), "QUJD");
}

} // namespace

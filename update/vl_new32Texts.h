#pragma once

// The texts the window shows about a check: the FTP component's outcomes by operation code,
// its progress and error texts, and the version display with the verdict. Part of the main
// window's module; all Windows-1250.

#include <cstdint>
#include <optional>
#include <string>

namespace VL_NEW32 {

// The maker's web host; the update text ends with its service page.
inline constexpr const char* kWebHost = "www.velt.example";

enum class TOutcome { Success, Failure, Unsupported };

// The status text (Success, Failure) or dialog text (Unsupported) for an operation code of
// the FTP component, 0 to 14; nothing for a code above 14.
std::optional<std::string> OperationText(int transType, TOutcome outcome);

// "2048 z 10240": bytes so far and the announced total, plain decimal digits.
std::string ProgressText(std::int64_t count, std::int64_t total);

// "Error <Errno>: <Errmsg>", cut to the 255 characters the box's buffer holds.
std::string ErrorBoxText(std::uint16_t errorNumber, const std::string& message);

// TextProgram's caption before a check ("\nTwój program:\n <host>") and after one.
std::string HostProgramCaption(const std::string& hostDescription);
std::string ProgramsCaption(const std::string& hostDescription, const std::string& newsDescription);

// The verdict texts: update advised, with the service page, and no update needed.
std::string UpdateAdvice();
std::string NoUpdateNeeded();

} // namespace VL_NEW32

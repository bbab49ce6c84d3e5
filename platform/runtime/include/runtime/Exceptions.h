#pragma once

// The runtime's exception kinds. Every message is Windows-1250 text, shown to the user as it is.

#include <exception>
#include <string>

namespace rtl {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

  private:
    std::string m_message;
};

// A text that does not convert to the value asked for ("'x' is not a valid integer value").
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// A file operation that the system refused; carries the platform's error code.
class EInOutError : public Exception {
  public:
    EInOutError(std::string message, int errorCode = 0)
        : Exception(std::move(message)), m_errorCode(errorCode) {}
    int ErrorCode() const noexcept { return m_errorCode; }

  private:
    int m_errorCode;
};

// A list asked for an item it does not hold ("List index out of bounds (%d)") or for an
// operation its kind does not allow.
class EListError : public Exception {
  public:
    using Exception::Exception;
};

// Memory that could not be had.
class EOutOfMemory : public Exception {
  public:
    using Exception::Exception;
};

} // namespace rtl

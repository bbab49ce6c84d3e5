// Last error code per thread, the platform's numbering of host errors and its English texts.

#include <windows/WinSock.h>
#include <windows/Windows.h>

#include <cerrno>

namespace win {

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
} // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD code) {
    t_lastError = code;
}

std::string SysErrorMessage(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_INVALID_FUNCTION:
        return "Incorrect function.";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "The system cannot open the file.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "Not enough storage is available to process this command.";
    case ERROR_INVALID_DATA:
        return "The data is invalid.";
    case ERROR_NOT_SAME_DEVICE:
        return "The system cannot move the file to a different disk drive.";
    case ERROR_NO_MORE_FILES:
        return "There are no more files.";
    case ERROR_WRITE_PROTECT:
        return "The media is write protected.";
    case ERROR_NOT_READY:
        return "The device is not ready.";
    case ERROR_WRITE_FAULT:
        return "The system cannot write to the specified device.";
    case ERROR_GEN_FAILURE:
        return "A device attached to the system is not functioning.";
    case ERROR_SHARING_VIOLATION:
        return "The process cannot access the file because it is being used by another process.";
    case ERROR_LOCK_VIOLATION:
        return "The process cannot access the file because another process has locked a portion of the file.";
    case ERROR_HANDLE_DISK_FULL:
        return "The disk is full.";
    case ERROR_FILE_EXISTS:
        return "The file exists.";
    case ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    case ERROR_DISK_FULL:
        return "There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER:
        return "The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME:
        return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_DIR_NOT_EMPTY:
        return "The directory is not empty.";
    case ERROR_ALREADY_EXISTS:
        return "Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE:
        return "The filename or extension is too long.";
    case ERROR_MORE_DATA:
        return "More data is available.";
    case ERROR_DIRECTORY:
        return "The directory name is invalid.";
    case ERROR_IO_DEVICE:
        return "The request could not be performed because of an I/O device error.";
    case WSAEINTR:
        return "A blocking operation was interrupted by a call to WSACancelBlockingCall.";
    case WSAEACCES:
        return "An attempt was made to access a socket in a way forbidden by its access permissions.";
    case WSAEDESTADDRREQ:
        return "A destination address is required.";
    case WSAEADDRINUSE:
        return "Only one usage of each socket address (protocol/network address/port) is normally permitted.";
    case WSAENETDOWN:
        return "A socket operation encountered a dead network.";
    case WSAENETUNREACH:
        return "A socket operation was attempted to an unreachable network.";
    case WSAECONNABORTED:
        return "An established connection was aborted by the software in your host machine.";
    case WSAECONNRESET:
        return "An existing connection was forcibly closed by the remote host.";
    case WSAETIMEDOUT:
        return "A connection attempt failed because the connected party did not properly respond after a "
               "period of time, or established connection failed because connected host has failed to "
               "respond.";
    case WSAECONNREFUSED:
        return "No connection could be made because the target machine actively refused it.";
    case WSAEHOSTUNREACH:
        return "A socket operation was attempted to an unreachable host.";
    case WSANOTINITIALISED:
        return "Either the application has not called WSAStartup, or WSAStartup failed.";
    case WSAHOST_NOT_FOUND:
        return "No such host is known.";
    case WSATRY_AGAIN:
        return "This is usually a temporary error during hostname resolution and means that the local "
               "server did not receive a response from an authoritative server.";
    default:
        return {}; // the platform has no text: the toolkit then shows an empty one
    }
}

DWORD ErrorFromErrno(int err) {
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ETXTBSY:
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case EAGAIN:
        return ERROR_LOCK_VIOLATION;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ELOOP:
        return ERROR_INVALID_NAME;
    case EIO:
        return ERROR_IO_DEVICE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace win

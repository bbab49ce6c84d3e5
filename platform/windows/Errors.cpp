// Last error code per thread, the platform's numbering of host errors and its English texts.

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
    case 0:
        return "The operation completed successfully.";
    case 1:
        return "Incorrect function.";
    case 2:
        return "The system cannot find the file specified.";
    case 3:
        return "The system cannot find the path specified.";
    case 4:
        return "The system cannot open the file.";
    case 5:
        return "Access is denied.";
    case 6:
        return "The handle is invalid.";
    case 8:
        return "Not enough storage is available to process this command.";
    case 13:
        return "The data is invalid.";
    case 17:
        return "The system cannot move the file to a different disk drive.";
    case 18:
        return "There are no more files.";
    case 19:
        return "The media is write protected.";
    case 21:
        return "The device is not ready.";
    case 29:
        return "The system cannot write to the specified device.";
    case 31:
        return "A device attached to the system is not functioning.";
    case 32:
        return "The process cannot access the file because it is being used by another process.";
    case 33:
        return "The process cannot access the file because another process has locked a portion of the file.";
    case 39:
        return "The disk is full.";
    case 80:
        return "The file exists.";
    case 87:
        return "The parameter is incorrect.";
    case 112:
        return "There is not enough space on the disk.";
    case 122:
        return "The data area passed to a system call is too small.";
    case 123:
        return "The filename, directory name, or volume label syntax is incorrect.";
    case 145:
        return "The directory is not empty.";
    case 183:
        return "Cannot create a file when that file already exists.";
    case 206:
        return "The filename or extension is too long.";
    case 234:
        return "More data is available.";
    case 267:
        return "The directory name is invalid.";
    case 1117:
        return "The request could not be performed because of an I/O device error.";
    case 10004:
        return "A blocking operation was interrupted by a call to WSACancelBlockingCall.";
    case 10013:
        return "An attempt was made to access a socket in a way forbidden by its access permissions.";
    case 10039:
        return "A destination address is required.";
    case 10048:
        return "Only one usage of each socket address (protocol/network address/port) is normally permitted.";
    case 10050:
        return "A socket operation encountered a dead network.";
    case 10051:
        return "A socket operation was attempted to an unreachable network.";
    case 10053:
        return "An established connection was aborted by the software in your host machine.";
    case 10054:
        return "An existing connection was forcibly closed by the remote host.";
    case 10060:
        return "A connection attempt failed because the connected party did not properly respond after a "
               "period of time, or established connection failed because connected host has failed to "
               "respond.";
    case 10061:
        return "No connection could be made because the target machine actively refused it.";
    case 10065:
        return "A socket operation was attempted to an unreachable host.";
    case 10093:
        return "Either the application has not called WSAStartup, or WSAStartup failed.";
    case 11001:
        return "No such host is known.";
    case 11002:
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
        return 33; // ERROR_LOCK_VIOLATION
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
        return 17; // ERROR_NOT_SAME_DEVICE
    case ELOOP:
        return ERROR_INVALID_NAME;
    case EIO:
        return 1117; // ERROR_IO_DEVICE
    default:
        return 31; // ERROR_GEN_FAILURE
    }
}

} // namespace win

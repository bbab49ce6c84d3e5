#include <net/IdException.h>

#include <runtime/SysUtils.h>
#include <windows/WinSock.h>

namespace net {

std::string EIdSocketError::StackText(int n) {
    switch (n) {
    case win::WSAEINTR:
        return "Interrupted system call.";
    case win::WSAEBADF:
        return "Bad file number.";
    case win::WSAEACCES:
        return "Access denied.";
    case win::WSAEFAULT:
        return "Buffer fault.";
    case win::WSAEINVAL:
        return "Invalid argument.";
    case win::WSAEMFILE:
        return "Too many open files.";
    case win::WSAEWOULDBLOCK:
        return "Operation would block.";
    case win::WSAEINPROGRESS:
        return "Operation now in progress.";
    case win::WSAEALREADY:
        return "Operation already in progress.";
    case win::WSAENOTSOCK:
        return "Socket operation on non-socket.";
    case win::WSAEDESTADDRREQ:
        return "Destination address required.";
    case win::WSAEMSGSIZE:
        return "Message too long.";
    case win::WSAEPROTOTYPE:
        return "Protocol wrong type for socket.";
    case win::WSAENOPROTOOPT:
        return "Bad protocol option.";
    case win::WSAEPROTONOSUPPORT:
        return "Protocol not supported.";
    case win::WSAESOCKTNOSUPPORT:
        return "Socket type not supported.";
    case win::WSAEOPNOTSUPP:
        return "Operation not supported on socket.";
    case win::WSAEPFNOSUPPORT:
        return "Protocol family not supported.";
    case win::WSAEAFNOSUPPORT:
        return "Address family not supported by protocol family.";
    case win::WSAEADDRINUSE:
        return "Address already in use.";
    case win::WSAEADDRNOTAVAIL:
        return "Cannot assign requested address.";
    case win::WSAENETDOWN:
        return "Network is down.";
    case win::WSAENETUNREACH:
        return "Network is unreachable.";
    case win::WSAENETRESET:
        return "Net dropped connection or reset.";
    case win::WSAECONNABORTED:
        return "Software caused connection abort.";
    case win::WSAECONNRESET:
        return "Connection reset by peer.";
    case win::WSAENOBUFS:
        return "No buffer space available.";
    case win::WSAEISCONN:
        return "Socket is already connected.";
    case win::WSAENOTCONN:
        return "Socket is not connected.";
    case win::WSAESHUTDOWN:
        return "Cannot send or receive after socket is closed.";
    case win::WSAETIMEDOUT:
        return "Connection timed out.";
    case win::WSAECONNREFUSED:
        return "Connection refused.";
    case win::WSAEHOSTDOWN:
        return "Host is down.";
    case win::WSAEHOSTUNREACH:
        return "No route to host.";
    case win::WSASYSNOTREADY:
        return "Network subsystem is unavailable.";
    case win::WSAVERNOTSUPPORTED:
        return "WINSOCK DLL Version out of range.";
    case win::WSANOTINITIALISED:
        return "Winsock not loaded yet.";
    case win::WSAHOST_NOT_FOUND:
        return "Host not found.";
    case win::WSATRY_AGAIN:
        return "Non-authoritative response (try again or check DNS setup).";
    case win::WSANO_RECOVERY:
        return "Non-recoverable errors: FORMERR, REFUSED, NOTIMP.";
    case win::WSANO_DATA:
        return "Valid name, no data record (check DNS setup).";
    default:
        return "Unknown error.";
    }
}

EIdSocketError::EIdSocketError(int winsockError)
    : EIdException(rtl::Format("Socket Error # %d", {winsockError}) + "\r\n" + StackText(winsockError)),
      m_lastError(winsockError) {}

} // namespace net

#pragma once

// FTP client: one control connection, active-mode data connections, binary download of one
// remote file to one local file, and a notification for each stage. Every operation blocks its
// caller until done; its waits run in slices that let TIdAntiFreeze pump window messages, so a
// window holding the client keeps painting. Each wait (resolve, connect, each reply, the data
// connection's arrival, each read of a transfer) is limited by TimeOut.
//
// Notifications, in the order an operation raises them (handlers run on the caller's thread,
// from inside the operation; `sender` is this client):
//
//   Connect, no effect when already connected:
//     OnStatus(1) "Resolving <name>"                      name: Proxy when set, else Host
//     OnHostResolved                                      or OnInvalidHost(handled = false): with
//                                                         handled left false Connect raises
//                                                         EIdSocketError (11001, or 10060 when
//                                                         the lookup outlived TimeOut); set true
//                                                         by a handler that corrected Host (or
//                                                         Proxy), the new name is looked up
//     OnStatus(1) "Connecting to <address> port <port>"   per address tried
//     OnStatus(16) each line of the greeting
//     OnStatus(16) "USER <name>", each reply line
//     OnStatus(16) "PASS ****" (never the password), each reply line
//     OnStatus(1) "Logged in as <name>"
//     OnConnect
//   A refused or timed-out connection, a greeting that is not 220 and a refused USER/PASS
//   raise OnConnectionFailed instead of the rest and then the failure: EIdSocketError (10061
//   refused, 10060 timed out, other WinSock numbers), EIdProtocolReplyError (reply code, the
//   reply line, e.g. "530 Login incorrect."), EIdConnClosedGracefully or
//   EIdMaxLineLengthExceeded. No OnError and no OnDisconnect while connecting: OnConnect and
//   OnDisconnect come in pairs.
//
//   Mode(tmImage) / DoCommand(command), outcome under ttDoCommand (14):
//     OnStatus(16) the command, each reply line; OnSuccess(ttDoCommand) for a 2xx reply.
//
//   Download(remote, local), outcome under ttDownload (8):
//     OnStatus(16) "PORT h1,h2,h3,h4,p1,p2" (EPRT |2|address|port| on IPv6), its reply
//     OnStatus(16) "RETR <remote>", its reply (150 or 125: accepted)
//     OnStatus(4)  "Receiving <remote>, <size> bytes"     size announced in the reply, 0 if none
//     OnTransactionStart                                  the data connection has arrived
//     OnPacketRecvd                                       after each block; BytesRecvd() so far,
//                                                         BytesTotal() the announced size
//     OnTransactionStop                                   the data connection has ended
//     OnStatus(16) the final reply (226)
//     (the local file is complete, closed and under its name)
//     OnStatus(4)  "Received <n> bytes"
//     OnSuccess(ttDownload), then the call returns.
//   The data arrive in a temporary file beside `local` ("." + name + ".XXXXXX"), renamed over
//   `local` only when the server confirmed the end of a transfer that delivered every byte:
//   an older copy of the file survives every failure and no half file sits under its name.
//
//   Refusals (any operation): a reply outside the accepted ones raises OnUnSupportedFunction
//   (operation) first when the code is 500 to 502, then OnFailure(handled = false,
//   operation). Left false, the operation raises EIdProtocolReplyError (code, the reply's
//   lines joined by CR LF: "550 Failed to open file."); set true, it returns quietly. The
//   session stays open, except after 421 (the server is closing).
//
//   Socket failures after login (time-outs included, as 10060): OnTransactionStop when a
//   transfer had started, OnError(number, text) with the WinSock number and its English text
//   ("Connection timed out."), OnStatus(1) "Disconnected", OnDisconnect, then EIdSocketError.
//   The session is closed, since a late reply could no longer be told from the next one. The
//   server closing, a line that is no reply, an over-long line: the same without OnError,
//   raising EIdConnClosedGracefully, EIdProtocolReplyError (code 0, the line) or
//   EIdMaxLineLengthExceeded.
//
//   Disconnect: OnStatus(16) "QUIT", its reply, OnStatus(1) "Disconnected", OnDisconnect.
//   A server that closed the session while idle is noticed at the next operation (which then
//   raises EIdConnClosedGracefully after OnStatus(1) "Disconnected" and OnDisconnect) or by
//   PollIdle.
//
// ReportLevel: OnStatus receives a text of level L only when L <= ReportLevel (0 at creation:
// none). Levels: 1 connection (resolving, connecting, logged in, disconnected), 4 transfers
// (size announced, bytes received), 16 every command sent and every reply line read.
//
// Local files failing (cannot be created, written or renamed) raise rtl::EInOutError
// "Cannot create file \"<local>\". <system text>"; the transfer is then broken off and the
// session kept. Every text is Windows-1250; remote paths are sent as given.

#include <net/CommandChannel.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// The operation an outcome notification is about (`Trans_Type`).
enum TTransType {
    ttChangeDir = 0,
    ttMakeDir = 1,
    ttDelete = 2,
    ttRemoveDir = 3,
    ttList = 4,
    ttRename = 5,
    ttUploadRestore = 6,
    ttDownloadRestore = 7,
    ttDownload = 8,
    ttUpload = 9,
    ttUploadAppend = 10,
    ttReInit = 11,
    ttAllocate = 12,
    ttNList = 13,
    ttDoCommand = 14
};

// How a proxy is spoken to: FTUser logs in to the proxy with "<UserID>@<Host>".
enum TFirewallType { FTUser };

enum TTransferMode { tmAscii, tmImage };

class TNMFTP {
  public:
    using TNotifyEvent = std::function<void(void* sender)>;
    using THandlerEvent = std::function<void(void* sender, bool& handled)>;
    using TStatusEvent = std::function<void(void* sender, const std::string& status)>;
    using TSuccessEvent = std::function<void(void* sender, TTransType transType)>;
    using TFailureEvent = std::function<void(void* sender, bool& handled, TTransType transType)>;
    using TErrorEvent = std::function<void(void* sender, std::uint16_t errNo, const std::string& errMsg)>;

    TNMFTP() = default;
    // Closes the connections without QUIT and without an event.
    ~TNMFTP();
    TNMFTP(const TNMFTP&) = delete;
    TNMFTP& operator=(const TNMFTP&) = delete;

    // ---- Settings (read when an operation starts) -------------------------------------------
    const std::string& Host() const { return m_host; }
    void SetHost(std::string_view h) { m_host = h; }
    int Port() const { return m_port; } // 21; not used through a proxy (it reaches Host's 21)
    void SetPort(int p) { m_port = p; }
    const std::string& UserID() const { return m_userID; }
    void SetUserID(std::string_view u) { m_userID = u; }
    const std::string& Password() const { return m_password; }
    void SetPassword(std::string_view p) { m_password = p; }
    const std::string& Proxy() const { return m_proxy; } // "" = no proxy
    void SetProxy(std::string_view p) { m_proxy = p; }
    int ProxyPort() const { return m_proxyPort; } // 21
    void SetProxyPort(int p) { m_proxyPort = p; }
    // Milliseconds each wait may take (30000); 0 or less: no limit.
    int TimeOut() const { return m_timeOut; }
    void SetTimeOut(int ms) { m_timeOut = ms; }
    int ReportLevel() const { return m_reportLevel; }
    void SetReportLevel(int level) { m_reportLevel = level; }
    // Fixed: the server opens each data connection to us; proxies take "<user>@<host>".
    bool Passive() const { return false; }
    TFirewallType FirewallType() const { return FTUser; }

    // ---- State ------------------------------------------------------------------------------
    // True from OnConnect to OnDisconnect.
    bool Connected() const { return m_loggedIn; }
    // The running (or last) transfer: bytes received so far, bytes sent (no uploads: 0), and
    // the size the server announced (0 when it announced none).
    std::int64_t BytesRecvd() const { return m_bytesRecvd; }
    std::int64_t BytesSent() const { return 0; }
    std::int64_t BytesTotal() const { return m_bytesTotal; }

    // ---- Notifications (order and arguments: above) -----------------------------------------
    TNotifyEvent OnHostResolved;
    THandlerEvent OnInvalidHost;
    TNotifyEvent OnConnectionFailed;
    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TStatusEvent OnStatus;
    TNotifyEvent OnTransactionStart;
    TNotifyEvent OnTransactionStop;
    TNotifyEvent OnPacketRecvd;
    TNotifyEvent OnPacketSent; // never raised: nothing is uploaded
    TSuccessEvent OnSuccess;
    TFailureEvent OnFailure;
    TSuccessEvent OnUnSupportedFunction;
    TErrorEvent OnError;

    // ---- Operations -------------------------------------------------------------------------
    // Resolves, connects, reads the greeting (220), sends USER and, on 331, PASS (230 or 202
    // logs in). Through a proxy: connects to Proxy:ProxyPort as "<UserID>@<Host>". Nothing
    // when already connected.
    void Connect();
    // "TYPE I" (tmImage) or "TYPE A" (tmAscii), as DoCommand. The announced size is checked
    // against the bytes received only in image mode (ASCII sizes differ by the line breaks).
    void Mode(TTransferMode mode);
    // Sends one command; a 2xx reply is success (ttDoCommand), anything else a refusal.
    void DoCommand(std::string_view command);
    // PORT (or EPRT), RETR remote; the file into `local` (a Windows path). Outcome under
    // ttDownload. A transfer that ended short of the announced size in image mode raises
    // EIdException "Transfer incomplete: <n> of <size> bytes received." (session kept).
    void Download(std::string_view remote, std::string_view local);
    // QUIT (its reply read, not required), close, OnDisconnect; nothing when not connected.
    // From a handler inside an operation: that operation is broken off as by Abort and the
    // session closed when it ends.
    void Disconnect();
    // From a handler inside a download (OnPacketRecvd): the data connection is closed, the
    // transfer's final reply read and the download raises EIdException "Transfer aborted."
    // with no file written. Elsewhere nothing.
    void Abort();
    // For a timer while no operation runs: notices a server that closed the session (or said
    // 421) and closes it (OnStatus(1) "Disconnected", OnDisconnect). Raises nothing.
    void PollIdle();

    // An operation called while another one runs (from a handler, or from a window message
    // pumped during a wait) raises EIdException "FTP operation already in progress.".

  private:
    class Busy;

    void status(int level, const std::string& text);
    std::vector<std::string> resolve();
    void connectTo(const std::vector<std::string>& addresses, int port);
    void login(const std::string& user);
    void sendCommand(std::string_view command, std::string_view shown = {});
    FtpReply readReply();
    FtpReply command(std::string_view command);
    template <class Accepted> void doCommand(std::string_view command, Accepted accepted);
    // Raises the refusal's notifications and its error; returns only when a handler took it.
    bool refused(TTransType op, const FtpReply& reply);
    void succeeded(TTransType op);
    // Runs one operation of a logged-in session (EIdSocketError 10057 without one): the server
    // gone, a broken connection or a reply that can no longer be matched to its command close
    // the session before the error leaves.
    template <class Body> void operation(Body body);
    // A server that closed the session (or announced it with 421) while nothing ran shows as
    // pending input before the next command: reads it, raising EIdConnClosedGracefully for 421.
    void checkAlive();
    [[noreturn]] void sessionLost(int winsockError);
    void closeSession();
    void closeIfAsked();
    void quietQuit();
    int readTimeout() const { return m_timeOut > 0 ? m_timeOut : 0; }
    void download(const std::string& remote, const std::string& local);

    std::string m_host;
    int m_port = 21;
    std::string m_userID, m_password;
    std::string m_proxy;
    int m_proxyPort = 21;
    int m_timeOut = 30000;
    int m_reportLevel = 0;

    CommandChannel m_channel;
    bool m_loggedIn = false;
    bool m_busy = false;
    bool m_abort = false;
    bool m_closeAfter = false;
    bool m_image = false;
    std::int64_t m_bytesRecvd = 0, m_bytesTotal = 0;
};

} // namespace net

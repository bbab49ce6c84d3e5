#include <net/IdTCPClient.h>

#include <net/IdException.h>

namespace net {

TIdTCPClient::~TIdTCPClient() {
    m_channel.Socket().Close(); // no QUIT, no event
}

bool TIdTCPClient::Connected() const {
    return m_channel.Socket().Connected();
}

void TIdTCPClient::openConnection(int timeoutMs) {
    m_channel.Socket().SetReadTimeout(m_readTimeout);
    m_channel.Socket().SetSilenceTimeout(m_silenceTimeout);
    m_channel.Socket().Connect(m_host, m_port, timeoutMs);
}

void TIdTCPClient::closed() {
    m_channel.Socket().Close();
    if (OnDisconnected)
        OnDisconnected(this);
}

void TIdTCPClient::quitAndClose() {
    try {
        m_channel.SendLine("QUIT");
        readQuitReply();
    } catch (const EIdException&) {
        // The connection is going away anyway.
    }
    closed();
}

void TIdTCPClient::Disconnect() {
    if (Connected())
        quitAndClose();
    else
        closed();
}

} // namespace net

#pragma once

// Keeps windows painted while a component blocks the GUI thread. At most one exists per process;
// while it is Active, every blocking wait of the socket layer (in slices of IdleTimeOut ms) calls
// rtl::PumpMessages(). With OnlyWhenIdle true it pumps only while waiting for the server's reply
// (greeting, command replies), never while a message's data flows, even when the server is slow
// to take or give it; with false also while data flows (at most once a slice).

namespace net {

class TIdAntiFreeze {
  public:
    // Raises EIdException "Only one TIdAntiFreeze can exist per application." for a second one.
    TIdAntiFreeze();
    ~TIdAntiFreeze();
    TIdAntiFreeze(const TIdAntiFreeze&) = delete;
    TIdAntiFreeze& operator=(const TIdAntiFreeze&) = delete;

    bool Active() const { return m_active; }
    void SetActive(bool v) { m_active = v; }
    bool OnlyWhenIdle() const { return m_onlyWhenIdle; }
    void SetOnlyWhenIdle(bool v) { m_onlyWhenIdle = v; }
    // Length of one wait slice in milliseconds (default 20, kept within 1..250).
    int IdleTimeOut() const { return m_idleTimeOut; }
    void SetIdleTimeOut(int ms);

    // Called by the socket layer between slices: pumps when an active instance asks for it.
    // `idle` is true while waiting for the server's reply, false while a message's data flows.
    static void DoProcess(bool idle);
    // The wait slice to use (the instance's IdleTimeOut, or 20 ms without one).
    static int SliceMs();

  private:
    bool m_active = true;
    bool m_onlyWhenIdle = true;
    int m_idleTimeOut = 20;
};

} // namespace net

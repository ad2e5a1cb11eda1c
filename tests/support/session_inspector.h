#pragma once

// What the tests look at inside a session beyond what its hosts see.

#include "session/download_session.h"

namespace tavex::test {

struct SessionInspector {
    static bool PortOpen(const DownloadSession& session) { return session.portOpen; }
    static const IByteSource* ImageFile(const DownloadSession& session) { return session.imageFile.get(); }
    static ProtocolState MachineState(const DownloadSession& session) { return session.machineState; }
    static unsigned TimerId(const DownloadSession& session) { return session.timerId; }
    static std::uint8_t BaudRetried(const DownloadSession& session) { return session.baudRetried; }
    static bool Initialized(const DownloadSession& session) { return session.initialized; }
    // Puts the protocol state where a step or the watchdog will find it.
    static void SetProtocolState(DownloadSession& session, ProtocolState state)
    {
        session.portHandler.SetState(state);
    }
};

} // namespace tavex::test

#pragma once

// A whole download session on a virtual clock: the real session driver,
// CComPort and ComPortEventHandler, a comm control wired to the in-process
// keyboard model, and a window that records what it shows.

#include "session/download_session.h"
#include "sim/keyboard_model.h"
#include "support/memory_image_files.h"
#include "support/model_comm_control.h"
#include "support/virtual_session_host.h"

namespace tavex::test {

struct SessionBench {
    explicit SessionBench(KeyboardConfig config = {})
        : keyboard(std::move(config)), controls(loop, keyboard), host(loop), session(host, host, controls, files)
    {
        host.Attach(session);
    }

    // Starts the window as the desktop does.
    void Open()
    {
        session.OnInitSession();
        host.statusLines.clear();
        host.buttonTexts.clear();
    }

    // Types `name` into the file field, clicks Download and runs until the
    // session is idle again (or the window closed, or `limitMs` passed),
    // then a little longer so that a stray step would show.
    bool Download(const std::string& name, std::uint64_t limitMs = 60'000)
    {
        host.fileField = name;
        session.OnDownload();
        return RunToIdle(limitMs);
    }

    // Types `name`, clicks Download and runs until the protocol state is `state`.
    bool StartUntil(const std::string& name, ProtocolState state, std::uint64_t limitMs = 60'000)
    {
        host.fileField = name;
        session.OnDownload();
        return loop.RunUntil([this, state] { return session.State() == state; }, loop.NowMicros() + limitMs * 1000);
    }

    bool RunToIdle(std::uint64_t limitMs = 60'000)
    {
        const bool idle = loop.RunUntil(
            [this] { return session.IsClosed() || session.State() == bpStateNONE; },
            loop.NowMicros() + limitMs * 1000);
        loop.RunUntil([] { return false; }, loop.NowMicros() + 3'000'000);
        return idle;
    }

    ModelCommControl& control() { return *controls.control; }

    VirtualEventLoop loop;
    KeyboardModel keyboard;
    ModelControlHost controls;
    MemoryImageFiles files;
    VirtualSessionHost host;
    DownloadSession session;
};

} // namespace tavex::test

#pragma once

#include "ChildProgram.h"

#include <string>

// `pactl load-module module-sine` on the test server's null sink: a steady sine of whole hertz
// for as long as the object lives.
class ServerSine {
public:
    explicit ServerSine(int hz) {
        std::string module;
        if (RunProgram(
                "pactl",
                {"load-module", "module-sine", "sink=nullsink", "frequency=" + std::to_string(hz)},
                &module) == 0) {
            m_module = module.substr(0, module.find_last_not_of(" \n") + 1);
        }
    }
    ~ServerSine() {
        if (!m_module.empty()) {
            RunProgram("pactl", {"unload-module", m_module});
        }
    }
    ServerSine(const ServerSine&) = delete;
    ServerSine& operator=(const ServerSine&) = delete;

    bool IsPlaying() const { return !m_module.empty(); }

private:
    std::string m_module;
};

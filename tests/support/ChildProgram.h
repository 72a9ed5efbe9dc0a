#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

// A program a test starts beside itself: a player, a recorder, a sound-server command, a
// second copy of the tuner. Started with posix_spawn rather than Qt's process class, which on
// Linux starts children in a vfork-style clone that shares the test's memory and runs
// instrumented code there before exec; under ThreadSanitizer that corrupts the test's own
// race bookkeeping and shows races on data that is only ever used under a lock.
class ChildProgram {
public:
    enum class Capture { Nothing, Output, Errors };

    // args does not hold the program; environment entries ("NAME=value") are added to the
    // test's own, replacing any of the same name. The program is looked up in PATH.
    ChildProgram(const std::string& program, const std::vector<std::string>& args,
                 Capture capture = Capture::Nothing,
                 const std::vector<std::string>& environment = {});
    // Kills the program if it still runs, and waits for it.
    ~ChildProgram();

    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool IsRunning();
    void Terminate(); // asks it to end (SIGTERM)
    // Its exit code once it has ended; -1 when it could not start, ended on a signal, or did
    // not end within timeout.
    int Wait(std::chrono::milliseconds timeout);
    // What it wrote to the captured stream; everything, once Wait has seen it end.
    std::string Captured();
    std::size_t CapturedSize(); // what it has written so far, in bytes

private:
    bool Reap(bool block);

    pid_t m_pid = -1;
    bool m_bEnded = false;
    int m_nStatus = 0;
    std::thread m_reader;
    std::mutex m_mutex; // guards m_captured
    std::string m_captured;
};

// Runs program to its end (at most a minute): its exit code, or -1 as for Wait. Its standard
// output goes into *output when given.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::string* output = nullptr);

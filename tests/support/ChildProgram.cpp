#include "ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

} // namespace

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& args,
                           Capture capture, const std::vector<std::string>& environment) {
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argStore) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStore(environment);
    for (char** entry = environ; *entry; ++entry) {
        const std::string name = NameOf(*entry);
        bool replaced = false;
        for (const auto& added : environment) {
            replaced = replaced || NameOf(added) == name;
        }
        if (!replaced) {
            envStore.emplace_back(*entry);
        }
    }
    std::vector<char*> envp;
    for (auto& entry : envStore) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture != Capture::Nothing && pipe2(pipeFds, O_CLOEXEC) == 0) {
        posix_spawn_file_actions_adddup2(
            &actions, pipeFds[1], capture == Capture::Output ? STDOUT_FILENO : STDERR_FILENO);
    }
    if (posix_spawnp(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) {
        close(pipeFds[1]);
    }
    if (pipeFds[0] >= 0) {
        // Drained all along, so a program that writes much never blocks on a full pipe.
        m_reader = std::thread([this, fd = pipeFds[0]] {
            char buffer[65536];
            for (;;) {
                const ssize_t got = read(fd, buffer, sizeof buffer);
                if (got > 0) {
                    std::lock_guard lock(m_mutex);
                    m_captured.append(buffer, static_cast<std::size_t>(got));
                } else if (got == 0 || errno != EINTR) {
                    break;
                }
            }
            close(fd);
        });
    }
}

ChildProgram::~ChildProgram() {
    if (IsRunning()) {
        kill(m_pid, SIGKILL);
        Reap(true);
    }
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

bool ChildProgram::Reap(bool block) {
    if (m_pid > 0 && !m_bEnded) {
        int status = 0;
        pid_t done;
        do {
            done = waitpid(m_pid, &status, block ? 0 : WNOHANG);
        } while (done < 0 && errno == EINTR);
        if (done == m_pid || done < 0) {
            m_bEnded = true;
            m_nStatus = done == m_pid ? status : -1;
        }
    }
    return m_bEnded;
}

bool ChildProgram::IsRunning() {
    return m_pid > 0 && !Reap(false);
}

void ChildProgram::Terminate() {
    if (IsRunning()) {
        kill(m_pid, SIGTERM);
    }
}

int ChildProgram::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsRunning()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (m_reader.joinable()) {
        m_reader.join(); // the pipe is closed once the program has ended
    }
    return m_pid > 0 && m_nStatus >= 0 && WIFEXITED(m_nStatus) ? WEXITSTATUS(m_nStatus) : -1;
}

std::string ChildProgram::Captured() {
    std::lock_guard lock(m_mutex);
    return m_captured;
}

std::size_t ChildProgram::CapturedSize() {
    std::lock_guard lock(m_mutex);
    return m_captured.size();
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::string* output) {
    ChildProgram child(program, args,
                       output ? ChildProgram::Capture::Output : ChildProgram::Capture::Nothing);
    const int code = child.Wait(std::chrono::minutes(1));
    if (output) {
        *output = child.Captured();
    }
    return code;
}

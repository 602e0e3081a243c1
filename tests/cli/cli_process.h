#ifndef VELMORA_TESTS_CLI_CLI_PROCESS_H
#define VELMORA_TESTS_CLI_CLI_PROCESS_H

// Runs the built velmora-cli as a child process: with pipes, as a script
// runs it, or on a pseudo-terminal, as a person does.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#ifndef VELMORA_CLI
#error "VELMORA_CLI must name the built velmora-cli"
#endif

namespace velmora::test {

// What a finished run left: the exit code (128 + signal when killed) and the two outputs.
struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Environment changes for the child: a value, or unset when absent.
struct EnvSetting {
    std::string name;
    std::string value;
    bool unset = false;
};

namespace detail {

inline std::vector<char*> argv_of(const std::string& program, std::vector<std::string>& args)
{
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return argv;
}

// In the child, after fork: never returns.
[[noreturn]] inline void exec_child(const std::string& program, std::vector<std::string> args,
    const std::string& cwd, const std::vector<EnvSetting>& env)
{
    if (::chdir(cwd.c_str()) != 0)
        ::_exit(126);
    for (const EnvSetting& e : env) {
        if (e.unset)
            ::unsetenv(e.name.c_str());
        else
            ::setenv(e.name.c_str(), e.value.c_str(), 1);
    }
    std::vector<char*> argv = argv_of(program, args);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

inline int wait_code(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace detail

// Runs program with args in cwd; standard input is a pipe holding input, so
// the program sees no terminal anywhere.
inline CliRun run_process(const std::string& program, const std::vector<std::string>& args,
    const std::string& cwd, const std::string& input = "", const std::vector<EnvSetting>& env = {})
{
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0)
        throw std::runtime_error("cannot create pipes");
    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork");
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            ::close(fd);
        detail::exec_child(program, args, cwd, env);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Small inputs fit the pipe's buffer; the child may exit before reading.
    std::signal(SIGPIPE, SIG_IGN);
    if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0) { }
    ::close(in[1]);

    CliRun run;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, 60000) <= 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[4096];
            ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& p : fds)
        if (p.fd >= 0)
            ::close(p.fd);
    run.code = detail::wait_code(pid);
    return run;
}

inline CliRun run_cli(const std::vector<std::string>& args, const std::string& cwd,
    const std::string& input = "", const std::vector<EnvSetting>& env = {})
{
    return run_process(VELMORA_CLI, args, cwd, input, env);
}

// velmora-cli on a pseudo-terminal: standard input, output and error are all
// the terminal, whose other side the test reads and types into.
class PtyCli {
public:
    PtyCli(const std::vector<std::string>& args, const std::string& cwd)
    {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 100;
        pid = ::forkpty(&master, nullptr, nullptr, &size);
        if (pid < 0)
            throw std::runtime_error("cannot open a pseudo-terminal");
        if (pid == 0)
            detail::exec_child(VELMORA_CLI, args, cwd, {});
    }
    ~PtyCli()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            detail::wait_code(pid);
        }
        if (master >= 0)
            ::close(master);
    }
    PtyCli(const PtyCli&) = delete;
    PtyCli& operator=(const PtyCli&) = delete;

    // Reads until the output holds text (true) or the program ends or falls
    // silent for a while (false).
    bool read_until(const std::string& text, int timeout_ms = 30000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (transcript.find(text, seen) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0 || !read_some(static_cast<int>(left)))
                return false;
        }
        seen = transcript.find(text, seen) + text.size();
        return true;
    }

    void type(const std::string& text)
    {
        if (::write(master, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            throw std::runtime_error("cannot write to the pseudo-terminal");
    }

    // Reads to the end and returns the exit code.
    int finish()
    {
        while (read_some(30000)) { }
        int code = detail::wait_code(pid);
        pid = -1;
        return code;
    }

    // Everything the program wrote to the terminal (the typed answers are echoed in it).
    std::string transcript;

private:
    bool read_some(int timeout_ms)
    {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, timeout_ms) <= 0)
            return false;
        char buf[4096];
        ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0)
            return false; // EIO: the program closed the terminal
        transcript.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    int master = -1;
    pid_t pid = -1;
    std::string::size_type seen = 0;
};

} // namespace velmora::test

#endif

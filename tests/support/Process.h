#pragma once
// A child process for tests: a function of this test in a fork, or a program, with its input and
// output (a program's error output too) on pipes. Reads wait for output; the guard ends a hang.
#include <csignal>
#include <cstdio>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

class Process {
public:
    static constexpr int kGuardMilliseconds = 60000;

    // Runs body in a fork of this process; what it returns is the child's exit code. The child
    // holds no other descriptor of the parent's, so that pipes of other children end with them.
    explicit Process(const std::function<int()>& body) { Start(body, false); }
    // Runs the program argv[0] with the arguments that follow; standard error joins the output.
    explicit Process(const std::vector<std::string>& argv) {
        Start(
            [&argv] {
                std::vector<char*> args;
                for (const std::string& arg : argv)
                    args.push_back(const_cast<char*>(arg.c_str()));
                args.push_back(nullptr);
                ::execv(args[0], args.data());
                return 127;
            },
            true);
    }
    ~Process() {
        CloseInput();
        Wait();
        if (output_ >= 0)
            ::close(output_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid_ > 0; }

    // The next line of output with its '\n'; what came before the end (or the guard) otherwise.
    std::string ReadLine() {
        std::string line;
        char c = 0;
        while (line.empty() || line.back() != '\n') {
            if (!ReadByte(c))
                break;
            line += c;
        }
        return line;
    }
    // The output until the child closes it.
    std::string ReadAll() {
        std::string all;
        for (char c = 0; ReadByte(c);)
            all += c;
        return all;
    }
    void CloseInput() {
        if (input_ >= 0)
            ::close(input_);
        input_ = -1;
    }
    void Kill() {
        if (pid_ > 0)
            ::kill(pid_, SIGKILL);
    }
    // The status as waitpid gives it; -1 when there is no child.
    int Wait() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, 0) == pid_)
            pid_ = 0;
        return pid_ == 0 ? status_ : -1;
    }

private:
    void Start(const std::function<int()>& body, bool withError) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO), ::dup2(out[1], STDOUT_FILENO);
            if (withError)
                ::dup2(out[1], STDERR_FILENO);
            ::close_range(3, ~0U, 0);
            const int code = body();
            std::fflush(nullptr);
            ::_exit(code);
        }
        ::close(in[0]), ::close(out[1]);
        input_ = in[1], output_ = out[0];
    }
    bool ReadByte(char& c) {
        pollfd ready{output_, POLLIN, 0};
        return output_ >= 0 && ::poll(&ready, 1, kGuardMilliseconds) == 1 &&
               ::read(output_, &c, 1) == 1;
    }

    pid_t pid_ = -1;
    int status_ = -1;
    int input_ = -1, output_ = -1;
};

} // namespace testsupport

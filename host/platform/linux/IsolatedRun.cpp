#include "host/platform/IsolatedRun.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace {

// Framing on the pipe: progress as STX text ETX, the work's result after a single '+'.
constexpr char kProgressStart = '\x02';
constexpr char kProgressEnd = '\x03';
int childChannel = -1;

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

std::string describeEnd(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        return "crashed: signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    }
    if (WIFEXITED(status)) return "the plug-in ended the process with exit status " + std::to_string(WEXITSTATUS(status));
    return "the process ended abnormally";
}

std::string lastProgress(const std::string& received) {
    const std::string::size_type end = received.rfind(kProgressEnd);
    if (end == std::string::npos) return "";
    const std::string::size_type start = received.rfind(kProgressStart, end);
    return start == std::string::npos ? "" : received.substr(start + 1, end - start - 1);
}

}  // namespace

void markProgress(const std::string& step) {
    if (childChannel >= 0) writeAll(childChannel, kProgressStart + step + kProgressEnd);
}

IsolatedRun runIsolated(const std::function<std::string()>& work, double timeoutSeconds) {
    IsolatedRun run;
    int channel[2];
    if (pipe(channel) != 0) {
        run.failure = "cannot create a pipe";
        return run;
    }
    // Buffered output would otherwise be written twice, once by each process.
    std::fflush(nullptr);
    // Opened here, so what the child printed can be read even after it crashed.
    std::FILE* printed = std::tmpfile();
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        if (printed) std::fclose(printed);
        run.failure = "cannot start a child process";
        return run;
    }
    if (child == 0) {
        close(channel[0]);
        childChannel = channel[1];
        if (printed) {
            dup2(fileno(printed), STDOUT_FILENO);
            dup2(fileno(printed), STDERR_FILENO);
            // Unbuffered, so lines printed just before a crash are kept.
            std::setvbuf(stdout, nullptr, _IONBF, 0);
        }
        // A marker byte says the work returned, so an exit inside it is told apart.
        const std::string result = "+" + work();
        std::fflush(nullptr);
        writeAll(channel[1], result);
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    std::string received;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd waiting = {channel[0], POLLIN, 0};
        if (poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(channel[0], buffer, sizeof buffer);
        if (got <= 0) break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    close(channel[0]);
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    if (printed) {
        std::rewind(printed);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, printed)) > 0;) run.printed.append(buffer, got);
        std::fclose(printed);
    }
    const std::string step = lastProgress(received);
    const std::string::size_type resultStart = received.rfind(kProgressEnd);
    received = resultStart == std::string::npos ? received : received.substr(resultStart + 1);
    if (timedOut) {
        run.failure = "did not finish within " + std::to_string(static_cast<int>(timeoutSeconds)) + " s (hung?)";
    } else if (received.empty() || received[0] != '+' || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        run.failure = describeEnd(status);
    } else {
        run.finished = true;
        run.output = received.substr(1);
    }
    if (!run.finished && !step.empty()) run.failure += ", during " + step;
    return run;
}

StreamCapture::StreamCapture(std::FILE* captured) : stream(captured) {
    std::fflush(stream);
    file = std::tmpfile();
    if (!file) return;
    saved = dup(fileno(stream));
    dup2(fileno(file), fileno(stream));
}

StreamCapture::~StreamCapture() { finish(); }

std::string StreamCapture::finish() {
    if (!file) return "";
    std::fflush(stream);
    dup2(saved, fileno(stream));
    close(saved);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    file = nullptr;
    return text;
}

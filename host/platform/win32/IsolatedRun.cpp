#include "host/platform/IsolatedRun.h"

#include <io.h>

#include <exception>

void markProgress(const std::string&) {}

// No fork here: the work runs in this process, so a crash in it ends the run.
IsolatedRun runIsolated(const std::function<std::string()>& work, double) {
    IsolatedRun run;
    StreamCapture output(stdout), errors(stderr);
    try {
        run.output = work();
        run.finished = true;
    } catch (const std::exception& error) {
        run.failure = error.what();
    }
    run.printed = errors.finish();
    run.printed = output.finish() + run.printed;
    return run;
}

StreamCapture::StreamCapture(std::FILE* captured) : stream(captured) {
    std::fflush(stream);
    file = std::tmpfile();
    if (!file) return;
    saved = _dup(_fileno(stream));
    _dup2(_fileno(file), _fileno(stream));
}

StreamCapture::~StreamCapture() { finish(); }

std::string StreamCapture::finish() {
    if (!file) return "";
    std::fflush(stream);
    _dup2(saved, _fileno(stream));
    _close(saved);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    file = nullptr;
    return text;
}

// Running a piece of work where its crash or hang cannot take the caller down.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

struct IsolatedRun {
    bool finished = false;  // the work returned
    std::string output;     // what it returned
    std::string failure;    // why it did not: a crash, a hang, an early exit
    std::string printed;    // what it wrote on standard output and standard error
};

// Runs work in a child process where the platform has them (in this process where it has
// not) and hands back the text it returned; what it prints is kept apart from ours. A
// child still running after timeoutSeconds is killed.
IsolatedRun runIsolated(const std::function<std::string()>& work, double timeoutSeconds);

// Names the step the work is on, so a crash is reported with where it happened.
void markProgress(const std::string& step);

// Everything written to a standard stream (stdout or stderr) between construction and
// finish(), at the level of the file descriptor, so a plug-in's printf is caught too.
class StreamCapture {
public:
    explicit StreamCapture(std::FILE* stream);
    ~StreamCapture();
    std::string finish();

private:
    std::FILE* stream;
    std::FILE* file = nullptr;
    int saved = -1;
};

// A thread standing in for a host's audio thread: a job handed to it runs there while
// the caller waits. The hand-over waits between blocks, never inside one.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class AudioThread {
public:
    typedef void (*Job)(void* context);

    AudioThread();
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    void run(Job job, void* context);
    std::thread::id id() const { return worker.get_id(); }

private:
    void loop();

    std::mutex mutex;
    std::condition_variable changed;
    Job pending = nullptr;
    void* pendingContext = nullptr;
    bool quitting = false;
    std::thread worker;
};

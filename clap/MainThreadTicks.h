// Idle for a panel whose host offers no timer: a thread of ours asks the host for a
// main-thread callback about every 30 ms, and the tick runs there, never on our thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "clap/host.h"

class MainThreadTicks {
public:
    explicit MainThreadTicks(const clap_host_t* host);
    ~MainThreadTicks();
    // From the host's on_main_thread: true once for every request of ours.
    bool due() { return requested.exchange(false); }

private:
    void run(const clap_host_t* host);

    std::atomic<bool> requested{false};
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

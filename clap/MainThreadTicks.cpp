#include "clap/MainThreadTicks.h"

#include <chrono>

MainThreadTicks::MainThreadTicks(const clap_host_t* host) : thread([this, host] { run(host); }) {}

MainThreadTicks::~MainThreadTicks() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void MainThreadTicks::run(const clap_host_t* host) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!wake.wait_for(lock, std::chrono::milliseconds(30), [this] { return stopping; })) {
        if (!requested.exchange(true)) host->request_callback(host);
    }
}

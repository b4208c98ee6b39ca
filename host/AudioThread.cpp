#include "host/AudioThread.h"

AudioThread::AudioThread() : worker([this] { loop(); }) {}

AudioThread::~AudioThread() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quitting = true;
    }
    changed.notify_all();
    worker.join();
}

void AudioThread::run(Job job, void* context) {
    std::unique_lock<std::mutex> lock(mutex);
    pending = job;
    pendingContext = context;
    changed.notify_all();
    changed.wait(lock, [this] { return pending == nullptr; });
}

void AudioThread::loop() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return pending != nullptr || quitting; });
        if (!pending) return;
        lock.unlock();
        pending(pendingContext);
        lock.lock();
        pending = nullptr;
        changed.notify_all();
    }
}

// Which of the host's threads a call comes on, where the host can tell (its thread-check
// extension). Only debug builds ask, through assert: release builds do no work for it.
#pragma once

#include <cassert>

#include "clap/ext/thread-check.h"

class ThreadCheck {
public:
    // From init, the first call that may ask the host for its extensions.
    void init(const clap_host_t* clapHost) {
        host = clapHost;
        check = static_cast<const clap_host_thread_check_t*>(host->get_extension(host, CLAP_EXT_THREAD_CHECK));
    }
    bool mainThread() const { return !check || check->is_main_thread(host); }
    bool audioThread() const { return !check || check->is_audio_thread(host); }

private:
    const clap_host_t* host = nullptr;
    const clap_host_thread_check_t* check = nullptr;
};

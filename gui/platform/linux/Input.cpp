#include <atomic>

#include "gui/platform/linux/InputSource.h"

namespace platform {
namespace {
std::atomic<InputSource*> currentSource{nullptr};
}

void setInputSource(InputSource* source) { currentSource.store(source); }

void removeInputSource(InputSource* source) { currentSource.compare_exchange_strong(source, nullptr); }

CPos getPointerScreenPosition() {
    InputSource* source = currentSource.load();
    return source ? source->pointerScreenPosition() : CPos();
}

PhysicalButtons getPhysicalButtons() {
    InputSource* source = currentSource.load();
    return source ? source->physicalButtons() : PhysicalButtons();
}

}  // namespace platform

#include "gui/platform/SystemLibraries.h"

namespace platform {

// The software canvas blends by itself.
void* loadBlendLibrary() { return nullptr; }
void freeBlendLibrary(void*) {}

}  // namespace platform

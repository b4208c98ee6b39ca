// The system library with alpha blending and the colour-keyed copy: every frame looks its
// entry points up again when it is made and holds the library while it lives. Without
// such a library (Linux's canvas blends itself) these do nothing.
#pragma once

namespace platform {

// The library's handle, or none.
void* loadBlendLibrary();
void freeBlendLibrary(void* module);

}  // namespace platform

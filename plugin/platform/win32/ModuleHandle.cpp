#include "plugin/platform/win32/ModuleHandle.h"

HINSTANCE moduleHandle = nullptr;

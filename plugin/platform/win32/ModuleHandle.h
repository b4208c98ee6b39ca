// The library's module handle, stored by the load hook; the editor toolkit finds its
// resources and registers its window class with it. One for the whole process.
#pragma once

#include <windows.h>

extern HINSTANCE moduleHandle;

#include "plugin/platform/MessageBox.h"

#include <windows.h>

void showModalMessage(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

// A user's hand for window tests under Wine: a topmost parent window to put the panel in,
// and a drag made of SendInput events, run on a thread of its own while the test's
// thread runs the message loop.
#pragma once

#include <windows.h>

#include <atomic>

#include "gui/CGeometry.h"

inline HWND makeTopmostParent(const char* className, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_TOPMOST, className, "host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A mouse event at a screen point, in the absolute coordinates SendInput takes.
inline void sendMouse(DWORD flags, POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Press at from (window coordinates; origin is the window's on the screen), move in
// steps to to with the button held, let go; then sets done.
inline void dragBySendInput(POINT origin, CPos from, CPos to, int steps, std::atomic<bool>* done) {
    auto screen = [&](CPos p) { return POINT{origin.x + p.x, origin.y + p.y}; };
    sendMouse(0, screen(from));
    Sleep(30);
    sendMouse(MOUSEEVENTF_LEFTDOWN, screen(from));
    // Under Wine 8 the window's thread may read a stale "up" for an injected press unless
    // another thread has asked for the key state since; asking here makes it visible.
    GetAsyncKeyState(VK_LBUTTON);
    Sleep(30);
    for (int i = 1; i <= steps; ++i) {
        sendMouse(0, screen(CPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps)));
        Sleep(15);
    }
    Sleep(100);
    sendMouse(MOUSEEVENTF_LEFTUP, screen(to));
    *done = true;
}

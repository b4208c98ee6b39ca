// A user's hand for window tests under Wine: a topmost parent window to put the panel in,
// and a drag made of SendInput events that waits for each state it needs.
#pragma once

#include <windows.h>

#include <cstdlib>

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

// Runs the thread's messages and the host's idle until ready() holds; false when it did
// not within the time limit.
template <typename Idle, typename Ready>
bool pumpUntil(Idle idle, Ready ready, DWORD limit = 5000) {
    const DWORD end = GetTickCount() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        idle();
        if (ready()) return true;
        if (GetTickCount() > end) return false;
        Sleep(5);
    }
}

// A drag on window (from and to in its client coordinates) as a hand makes it, made on
// the thread that runs the window's messages: each step waits, with a time limit, for the
// state it needs rather than for a time: the window in front under the press point, the
// pointer there, the press seen (the window holds the pointer), each move arrived, the
// release seen. Answers "" or the state that never came. A busy machine only makes it
// slower.
template <typename Idle>
const char* dragChecked(HWND window, CPos from, CPos to, int steps, Idle idle) {
    auto screen = [&](CPos p) {
        POINT at{p.x, p.y};
        ClientToScreen(window, &at);
        return at;
    };
    auto pointerAt = [&](POINT at) {
        return [at] {
            POINT now{};
            GetCursorPos(&now);
            return std::abs(now.x - at.x) <= 1 && std::abs(now.y - at.y) <= 1 && GetQueueStatus(QS_INPUT) == 0;
        };
    };
    HWND top = GetAncestor(window, GA_ROOT);
    const POINT start = screen(from);
    if (!pumpUntil(idle, [&] {
            SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            return IsWindowVisible(window) && WindowFromPoint(start) == window;
        }))
        return "the window in front under the press point";
    sendMouse(0, start);
    if (!pumpUntil(idle, pointerAt(start))) return "the pointer at the press point";
    sendMouse(MOUSEEVENTF_LEFTDOWN, start);
    if (!pumpUntil(idle, [&] { return GetCapture() == window; })) return "the press seen by the window";
    for (int i = 1; i <= steps; ++i) {
        const POINT at = screen(CPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps));
        sendMouse(0, at);
        if (!pumpUntil(idle, pointerAt(at))) return "a move arrived";
    }
    sendMouse(MOUSEEVENTF_LEFTUP, screen(to));
    if (!pumpUntil(idle, [&] { return GetCapture() != window && GetQueueStatus(QS_INPUT) == 0; }))
        return "the release seen by the window";
    return "";
}

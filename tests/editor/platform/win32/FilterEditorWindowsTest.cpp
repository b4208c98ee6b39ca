// The panel through the host interface in a real Windows window under Wine: effEditOpen
// into a parent window made here, each knob and switch dragged with SendInput while this
// thread runs the host's message loop and idle, and what the host records.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

#include "dsp/Parameters.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "vst2/FilterEffect.h"
#include "tests/editor/PanelSequences.h"
#include "tests/support/platform/win32/SyntheticHand.h"
#include "vst2/EntryPoint.h"

namespace {

struct Call {
    int32 opcode;
    int32 index;
    float value;
};
std::vector<Call> calls;
std::function<void()> onBeginEdit;  // what the host does when a gesture begins

intptr VSTCALL recordingHost(AEffect*, int32 opcode, int32 index, intptr, void*, float opt) {
    if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit || opcode == audioMasterAutomate)
        calls.push_back({opcode, index, opt});
    if (opcode == audioMasterBeginEdit && onBeginEdit) onBeginEdit();
    return 0;
}

HWND panelWindow(FilterEffect& effect) {
    return static_cast<HWND>(static_cast<PanelEditor*>(effect.getEditor())->panel().window());
}

// The host's message loop with its idle calls, until done and a little after.
void hostLoop(FilterEffect& effect, const std::atomic<bool>& done) {
    for (int after = 0; after < 10;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        Sleep(10);
        if (done) ++after;
    }
}

CPos centre(const CBounds& r) { return CPos((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// What the window shows, read back through GDI: words 0xRRGGBB, rows top-down.
std::vector<std::uint32_t> shownIn(HWND window) {
    const int w = FilterEditor::kWidth, h = FilterEditor::kHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> out(static_cast<const std::uint32_t*>(bits),
                                   static_cast<const std::uint32_t*>(bits) + std::size_t(w) * h);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    for (std::uint32_t& p : out) p &= 0xFFFFFFu;
    return out;
}

}  // namespace

TEST(WindowsPanel, EveryKnobAndSwitchGestureReachesTheHostAsAutomation) {
    FilterEffect effect(recordingHost, 2, false);
    attachPanel(effect);
    HWND parent = makeTopmostParent("PanelTestParent", 800, 212);
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(effect.dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobLinear, nullptr, 0.0f);
    auto& editor = static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel());
    std::atomic<bool> none{true};
    hostLoop(effect, none);
    auto idle = [&] { effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); };

    // Knobs: 40 pixels up in the linear mode is a fifth of the range. The Stages switch's
    // left end is one stage; the mode switch's top band is high-pass.
    const struct {
        std::int32_t tag;
        int how;  // 0 up 40, 1 left end, 2 top band
    } gestures[] = {{kCutoff, 0},    {kResonance, 0}, {kEnvAmount, 0}, {kEnvAttack, 0}, {kEnvRelease, 0},
                    {kInTrim, 0},    {kOutSat, 0},    {kStages, 1},    {kMode, 2}};
    for (const auto& g : gestures) {
        SCOPED_TRACE(g.tag);
        CBounds size;
        editor.controlFor(g.tag)->getViewSize(size);
        const float before = effect.getParameter(g.tag);
        CPos from = centre(size), to = CPos(from.x, from.y - 40);
        float expected = std::min(1.0f, before + 0.2f);
        if (g.how == 1) {
            from = to = CPos(size.left + 1, size.top + 5);
            expected = 0.0f;
        } else if (g.how == 2) {
            from = to = CPos(size.left + 5, size.top + 1);
            expected = 1.0f;
        }
        calls.clear();
        ASSERT_STREQ(dragChecked(panelWindow(effect), from, to, 10, idle), "");
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(calls.front().index, g.tag);
        EXPECT_EQ(calls[calls.size() - 2].opcode, audioMasterAutomate);
        EXPECT_NEAR(calls[calls.size() - 2].value, expected, 1e-5f);
        EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
        EXPECT_NEAR(effect.getParameter(g.tag), expected, 1e-5f);
    }

    // A host change moves the knob at the next idle.
    effect.effectRecord()->setParameter(effect.effectRecord(), kCutoff, 0.75f);
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor.controlFor(kCutoff)->getValue(), 0.75f);
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobCircular, nullptr, 0.0f);
    DestroyWindow(parent);
}

TEST(WindowsPanelRedraw, TheWindowShowsAFreshDrawAfterAnySequenceOfChanges) {
    FilterEffect effect(recordingHost, 2, false);
    attachPanel(effect);
    AEffect* record = effect.effectRecord();
    HWND parent = makeTopmostParent("PanelRedrawTestParent", 800, 212);
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(effect.dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobLinear, nullptr, 0.0f);
    auto& editor = static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel());
    const std::atomic<bool> settled{true};
    hostLoop(effect, settled);
    auto idle = [&] { effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); };
    auto gesture = [&](CPos from, CPos to, int steps) {
        EXPECT_STREQ(dragChecked(panelWindow(effect), from, to, steps, idle), "");
    };
    auto run = [&](const PanelStep& step) {
        switch (step.kind) {
            case PanelStep::Gesture: {
                CBounds r;
                editor.controlFor(step.index)->getViewSize(r);
                const CPos from(r.left + int(step.fx * float(r.width())), r.top + int(step.fy * float(r.height())));
                bool changed = step.hostIndex < 0;
                onBeginEdit = [&] {
                    if (changed) return;
                    changed = true;
                    record->setParameter(record, step.hostIndex, step.hostValue);
                };
                calls.clear();
                gesture(from, CPos(from.x, from.y - int(step.value)), 10);
                onBeginEdit = nullptr;
                EXPECT_TRUE(!calls.empty() && calls.front().opcode == audioMasterBeginEdit &&
                            calls.front().index == step.index)
                    << "a gesture on " << step.index;
                EXPECT_TRUE(changed) << "the host changed its parameter during the gesture";
                break;
            }
            case PanelStep::Host: record->setParameter(record, step.index, step.value); break;
            case PanelStep::Program: effect.dispatcher(effSetProgram, 0, step.index, nullptr, 0.0f); break;
            case PanelStep::SplashClick: {
                CBounds r;
                editor.controlFor(FilterEditor::kSplashTag)->getViewSize(r);
                gesture(centre(r), centre(r), 1);
                break;
            }
            case PanelStep::HideAndShow:
                ShowWindow(parent, SW_HIDE);
                hostLoop(effect, settled);
                ShowWindow(parent, SW_SHOW);
                break;
            case PanelStep::MoveHalfOffAndBack:
                SetWindowPos(parent, nullptr, -FilterEditor::kWidth / 2, -FilterEditor::kHeight / 2, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER);
                hostLoop(effect, settled);
                SetWindowPos(parent, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                break;
        }
        hostLoop(effect, settled);
    };

    HWND window = static_cast<HWND>(editor.getFrame()->getWindow()->nativeHandle());
    for (const PanelSequence& sequence : panelSequences()) {
        for (const PanelStep& step : sequence.steps) run(step);
        EXPECT_EQ(pictureDifference(shownIn(window), freshDraw(effect)), "") << "after " << sequence.what;
    }
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobCircular, nullptr, 0.0f);
    DestroyWindow(parent);
}

// Run in a Wine prefix whose desktop has 192 dots per inch, by a DPI-aware host: the panel
// answers and opens at twice its size, and a drag in window pixels moves a knob by half
// as many panel units.
TEST(WindowsHiDpi, OnADesktopOfTwiceTheDensityThePanelOpensAt2xAndADragWorks) {
    SetProcessDPIAware();
    FilterEffect effect(recordingHost, 2, false);
    attachPanel(effect);
    ERect* rect = nullptr;
    ASSERT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right - rect->left, 1600);
    EXPECT_EQ(rect->bottom - rect->top, 424);
    HWND parent = makeTopmostParent("HiDpiPanelTestParent", 1600, 424);
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(effect.dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    auto& editor = static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel());
    EXPECT_EQ(editor.getScale(), 2.0);
    RECT client{};
    GetClientRect(static_cast<HWND>(editor.getFrame()->getWindow()->nativeHandle()), &client);
    EXPECT_EQ(client.right - client.left, 1600);
    EXPECT_EQ(client.bottom - client.top, 424);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobLinear, nullptr, 0.0f);
    std::atomic<bool> none{true};
    hostLoop(effect, none);
    auto idle = [&] { effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); };

    // 80 window pixels up are 40 panel units: a fifth of the range in the linear mode.
    CBounds size;
    editor.controlFor(kCutoff)->getViewSize(size);
    const CPos from(centre(size).x * 2, centre(size).y * 2);
    const float expected = std::min(1.0f, effect.getParameter(kCutoff) + 0.2f);
    calls.clear();
    ASSERT_STREQ(dragChecked(panelWindow(effect), from, CPos(from.x, from.y - 80), 10, idle), "");
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, kCutoff);
    EXPECT_NEAR(calls[calls.size() - 2].value, expected, 1e-5f);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effSetEditKnobMode, 0, kKnobCircular, nullptr, 0.0f);
    DestroyWindow(parent);
}

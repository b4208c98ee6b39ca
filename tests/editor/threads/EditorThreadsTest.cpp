// Parameters set from an audio thread and a host thread while the panel opens, draws,
// changes its scale (its images made on several threads) and closes on the
// user-interface thread. Run under ThreadSanitizer. The panel draws headless and, with a
// display, opens in a real window; without one that half is reported skipped.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <thread>
#include <vector>

#include "dsp/Parameters.h"
#include "editor/EditorSnapshot.h"
#include "editor/FilterEditor.h"
#include "vst2/PanelEditor.h"
#include "gui/CValueDisplay.h"
#include "vst2/FilterEffect.h"
#include "vst2/EntryPoint.h"

TEST(EditorThreads, ParameterChangesFromOtherThreadsWhileThePanelOpensDrawsAndCloses) {
    FilterEffect effect(nullptr, 2, false);
    attachPanel(effect);
    AEffect* record = effect.effectRecord();
    std::atomic<bool> running{true};

    // The audio thread's changes go the automated way, as MIDI and the joystick do.
    std::thread audio([&] {
        for (std::uint32_t i = 0; running.load(); ++i) {
            effect.setParameterAndNotify(std::int32_t(i % kNumParams), float(i % 7) / 6.0f);
            std::this_thread::yield();
        }
    });
    std::thread automation([&] {
        for (std::uint32_t i = 0; running.load(); ++i) {
            record->setParameter(record, std::int32_t(i % kNumParams), float(i % 5) / 4.0f);
            std::this_thread::yield();
        }
    });

    Display* display = XOpenDisplay(nullptr);
    Window parent = display ? XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 212, 0, 0, 0) : 0;
    if (display) XSync(display, False);
    std::vector<std::uint32_t> pixels(std::size_t(FilterEditor::kWidth) * FilterEditor::kHeight);
    EditorSnapshot snapshot;
    snapshot.width = FilterEditor::kWidth;
    snapshot.height = FilterEditor::kHeight;
    snapshot.pixels = pixels.data();
    for (int round = 0; round < 4; ++round) {
        if (display) {
            // No ASSERT while the other threads run: leaving here would not join them.
            EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 1);
            for (float scale : {2.0f, 1.5f, 1.0f}) {
                effect.dispatcher(effVendorSpecific, PanelEditor::kScaleRequest, PanelEditor::kScaleRequestValue,
                                  nullptr, scale);
                for (int pass = 0; pass < 5; ++pass) effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
            }
            effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        }
        EXPECT_EQ(effect.dispatcher(effVendorSpecific, kEditorSnapshotRequest, 0, &snapshot, 0.0f), 1);
    }
    running.store(false);
    audio.join();
    automation.join();

    if (!display) GTEST_SKIP() << "the panel in a window: no X display (the headless half ran)";
    // Once the threads are done, the next idle shows the last stored values.
    ASSERT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 1);
    effect.setParameter(kEnvAmount, 0.5f);
    effect.setParameter(kCutoff, 0.5f);
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    auto& editor = static_cast<FilterEditor&>(static_cast<PanelEditor*>(effect.getEditor())->panel());
    EXPECT_STREQ(editor.getCutoffReadout()->getText(), "~7875.0 Hz");
    for (std::int32_t index : {kInTrim, kStages, kResonance, kOutSat})
        EXPECT_EQ(editor.controlFor(index)->getValue(), effect.getParameter(index));
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

// The editor base between the effect and the frame: the idle pump's throttle and
// re-entry guard, gesture notices to the host, the knob mode shared by every editor.
#include <gtest/gtest.h>

#include <vector>

#include "editor/GuiEditorBase.h"
#include "gui/CFrame.h"
#include "gui/platform/Clock.h"
#include "vst2/EffectBaseExt.h"

namespace {

struct HostLog {
    std::vector<int32> opcodes;
    GuiEditorBase* editor = nullptr;
};
HostLog* currentLog = nullptr;

intptr VSTCALL recordingHost(AEffect*, int32 opcode, int32, intptr, void*, float) {
    if (!currentLog) return 0;
    currentLog->opcodes.push_back(opcode);
    // A host that runs the editor's idle from inside its own idle handling.
    if (opcode == audioMasterIdle && currentLog->editor) currentLog->editor->idle();
    return 0;
}

struct QuietEffect : EffectBaseExt {
    QuietEffect() : EffectBaseExt(recordingHost, 1, 1) {}
    void process(float**, float**, int32) override {}
    std::int32_t oversampleFactor() const override { return 1; }
};

// An editor on a fake clock that counts its idle passes.
struct ClockedEditor : GuiEditorBase {
    using GuiEditorBase::GuiEditorBase;
    std::uint32_t getTicks() override { return now; }
    void update() override { ++updates; }
    std::uint32_t now = 0;
    int updates = 0;
};

}  // namespace

TEST(GuiEditorBase, IdlePumpRunsAtMostEveryFiftyMillisecondsAndDoesNotReenter) {
    HostLog log;
    currentLog = &log;
    auto* effect = new QuietEffect;
    auto* editor = new ClockedEditor(effect);
    effect->attachEditor(editor);  // the effect owns it
    log.editor = editor;

    struct Step { std::uint32_t after; bool passes; };
    // A pass sets the next at +100; a call more than 50 ms before that (its 4 ms sleep
    // counted) only sleeps, a later one passes.
    const Step steps[] = {{0, true}, {10, false}, {45, false}, {46, true}, {60, false}, {500, true}};
    const std::uint32_t start = platform::getTicks();
    for (const Step& step : steps) {
        editor->now = start + step.after;
        editor->requestUpdate();
        const int before = editor->updates;
        log.opcodes.clear();
        editor->pumpIdle();
        EXPECT_EQ(editor->updates - before, step.passes ? 1 : 0) << "at +" << step.after;
        // The host's idle runs with the pass; its nested editor idle does nothing.
        EXPECT_EQ(log.opcodes, step.passes ? std::vector<int32>{audioMasterIdle} : std::vector<int32>{});
    }
    delete effect;
    currentLog = nullptr;
}

TEST(GuiEditorBase, GesturesReachTheHostAndTheKnobModeIsShared) {
    HostLog log;
    currentLog = &log;
    auto* effect = new QuietEffect;
    auto* editor = new GuiEditorBase(effect);
    effect->attachEditor(editor);
    CFrame* frame = new CFrame(CBounds(0, 0, 10, 10), nullptr, editor);
    frame->beginEdit(3);
    frame->endEdit(3);
    EXPECT_EQ(log.opcodes, (std::vector<int32>{audioMasterBeginEdit, audioMasterEndEdit}));

    EXPECT_EQ(effect->dispatcher(effSetEditKnobMode, 0, kKnobLinear, nullptr, 0.0f), 1);
    EXPECT_EQ(frame->getKnobMode(), kKnobLinear);
    editor->setKnobMode(kKnobCircular);
    EXPECT_EQ(frame->getKnobMode(), kKnobCircular);

    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_NE(rect, nullptr);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1) << "no frame yet";
    frame->release();
    delete effect;
    currentLog = nullptr;
}

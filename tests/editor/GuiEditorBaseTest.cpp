// The editor base between the effect and the frame: gesture notices to the host, the
// knob mode shared by every editor.
#include <gtest/gtest.h>

#include <vector>

#include "editor/GuiEditorBase.h"
#include "vst2/PanelEditor.h"
#include "gui/CFrame.h"
#include "vst2/EffectBaseExt.h"

namespace {

struct HostLog {
    std::vector<int32> opcodes;
};
HostLog* currentLog = nullptr;

intptr VSTCALL recordingHost(AEffect*, int32 opcode, int32, intptr, void*, float) {
    if (!currentLog) return 0;
    currentLog->opcodes.push_back(opcode);
    return 0;
}

struct QuietEffect : EffectBaseExt {
    QuietEffect() : EffectBaseExt(recordingHost, 1, 1) {}
    void process(float**, float**, int32) override {}
    std::int32_t oversampleFactor() const override { return 1; }
};

}  // namespace

TEST(GuiEditorBase, GesturesReachTheHostAndTheKnobModeIsShared) {
    HostLog log;
    currentLog = &log;
    auto* effect = new QuietEffect;
    auto* editor = new GuiEditorBase(effect);
    effect->attachEditor(new PanelEditor(effect, std::unique_ptr<Panel>(editor)));
    CFrame* frame = new CFrame(CBounds(0, 0, 10, 10), nullptr, editor);
    frame->beginEdit(3);
    frame->endEdit(3);
    EXPECT_EQ(log.opcodes, (std::vector<int32>{audioMasterBeginEdit, audioMasterEndEdit}));

    EXPECT_EQ(effect->dispatcher(effSetEditKnobMode, 0, kKnobLinear, nullptr, 0.0f), 1);
    EXPECT_EQ(frame->getKnobMode(), kKnobLinear);
    Panel::setKnobMode(KnobMode::Circular);
    EXPECT_EQ(frame->getKnobMode(), kKnobCircular);

    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_NE(rect, nullptr);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1) << "no frame yet";
    frame->release();
    delete effect;
    currentLog = nullptr;
}

// MIDI events and joystick positions turned into automated parameter changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "plugin/ControllerMapping.h"
#include "vst2/MidiEvents.h"
#include "vst2/EffectBase.h"
#include "tests/plugin/FakeJoystick.h"

// The VST 2 binding's path: each MIDI message of the host's list to the mapping.
inline void deliverTo(ControllerMapping& mapping, const VstEvents* events) {
    forEachMidiMessage(events, [&](unsigned char s, unsigned char a, unsigned char b) {
        mapping.processMidiMessage(s, a, b);
    });
}

namespace {

class RecordingEffect : public EffectBase {
public:
    RecordingEffect() : EffectBase(nullptr, 16, 9) {}
    void process(float**, float**, int32) override {}
    void setParameterAndNotify(int32 index, float value) override {
        changes.emplace_back(index, value);
    }
    std::vector<std::pair<int32, float>> changes;
};

// A list of MIDI events as a host hands it over.
class EventList {
public:
    EventList& midi(int status, int data1, int data2, int32 byteSize = sizeof(VstMidiEvent)) {
        VstMidiEvent e{};
        e.type = kVstMidiType;
        e.byteSize = byteSize;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        storage.push_back(e);
        return *this;
    }
    EventList& other(int32 type) {
        VstMidiEvent e{};
        e.type = type;
        e.byteSize = sizeof(VstMidiEvent);
        e.midiData[0] = static_cast<char>(0xB0);
        e.midiData[1] = 11;
        e.midiData[2] = 127;
        storage.push_back(e);
        return *this;
    }
    VstEvents* build() {
        buffer.assign(sizeof(VstEvents) + storage.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(buffer.data());
        list->numEvents = static_cast<int32>(storage.size());
        VstEvent** slots = list->events;
        for (size_t i = 0; i < storage.size(); ++i)
            slots[i] = reinterpret_cast<VstEvent*>(&storage[i]);
        return list;
    }

private:
    std::vector<VstMidiEvent> storage;
    std::vector<unsigned char> buffer;
};

class MappingTest : public ::testing::Test {
protected:
    void SetUp() override { remake(); }
    void remake() {
        auto fake = std::make_unique<FakeJoystick>();
        joystick = fake.get();
        mapping = std::make_unique<ControllerMapping>(effect, map, std::move(fake));
        mapping->deriveFlags();
    }
    void send(EventList& list) { deliverTo(*mapping, list.build()); }

    RecordingEffect effect;
    ControllerMap map;
    FakeJoystick* joystick = nullptr;
    std::unique_ptr<ControllerMapping> mapping;
};

struct Midi {
    int status, data1, data2;
};
struct Assignment {
    int parameter, cc;
    float minimum, maximum;
};
struct Change {
    int parameter;
    double value;
};

// Each case: assignments over the default map, the events, the changes they make in order.
TEST_F(MappingTest, MidiMessagesSetTheMappedParameters) {
    struct Case {
        const char* what;
        std::vector<Assignment> assignments;
        std::vector<Midi> events;
        std::vector<Change> changes;
    };
    const Case cases[] = {
        {"control change on any channel (default: CC 11 to Cutoff 0..0.5)", {},
         {{0xB0, 11, 127}, {0xB5, 11, 0}, {0xBF, 11, 64}}, {{3, 0.5}, {3, 0.0}, {3, 0.5 * 64 / 127}}},
        {"only the mapped number matches", {{3, 74, 0.0f, 0.5f}}, {{0xB0, 11, 127}, {0xB0, 74, 127}}, {{3, 0.5}}},
        {"one source sets several parameters in index order", {{7, 20, 0.0f, 1.0f}, {2, 20, 0.0f, 1.0f}},
         {{0xB0, 20, 127}}, {{2, 1.0}, {7, 1.0}}},
        {"inverted and pinned ranges", {{4, 78, 1.0f, 0.0f}, {5, 71, 0.3f, 0.3f}},
         {{0xB0, 78, 127}, {0xB0, 78, 0}, {0xB0, 71, 100}}, {{4, 0.0}, {4, 1.0}, {5, 0.3f}}},
        {"pitch bend unmapped", {}, {{0xE0, 0, 64}}, {}},
        {"pitch bend, low seven bits first", {{0, kCcPitchBend, 0.0f, 1.0f}},
         {{0xE3, 0, 64}, {0xE0, 0, 0}, {0xE0, 127, 127}}, {{0, 8192 / 16383.0}, {0, 0.0}, {0, 1.0}}},
        {"channel and key pressure, not the key number", {{8, kCcPressure, 0.0f, 0.8f}},
         {{0xD0, 127, 0}, {0xA2, 60, 127}, {0xA0, 127, 0}}, {{8, 0.8f}, {8, 0.8f}, {8, 0.0}}},
    };
    for (const Case& c : cases) {
        map.setDefaults();
        for (const Assignment& a : c.assignments) map.entries[a.parameter].set(a.cc, a.minimum, a.maximum);
        remake();
        effect.changes.clear();
        EventList list;
        for (const Midi& m : c.events) list.midi(m.status, m.data1, m.data2);
        send(list);
        ASSERT_EQ(effect.changes.size(), c.changes.size()) << c.what;
        for (std::size_t i = 0; i < c.changes.size(); ++i) {
            EXPECT_EQ(effect.changes[i].first, c.changes[i].parameter) << c.what << " #" << i;
            EXPECT_FLOAT_EQ(effect.changes[i].second, static_cast<float>(c.changes[i].value)) << c.what << " #" << i;
        }
    }
}

TEST_F(MappingTest, FlagsAreFixedWhenDerived) {
    EXPECT_FALSE(mapping->pitchBendMapped);
    EXPECT_FALSE(mapping->pressureMapped);
    EXPECT_FALSE(mapping->joystickMapped);
    map.entries[1].set(kCcJoyZ, 0.0f, 1.0f);
    EXPECT_FALSE(mapping->joystickMapped);
    mapping->deriveFlags();
    EXPECT_TRUE(mapping->joystickMapped);
    EXPECT_FALSE(mapping->pressureMapped);
}

TEST_F(MappingTest, MalformedEventListsAreSurvived) {
    deliverTo(*mapping, nullptr);

    EventList empty;
    VstEvents* list = empty.build();
    deliverTo(*mapping, list);
    list->numEvents = -5;
    deliverTo(*mapping, list);

    EventList mixed;
    mixed.other(6).other(0).midi(0xB0, 11, 127, 8).midi(0xF0, 11, 127).midi(0x30, 11, 127);
    mixed.midi(0xB0, 11 | 0x80, 127 | 0x80);  // bytes above 127 lose their eighth bit
    list = mixed.build();
    VstEvent** slots = list->events;
    slots[1] = nullptr;
    deliverTo(*mapping, list);
    ASSERT_EQ(effect.changes.size(), 1u);
    EXPECT_EQ(effect.changes[0], std::make_pair(3, 0.5f));
}

TEST_F(MappingTest, JoystickAxesDriveTheirParameters) {
    map.entries[3].set(kCcJoyX, 0.0f, 1.0f);
    map.entries[4].set(kCcJoyR, 1.0f, 0.0f);
    map.entries[6].set(kCcJoyY, 0.0f, 0.5f);
    remake();
    joystick->position.x = 65535;
    joystick->position.y = 0;
    joystick->position.r = 65535;
    mapping->pollJoystick();
    ASSERT_EQ(effect.changes.size(), 3u);
    EXPECT_EQ(effect.changes[0], std::make_pair(3, 1.0f));
    EXPECT_EQ(effect.changes[1], std::make_pair(4, 0.0f));
    EXPECT_EQ(effect.changes[2], std::make_pair(6, 0.0f));

    // Every poll sets every mapped parameter, moved or not; a failed read sets nothing.
    mapping->pollJoystick();
    EXPECT_EQ(effect.changes.size(), 6u);
    joystick->present = false;
    mapping->pollJoystick();
    EXPECT_EQ(effect.changes.size(), 6u);
}

}  // namespace

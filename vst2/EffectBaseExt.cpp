#include "vst2/EffectBaseExt.h"

#include <cstdlib>
#include <cstring>

#include "vst2/EditorBase.h"
#include "plugin/SafeConvert.h"

const char* const kEffectName = "Quorvane 0.6";
const char* const kVendorString = "support@quorvane.audio";
const char* const kProductString = "Quorvane 0.6";

namespace {

// Writes the text and pads with zero bytes up to exactly `length` bytes.
void writeFixedText(char* target, const char* text, std::size_t length) {
    std::size_t n = std::strlen(text);
    if (n > length - 1) n = length - 1;
    std::memcpy(target, text, n);
    std::memset(target + n, 0, length - n);
}

constexpr int32 kMaxSpeakers = 8;

}  // namespace

EffectBaseExt::EffectBaseExt(audioMasterCallback hostCallback, int32 programCount,
                             int32 paramCount)
    : EffectBase(hostCallback, programCount, paramCount) {}

EffectBaseExt::~EffectBaseExt() {
    std::free(inputArrangement);
    std::free(outputArrangement);
}

intptr EffectBaseExt::dispatcher(int32 opcode, int32 index, intptr value, void* ptr,
                                 float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effProcessEvents:
            if (ptr) processEvents(static_cast<VstEvents*>(ptr));
            return 1;
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effGetNumProgramCategories:
            return 1;
        case effGetProgramNameIndexed:
            return text && getProgramNameIndexed(static_cast<int32>(value), index, text) ? 1 : 0;
        case effConnectInput:
        case effConnectOutput:
            return 1;
        case effGetPlugCategory:
            return getPlugCategory();
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate(static_cast<int32>(value), opt);
            return 1;
        case effGetEffectName:
            return text && getEffectName(text) ? 1 : 0;
        case effGetVendorString:
            return text && getVendorString(text) ? 1 : 0;
        case effGetProductString:
            return text && getProductString(text) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effCanDo:
            return text ? canDo(text) : 0;
        case effKeysRequired:
            return wantsKeyboard() ? 0 : 1;
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode key{};
            key.character = index;
            key.virt = static_cast<std::uint8_t>(value & 0xFF);
            key.modifier = static_cast<std::uint8_t>(truncateToInt32(opt) & 0xFF);
            return opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
        }
        case effVendorSpecific:
            return editor ? editor->vendorSpecific(index, value, ptr, opt) : 0;
        case effSetEditKnobMode:
            return editor ? editor->setKnobMode(static_cast<int32>(value)) : 0;
        case effGetCurrentMidiProgram:
            return -1;
        case effGetSpeakerArrangement: {
            auto** in = reinterpret_cast<VstSpeakerArrangement**>(value);
            auto** out = static_cast<VstSpeakerArrangement**>(ptr);
            // Writes what it can; a host that offers no place for either gets a plain 0.
            if (!in || !out) {
                if (in) *in = inputArrangement;
                if (out) *out = outputArrangement;
                return 0;
            }
            return getSpeakerArrangement(in, out) ? 1 : 0;
        }
        case effSetTotalSampleToProcess:
            return value;
        default:
            if (opcode >= effProcessEvents && opcode <= effBeginLoadProgram) return 0;
            return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

void EffectBaseExt::requestMidiEvents(int32 filter) {
    callHost(audioMasterWantMidi, 0, filter, nullptr, 0.0f);
}

int32 EffectBaseExt::processEvents(VstEvents*) { return 1; }

bool EffectBaseExt::canParameterBeAutomated(int32) { return true; }

bool EffectBaseExt::getProgramNameIndexed(int32, int32, char*) { return false; }

void EffectBaseExt::setBlockSizeAndSampleRate(int32 size, float rate) {
    blockSize = size;
    sampleRate = rate;
}

bool EffectBaseExt::getEffectName(char* text) {
    writeFixedText(text, kEffectName, 32);
    return true;
}

bool EffectBaseExt::getVendorString(char* text) {
    writeFixedText(text, kVendorString, 64);
    return true;
}

bool EffectBaseExt::getProductString(char* text) {
    writeFixedText(text, kProductString, 64);
    return true;
}

int32 EffectBaseExt::canDo(const char* text) {
    static const char* const kCanDo[] = {"receiveVstEvents", "receiveVstMidiEvent",
                                         "sendVstEvents", "receiveVstTimeInfo"};
    for (const char* known : kCanDo)
        if (std::strcmp(text, known) == 0) return 1;
    return 0;
}

bool EffectBaseExt::wantsKeyboard() { return editor && editor->hasFocusView(); }

void EffectBaseExt::beginEdit(int32 index) {
    callHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

void EffectBaseExt::endEdit(int32 index) { callHost(audioMasterEndEdit, index, 0, nullptr, 0.0f); }

bool EffectBaseExt::makeArrangement(VstSpeakerArrangement** target, int32 speakerCount) {
    if (!target || speakerCount < 0 || speakerCount > kMaxSpeakers) return false;
    std::free(*target);
    // Always the full record, so a host reading past numChannels reads zeros, not heap.
    *target = static_cast<VstSpeakerArrangement*>(std::calloc(1, sizeof(VstSpeakerArrangement)));
    if (!*target) return false;
    (*target)->numChannels = speakerCount;
    return true;
}

bool EffectBaseExt::cloneArrangement(VstSpeakerArrangement** target,
                                     const VstSpeakerArrangement* source) {
    if (!source || !makeArrangement(target, source->numChannels)) return false;
    (*target)->type = source->type;
    for (int32 i = 0; i < source->numChannels; ++i) (*target)->speakers[i] = source->speakers[i];
    return true;
}

bool EffectBaseExt::setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) {
    if (!in || !out) return false;
    bool result;
    // A negative count is as impossible to honour as one above ours.
    if (in->numChannels > channelCount || in->numChannels < 0) {
        if (!makeArrangement(&inputArrangement, channelCount)) return false;
        inputArrangement->type = kSpeakerArrUserDefined;
        result = false;
    } else {
        if (!cloneArrangement(&inputArrangement, in)) return false;
        result = true;
    }
    if (out->numChannels == inputArrangement->numChannels) {
        if (!cloneArrangement(&outputArrangement, out)) return false;
    } else {
        if (!cloneArrangement(&outputArrangement, inputArrangement)) return false;
        result = false;
    }
    return result;
}

bool EffectBaseExt::getSpeakerArrangement(VstSpeakerArrangement** in,
                                          VstSpeakerArrangement** out) {
    *in = inputArrangement;
    *out = outputArrangement;
    return true;
}

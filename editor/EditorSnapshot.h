// Our plug-in draws its editor without a window when a host sends effVendorSpecific with
// index kEditorSnapshotRequest and ptr pointing to an EditorSnapshot. With pixels none
// the editor only fills in its size; otherwise it draws width x height pixels (0xAARRGGBB
// words, rows top-down) and answers 1. Other plug-ins answer 0.
#pragma once

#include <cstdint>

inline constexpr std::int32_t kEditorSnapshotRequest = 0x51765370;  // 'QvSp'

struct EditorSnapshot {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t* pixels = nullptr;
};

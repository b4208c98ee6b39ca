// The data of a drag in progress over the editor: plain text or a list of files, read
// item by item. The platform's drop target makes it from the dragged data.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CRefObject.h"

enum : std::int32_t { kDropNone = -1, kDropFile = 0, kDropText = 1 };

namespace platform {
// The dragged data as the platform offers it.
class DropSource {
public:
    virtual ~DropSource() = default;
    virtual bool hasText() const = 0;
    // The whole text block, or none.
    virtual std::unique_ptr<char[]> copyText(std::int32_t& byteSize) const = 0;
    virtual std::int32_t fileCount() const = 0;
    // The file at index, shortcuts resolved to their target; none past the end.
    virtual std::unique_ptr<char[]> fileName(std::int32_t index) const = 0;
};
}  // namespace platform

class CDropData : public CRefObject {
public:
    explicit CDropData(std::unique_ptr<platform::DropSource> source);

    std::int32_t getCount() const { return itemCount; }
    // The item's text, or none when there is no further item; size and type describe it.
    const char* firstItem(std::int32_t& size, std::int32_t& type);
    const char* nextItem(std::int32_t& size, std::int32_t& type);

private:
    std::unique_ptr<platform::DropSource> source;
    std::int32_t itemCount = 0;
    std::int32_t nextIndex = 0;
    std::unique_ptr<char[]> item;
};

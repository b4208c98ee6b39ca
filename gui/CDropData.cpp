#include "gui/CDropData.h"

CDropData::CDropData(std::unique_ptr<platform::DropSource> dragged) : source(std::move(dragged)) {
    if (!source) return;
    if (source->hasText())
        itemCount = 1;
    else
        itemCount = source->fileCount();
}

const char* CDropData::firstItem(std::int32_t& size, std::int32_t& type) {
    nextIndex = 0;
    return nextItem(size, type);
}

const char* CDropData::nextItem(std::int32_t& size, std::int32_t& type) {
    item.reset();
    size = 0;
    type = kDropNone;
    const std::int32_t index = nextIndex++;
    if (!source) return nullptr;
    if (source->hasText()) {
        if (index != 0) return nullptr;
        item = source->copyText(size);
        if (item) type = kDropText;
    } else {
        item = source->fileName(index);
        if (item) {
            size = 0;
            while (item[size]) ++size;
            type = kDropFile;
        }
    }
    return item.get();
}

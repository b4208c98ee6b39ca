// Drops: the items of the dragged data, and which view hears of the drag as it moves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/CDropData.h"
#include "gui/CFrame.h"

namespace {

struct FakeSource : platform::DropSource {
    std::string text;
    std::vector<std::string> files;
    bool hasText() const override { return !text.empty(); }
    std::unique_ptr<char[]> copyText(std::int32_t& size) const override {
        size = std::int32_t(text.size());
        std::unique_ptr<char[]> copy(new char[text.size() + 1]);
        std::memcpy(copy.get(), text.c_str(), text.size() + 1);
        return copy;
    }
    std::int32_t fileCount() const override { return std::int32_t(files.size()); }
    std::unique_ptr<char[]> fileName(std::int32_t index) const override {
        if (index < 0 || index >= fileCount()) return nullptr;
        std::int32_t size = 0;
        FakeSource one;
        one.text = files[std::size_t(index)];
        return one.copyText(size);
    }
};

struct DragProbe : CView {
    DragProbe(const CBounds& size, std::string* log, const char* name) : CView(size), log(log), name(name) {}
    void onDragEnter(CDrawSurface*, CDropData*, const CPos&) override { *log += std::string(name) + "+"; }
    void onDragLeave(CDrawSurface*, CDropData*, const CPos&) override { *log += std::string(name) + "-"; }
    void onDragMove(CDrawSurface*, CDropData*, const CPos&) override { *log += std::string(name) + "~"; }
    bool onDrop(CDrawSurface*, CDropData*, const CPos&) override {
        *log += std::string(name) + "!";
        return true;
    }
    std::string* log;
    const char* name;
};

}  // namespace

TEST(DropData, TextIsOneItemAndFilesComeOneByOne) {
    struct Case { std::string text; std::vector<std::string> files; std::vector<std::string> items; std::int32_t type; };
    const Case cases[] = {
        {"hello", {}, {"hello"}, kDropText},
        {"", {"a.wav", "b.wav"}, {"a.wav", "b.wav"}, kDropFile},
        {"", {}, {}, kDropNone},
    };
    for (const Case& c : cases) {
        auto source = std::make_unique<FakeSource>();
        source->text = c.text;
        source->files = c.files;
        auto* drop = new CDropData(std::move(source));
        EXPECT_EQ(drop->getCount(), std::int32_t(c.items.size()));
        std::int32_t size = -1, type = 99;
        std::vector<std::string> items;
        for (const char* item = drop->firstItem(size, type); item; item = drop->nextItem(size, type)) {
            EXPECT_EQ(type, c.type);
            EXPECT_EQ(size, std::int32_t(std::strlen(item)));
            items.emplace_back(item);
        }
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(type, kDropNone) << "after the last item";
        drop->release();
    }
}

TEST(DropData, TheViewUnderTheDragHearsEnterMoveLeaveAndDrop) {
    std::string log;
    auto* frame = new CFrame(CBounds(0, 0, 100, 50), nullptr, nullptr);
    frame->addView(new DragProbe(CBounds(0, 0, 40, 50), &log, "a"));
    frame->addView(new DragProbe(CBounds(60, 0, 100, 50), &log, "b"));
    auto* drop = new CDropData(nullptr);
    frame->onDragEnter(nullptr, drop, CPos(10, 10));
    frame->onDragMove(nullptr, drop, CPos(20, 10));
    frame->onDragMove(nullptr, drop, CPos(50, 10));  // between the two
    frame->onDragMove(nullptr, drop, CPos(70, 10));
    EXPECT_TRUE(frame->onDrop(nullptr, drop, CPos(70, 10)));
    EXPECT_FALSE(frame->onDrop(nullptr, drop, CPos(50, 10))) << "nobody there";
    EXPECT_EQ(log, "a+a~a-b+b!b-");
    drop->release();
    frame->release();
}

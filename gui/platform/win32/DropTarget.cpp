#include "gui/platform/win32/DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "gui/CDropData.h"

namespace platform::win32 {
namespace {

constexpr DWORD kShortcutTimeoutMs = 500;
constexpr int kMaxPath = 1024;

FORMATETC format(CLIPFORMAT type) { return FORMATETC{type, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool endsWithLnk(const char* name) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && _stricmp(name + length - 4, ".lnk") == 0;
}

// The shortcut's target as a short path, when it resolves without asking the user.
bool resolveShortcut(const char* name, char* out) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool resolved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[kMaxPath];
        MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kMaxPath);
        char target[kMaxPath];
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | (kShortcutTimeoutMs << 16))) &&
            SUCCEEDED(link->GetPath(target, kMaxPath, nullptr, SLGP_SHORTPATH))) {
            const DWORD length = GetShortPathNameA(target, out, kMaxPath - 1);
            if (length == 0 || length >= kMaxPath - 1) {
                const std::size_t kept = strnlen(target, kMaxPath - 1);
                std::memcpy(out, target, kept);
                out[kept] = '\0';
            }
            resolved = true;
        }
        file->Release();
    }
    link->Release();
    return resolved;
}

class OleDropSource : public DropSource {
public:
    explicit OleDropSource(IDataObject* data) : data(data) {
        data->AddRef();
        FORMATETC text = format(CF_TEXT);
        hasPlainText = data->QueryGetData(&text) == S_OK;
        FORMATETC files = format(CF_HDROP);
        STGMEDIUM medium{};
        if (!hasPlainText && data->QueryGetData(&files) == S_OK && SUCCEEDED(data->GetData(&files, &medium))) {
            dropFiles = medium;
            haveFiles = true;
        }
    }
    ~OleDropSource() override {
        if (haveFiles) ReleaseStgMedium(&dropFiles);
        data->Release();
    }

    bool hasText() const override { return hasPlainText; }

    std::unique_ptr<char[]> copyText(std::int32_t& byteSize) const override {
        FORMATETC text = format(CF_TEXT);
        STGMEDIUM medium{};
        if (FAILED(data->GetData(&text, &medium))) return nullptr;
        std::unique_ptr<char[]> copy;
        if (const void* block = GlobalLock(medium.hGlobal)) {
            byteSize = std::int32_t(GlobalSize(medium.hGlobal));
            copy.reset(new char[std::size_t(byteSize) + 1]);
            std::memcpy(copy.get(), block, std::size_t(byteSize));
            copy[std::size_t(byteSize)] = '\0';
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        return copy;
    }

    std::int32_t fileCount() const override {
        if (!haveFiles) return 0;
        return std::int32_t(DragQueryFileA(static_cast<HDROP>(dropFiles.hGlobal), 0xFFFFFFFF, nullptr, 0));
    }

    std::unique_ptr<char[]> fileName(std::int32_t index) const override {
        if (index < 0 || index >= fileCount()) return nullptr;
        std::unique_ptr<char[]> name(new char[kMaxPath]);
        DragQueryFileA(static_cast<HDROP>(dropFiles.hGlobal), UINT(index), name.get(), kMaxPath - 1);
        name[kMaxPath - 1] = '\0';
        if (endsWithLnk(name.get())) {
            char target[kMaxPath];
            if (resolveShortcut(name.get(), target)) std::strcpy(name.get(), target);
        }
        return name;
    }

private:
    IDataObject* data;
    bool hasPlainText = false;
    bool haveFiles = false;
    STGMEDIUM dropFiles{};
};

// The drag in progress, one per process.
CDropData* currentDrag = nullptr;

class DropTarget : public IDropTarget {
public:
    explicit DropTarget(EditorWindowListener& listener) : listener(listener) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!data) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        if (currentDrag) currentDrag->release();
        currentDrag = new CDropData(std::make_unique<OleDropSource>(data));
        listener.windowDragEnter(currentDrag);
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        if (currentDrag) listener.windowDragMove(currentDrag);
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        if (currentDrag) {
            listener.windowDragLeave(currentDrag);
            currentDrag->release();
            currentDrag = nullptr;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        if (currentDrag) {
            listener.windowDrop(currentDrag);
            currentDrag->release();
            currentDrag = nullptr;
        }
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }

private:
    virtual ~DropTarget() = default;
    EditorWindowListener& listener;
    ULONG references = 0;
};

}  // namespace

IDropTarget* createDropTarget(EditorWindowListener& listener) { return new DropTarget(listener); }

}  // namespace platform::win32

#include "catalogue/section_view.h"

#include "catalogue/section_name.h"

namespace quillon {

namespace {
HRESULT LastErrorStatus() noexcept {
    const DWORD error = ::GetLastError();
    // A failing call that left no error code still has to read as a failure to the caller.
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}
}  // namespace

HRESULT SectionView::Open(const wchar_t* name) noexcept {
    if (mapping_ || base_) return E_UNEXPECTED;
    UniqueHandle mapping;
    const HRESULT opened = OpenSectionByName(name ? name : L"", kAccess, mapping);
    if (opened < 0) return opened;
    void* view = ::MapViewOfFileEx(mapping.Get(), kAccess, 0, 0, 0, nullptr);
    if (!view) return LastErrorStatus();  // `mapping` closes itself
    mapping_ = std::move(mapping);
    base_ = static_cast<const unsigned char*>(view);
    return S_OK;
}

std::uint64_t SectionView::Size() const noexcept {
    if (!base_) return 0;
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(base_, &info, sizeof(info)) == 0) return 0;
    return static_cast<std::uint64_t>(info.RegionSize);
}

void SectionView::Close() noexcept {
    // The view goes before the handle that keeps the mapping alive.
    if (base_) {
        ::UnmapViewOfFile(base_);
        base_ = nullptr;
    }
    mapping_.Reset();
}

bool QuerySectionSize(const wchar_t* name, std::uint64_t& size) noexcept {
    SectionView view;
    if (view.Open(name) < 0) return false;
    size = view.Size();
    return true;
}

}  // namespace quillon

#include "inspect/handle_holders.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "catalogue/section_entry.h"
#include "common/unique_resource.h"
#include "inspect/fact_text.h"
#include "inspect/native_calls.h"

namespace quillon {

namespace {

// The handle table, grown until it fits; the table changes between calls, so leave headroom.
bool SnapshotTable(std::vector<unsigned char>& buffer, NTSTATUS& status) {
    ULONG length = 1u << 20;
    for (int attempt = 0; attempt < 8; ++attempt) {
        buffer.resize(length);
        ULONG needed = 0;
        status = native::QuerySystemInformation(native::kSystemExtendedHandleInformation, buffer.data(), length, &needed);
        if (status >= 0) return true;
        if (status != native::kInfoLengthMismatch && status != native::kBufferTooSmall) return false;
        const ULONG grown = needed > length ? needed + needed / 4 : length * 2;
        if (grown > (1u << 30)) return false;
        length = grown;
    }
    return false;
}

// Process id -> image name, from one snapshot of the process list.
std::unordered_map<DWORD, std::wstring> ProcessNames() {
    std::unordered_map<DWORD, std::wstring> names;
    std::vector<unsigned char> buffer(1u << 18);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = native::QuerySystemInformation(native::kSystemProcessInformation, buffer.data(),
                                                               static_cast<ULONG>(buffer.size()), &needed);
        if (status == native::kInfoLengthMismatch || status == native::kBufferTooSmall) {
            buffer.resize(needed > buffer.size() ? needed + needed / 4 : buffer.size() * 2);
            continue;
        }
        if (status < 0) return names;
        std::size_t offset = 0;
        for (;;) {
            const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
            const auto pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info->UniqueProcessId));
            if (info->ImageName.Buffer && info->ImageName.Length)
                names[pid].assign(info->ImageName.Buffer, info->ImageName.Length / sizeof(wchar_t));
            if (info->NextEntryOffset == 0) break;
            offset += info->NextEntryOffset;
            if (offset >= buffer.size()) break;
        }
        return names;
    }
    return names;
}

// Reads object names into one reused buffer.
class NameReader {
public:
    // False when the name cannot be read; `name` is then left empty.
    bool Read(HANDLE handle, std::wstring_view& name) {
        name = std::wstring_view();
        for (int attempt = 0; attempt < 3; ++attempt) {
            ULONG needed = 0;
            const NTSTATUS status = native::QueryObject(handle, native::kObjectNameInformation, buffer_.data(),
                                                        static_cast<ULONG>(buffer_.size()), &needed);
            if (status >= 0) {
                const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer_.data());
                if (text->Buffer) name = std::wstring_view(text->Buffer, text->Length / sizeof(wchar_t));
                return true;
            }
            if (status != native::kInfoLengthMismatch && status != native::kBufferTooSmall &&
                status != native::kBufferOverflow)
                return false;
            if (needed <= buffer_.size()) needed = static_cast<ULONG>(buffer_.size() * 2);
            if (needed > 0x20000) return false;
            buffer_.resize(needed);
        }
        return false;
    }

private:
    std::vector<unsigned char> buffer_ = std::vector<unsigned char>(4096);
};

bool SameName(std::wstring_view a, const std::wstring& b) noexcept {
    if (a.size() != b.size()) return false;
    // Object names compare without regard to case.
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

HandleWalk FindSectionHolders(const std::wstring& objectPath, HANDLE probe) {
    HandleWalk walk;
    // Without a handle of our own to the section, an anonymous one still tells the section type.
    UniqueHandle anonymous;
    if (!probe) {
        anonymous.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 4096, nullptr));
        if (!anonymous) {
            walk.reason = L"cannot learn the section handle type";
            return walk;
        }
    }
    const HANDLE typeProbe = probe ? probe : anonymous.Get();

    std::vector<unsigned char> buffer;
    NTSTATUS status = 0;
    if (!SnapshotTable(buffer, status)) {
        walk.reason = std::wstring(L"cannot read the handle table: ") + native::ReasonForStatus(status);
        return walk;
    }
    const auto* table = reinterpret_cast<const native::HandleTableEx*>(buffer.data());
    const std::size_t capacity = (buffer.size() - offsetof(native::HandleTableEx, handles)) / sizeof(native::HandleEntryEx);
    const std::size_t count = table->numberOfHandles < capacity ? table->numberOfHandles : capacity;
    walk.handlesInTable = count;

    const auto ownPid = static_cast<ULONG_PTR>(::GetCurrentProcessId());
    const native::HandleEntryEx* own = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        const native::HandleEntryEx& entry = table->handles[i];
        if (entry.uniqueProcessId == ownPid && entry.handleValue == reinterpret_cast<ULONG_PTR>(typeProbe)) {
            own = &entry;
            break;
        }
    }
    if (!own) {
        walk.reason = L"the handle table does not list this program's own handle";
        return walk;
    }
    const USHORT sectionType = own->objectTypeIndex;
    const void* sectionObject = probe ? own->object : nullptr;
    walk.matchedByAddress = sectionObject != nullptr;

    std::unordered_map<DWORD, std::wstring> names = ProcessNames();
    std::unordered_map<ULONG_PTR, UniqueHandle> processes;  // null: could not be opened
    NameReader reader;
    // Handles are compared with the name the system gives our own handle: the object path, except
    // where the system answers with the backing file's name instead.
    std::wstring target = objectPath;
    if (probe && !walk.matchedByAddress) {
        std::wstring_view probeName;
        if (reader.Read(probe, probeName) && !probeName.empty() && !SameName(probeName, objectPath)) {
            target.assign(probeName.data(), probeName.size());
            walk.matchedByFileName = true;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const native::HandleEntryEx& entry = table->handles[i];
        if (entry.objectTypeIndex != sectionType) continue;
        if (entry.uniqueProcessId == ownPid && entry.handleValue == reinterpret_cast<ULONG_PTR>(typeProbe)) continue;
        ++walk.sectionHandles;
        bool matches = false;
        if (walk.matchedByAddress) {
            matches = entry.object == sectionObject;
        } else if (entry.uniqueProcessId == ownPid) {
            std::wstring_view name;
            if (reader.Read(reinterpret_cast<HANDLE>(entry.handleValue), name))
                matches = SameName(name, target);
            else
                ++walk.handlesNotNamed;
        } else {
            auto found = processes.find(entry.uniqueProcessId);
            if (found == processes.end()) {
                UniqueHandle process(::OpenProcess(PROCESS_DUP_HANDLE, FALSE, static_cast<DWORD>(entry.uniqueProcessId)));
                if (!process) ++walk.processesNotOpened;
                found = processes.emplace(entry.uniqueProcessId, std::move(process)).first;
            }
            if (!found->second) continue;
            HANDLE copy = nullptr;
            if (!::DuplicateHandle(found->second.Get(), reinterpret_cast<HANDLE>(entry.handleValue), ::GetCurrentProcess(),
                                   &copy, 0, FALSE, 0)) {
                ++walk.handlesNotNamed;
                continue;
            }
            UniqueHandle duplicate(copy);
            std::wstring_view name;
            if (reader.Read(duplicate.Get(), name))
                matches = SameName(name, target);
            else
                ++walk.handlesNotNamed;
        }
        if (!matches) continue;
        HandleHolder holder;
        holder.processId = static_cast<DWORD>(entry.uniqueProcessId);
        holder.handle = entry.handleValue;
        holder.grantedAccess = entry.grantedAccess;
        const auto name = names.find(holder.processId);
        if (name != names.end()) holder.imageName = name->second;
        walk.holders.push_back(std::move(holder));
    }
    walk.available = true;
    return walk;
}

std::wstring DescribeHolders(const HandleWalk& walk) {
    std::wstring text;
    for (const HandleHolder& holder : walk.holders) {
        if (!text.empty()) text += L"\n";
        text += L"process " + std::to_wstring(holder.processId) + L" (" +
                (holder.imageName.empty() ? std::wstring(L"unnamed") : holder.imageName) + L"), handle " + FormatSizeText(holder.handle) +
                L": " + DescribeSectionAccess(holder.grantedAccess);
    }
    if (text.empty()) text = L"none";
    if (walk.matchedByFileName)
        text += L"\nmatched by the backing file's name, which the system gives these handles: sections over the "
                L"same file are listed too";
    std::wstring missing;
    if (walk.processesNotOpened != 0)
        missing = std::to_wstring(walk.processesNotOpened) +
                  (walk.processesNotOpened == 1 ? L" process" : L" processes") + L" could not be opened";
    if (walk.handlesNotNamed != 0) {
        if (!missing.empty()) missing += L"; ";
        missing += std::to_wstring(walk.handlesNotNamed) +
                   (walk.handlesNotNamed == 1 ? L" section handle" : L" section handles") + L" could not be named";
    }
    if (!missing.empty()) text += L"\nincomplete: " + missing;
    return text;
}

}  // namespace quillon

#include "inspect/section_security.h"

#include <aclapi.h>
#include <authz.h>
#include <sddl.h>

#include <vector>

#include "common/unique_resource.h"
#include "inspect/fact_text.h"
#include "inspect/native_calls.h"

namespace quillon {

namespace {

constexpr SECURITY_INFORMATION kDescriptorParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION;

// How generic rights map to a section's own rights.
GENERIC_MAPPING SectionMapping() noexcept {
    GENERIC_MAPPING mapping;
    mapping.GenericRead = STANDARD_RIGHTS_READ | SECTION_QUERY | SECTION_MAP_READ;
    mapping.GenericWrite = STANDARD_RIGHTS_WRITE | SECTION_MAP_WRITE;
    mapping.GenericExecute = STANDARD_RIGHTS_EXECUTE | SECTION_MAP_EXECUTE;
    mapping.GenericAll = SECTION_ALL_ACCESS;
    return mapping;
}

constexpr DWORD kLowLevel = SECURITY_MANDATORY_LOW_RID;
constexpr DWORD kMediumLevel = SECURITY_MANDATORY_MEDIUM_RID;

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return L"(unreadable SID)";
    const UniqueLocal owned(text);
    return text;
}

const wchar_t* LevelName(DWORD rid) noexcept {
    switch (rid) {
    case SECURITY_MANDATORY_UNTRUSTED_RID: return L"Untrusted";
    case SECURITY_MANDATORY_LOW_RID: return L"Low";
    case SECURITY_MANDATORY_MEDIUM_RID: return L"Medium";
    case SECURITY_MANDATORY_MEDIUM_RID + 0x100: return L"Medium Plus";
    case SECURITY_MANDATORY_HIGH_RID: return L"High";
    case SECURITY_MANDATORY_SYSTEM_RID: return L"System";
    case SECURITY_MANDATORY_PROTECTED_PROCESS_RID: return L"Protected process";
    default: return nullptr;
    }
}

// The first mandatory label ACE of the descriptor's SACL, or null.
const SYSTEM_MANDATORY_LABEL_ACE* FindLabel(PSECURITY_DESCRIPTOR descriptor) noexcept {
    BOOL present = FALSE, defaulted = FALSE;
    PACL sacl = nullptr;
    if (!descriptor || !::GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted) || !present || !sacl)
        return nullptr;
    for (DWORD i = 0; i < sacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(sacl, i, &ace)) break;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE && !(header->AceFlags & INHERIT_ONLY_ACE))
            return static_cast<const SYSTEM_MANDATORY_LABEL_ACE*>(ace);
    }
    return nullptr;
}

DWORD LabelLevel(const SYSTEM_MANDATORY_LABEL_ACE* label) noexcept {
    PSID sid = const_cast<DWORD*>(&label->SidStart);
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    return count ? *::GetSidSubAuthority(sid, count - 1) : 0;
}

// "S:(ML;;NW;;;LW)" for the descriptor's mandatory label; empty when it has none.
std::wstring LabelSddl(PSECURITY_DESCRIPTOR descriptor) {
    const SYSTEM_MANDATORY_LABEL_ACE* label = FindLabel(descriptor);
    if (!label) return std::wstring();
    std::wstring policy;
    if (label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) policy += L"NW";
    if (label->Mask & SYSTEM_MANDATORY_LABEL_NO_READ_UP) policy += L"NR";
    if (label->Mask & SYSTEM_MANDATORY_LABEL_NO_EXECUTE_UP) policy += L"NX";
    std::wstring level;
    switch (LabelLevel(label)) {
    case SECURITY_MANDATORY_LOW_RID: level = L"LW"; break;
    case SECURITY_MANDATORY_MEDIUM_RID: level = L"ME"; break;
    case SECURITY_MANDATORY_MEDIUM_RID + 0x100: level = L"MP"; break;
    case SECURITY_MANDATORY_HIGH_RID: level = L"HI"; break;
    case SECURITY_MANDATORY_SYSTEM_RID: level = L"SI"; break;
    default: level = SidText(const_cast<DWORD*>(&label->SidStart)); break;
    }
    return L"S:(ML;;" + policy + L";;;" + level + L")";
}

struct LocalSid {
    PSID sid = nullptr;
    UniqueLocal owned;
    explicit LocalSid(const wchar_t* text) noexcept {
        if (::ConvertStringSidToSidW(text, &sid)) owned.Reset(sid);
    }
};

// An impersonation copy of the token the caller acts with (the thread's when it impersonates).
UniqueHandle ImpersonationToken(DWORD& error) noexcept {
    HANDLE raw = nullptr;
    const DWORD access = TOKEN_QUERY | TOKEN_DUPLICATE;
    if (!::OpenThreadToken(::GetCurrentThread(), access, TRUE, &raw) && !::OpenProcessToken(::GetCurrentProcess(), access, &raw)) {
        error = ::GetLastError();
        return UniqueHandle();
    }
    UniqueHandle token(raw);
    HANDLE copy = nullptr;
    if (!::DuplicateTokenEx(token.Get(), TOKEN_QUERY | TOKEN_ADJUST_DEFAULT | TOKEN_DUPLICATE, nullptr,
                            SecurityImpersonation, TokenImpersonation, &copy)) {
        error = ::GetLastError();
        return UniqueHandle();
    }
    return UniqueHandle(copy);
}

bool CheckWithToken(PSECURITY_DESCRIPTOR descriptor, HANDLE token, ComputedAccess& out) {
    GENERIC_MAPPING mapping = SectionMapping();
    alignas(PRIVILEGE_SET) unsigned char privileges[256];
    DWORD privilegesLength = sizeof(privileges);
    DWORD granted = 0;
    BOOL status = FALSE;
    if (!::AccessCheck(descriptor, token, MAXIMUM_ALLOWED, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges),
                       &privilegesLength, &granted, &status)) {
        out.reason = std::wstring(L"the access check failed: ") + native::ReasonForError(::GetLastError());
        return false;
    }
    out.available = true;
    out.granted = status ? granted : 0;
    return true;
}

// The platform's check for a context holding ALL APPLICATION PACKAGES alone. False when Authz does not
// work here; `failure` then says where it stopped.
bool AuthzPackageAccess(PSECURITY_DESCRIPTOR descriptor, PSID packages, ACCESS_MASK& granted, std::wstring& failure) {
    HMODULE authz = ::LoadLibraryW(L"authz.dll");
    if (!authz) {
        failure = L"authz.dll is missing";
        return false;
    }
    struct ModuleOwner {
        HMODULE module;
        ~ModuleOwner() { ::FreeLibrary(module); }
    } owner{authz};
    using InitManagerFn = BOOL(WINAPI*)(DWORD, PFN_AUTHZ_DYNAMIC_ACCESS_CHECK, PFN_AUTHZ_COMPUTE_DYNAMIC_GROUPS,
                                        PFN_AUTHZ_FREE_DYNAMIC_GROUPS, PCWSTR, PAUTHZ_RESOURCE_MANAGER_HANDLE);
    using InitFromSidFn = BOOL(WINAPI*)(DWORD, PSID, AUTHZ_RESOURCE_MANAGER_HANDLE, PLARGE_INTEGER, LUID, PVOID,
                                        PAUTHZ_CLIENT_CONTEXT_HANDLE);
    using AccessCheckFn = BOOL(WINAPI*)(DWORD, AUTHZ_CLIENT_CONTEXT_HANDLE, PAUTHZ_ACCESS_REQUEST, AUTHZ_AUDIT_EVENT_HANDLE,
                                        PSECURITY_DESCRIPTOR, PSECURITY_DESCRIPTOR*, DWORD, PAUTHZ_ACCESS_REPLY,
                                        PAUTHZ_ACCESS_CHECK_RESULTS_HANDLE);
    using FreeContextFn = BOOL(WINAPI*)(AUTHZ_CLIENT_CONTEXT_HANDLE);
    using FreeManagerFn = BOOL(WINAPI*)(AUTHZ_RESOURCE_MANAGER_HANDLE);
    const auto initManager = reinterpret_cast<InitManagerFn>(reinterpret_cast<void*>(::GetProcAddress(authz, "AuthzInitializeResourceManager")));
    const auto initFromSid = reinterpret_cast<InitFromSidFn>(reinterpret_cast<void*>(::GetProcAddress(authz, "AuthzInitializeContextFromSid")));
    const auto accessCheck = reinterpret_cast<AccessCheckFn>(reinterpret_cast<void*>(::GetProcAddress(authz, "AuthzAccessCheck")));
    const auto freeContext = reinterpret_cast<FreeContextFn>(reinterpret_cast<void*>(::GetProcAddress(authz, "AuthzFreeContext")));
    const auto freeManager = reinterpret_cast<FreeManagerFn>(reinterpret_cast<void*>(::GetProcAddress(authz, "AuthzFreeResourceManager")));
    if (!initManager || !initFromSid || !accessCheck || !freeContext || !freeManager) {
        failure = L"Authz routines are missing";
        return false;
    }
    AUTHZ_RESOURCE_MANAGER_HANDLE manager = nullptr;
    if (!initManager(AUTHZ_RM_FLAG_NO_AUDIT, nullptr, nullptr, nullptr, L"Quillon", &manager)) {
        failure = L"AuthzInitializeResourceManager failed, error " + std::to_wstring(::GetLastError());
        return false;
    }
    LUID noLuid{};
    AUTHZ_CLIENT_CONTEXT_HANDLE context = nullptr;
    bool ok = false;
    if (!initFromSid(AUTHZ_SKIP_TOKEN_GROUPS, packages, manager, nullptr, noLuid, nullptr, &context)) {
        failure = L"AuthzInitializeContextFromSid failed, error " + std::to_wstring(::GetLastError());
    } else {
        AUTHZ_ACCESS_REQUEST request{};
        request.DesiredAccess = MAXIMUM_ALLOWED;
        ACCESS_MASK replyGranted = 0;
        DWORD replyError = 0;
        AUTHZ_ACCESS_REPLY reply{};
        reply.ResultListLength = 1;
        reply.GrantedAccessMask = &replyGranted;
        reply.Error = &replyError;
        if (!accessCheck(0, context, &request, nullptr, descriptor, nullptr, 0, &reply, nullptr)) {
            failure = L"AuthzAccessCheck failed, error " + std::to_wstring(::GetLastError());
        } else {
            // Authz hands back generic rights as they stand in the ACEs; map them to the section's own.
            GENERIC_MAPPING mapping = SectionMapping();
            ::MapGenericMask(&replyGranted, &mapping);
            granted = replyError == ERROR_SUCCESS ? replyGranted : 0;
            ok = true;
        }
        freeContext(context);
    }
    freeManager(manager);
    return ok;
}

// AccessCheck refuses a descriptor without an owner or a group (Wine gives objects created without
// security such descriptors). For the check alone, SYSTEM stands in for what is missing; it holds no
// rights of the current token, so no implicit owner rights are invented for the caller.
class CheckableDescriptor {
public:
    explicit CheckableDescriptor(PSECURITY_DESCRIPTOR original) noexcept : original_(original), system_(L"S-1-5-18") {
        PSID owner = nullptr, group = nullptr;
        BOOL defaulted = FALSE;
        ::GetSecurityDescriptorOwner(original, &owner, &defaulted);
        ::GetSecurityDescriptorGroup(original, &group, &defaulted);
        if (owner && group) return;
        BOOL present = FALSE;
        PACL dacl = nullptr, sacl = nullptr;
        if (!system_.sid || !::InitializeSecurityDescriptor(&absolute_, SECURITY_DESCRIPTOR_REVISION)) return;
        ::SetSecurityDescriptorOwner(&absolute_, owner ? owner : system_.sid, FALSE);
        ::SetSecurityDescriptorGroup(&absolute_, group ? group : system_.sid, FALSE);
        if (::GetSecurityDescriptorDacl(original, &present, &dacl, &defaulted))
            ::SetSecurityDescriptorDacl(&absolute_, present, dacl, defaulted);
        if (::GetSecurityDescriptorSacl(original, &present, &sacl, &defaulted))
            ::SetSecurityDescriptorSacl(&absolute_, present, sacl, defaulted);
        substituted_ = true;
    }
    PSECURITY_DESCRIPTOR Get() noexcept { return substituted_ ? &absolute_ : original_; }
    bool Substituted() const noexcept { return substituted_; }

private:
    PSECURITY_DESCRIPTOR original_;
    LocalSid system_;
    SECURITY_DESCRIPTOR absolute_{};
    bool substituted_ = false;
};

}  // namespace

DWORD SecurityDescriptorCopy::Read(HANDLE section) noexcept {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = ::GetSecurityInfo(section, SE_KERNEL_OBJECT, kDescriptorParts, nullptr, nullptr, nullptr,
                                          nullptr, &descriptor);
    if (error == ERROR_SUCCESS) Adopt(descriptor);
    return error;
}

void SecurityDescriptorCopy::Adopt(PSECURITY_DESCRIPTOR descriptor) noexcept { descriptor_.Reset(descriptor); }

SectionFact OwnerFact(PSECURITY_DESCRIPTOR descriptor) {
    SectionFact fact{L"Owner", L"", true};
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner) {
        fact.available = false;
        fact.value = L"the descriptor names no owner";
        return fact;
    }
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256, domainLength = 256;
    SID_NAME_USE use;
    const std::wstring sid = SidText(owner);
    if (::LookupAccountSidW(nullptr, owner, name, &nameLength, domain, &domainLength, &use)) {
        fact.value = (domain[0] ? std::wstring(domain) + L"\\" : std::wstring()) + name + L" (" + sid + L")";
    } else {
        fact.value = L"unknown account (" + sid + L")";
    }
    return fact;
}

SectionFact IntegrityFact(PSECURITY_DESCRIPTOR descriptor) {
    SectionFact fact{L"Integrity", L"", true};
    const SYSTEM_MANDATORY_LABEL_ACE* label = FindLabel(descriptor);
    if (!label) {
        fact.value = L"none (medium by default)";
        return fact;
    }
    const DWORD level = LabelLevel(label);
    const wchar_t* name = LevelName(level);
    fact.value = (name ? std::wstring(name) : L"level " + std::to_wstring(level)) + L" (" +
                 SidText(const_cast<DWORD*>(&label->SidStart)) + L")";
    const ACCESS_MASK policy = label->Mask;
    if (policy & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) fact.value += L", no write up";
    if (policy & SYSTEM_MANDATORY_LABEL_NO_READ_UP) fact.value += L", no read up";
    if (policy & SYSTEM_MANDATORY_LABEL_NO_EXECUTE_UP) fact.value += L", no execute up";
    return fact;
}

SectionFact SddlFact(PSECURITY_DESCRIPTOR descriptor) {
    SectionFact fact{L"Security (SDDL)", L"", true};
    LPWSTR text = nullptr;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, kDescriptorParts, &text, nullptr)) {
        fact.available = false;
        fact.value = native::ReasonForError(::GetLastError());
        return fact;
    }
    const UniqueLocal owned(text);
    fact.value = text;
    // Some platforms (Wine) leave the label out of the text although the descriptor has one.
    if (fact.value.find(L"S:") == std::wstring::npos) fact.value += LabelSddl(descriptor);
    // ... and write a NULL DACL as a bare "D:", which would read as an empty one that denies all.
    const std::wstring::size_type dacl = fact.value.find(L"D:");
    if (dacl != std::wstring::npos && HasNullDacl(descriptor) &&
        (dacl + 2 == fact.value.size() || fact.value[dacl + 2] == L'S'))
        fact.value.insert(dacl + 2, L"NO_ACCESS_CONTROL");
    if (fact.value.empty()) fact.value = L"(empty: no owner, group, DACL or label)";
    return fact;
}

bool HasNullDacl(PSECURITY_DESCRIPTOR descriptor) noexcept {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) return false;
    return !present || dacl == nullptr;
}

ACCESS_MASK MandatoryPolicyDenied(PSECURITY_DESCRIPTOR descriptor, DWORD callerLevel) noexcept {
    const SYSTEM_MANDATORY_LABEL_ACE* label = FindLabel(descriptor);
    const DWORD objectLevel = label ? LabelLevel(label) : kMediumLevel;
    const ACCESS_MASK policy = label ? label->Mask : SYSTEM_MANDATORY_LABEL_NO_WRITE_UP;
    if (callerLevel >= objectLevel) return 0;
    ACCESS_MASK denied = 0;
    if (policy & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP)
        denied |= SECTION_MAP_WRITE | SECTION_EXTEND_SIZE | DELETE | WRITE_DAC | WRITE_OWNER;
    if (policy & SYSTEM_MANDATORY_LABEL_NO_READ_UP) denied |= SECTION_MAP_READ | SECTION_QUERY;
    if (policy & SYSTEM_MANDATORY_LABEL_NO_EXECUTE_UP) denied |= SECTION_MAP_EXECUTE;
    return denied;
}

ACCESS_MASK EvaluateDaclInOrder(PSECURITY_DESCRIPTOR descriptor, const PSID* sids, std::size_t count) noexcept {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) return 0;
    if (!present || !dacl) return SECTION_ALL_ACCESS | SYNCHRONIZE;
    GENERIC_MAPPING mapping = SectionMapping();
    ACCESS_MASK granted = 0;
    ACCESS_MASK denied = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) break;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE) continue;
        // Allowed and denied ACEs share one layout: header, mask, SID.
        const auto* body = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        PSID aceSid = const_cast<DWORD*>(&body->SidStart);
        bool matches = false;
        for (std::size_t k = 0; k < count && !matches; ++k) matches = ::EqualSid(aceSid, sids[k]) != FALSE;
        if (!matches) continue;
        ACCESS_MASK mask = body->Mask;
        ::MapGenericMask(&mask, &mapping);
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE)
            granted |= mask & ~denied;
        else
            denied |= mask & ~granted;
    }
    return granted;
}

SectionAccessSet ComputeSectionAccess(PSECURITY_DESCRIPTOR original) {
    SectionAccessSet set;
    CheckableDescriptor checkable(original);
    PSECURITY_DESCRIPTOR descriptor = checkable.Get();
    DWORD error = 0;
    UniqueHandle token = ImpersonationToken(error);
    if (!token) {
        const std::wstring reason = std::wstring(L"cannot copy your token: ") + native::ReasonForError(error);
        set.you.reason = set.lowIntegrity.reason = set.appContainer.reason = reason;
        return set;
    }
    if (CheckWithToken(descriptor, token.Get(), set.you)) set.you.method = L"AccessCheck with your token";

    // The same token at low integrity. Its figure is the platform's own answer; where that answer
    // ignores the mandatory label (Wine does), the note says what the label would take on Windows.
    TOKEN_MANDATORY_LABEL lowLabel{};
    LocalSid lowSid(L"S-1-16-4096");
    lowLabel.Label.Sid = lowSid.sid;
    lowLabel.Label.Attributes = SE_GROUP_INTEGRITY;
    if (!lowSid.sid || !::SetTokenInformation(token.Get(), TokenIntegrityLevel, &lowLabel,
                                              sizeof(lowLabel) + ::GetLengthSid(lowSid.sid))) {
        set.lowIntegrity.reason = std::wstring(L"cannot lower the token: ") + native::ReasonForError(::GetLastError());
    } else if (CheckWithToken(descriptor, token.Get(), set.lowIntegrity)) {
        set.lowIntegrity.method = L"AccessCheck with a low-integrity copy of your token";
        const ACCESS_MASK labelDenied = set.lowIntegrity.granted & MandatoryPolicyDenied(descriptor, kLowLevel);
        if (labelDenied != 0)
            set.lowIntegrity.method += L"; it ignored the mandatory label, whose policy would also deny " +
                                       DescribeSectionAccess(labelDenied);
    }

    // A sandboxed app passes two checks and gets what both grant: its user and groups at low
    // integrity, and its package SIDs, of which ALL APPLICATION PACKAGES stands for every app.
    if (!set.lowIntegrity.available) {
        set.appContainer.reason = set.lowIntegrity.reason;
        return set;
    }
    LocalSid packages(L"S-1-15-2-1");
    if (!packages.sid) {
        set.appContainer.reason = L"not supported here";
        return set;
    }
    ACCESS_MASK packageGranted = 0;
    std::wstring authzFailure;
    if (AuthzPackageAccess(descriptor, packages.sid, packageGranted, authzFailure)) {
        set.appContainer.method = L"Authz access check for ALL APPLICATION PACKAGES";
    } else {
        const PSID sids[] = {packages.sid};
        packageGranted = EvaluateDaclInOrder(descriptor, sids, 1);
        set.appContainer.method = L"DACL evaluated in order for ALL APPLICATION PACKAGES (" + authzFailure + L")";
    }
    set.appContainer.method += L", limited to what the low-integrity check grants";
    set.appContainer.available = true;
    set.appContainer.granted = packageGranted & set.lowIntegrity.granted;
    return set;
}

}  // namespace quillon

#include "inspect/section_report.h"

#include <windows.h>

#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "common/unique_resource.h"
#include "inspect/fact_text.h"
#include "inspect/handle_holders.h"
#include "inspect/native_calls.h"
#include "inspect/section_security.h"
#include "inspect/view_facts.h"

namespace quillon {

namespace {

SectionFact Available(const wchar_t* field, std::wstring value) { return SectionFact{field, std::move(value), true}; }
SectionFact Unavailable(const wchar_t* field, std::wstring reason) { return SectionFact{field, std::move(reason), false}; }

std::wstring ReasonForOpen(HRESULT status) {
    if (HRESULT_FACILITY(status) == FACILITY_WIN32) return native::ReasonForError(HRESULT_CODE(status));
    return L"the section cannot be opened";
}

// Each fact opens the section on its own, by its exact path, with the one right it needs (the Win32
// open would turn SECTION_QUERY into a request for reading).
NTSTATUS OpenForFact(const std::wstring& objectPath, ACCESS_MASK access, UniqueHandle& out) {
    return OpenSectionAtPath(objectPath, access, out);
}

std::wstring AccessText(const ComputedAccess& access, bool withMethod) {
    std::wstring text = DescribeSectionAccess(access.granted);
    if (withMethod && !access.method.empty()) text += L"\nchecked with: " + access.method;
    return text;
}

SectionFact AccessFact(const wchar_t* field, const ComputedAccess& access, bool withMethod) {
    return access.available ? Available(field, AccessText(access, withMethod)) : Unavailable(field, access.reason);
}

// Attributes and maximum size: SECTION_QUERY alone.
void AddBasics(const std::wstring& objectPath, SectionReport& report, std::uint32_t& attributes, bool& attributesKnown) {
    UniqueHandle section;
    const NTSTATUS opened = OpenForFact(objectPath, SECTION_QUERY, section);
    if (opened < 0) {
        const std::wstring reason = native::ReasonForStatus(opened);
        report.facts.push_back(Unavailable(L"Attributes", reason));
        report.facts.push_back(Unavailable(L"Maximum size", reason));
        return;
    }
    native::SectionBasicInformation info{};
    const NTSTATUS status = native::QuerySection(section.Get(), info);
    if (status < 0) {
        report.facts.push_back(Unavailable(L"Attributes", native::ReasonForStatus(status)));
        report.facts.push_back(Unavailable(L"Maximum size", native::ReasonForStatus(status)));
        return;
    }
    attributes = info.allocationAttributes;
    attributesKnown = true;
    report.facts.push_back(Available(L"Attributes", DescribeSectionAttributes(info.allocationAttributes)));
    report.facts.push_back(
        Available(L"Maximum size", FormatByteCount(static_cast<std::uint64_t>(info.maximumSize.QuadPart))));
}

// View size, regions and the backing file: a read-only view (FILE_MAP_READ).
void AddViewFacts(std::wstring_view listName, SectionReport& report, std::uint32_t attributes, bool attributesKnown) {
    const std::wstring name(listName);
    SectionView view;
    const HRESULT opened = view.Open(name.c_str());
    const bool fileBacked = attributesKnown && (attributes & SEC_FILE) != 0;
    if (opened < 0) {
        const std::wstring reason = ReasonForOpen(opened);
        report.facts.push_back(Unavailable(L"View size", reason));
        report.facts.push_back(Unavailable(L"Regions", reason));
        // The attributes alone can tell that no file is behind the section.
        if (attributesKnown && !fileBacked)
            report.facts.push_back(Available(L"Backing file", L"none (paging file)"));
        else
            report.facts.push_back(Unavailable(L"Backing file", reason));
        return;
    }
    report.facts.push_back(Available(L"View size", FormatByteCount(view.Size())));
    report.regions = CollectViewRegions(view.Base());
    report.facts.push_back(Available(L"Regions", DescribeRegions(report.regions)));
    unsigned long error = 0;
    const std::wstring path = MappedFileDrivePath(view.Base(), error);
    if (!path.empty())
        report.facts.push_back(Available(L"Backing file", path));
    else if (fileBacked)
        report.facts.push_back(Unavailable(L"Backing file", native::ReasonForError(error)));
    else
        report.facts.push_back(Available(L"Backing file", L"none (paging file)"));
}

// Owner, label, SDDL and the three access figures: READ_CONTROL.
void AddSecurityFacts(const std::wstring& objectPath, SectionReport& report) {
    static const wchar_t* const kFields[] = {L"Owner", L"Integrity", L"Security (SDDL)", L"Access for you",
                                             L"Access at low integrity", L"Access for AppContainers"};
    UniqueHandle section;
    const NTSTATUS opened = OpenForFact(objectPath, READ_CONTROL, section);
    SecurityDescriptorCopy descriptor;
    std::wstring reason;
    if (opened < 0) {
        reason = native::ReasonForStatus(opened);
    } else if (const DWORD error = descriptor.Read(section.Get())) {
        reason = native::ReasonForError(error);
    }
    if (!reason.empty()) {
        for (const wchar_t* field : kFields) report.facts.push_back(Unavailable(field, reason));
        return;
    }
    report.facts.push_back(OwnerFact(descriptor.Get()));
    report.facts.push_back(IntegrityFact(descriptor.Get()));
    report.facts.push_back(SddlFact(descriptor.Get()));
    const SectionAccessSet access = ComputeSectionAccess(descriptor.Get());
    report.facts.push_back(AccessFact(L"Access for you", access.you, false));
    report.facts.push_back(AccessFact(L"Access at low integrity", access.lowIntegrity, true));
    report.facts.push_back(AccessFact(L"Access for AppContainers", access.appContainer, true));

    if (access.lowIntegrity.available && (access.lowIntegrity.granted & kWriteRights))
        report.warnings.push_back(L"A low-integrity process can write to this section.");
    if (access.appContainer.available && (access.appContainer.granted & kWriteRights))
        report.warnings.push_back(L"AppContainer apps can write to this section.");
    if (HasNullDacl(descriptor.Get()))
        report.warnings.push_back(L"The section has a NULL DACL: every caller gets full access.");
}

// Handles: a handle of our own with any access the section grants serves as the probe.
SectionFact HandlesFact(const std::wstring& objectPath, const std::atomic<bool>* cancel) {
    UniqueHandle probe;
    for (ACCESS_MASK access : {static_cast<ACCESS_MASK>(SECTION_QUERY), static_cast<ACCESS_MASK>(READ_CONTROL),
                               static_cast<ACCESS_MASK>(SECTION_MAP_READ), static_cast<ACCESS_MASK>(SYNCHRONIZE)}) {
        if (OpenForFact(objectPath, access, probe) >= 0) break;
    }
    const HandleWalk walk = FindSectionHolders(objectPath, probe.Get(), cancel);
    if (walk.cancelled) return Unavailable(L"Handles", L"the search was stopped");
    return walk.available ? Available(L"Handles", DescribeHolders(walk)) : Unavailable(L"Handles", walk.reason);
}

}  // namespace

SectionReport GatherSectionReportWithoutHandles(std::wstring_view listName) {
    SectionReport report;
    try {
        report.facts.push_back(Available(L"Name", std::wstring(listName)));
        SectionLocation location;
        if (!LocateSection(listName, OwnSessionId(), location)) {
            static const wchar_t* const kRest[] = {
                L"Object path", L"Attributes", L"Maximum size", L"View size", L"Regions", L"Backing file", L"Owner",
                L"Integrity", L"Security (SDDL)", L"Access for you", L"Access at low integrity",
                L"Access for AppContainers", L"Handles"};
            for (const wchar_t* field : kRest) report.facts.push_back(Unavailable(field, L"not a section name"));
            return report;
        }
        report.facts.push_back(Available(L"Object path", EscapeObjectName(location.objectPath)));
        std::uint32_t attributes = 0;
        bool attributesKnown = false;
        AddBasics(location.objectPath, report, attributes, attributesKnown);
        AddViewFacts(listName, report, attributes, attributesKnown);
        AddSecurityFacts(location.objectPath, report);
        report.facts.push_back(Unavailable(L"Handles", kHandlesPending));
    } catch (...) {
        report.warnings.push_back(L"Not every fact could be gathered: out of memory.");
    }
    return report;
}

SectionFact GatherHandlesFact(std::wstring_view listName, const std::atomic<bool>* cancel) {
    try {
        SectionLocation location;
        if (!LocateSection(listName, OwnSessionId(), location)) return Unavailable(L"Handles", L"not a section name");
        return HandlesFact(location.objectPath, cancel);
    } catch (...) {
        return Unavailable(L"Handles", L"out of memory");
    }
}

SectionReport GatherSectionReport(std::wstring_view listName) {
    SectionReport report = GatherSectionReportWithoutHandles(listName);
    for (SectionFact& fact : report.facts)
        if (fact.field == L"Handles" && !fact.available && fact.value == kHandlesPending)
            fact = GatherHandlesFact(listName);
    return report;
}

std::wstring FactDisplayValue(const SectionFact& fact) {
    return fact.available ? fact.value : L"unavailable: " + fact.value;
}

std::wstring FormatReportText(const SectionReport& report) {
    std::wstring text;
    auto addLines = [&text](const std::wstring& head, const std::wstring& value) {
        text += head;
        for (wchar_t c : value) {
            if (c == L'\n')
                text += L"\r\n    ";
            else
                text.push_back(c);
        }
        text += L"\r\n";
    };
    for (const SectionFact& fact : report.facts) addLines(fact.field + L": ", FactDisplayValue(fact));
    for (const std::wstring& warning : report.warnings) addLines(L"Warning: ", warning);
    return text;
}

}  // namespace quillon

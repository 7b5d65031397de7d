#pragma once
// Who may reach a section: its owner, mandatory label, security descriptor as SDDL, and the access
// three kinds of caller get: the current token, a copy of it lowered to low integrity, and a
// sandboxed app (ALL APPLICATION PACKAGES at low integrity).
#include <windows.h>

#include <string>

#include "common/unique_resource.h"
#include "inspect/section_report.h"

namespace quillon {

// A self-relative copy of a section's owner, group, DACL and label.
class SecurityDescriptorCopy {
public:

    // Reads the descriptor of a handle opened with READ_CONTROL. Returns the Win32 error, 0 on success.
    DWORD Read(HANDLE section) noexcept;
    // Takes ownership of a descriptor made elsewhere (tests build them from SDDL).
    void Adopt(PSECURITY_DESCRIPTOR descriptor) noexcept;
    PSECURITY_DESCRIPTOR Get() const noexcept { return descriptor_.Get(); }

private:
    UniqueLocal descriptor_;
};

// What a reviewer reads off a descriptor, each as a report fact.
SectionFact OwnerFact(PSECURITY_DESCRIPTOR descriptor);
SectionFact IntegrityFact(PSECURITY_DESCRIPTOR descriptor);
SectionFact SddlFact(PSECURITY_DESCRIPTOR descriptor);

// True when the descriptor has no DACL at all or a NULL one: anyone may do anything.
bool HasNullDacl(PSECURITY_DESCRIPTOR descriptor) noexcept;

// The rights a section grants, for the three callers, and how each was computed.
struct ComputedAccess {
    bool available = false;
    ACCESS_MASK granted = 0;
    std::wstring reason;   // when !available
    std::wstring method;   // how the figure was reached, for the report's note
};

struct SectionAccessSet {
    ComputedAccess you;
    ComputedAccess lowIntegrity;
    ComputedAccess appContainer;
};

SectionAccessSet ComputeSectionAccess(PSECURITY_DESCRIPTOR descriptor);

// The right that makes a section writable: a view mapped for writing.
constexpr ACCESS_MASK kWriteRights = SECTION_MAP_WRITE;

// The rights the mandatory label's policy takes from a caller at `callerLevel` (an integrity RID):
// writes when the object's level (explicit, or medium when unlabelled) is higher and no-write-up is
// set, likewise reads and executes.
ACCESS_MASK MandatoryPolicyDenied(PSECURITY_DESCRIPTOR descriptor, DWORD callerLevel) noexcept;

// The rights a DACL grants a caller whose only SIDs are `sids`, ACE by ACE in order, as the system
// evaluates it (no owner rights, no privileges).
ACCESS_MASK EvaluateDaclInOrder(PSECURITY_DESCRIPTOR descriptor, const PSID* sids, std::size_t count) noexcept;

}  // namespace quillon

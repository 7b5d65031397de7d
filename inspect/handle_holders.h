#pragma once
// Who holds a section: the system's handle table, filtered to section handles, matched to one
// section by object address where the system gives it, else by duplicating each section handle
// and comparing its object name.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

struct HandleHolder {
    DWORD processId = 0;
    std::wstring imageName;   // empty when the process list does not name it
    ULONG_PTR handle = 0;     // the handle's value inside its process
    ACCESS_MASK grantedAccess = 0;
};

struct HandleWalk {
    bool available = false;
    std::wstring reason;                   // when !available
    std::vector<HandleHolder> holders;     // in the order of the handle table
    std::size_t handlesInTable = 0;        // every handle of every process
    std::size_t sectionHandles = 0;        // of those, the section handles looked at
    std::size_t processesNotOpened = 0;    // processes whose handles could not be duplicated
    std::size_t handlesNotNamed = 0;       // section handles whose name could not be read
    bool matchedByAddress = false;         // true when object addresses decided, no duplication
    // True when the system names this section's handles after the file behind it (Wine does), so
    // handles were matched by that file's name and sections over the same file count as well.
    bool matchedByFileName = false;
};

// Every handle, in any process, to the section at `objectPath` (its exact object-namespace path).
// `probe`, when not null, is a handle of this process to that section: it gives the section type's
// index and the object's address, and is itself left out of the result. Only handles of the section
// type are ever duplicated or named, so no handle whose name query can block is touched.
HandleWalk FindSectionHolders(const std::wstring& objectPath, HANDLE probe);

// "process 1234 (app.exe), handle 0x1A4: query, map read (0x00000005)" lines, then the reason the
// list is incomplete when it is; "none" when there is no holder and nothing was missed.
std::wstring DescribeHolders(const HandleWalk& walk);

}  // namespace quillon

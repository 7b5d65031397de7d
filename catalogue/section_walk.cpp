#include "catalogue/section_walk.h"

#include <string>
#include <vector>

namespace quillon {

namespace {

// Session directories are named by the id in decimal; anything else under \Sessions (BNOLINKS, ...)
// is not a session.
bool IsSessionDirectoryName(const std::wstring& name) noexcept {
    if (name.empty() || name.size() > 10) return false;
    for (wchar_t c : name)
        if (c < L'0' || c > L'9') return false;
    return true;
}

bool Contains(const std::vector<std::wstring>& names, const wchar_t* name) {
    for (const std::wstring& n : names)
        if (n == name) return true;
    return false;
}

// Every session directory under \Sessions other than the own one, then the AppContainer directories of
// every session (the own one included: its plain rows hold only its BaseNamedObjects). Each step goes
// only into entries the parent lists as "Directory", so a symbolic link is never followed; a directory
// that cannot be opened lists nothing.
void EnumerateOtherNamespaces(unsigned long ownSessionId, SectionSink& sink) {
    // Compared as text: the own rows come from exactly this directory name, and "01" would be another.
    const std::wstring ownId = std::to_wstring(ownSessionId);
    for (const std::wstring& idText : SubDirectoryNames(L"\\Sessions")) {
        if (!IsSessionDirectoryName(idText)) continue;
        const std::wstring sessionPath = L"\\Sessions\\" + idText;
        const std::vector<std::wstring> children = SubDirectoryNames(sessionPath.c_str());
        if (idText != ownId && Contains(children, L"BaseNamedObjects")) {
            const std::wstring prefix = L"Session\\" + idText + L"\\";
            EnumerateDirectory((sessionPath + L"\\BaseNamedObjects").c_str(), prefix.c_str(), sink);
        }
        if (!Contains(children, L"AppContainerNamedObjects")) continue;
        const std::wstring containersPath = sessionPath + L"\\AppContainerNamedObjects";
        for (const std::wstring& sid : SubDirectoryNames(containersPath.c_str())) {
            const std::wstring prefix = L"AppContainer\\" + idText + L"\\" + sid + L"\\";
            EnumerateDirectory((containersPath + L"\\" + sid).c_str(), prefix.c_str(), sink);
        }
    }
}

}  // namespace

void EnumerateSectionNames(unsigned long sessionId, bool allNamespaces, SectionSink& sink) noexcept {
    EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, sink);
    try {
        const std::wstring sessionPath = SessionDirectoryPath(sessionId);
        EnumerateDirectory(sessionPath.c_str(), nullptr, sink);
        if (allNamespaces) EnumerateOtherNamespaces(sessionId, sink);
    } catch (...) {
        // Without memory for a path the remaining directories simply add no rows.
    }
}

}  // namespace quillon

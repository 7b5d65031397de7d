#include "catalogue/section_walk.h"

#include <string>

namespace quillon {

void EnumerateSectionNames(unsigned long sessionId, bool allNamespaces, SectionSink& sink) noexcept {
    EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, sink);
    try {
        const std::wstring sessionPath = SessionDirectoryPath(sessionId);
        EnumerateDirectory(sessionPath.c_str(), nullptr, sink);
    } catch (...) {
        // Without memory for the path the session directory simply adds no rows.
    }
    (void)allNamespaces;  // the other namespaces are walked in a later change
}

}  // namespace quillon

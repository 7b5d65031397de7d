#pragma once
// The walk that makes the list: every directory a Refresh reads, in the list's order. The window and
// the console program both list through it, so their rows agree.
#include "catalogue/object_directory.h"

namespace quillon {

// Hands `sink` every section of "\BaseNamedObjects" (as "Global\<name>"), then of the session's own
// directory (bare names). With `allNamespaces`, the other namespaces the user can read follow.
// ResolveNativeDirectoryRoutines must have been called first.
void EnumerateSectionNames(unsigned long sessionId, bool allNamespaces, SectionSink& sink) noexcept;

}  // namespace quillon

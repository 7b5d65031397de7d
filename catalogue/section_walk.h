#pragma once
// The walk that makes the list: every directory a Refresh reads, in the list's order. The window and
// the console program both list through it, so their rows agree.
#include "catalogue/object_directory.h"

namespace quillon {

// Hands `sink` every section of "\BaseNamedObjects" (as "Global\<name>"), then of the session's own
// directory (bare names). With `allNamespaces`, the other namespaces the user can read follow: every
// other session's "\Sessions\<id>\BaseNamedObjects" as "Session\<id>\<name>", then every
// "\Sessions\<id>\AppContainerNamedObjects\<sid>" as "AppContainer\<id>\<sid>\<name>", sessions
// in the order "\Sessions" lists them. Only entries listed as directories are entered (a symbolic link
// is never followed), and a directory that cannot be opened is skipped without a word.
// ResolveNativeDirectoryRoutines must have been called first.
void EnumerateSectionNames(unsigned long sessionId, bool allNamespaces, SectionSink& sink) noexcept;

}  // namespace quillon

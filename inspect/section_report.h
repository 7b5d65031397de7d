#pragma once
// Everything Quillon can learn about one named section, gathered with no window: what the section
// is (attributes, sizes, regions, backing file), who may reach it (owner, label, security and the
// access a normal, a low-integrity and a sandboxed caller gets) and who holds it (handles).
// The Properties dialog and the console program's "info" show the same report.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct SectionFact {
    std::wstring field;      // the label: "Name", "Object path", ... "Handles"
    std::wstring value;      // the text shown; when !available, the reason alone ("access denied")
    bool available = true;   // shown as "unavailable: <reason>" when false
};

// One run of pages of the view with the same state and protection, as offsets from the view's base.
enum class RegionState { Committed, Reserved };
struct ViewRegion {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    RegionState state = RegionState::Committed;
    bool readable = false;
};

struct SectionReport {
    std::vector<SectionFact> facts;        // in the order the dialog shows them
    std::vector<std::wstring> warnings;    // what a reviewer must not miss; empty when nothing
    std::vector<ViewRegion> regions;       // the whole view's regions in order; empty when not mapped
};

// Gathers the report for the section a row of the list names (any of the row-name forms of
// catalogue/section_name.h). Each fact opens the section with the least access it needs, on its
// own, so a denial hides only the facts that need that access. Never throws.
SectionReport GatherSectionReport(std::wstring_view listName);

// The report as text: one "Field: value" line per fact (a multi-line value continues on lines
// indented by four spaces; an unavailable fact reads "unavailable: <reason>"), then one
// "Warning: ..." line per warning; CRLF line ends. Exactly what the dialog's Copy puts on the
// clipboard.
std::wstring FormatReportText(const SectionReport& report);

// The text the value column shows for a fact.
std::wstring FactDisplayValue(const SectionFact& fact);

}  // namespace quillon

// quillon-cli list: the window's rows, from the same walk and the same open path.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/section_entry.h"
#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "cli/number_text.h"
#include "cli/section_access.h"
#include "cli/utf8.h"

namespace quillon::cli {

namespace {

struct Row {
    std::wstring name;
    std::uint64_t size = 0;
    HRESULT status = S_OK;
};

// Measures each section as the walk finds it, as the window's list does, and hands the row on.
class RowSink final : public SectionSink {
public:
    explicit RowSink(std::function<void(const Row&)> emit) : emit_(std::move(emit)) {}

    void OnSection(const wchar_t* nameText, std::size_t length) override {
        try {
            // The walk hands the row's name: an embedded NUL already shows as "\0", which the open
            // path decodes again.
            row_.name.assign(nameText, length);
            SectionView view;
            row_.status = view.Open(row_.name.c_str());
            row_.size = row_.status >= 0 ? view.Size() : 0;
            emit_(row_);
        } catch (...) {
            failed_ = true;  // out of memory: the listing is incomplete, which the exit code says
        }
    }
    bool Failed() const noexcept { return failed_; }

private:
    std::function<void(const Row&)> emit_;
    Row row_;
    bool failed_ = false;
};

std::string SizeText(const Row& row) {
    return row.status >= 0 ? HexText(row.size) : ToUtf8(kAccessDeniedText);
}

void WriteTsv(const Row& row, ConsoleStream& out) { out << row.name << '\t' << SizeText(row) << '\n'; }

void WriteJson(const Row& row, JsonWriter& w) {
    w.BeginObject();
    w.Key(L"name");
    w.String(row.name);
    w.Key(L"size");
    if (row.status >= 0)
        w.Number(row.size);
    else
        w.Null();
    w.Key(L"sizeText");
    w.String(std::string_view(SizeText(row)));
    w.Key(L"status");
    w.String(std::string_view(StatusText(row.status)));
    w.EndObject();
}

// Name and Size in two columns; the name column as wide as the longest name.
void PrintAligned(const std::vector<Row>& rows, ConsoleStream& out) {
    std::size_t width = 4;
    std::vector<std::string> names;
    names.reserve(rows.size());
    std::vector<std::size_t> lengths;
    lengths.reserve(rows.size());
    for (const Row& row : rows) {
        names.push_back(ToUtf8(row.name));
        // Columns line up by characters: count the UTF-8 lead bytes.
        std::size_t characters = 0;
        for (unsigned char c : names.back()) characters += (c & 0xC0) != 0x80;
        lengths.push_back(characters);
        if (characters > width) width = characters;
    }
    out << "Name" << std::string(width - 4 + 2, ' ') << "Size\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out << names[i] << std::string(width - lengths[i] + 2, ' ') << SizeText(rows[i]) << '\n';
}

}  // namespace

int RunList(const Invocation& invocation, CliContext& context) {
    ResolveNativeDirectoryRoutines();
    const bool allNamespaces = invocation.Has(L"--all-namespaces");
    const std::wstring format = invocation.Text(L"--format", L"text");
    const unsigned long session = OwnSessionId();
    bool failed = false;
    if (format == L"json") {
        JsonWriter writer(context.out.Buffer());
        writer.BeginArray();
        RowSink sink([&](const Row& row) {
            WriteJson(row, writer);
            context.out.FlushIfFull();
        });
        EnumerateSectionNames(session, allNamespaces, sink);
        writer.EndArray();
        context.out << '\n';
        failed = sink.Failed();
    } else if (format == L"tsv") {
        RowSink sink([&](const Row& row) { WriteTsv(row, context.out); });
        EnumerateSectionNames(session, allNamespaces, sink);
        failed = sink.Failed();
    } else {
        std::vector<Row> rows;
        RowSink sink([&](const Row& row) { rows.push_back(row); });
        EnumerateSectionNames(session, allNamespaces, sink);
        PrintAligned(rows, context.out);
        failed = sink.Failed();
    }
    if (failed) {
        context.Error(L"list", "out of memory; the list is incomplete");
        return kExitNothing;
    }
    return kExitDone;
}

}  // namespace quillon::cli

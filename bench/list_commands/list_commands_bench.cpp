// Sorting and finding on a large section list.
//   list_commands_bench.exe [N] [rounds]   (default 10000 rows, 3 rounds)
// Fills a real, visible section list with N rows of catalogue-like texts in random order (inserted
// directly: the figures are about the list, not about how the rows were found), then per round:
//   sort by name and by size the way a header click does, each from a shuffled list, until the list
//   has repainted;
//   a Find Next that scans every row of both columns without a match.
// Then the parts the time goes to: reading one column's texts, setting the rows' item data,
// LVM_SORTITEMS alone, painting, and, for comparison, LVM_SORTITEMSEX reading texts per comparison.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "catalogue/list_rows.h"
#include "catalogue/quillon_view.h"
#include "catalogue/section_entry.h"
#include "catalogue/sort_rows.h"
#include "shell/find_search.h"
#include "shell/frame_commands.h"
#include "tests/support/test_windows.h"

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

std::vector<SectionEntry> MakeRows(int count, std::mt19937& random) {
    static const wchar_t* const kWords[] = {L"Local", L"Session", L"Cache", L"Shared", L"Mapping", L"SM0",
                                            L"WilStaging", L"msctf", L"Font", L"Perf", L"ddraw", L"Config"};
    std::vector<SectionEntry> rows;
    for (int i = 0; i < count; ++i) {
        std::wstring name = (random() % 3 == 0) ? L"Global\\" : L"";
        name += kWords[random() % 12];
        name += (random() % 2) ? L"_" : L":";
        name += kWords[random() % 12];
        name += L"_" + std::to_wstring(random() % 100000) + L"_" + std::to_wstring(i);
        std::wstring size = (random() % 12 == 0) ? std::wstring(kAccessDeniedText)
                                                 : FormatSizeText(4096ull * (1 + random() % 4096));
        rows.push_back({name, size});
    }
    return rows;
}

void Fill(HWND list, const std::vector<SectionEntry>& rows) {
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(rows[i].name.c_str());
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(rows[i].size.c_str());
        ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    test::PumpMessages();
}

int BadPairs(HWND list, DWORD state) {
    const int column = static_cast<int>(state & kSortColumnMask);
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    int bad = 0;
    std::wstring previous = ReadCellText(list, 0, column);
    for (int row = 1; row < count; ++row) {
        std::wstring text = ReadCellText(list, row, column);
        if (CompareCellTexts(previous, text, state) > 0) ++bad;
        previous.swap(text);
    }
    return bad;
}

struct Snapshot {
    std::vector<std::wstring> texts;
    DWORD state;
    long comparisons = 0;
};

int CALLBACK CompareSnapshot(LPARAM a, LPARAM b, LPARAM context) {
    auto* snapshot = reinterpret_cast<Snapshot*>(context);
    ++snapshot->comparisons;
    return CompareCellTexts(snapshot->texts[static_cast<std::size_t>(a)], snapshot->texts[static_cast<std::size_t>(b)],
                            snapshot->state);
}

struct ByIndex {
    HWND list;
    DWORD state;
    long comparisons = 0;
};

int CALLBACK CompareByIndex(LPARAM i, LPARAM j, LPARAM context) {
    auto* sort = reinterpret_cast<ByIndex*>(context);
    ++sort->comparisons;
    const int column = static_cast<int>(sort->state & kSortColumnMask);
    return CompareCellTexts(ReadCellText(sort->list, static_cast<int>(i), column),
                            ReadCellText(sort->list, static_cast<int>(j), column), sort->state);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 10000;
    const int rounds = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 3;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);

    test::TestParentWindow host(1000, 700);
    CQuillonView view;
    view.Create(host.Get());
    ::MoveWindow(view.Window(), 0, 0, 980, 660, TRUE);
    view.InsertColumns();
    HWND list = view.Window();

    std::mt19937 random(4242);
    std::vector<SectionEntry> rows = MakeRows(count, random);
    std::printf("%d rows, %d rounds (times in ms)\n", count, rounds);
    std::printf("round  sort-by-name  sort-by-size  find-no-match\n");
    DWORD state = 0;
    for (int round = 1; round <= rounds; ++round) {
        std::shuffle(rows.begin(), rows.end(), random);
        Fill(list, rows);
        auto start = Clock::now();
        RunSortCommand(list, 0, state);
        ::UpdateWindow(list);
        const double byName = Ms(start);
        const int badName = BadPairs(list, state);

        std::shuffle(rows.begin(), rows.end(), random);
        Fill(list, rows);
        start = Clock::now();
        RunSortCommand(list, 1, state);
        ::UpdateWindow(list);
        const double bySize = Ms(start);
        const int badSize = BadPairs(list, state);

        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        FindQuery query{L"no row holds this", false, true};
        start = Clock::now();
        const int found = FindRowInList(list, query);
        const double find = Ms(start);
        std::printf("%5d  %12.1f  %12.1f  %13.1f   (bad pairs %d/%d, found %d)\n", round, byName, bySize, find, badName,
                    badSize, found);
    }

    // Where the time goes, on a shuffled list.
    std::printf("\nparts of one sort by name:\n");
    std::shuffle(rows.begin(), rows.end(), random);
    Fill(list, rows);
    Snapshot snapshot{{}, 0};
    auto start = Clock::now();
    for (int row = 0; row < count; ++row) snapshot.texts.push_back(ReadCellText(list, row, 0));
    std::printf("  read the column's texts (%d LVM_GETITEMTEXTW)   %8.1f\n", count, Ms(start));
    start = Clock::now();
    for (int row = 0; row < count; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = row;
        ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    std::printf("  set each row's item data (%d LVM_SETITEMW)      %8.1f\n", count, Ms(start));
    start = Clock::now();
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < count; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = row;
        ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    std::printf("  the same with redraw off                          %8.1f\n", Ms(start));
    start = Clock::now();
    ::SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&snapshot), reinterpret_cast<LPARAM>(&CompareSnapshot));
    std::printf("  LVM_SORTITEMS over the snapshot (%ld comparisons) %8.1f\n", snapshot.comparisons, Ms(start));
    std::vector<std::size_t> order(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    start = Clock::now();
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return CompareCellTexts(snapshot.texts[a], snapshot.texts[b], 0) < 0; });
    std::printf("  the same comparisons in std::sort, no control     %8.1f\n", Ms(start));
    start = Clock::now();
    ::UpdateWindow(list);
    test::PumpMessages();
    std::printf("  repaint of the visible rows afterwards            %8.1f\n", Ms(start));

    std::printf("\nfor comparison, LVM_SORTITEMSEX reading texts by index per comparison:\n");
    for (DWORD exState : {0ul, 1ul}) {
        std::shuffle(rows.begin(), rows.end(), random);
        Fill(list, rows);
        ByIndex byIndex{list, exState};
        start = Clock::now();
        ::SendMessageW(list, LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&byIndex), reinterpret_cast<LPARAM>(&CompareByIndex));
        const double ms = Ms(start);
        std::printf("  by %s: %8.1f ms, %ld comparisons, %d bad pairs\n", exState ? "size" : "name", ms,
                    byIndex.comparisons, BadPairs(list, exState));
    }
    return 0;
}

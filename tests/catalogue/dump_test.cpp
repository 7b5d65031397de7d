// Edit > Dump driven through the frame's hook, with the real Save dialog answered from a timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/dump_file.h"
#include "catalogue/section_name.h"
#include "common/clipboard.h"
#include "shell/find_search.h"
#include "shell/frame_commands.h"
#include "tests/catalogue/list_fixture.h"
#include "tests/support/byte_assertions.h"
#include "tests/support/test_files.h"
#include "tests/support/test_namespace.h"

namespace quillon::test {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13 of the Explorer-style dialog
constexpr int kFilterBox = 0x470;    // cmb1

std::string Pattern(const TestSection& section, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(section.ExpectedByte(k));
    return bytes;
}

// What the Save dialog showed when it opened.
struct SaveDialogSeen {
    int count = 0;
    HWND owner = nullptr;
    std::wstring fileName;
    std::wstring filter;
};

class DumpTest : public ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        temp_ = temp;
        // Process ids repeat between runs under Wine; the clock keeps an old run's folder out of the way.
        directory_ = temp_ + UniqueName(L"ql_dump") + L"_" + std::to_wstring(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryW(directory_.c_str(), nullptr)) << "error " << ::GetLastError();
    }
    void TearDown() override {
        // The Save dialog made the folder the current directory, which would keep it from going.
        ::SetCurrentDirectoryW(temp_.c_str());
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((directory_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") ::DeleteFileW((directory_ + L"\\" + name).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        EXPECT_TRUE(::RemoveDirectoryW(directory_.c_str())) << "error " << ::GetLastError();
    }

    std::wstring PathOf(const std::wstring& name) const { return directory_ + L"\\" + name; }

    // Runs the Dump command. The Save dialog, if it opens, gets `typed` as the file name (or Cancel when
    // `typed` is empty) after `beforeSave` ran; an overwrite prompt is answered Yes; every other message
    // box is recorded and closed.
    void RunDump(const std::wstring& typed, const std::function<void()>& beforeSave = nullptr) {
        ModalAnswerer answerer([&](HWND dialog) {
            if (IsMessageBox(dialog)) {
                if (::GetWindow(dialog, GW_OWNER) != Frame() && ::GetDlgItem(dialog, IDYES)) {
                    ++overwritePrompts_;
                    AnswerMessageBox(dialog, IDYES);
                } else {
                    boxes_.push_back(AnswerMessageBox(dialog));
                }
                return true;
            }
            HWND nameBox = ::GetDlgItem(dialog, kFileNameBox);
            if (!nameBox) return false;
            ++save_.count;
            save_.owner = ::GetWindow(dialog, GW_OWNER);
            save_.fileName = WindowText(nameBox);
            save_.filter = WindowText(::GetDlgItem(dialog, kFilterBox));
            if (beforeSave) beforeSave();
            if (typed.empty()) {
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                ::SetWindowTextW(nameBox, typed.c_str());
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            return true;
        });
        RunDumpCommand(Frame(), List());
        PumpMessages();
    }

    std::wstring temp_;
    std::wstring directory_;
    SaveDialogSeen save_;
    std::vector<SeenBox> boxes_;
    int overwritePrompts_ = 0;
};

TEST_F(DumpTest, FileHoldsExactlyTheSectionsBytesEvenAfterItsCreatorClosesIt) {
    SectionOptions options;
    options.size = 3 * 4096;
    options.seed = 11;
    TestSection& section = AddSection(L"QlDump", options);
    const std::string expected = Pattern(section, options.size);
    ASSERT_TRUE(SameBytes(section.Contents(), expected));
    Select({0});

    // The creator lets go while the dialog is open: the dump's own view keeps the bytes alive.
    RunDump(PathOf(L"whole"), [&] { section.Close(); });

    EXPECT_EQ(save_.count, 1);
    EXPECT_EQ(save_.owner, Frame());
    EXPECT_EQ(save_.fileName, L"Quill");
    EXPECT_EQ(save_.filter, L"Binary File (*.BIN)");
    EXPECT_TRUE(boxes_.empty());
    // The default extension is added to a name typed without one.
    EXPECT_FALSE(FileExists(PathOf(L"whole")));
    EXPECT_TRUE(SameBytes(ReadFileBytes(PathOf(L"whole.bin")), expected));
}

TEST_F(DumpTest, HundredByteSectionDumpsOneWholePage) {
    SectionOptions options;
    options.size = 100;
    options.seed = 3;
    const TestSection& section = AddSection(L"QlDump100", options);
    Select({0});
    RunDump(PathOf(L"small.bin"));
    const std::string bytes = ReadFileBytes(PathOf(L"small.bin"));
    ASSERT_EQ(bytes.size(), 4096u);
    EXPECT_TRUE(SameBytes(bytes.substr(0, 100), Pattern(section, 100)));
    EXPECT_TRUE(SameBytes(bytes.substr(100), std::string(4096 - 100, '\0')));
}

TEST_F(DumpTest, ConfirmedOverwriteReplacesTheFile) {
    SectionOptions options;
    options.seed = 200;
    const TestSection& section = AddSection(L"QlDumpOver", options);
    ASSERT_TRUE(WriteFileBytes(PathOf(L"over.bin"), std::string(10000, '\xEE')));
    Select({0});
    RunDump(PathOf(L"over.bin"));
    EXPECT_EQ(overwritePrompts_, 1);
    EXPECT_TRUE(SameBytes(ReadFileBytes(PathOf(L"over.bin")), Pattern(section, 4096)));
}

TEST_F(DumpTest, TheSelectedRowWithTheLowestIndexIsDumped) {
    std::vector<const TestSection*> rows;
    for (unsigned char seed : {21, 22, 23}) {
        SectionOptions options;
        options.seed = seed;
        rows.push_back(&AddSection(L"QlDumpSel", options));
    }
    Select({2, 1});
    RunDump(PathOf(L"lowest.bin"));
    EXPECT_TRUE(SameBytes(ReadFileBytes(PathOf(L"lowest.bin")), Pattern(*rows[1], 4096)));
}

TEST_F(DumpTest, GlobalRowOpensTheGlobalObjectNotItsSessionNamesake) {
    const std::wstring name = UniqueName(L"QlDumpTwin");
    SectionOptions globalOptions;
    globalOptions.global = true;
    globalOptions.seed = 40;
    SectionOptions sessionOptions;
    sessionOptions.seed = 90;
    sections_.emplace_back(name, globalOptions);
    sections_.emplace_back(name, sessionOptions);
    const TestSection& global = sections_[0];
    const TestSection& session = sections_[1];
    ASSERT_TRUE(global.IsValid() && session.IsValid());
    ASSERT_EQ(global.Name(), L"Global\\" + name);
    view_.AppendSection(global.Name().c_str());
    view_.AppendSection(session.Name().c_str());

    Select({0});
    RunDump(PathOf(L"global.bin"));
    EXPECT_TRUE(SameBytes(ReadFileBytes(PathOf(L"global.bin")), Pattern(global, 4096)));

    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    Select({1});
    RunDump(PathOf(L"session.bin"));
    EXPECT_TRUE(SameBytes(ReadFileBytes(PathOf(L"session.bin")), Pattern(session, 4096)));
}

TEST_F(DumpTest, DeniedRowShowsCannotOpenSectionAndNoDialog) {
    SectionOptions options;
    options.denyRead = true;
    AddSection(L"QlDumpDenied", options);
    ASSERT_EQ(view_.CellText(0, 1), L"[Access Denied]");
    Select({0});
    RunDump(PathOf(L"denied.bin"));
    EXPECT_EQ(save_.count, 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].owner, Frame());
    EXPECT_EQ(boxes_[0].caption, L"Quillon");
    EXPECT_EQ(boxes_[0].text, L"Cannot open section");
    EXPECT_EQ(boxes_[0].icon, SystemIcon(IDI_ERROR));
    EXPECT_FALSE(FileExists(PathOf(L"denied.bin")));
}

TEST_F(DumpTest, NoSelectionOrCancelWritesNothingAndShowsNothing) {
    AddSection(L"QlDumpNone", {});
    RunDump(PathOf(L"none.bin"));
    EXPECT_EQ(save_.count, 0);

    Select({0});
    RunDump(L"");
    EXPECT_EQ(save_.count, 1);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(FileExists(PathOf(L"none.bin")));
    EXPECT_FALSE(FileExists(PathOf(L"Quill.bin")));
}

TEST_F(DumpTest, UnreadablePagesSayCannotReadSectionAndLeaveTheUsersFileAsItWas) {
    SectionOptions options;
    options.size = 8 * 4096;
    options.reserveOnly = true;
    AddSection(L"QlDumpReserved", options);
    ASSERT_EQ(view_.CellText(0, 1), L"0x8000");
    Select({0});
    // A new file is never created...
    RunDump(PathOf(L"reserved.bin"));
    EXPECT_EQ(save_.count, 1);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].owner, Frame());
    EXPECT_EQ(boxes_[0].caption, L"Quillon");
    EXPECT_EQ(boxes_[0].text, L"Cannot read section");
    EXPECT_EQ(boxes_[0].icon, SystemIcon(IDI_ERROR));
    EXPECT_FALSE(FileExists(PathOf(L"reserved.bin")));

    // ...and an existing one, confirmed in the overwrite prompt, keeps its bytes.
    ASSERT_TRUE(WriteFileBytes(PathOf(L"mine.bin"), "the user's own bytes"));
    RunDump(PathOf(L"mine.bin"));
    EXPECT_EQ(overwritePrompts_, 1);
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].text, L"Cannot read section");
    EXPECT_EQ(ReadFileBytes(PathOf(L"mine.bin")), "the user's own bytes");
}

TEST_F(DumpTest, TargetThatCannotBeCreatedGivesCannotWriteFileAndKeepsWhatWasThere) {
    AddSection(L"QlDumpLocked", {});
    ASSERT_TRUE(WriteFileBytes(PathOf(L"locked.bin"), "keep"));
    // Held open without sharing, the file cannot be replaced.
    HANDLE holder = ::CreateFileW(PathOf(L"locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Select({0});
    RunDump(PathOf(L"locked.bin"));
    ::CloseHandle(holder);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Cannot write file");
    EXPECT_EQ(ReadFileBytes(PathOf(L"locked.bin")), "keep");
}

// Rows the Win32 open path cannot reach and rows far beyond 1,024 characters get every command.
TEST_F(DumpTest, LongAndNulRowsOpenDumpViewCopyFindAndSort) {
    using namespace std::string_literals;
    SectionOptions options1100;
    options1100.seed = 0x11;
    options1100.size = 8192;
    sections_.emplace_back(UniqueName(L"QlLongA") + std::wstring(1100, L'a'), options1100);
    const TestSection& long1100 = sections_.back();
    SectionOptions options20000;
    options20000.seed = 0x22;
    const std::wstring tail = UniqueName(L"QlEnd");
    sections_.emplace_back(std::wstring(20000, L'q') + tail, options20000);
    const TestSection& long20000 = sections_.back();
    SectionOptions deniedOptions;
    deniedOptions.denyRead = true;
    sections_.emplace_back(UniqueName(L"QlLongDenied") + std::wstring(3000, L'd'), deniedOptions);
    const TestSection& longDenied = sections_.back();
    ASSERT_TRUE(long1100.IsValid() && long20000.IsValid() && longDenied.IsValid());
    const std::wstring nulStem = UniqueName(L"QlNul");
    NativeSection nul(L"\\Sessions\\" + std::to_wstring(OwnSessionId()) + L"\\BaseNamedObjects\\" + nulStem + L"\0hid"s,
                      4096, 0x33);
    ASSERT_TRUE(nul.IsValid());
    const std::wstring nulRow = nulStem + L"\\0hid";

    // Rows in the walk's form, appended as the walk appends them.
    for (const std::wstring& row : {long20000.Name(), nulRow, long1100.Name(), longDenied.Name()})
        view_.AppendSection(row.c_str());
    ASSERT_EQ(view_.CellText(0, 0), long20000.Name());
    EXPECT_EQ(view_.CellText(0, 1), L"0x1000");
    EXPECT_EQ(view_.CellText(1, 1), L"0x1000");
    EXPECT_EQ(view_.CellText(2, 1), L"0x2000");
    EXPECT_EQ(view_.CellText(3, 1), L"[Access Denied]");

    // Dump: each row's own bytes.
    const auto pattern = [](unsigned char seed, std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(seed + k * 7);
        return bytes;
    };
    const struct {
        int row;
        unsigned char seed;
        std::size_t size;
    } dumps[] = {{0, 0x22, 4096}, {1, 0x33, 4096}, {2, 0x11, 8192}};
    for (const auto& dump : dumps) {
        SCOPED_TRACE(testing::Message() << "row " << dump.row);
        ASSERT_TRUE(view_.SelectOneRow(dump.row));
        const std::wstring file = PathOf(L"row" + std::to_wstring(dump.row) + L".bin");
        RunDump(file);
        EXPECT_TRUE(SameBytes(ReadFileBytes(file), pattern(dump.seed, dump.size)));
    }
    EXPECT_TRUE(boxes_.empty());

    // Hex View: the dialog opens on each readable row, and the denied one says so.
    int views = 0;
    std::vector<SeenBox> boxes;
    {
        ModalAnswerer answerer([&](HWND dialog) {
            if (IsMessageBox(dialog)) {
                boxes.push_back(AnswerMessageBox(dialog));
                return true;
            }
            if (WindowText(dialog) != L"Hex View") return false;
            ++views;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        for (int row = 0; row < 4; ++row) {
            ASSERT_TRUE(view_.SelectOneRow(row));
            RunHexViewCommand(Frame(), List());
        }
    }
    EXPECT_EQ(views, 3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Cannot open section");

    // Find reaches text far beyond the first 1,024 characters, and the escaped NUL.
    FindQuery query;
    query.text = tail;
    ASSERT_TRUE(view_.SelectOneRow(3));
    query.down = false;
    EXPECT_EQ(FindRowInList(List(), query), 0);
    query.text = L"\\0hid";
    EXPECT_EQ(FindRowInList(List(), query), 1);

    // Copy takes the whole texts.
    Select({0, 1, 2});
    RunCopyCommand(Frame(), List());
    {
        ClipboardSession clipboard(nullptr, 1000);
        ASSERT_TRUE(clipboard.IsOpen());
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        ASSERT_NE(data, nullptr);
        GlobalLockScope lock(data);
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(lock.Get())),
                  long20000.Name() + L"\t0x1000\t\r\n" + nulRow + L"\t0x1000\t\r\n" + long1100.Name() + L"\t0x2000\t\r\n" +
                      longDenied.Name() + L"\t[Access Denied]\t\r\n");
    }

    // Sort by name keeps every text whole: "QlLongA..." < "QlLongDenied..." < "QlNul..." < "qqq...".
    DWORD state = 0;
    RunSortCommand(List(), 0, state);
    EXPECT_EQ(view_.CellText(0, 0), long1100.Name());
    EXPECT_EQ(view_.CellText(1, 0), longDenied.Name());
    EXPECT_EQ(view_.CellText(2, 0), nulRow);
    EXPECT_EQ(view_.CellText(3, 0), long20000.Name());
    EXPECT_EQ(view_.CellText(3, 1), L"0x1000");
}

}  // namespace
}  // namespace quillon::test

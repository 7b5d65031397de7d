// The window-free dump writer: every byte or nothing, and the user's file is never half-replaced.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/dump_writer.h"
#include "catalogue/dump_writer_detail.h"
#include "tests/support/byte_assertions.h"
#include "tests/support/test_files.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

// Pages of the test's own: committed and filled with a pattern, some of them then made unreadable.
class Pages {
public:
    explicit Pages(std::size_t count) : size_(count * 4096) {
        base_ = static_cast<unsigned char*>(::VirtualAlloc(nullptr, size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (base_)
            for (std::size_t k = 0; k < size_; ++k) base_[k] = static_cast<unsigned char>(k * 13 + (k >> 12));
    }
    ~Pages() { if (base_) ::VirtualFree(base_, 0, MEM_RELEASE); }
    const unsigned char* Get() const { return base_; }
    std::size_t Size() const { return size_; }
    std::string Bytes() const { return std::string(reinterpret_cast<const char*>(base_), size_); }
    void NoAccess(std::size_t firstPage, std::size_t pages) {
        DWORD old = 0;
        ASSERT_TRUE(::VirtualProtect(base_ + firstPage * 4096, pages * 4096, PAGE_NOACCESS, &old));
    }
    void Decommit(std::size_t firstPage, std::size_t pages) {
        ASSERT_TRUE(::VirtualFree(base_ + firstPage * 4096, pages * 4096, MEM_DECOMMIT));
    }

private:
    std::size_t size_;
    unsigned char* base_ = nullptr;
};

class DumpWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + UniqueName(L"ql_writer") + L"_" + std::to_wstring(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr)) << "error " << ::GetLastError();
    }
    void TearDown() override {
        for (const std::wstring& name : FilesInFolder()) ::DeleteFileW(PathOf(name).c_str());
        EXPECT_TRUE(::RemoveDirectoryW(folder_.c_str())) << "error " << ::GetLastError();
    }
    std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }

    // Every file in the folder: a temporary left behind shows up here.
    std::vector<std::wstring> FilesInFolder() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return names;
    }

    std::wstring folder_;
};

using Files = std::vector<std::wstring>;

TEST_F(DumpWriterTest, WritesEveryByteAcrossManyChunksAndReplacesAnExistingFile) {
    // More than one chunk's worth, and not a multiple of it.
    Pages pages((3u << 20) / 4096 + 3);
    ASSERT_NE(pages.Get(), nullptr);
    const std::wstring path = PathOf(L"big.bin");
    ASSERT_TRUE(WriteFileBytes(path, std::string(20u << 20, '\xEE')));  // longer than the dump: nothing of it may remain
    std::vector<ByteRange> filled{{1, 2}};
    EXPECT_EQ(WriteDumpFile(path.c_str(), pages.Get(), pages.Size(), false, &filled), DumpResult::Written);
    EXPECT_TRUE(SameBytes(ReadFileBytes(path), pages.Bytes()));
    EXPECT_TRUE(filled.empty());
    EXPECT_EQ(FilesInFolder(), Files{L"big.bin"});

    // An empty dump is an empty file.
    EXPECT_EQ(WriteDumpFile(PathOf(L"empty.bin").c_str(), pages.Get(), 0, false, nullptr), DumpResult::Written);
    EXPECT_EQ(ReadFileBytes(PathOf(L"empty.bin")), "");
}

TEST_F(DumpWriterTest, UnreadableBytesLeaveTheExistingFileUntouchedUnlessFilled) {
    Pages pages(8);
    ASSERT_NE(pages.Get(), nullptr);
    const std::string expectedFilled = [&] {
        std::string bytes = pages.Bytes();
        bytes.replace(2 * 4096, 2 * 4096, 2 * 4096, '\0');
        bytes.replace(7 * 4096, 4096, 4096, '\0');
        return bytes;
    }();
    pages.NoAccess(2, 1);
    pages.Decommit(3, 1);
    pages.NoAccess(7, 1);
    const std::wstring path = PathOf(L"keep.bin");
    ASSERT_TRUE(WriteFileBytes(path, "the user's own bytes"));

    EXPECT_EQ(WriteDumpFile(path.c_str(), pages.Get(), pages.Size(), false, nullptr), DumpResult::CannotRead);
    EXPECT_EQ(ReadFileBytes(path), "the user's own bytes");
    EXPECT_EQ(FilesInFolder(), Files{L"keep.bin"});

    // Filled: zeros where the pages cannot be read, and the runs reported merged and in order.
    std::vector<ByteRange> filled;
    EXPECT_EQ(WriteDumpFile(path.c_str(), pages.Get(), pages.Size(), true, &filled), DumpResult::Written);
    EXPECT_TRUE(SameBytes(ReadFileBytes(path), expectedFilled));
    ASSERT_EQ(filled.size(), 2u);
    EXPECT_EQ(filled[0].begin, 2u * 4096);
    EXPECT_EQ(filled[0].end, 4u * 4096);
    EXPECT_EQ(filled[1].begin, 7u * 4096);
    EXPECT_EQ(filled[1].end, 8u * 4096);

    // A range that does not start on a page boundary reports offsets from its own start.
    EXPECT_EQ(WriteDumpFile(path.c_str(), pages.Get() + 100, 3 * 4096, true, &filled), DumpResult::Written);
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_EQ(filled[0].begin, 2u * 4096 - 100);
    EXPECT_EQ(filled[0].end, 3u * 4096);
    EXPECT_EQ(ReadFileBytes(path).size(), 3u * 4096);
    EXPECT_EQ(FilesInFolder(), Files{L"keep.bin"});
}

// Lets the first chunk through and fails the second, like a disk that fills up part-way.
bool FailSecondChunk(HANDLE file, const unsigned char* data, DWORD count, void* context) {
    int& calls = *static_cast<int*>(context);
    if (++calls >= 2) {
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(file, data, count, &written, nullptr) && written == count;
}

TEST_F(DumpWriterTest, AWriteFailingPartWayLeavesTheOldFileAndNoTemporary) {
    Pages pages(3 * 256);  // three chunks
    ASSERT_NE(pages.Get(), nullptr);
    const std::wstring path = PathOf(L"old.bin");
    ASSERT_TRUE(WriteFileBytes(path, "old contents"));
    int calls = 0;
    EXPECT_EQ(detail::WriteDumpFileWith(path.c_str(), pages.Get(), pages.Size(), false, nullptr, &FailSecondChunk, &calls),
              DumpResult::CannotWrite);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    EXPECT_EQ(FilesInFolder(), Files{L"old.bin"});
}

TEST_F(DumpWriterTest, ATargetThatCannotBeReplacedOrCreatedIsLeftAlone) {
    Pages pages(2);
    ASSERT_NE(pages.Get(), nullptr);
    const std::wstring path = PathOf(L"held.bin");
    ASSERT_TRUE(WriteFileBytes(path, "held"));
    // Held open without sharing, the file cannot be replaced: the finished temporary goes away again.
    HANDLE holder = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteDumpFile(path.c_str(), pages.Get(), pages.Size(), false, nullptr), DumpResult::CannotWrite);
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(path), "held");
    EXPECT_EQ(FilesInFolder(), Files{L"held.bin"});

    // A folder that does not exist: no temporary can be made, nothing is written.
    const std::wstring missing = PathOf(L"no_such_folder\\x.bin");
    EXPECT_EQ(WriteDumpFile(missing.c_str(), pages.Get(), pages.Size(), false, nullptr), DumpResult::CannotWrite);
    EXPECT_EQ(FilesInFolder(), Files{L"held.bin"});
    EXPECT_EQ(WriteDumpFile(L"", pages.Get(), pages.Size(), false, nullptr), DumpResult::CannotWrite);
}

}  // namespace
}  // namespace quillon::test

#include <windows.h>

#include "support/ChildProcess.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using testing_support::ChildProcess;
using testing_support::TempDevice;
namespace fs = std::filesystem;

namespace {

constexpr LPCWSTR kNote = u"\\My Documents\\note.txt";
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

HANDLE Open(LPCWSTR path, DWORD access, DWORD share, DWORD disposition,
            DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    return CreateFileW(path, access, share, nullptr, disposition, attributes, nullptr);
}

bool Write(HANDLE file, std::string_view text)
{
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string Read(HANDLE file, DWORD count)
{
    std::string text(count, '\0');
    DWORD read = 0;
    if (!ReadFile(file, text.data(), count, &read, nullptr)) return "<failed>";
    text.resize(read);
    return text;
}

class DeviceFiles : public ::testing::Test {
protected:
    fs::path Host(const char* relative) const { return m_device.Dir() / "fs" / relative; }
    std::string HostText(const char* relative) const
    {
        std::ifstream in(Host(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void PutHostText(const char* relative, const std::string& text) const
    {
        std::ofstream(Host(relative), std::ios::binary) << text;
    }

    TempDevice m_device;
};

} // namespace

TEST_F(DeviceFiles, EachDispositionCreatesKeepsOrEmptiesTheFileAsDocumented)
{
    HANDLE file = Open(kNote, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(file, "first"));
    CloseHandle(file);
    EXPECT_EQ(HostText("My Documents/note.txt"), "first");

    EXPECT_EQ(Open(kNote, GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

    file = Open(kNote, GENERIC_READ, 0, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Read(file, 100), "first");
    CloseHandle(file);

    file = Open(kNote, GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    EXPECT_TRUE(Write(file, "second"));
    CloseHandle(file);
    EXPECT_EQ(HostText("My Documents/note.txt"), "second");

    file = Open(kNote, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(HostText("My Documents/note.txt"), "");

    SetLastError(ERROR_GEN_FAILURE);
    file = Open(u"\\My Documents\\fresh.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(file);
    SetLastError(ERROR_GEN_FAILURE);
    file = Open(u"\\My Documents\\other.txt", GENERIC_READ, 0, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(file);
    EXPECT_TRUE(fs::is_regular_file(Host("My Documents/other.txt")));
}

TEST_F(DeviceFiles, MissingFilesAndMissingFoldersAreReportedApart)
{
    EXPECT_EQ(Open(kNote, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(kNote, GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(u"\\Nowhere\\note.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Open(u"\\Nowhere\\note.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(fs::exists(Host("Nowhere")));

    PutHostText("My Documents/note.txt", "kept");
    EXPECT_EQ(Open(kNote, GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE); // needs write access
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Open(kNote, GENERIC_READ, 0, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Open(kNote, GENERIC_READ, 0, TRUNCATE_EXISTING + 1), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(HostText("My Documents/note.txt"), "kept");

    EXPECT_EQ(Open(u"\\My Documents", GENERIC_READ, kShareAll, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(DeviceFiles, ReadsWritesAndSeeksReachTheHostFile)
{
    HANDLE file = Open(kNote, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_TRUE(Write(file, "hello world"));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_EQ(Read(file, 5), "hello");
    EXPECT_EQ(SetFilePointer(file, 1, nullptr, FILE_CURRENT), 6u);
    EXPECT_EQ(Read(file, 100), "world");
    EXPECT_EQ(Read(file, 100), ""); // at the end: success, nothing read

    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 6u);
    EXPECT_TRUE(Write(file, "WORLD"));
    EXPECT_EQ(SetFilePointer(file, -100, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 11u); // the failed move moved nothing

    LONG high = 0;
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER); // 2^32 - 1 ...
    EXPECT_EQ(GetLastError(), NO_ERROR); // ... is a position, not a failure
    EXPECT_EQ(high, 0);
    high = -1;
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_END), 10u); // high -1 and low -1 make -1
    EXPECT_EQ(high, 0);

    EXPECT_TRUE(FlushFileBuffers(file));
    DWORD sizeHigh = 7;
    EXPECT_EQ(GetFileSize(file, &sizeHigh), 11u);
    EXPECT_EQ(sizeHigh, 0u);
    CloseHandle(file);
    EXPECT_EQ(HostText("My Documents/note.txt"), "hello WORLD");

    file = Open(kNote, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(Write(file, "x"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(FlushFileBuffers(file));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(file);
    file = Open(kNote, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_EQ(Read(file, 1), "<failed>");
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(file);
    EXPECT_EQ(HostText("My Documents/note.txt"), "hello WORLD");
}

TEST_F(DeviceFiles, ASecondHandleOpensOnlyWhenBothSharingModesAllowIt)
{
    PutHostText("My Documents/note.txt", "shared");
    HANDLE reader = Open(kNote, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE second = Open(kNote, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    CloseHandle(second);

    EXPECT_EQ(Open(kNote, GENERIC_WRITE, kShareAll, OPEN_EXISTING),
              INVALID_HANDLE_VALUE); // reader refuses writers
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Open(kNote, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE); // would refuse the reader
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Open(kNote, GENERIC_WRITE, kShareAll, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(HostText("My Documents/note.txt"), "shared"); // the refused CREATE_ALWAYS emptied nothing
    CloseHandle(reader);

    HANDLE writer = Open(kNote, GENERIC_WRITE, kShareAll, OPEN_EXISTING);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(kNote, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
              INVALID_HANDLE_VALUE); // refuses the writer
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    HANDLE both = Open(kNote, GENERIC_READ, kShareAll, OPEN_EXISTING);
    EXPECT_NE(both, INVALID_HANDLE_VALUE);
    HANDLE query = Open(kNote, 0, 0, OPEN_EXISTING); // no data access: never refused
    EXPECT_NE(query, INVALID_HANDLE_VALUE);
    CloseHandle(query);
    CloseHandle(both);
    CloseHandle(writer);

    HANDLE exclusive = Open(kNote, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(kNote, GENERIC_READ, kShareAll, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(exclusive);
    HANDLE again = Open(kNote, GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST_F(DeviceFiles, SharingHoldsAgainstAHandleOfAnotherProcess)
{
    PutHostText("My Documents/note.txt", "held");
    {
        ChildProcess holder(PROBE_PROGRAM, {"hold \\My Documents\\note.txt"});
        ASSERT_EQ(holder.ReadLine(), "held");
        EXPECT_EQ(Open(kNote, GENERIC_READ, kShareAll, OPEN_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_FALSE(DeleteFileW(kNote));
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        holder.CloseInput();
        EXPECT_EQ(holder.Wait(), 0);
    }
    HANDLE file = Open(kNote, GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST_F(DeviceFiles, AnOpenFileCannotBeDeletedWhateverItsSharing)
{
    HANDLE file = Open(kNote, GENERIC_READ, kShareAll | FILE_SHARE_DELETE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(kNote));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(fs::exists(Host("My Documents/note.txt")));
    CloseHandle(file);
    EXPECT_TRUE(DeleteFileW(u"\\MY DOCUMENTS\\NOTE.TXT"));
    EXPECT_FALSE(fs::exists(Host("My Documents/note.txt")));
    EXPECT_FALSE(DeleteFileW(kNote));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    EXPECT_FALSE(DeleteFileW(u"\\My Documents"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(fs::is_directory(Host("My Documents")));

    file = Open(kNote, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Write(file, "still writable through the handle that made it"));
    CloseHandle(file);
    EXPECT_EQ(GetFileAttributesW(kNote), DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileW(kNote));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(fs::exists(Host("My Documents/note.txt")));
}

TEST_F(DeviceFiles, PathsCannotLeaveTheDeviceFileSystem)
{
    EXPECT_EQ(Open(u"\\..\\escape.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Open(u"\\My Documents\\..\\..\\escape.txt", GENERIC_WRITE, 0, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(CreateDirectoryW(u"/../escape", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(fs::exists(m_device.Dir() / "escape.txt"));
    EXPECT_FALSE(fs::exists(m_device.Dir() / "escape"));

    HANDLE inside = Open(u"\\My Documents\\..\\Temp\\.\\inside.txt", GENERIC_WRITE, 0, CREATE_NEW);
    EXPECT_NE(inside, INVALID_HANDLE_VALUE);
    CloseHandle(inside);
    EXPECT_TRUE(fs::exists(Host("Temp/inside.txt")));

    for (LPCWSTR name : {u"relative.txt", u"C:\\x.txt", u"\\\\server\\share\\x.txt",
                         u"\\My Documents\\a*.txt", u"\\My Documents\\a?.txt", u"\\My Documents\\a|b.txt"}) {
        EXPECT_EQ(Open(name, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    }
    std::u16string longest = u"\\" + std::u16string(MAX_PATH - 2, u'a');
    std::u16string tooLong = longest + u"a";
    EXPECT_EQ(GetFileAttributesW(longest.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE); // a legal device name, longer than the host allows
    EXPECT_EQ(Open(tooLong.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(Open(u"", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(DeviceFiles, NamesMatchWhateverTheirCaseAndNewNamesKeepTheirs)
{
    PutHostText("My Documents/Note.txt", "cased");
    HANDLE file = Open(u"\\MY DOCUMENTS\\NOTE.TXT", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read(file, 100), "cased");
    CloseHandle(file);

    EXPECT_EQ(Open(u"\\my documents\\note.TXT", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

    file = Open(u"\\my documents\\New Ünïcode.txt", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(fs::exists(Host("My Documents/New Ünïcode.txt")));
    EXPECT_FALSE(fs::exists(Host("my documents")));
    EXPECT_NE(GetFileAttributesW(u"\\MY DOCUMENTS\\NEW ÜNÏCODE.TXT"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DeviceFiles, AttributesTellFoldersFromFilesAndFoldersAreMadeOnce)
{
    PutHostText("My Documents/note.txt", "x");
    EXPECT_EQ(GetFileAttributesW(u"\\"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(kNote), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\missing.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesW(u"\\Missing\\missing.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\note.txt\\inside"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_TRUE(CreateDirectoryW(u"\\My Documents\\Backups", nullptr));
    EXPECT_TRUE(fs::is_directory(Host("My Documents/Backups")));
    EXPECT_FALSE(CreateDirectoryW(u"\\my documents\\BACKUPS", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\Missing\\Backups", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

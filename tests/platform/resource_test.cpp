#include <windows.h>

#include "device/DataFile.h"
#include "device/Modules.h"
#include "resource/PeResources.h"

#include "ids.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

fs::path TestResource(const char* name)
{
    return fs::path(TEST_RESOURCE_DIR) / name;
}

Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t U32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

void PutU32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (unsigned char)(v >> (8 * i));
}

// A folder for damaged copies, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/wm5-resources-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        m_dir = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    fs::path operator/(const char* name) const { return m_dir / name; }

private:
    fs::path m_dir;
};

// Opens a file as a data module for one test and releases it afterwards.
class DataModule {
public:
    explicit DataModule(const fs::path& path) : m_module(device::OpenDataFile(path, &m_error)) {}
    ~DataModule()
    {
        if (m_module)
            device::ReleaseDataFile(m_module);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    operator HMODULE() const { return m_module; }
    DWORD Error() const { return m_error; }

private:
    DWORD m_error = 0;
    HMODULE m_module;
};

std::u16string String(HMODULE module, UINT id)
{
    WCHAR buffer[512];
    int length = LoadStringW(module, id, buffer, 512);
    return std::u16string(buffer, length);
}

std::string Data(HMODULE module, HRSRC info)
{
    auto bytes = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return bytes ? std::string(bytes, SizeofResource(module, info)) : std::string();
}

// The test script, built as PE32+ and as PE32, reads the same through either.
class ResourceFile : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASSERT_TRUE(m_module) << "error " << m_module.Error(); }
    HMODULE Module() const { return m_module; }

private:
    DataModule m_module{TestResource(GetParam())};
};

INSTANTIATE_TEST_SUITE_P(BothFormats, ResourceFile, testing::Values("test.dll", "test32.dll"));

} // namespace

TEST_P(ResourceFile, FindsRawDataByNumberAndGivesItsBytesAndSize)
{
    HRSRC info = FindResourceW(Module(), MAKEINTRESOURCE(1), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SizeofResource(Module(), info), 5u);
    EXPECT_EQ(Data(Module(), info), std::string("one\x01\x02", 5));
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_P(ResourceFile, FindsNamesAndTypesGivenAsTextWhateverTheirCase)
{
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), u"config", RT_RCDATA)), "configuration");
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), u"Greeting", u"SAMPLE")), "hello");
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), u"GREETING", u"sample")), "hello");
    // "#n" names the integer id n.
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), u"#1", u"#10")), std::string("one\x01\x02", 5));
    // A name is not an id: "1" as text is no resource here.
    EXPECT_EQ(FindResourceW(Module(), u"1", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(Module(), u"#1x", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(FindResourceW(Module(), u"#70000", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_P(ResourceFile, PrefersTheNeutralLanguageAndElseTakesTheOneThereIs)
{
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), MAKEINTRESOURCE(2), RT_RCDATA)), "neutral");
    EXPECT_EQ(Data(Module(), FindResourceW(Module(), MAKEINTRESOURCE(3), RT_RCDATA)), "only english");
}

TEST_P(ResourceFile, MissingResourcesSayWhetherTheTypeOrTheNameIsMissing)
{
    SetLastError(0);
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCE(1), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCE(99), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(Module(), u"nothing", u"SAMPLE"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_P(ResourceFile, LoadsEveryStringOfAFullBlockAndTheLastId)
{
    const char16_t* expected[16] = {u"sixteen",      u"seventeen",   u"eighteen",   u"nineteen",
                                    u"twenty",       u"twenty-one",  u"twenty-two", u"twenty-three",
                                    u"twenty-four",  u"twenty-five", u"twenty-six", u"twenty-seven",
                                    u"twenty-eight", u"twenty-nine", u"thirty",     u"thirty-one"};
    for (UINT id = 16; id < 32; ++id)
        EXPECT_EQ(String(Module(), id), expected[id - 16]) << id;
    EXPECT_EQ(String(Module(), 100), u"A string to cut short");
    EXPECT_EQ(String(Module(), 65535), u"last");
}

TEST_P(ResourceFile, KeepsTextBeyondAsciiAndEscapesAsWritten)
{
    EXPECT_EQ(String(Module(), 4000), u"Grüße, 日本語, € 😀");
    EXPECT_EQ(String(Module(), 4001), u"tab\there \"quoted\" line\r\nend");
}

TEST_P(ResourceFile, CopiesCutToTheBufferAndAlwaysTerminated)
{
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(Module(), 100, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"A st");
    EXPECT_EQ(buffer[5], u'#'); // nothing written past the capacity

    EXPECT_EQ(LoadStringW(Module(), 16, buffer, 8), 7);
    EXPECT_EQ(std::u16string(buffer), u"sixteen");

    buffer[0] = u'#';
    EXPECT_EQ(LoadStringW(Module(), 100, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    EXPECT_EQ(LoadStringW(Module(), 100, buffer, -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_P(ResourceFile, WithoutCapacityHandsOutTheStringInPlace)
{
    // The device's form: no buffer, the result is the string's address; its length is the word before it.
    int result = LoadStringW(Module(), 100, nullptr, 0);
    ASSERT_NE(result, 0);
    auto text = reinterpret_cast<LPCWSTR>(INT_PTR(result));
    ASSERT_EQ(text[-1], 21);
    EXPECT_EQ(std::u16string(text, 21), u"A string to cut short");

    // The desktop's form: capacity 0, the buffer receives the address and the result is the length.
    LPCWSTR inPlace = nullptr;
    EXPECT_EQ(LoadStringW(Module(), 4000, reinterpret_cast<LPWSTR>(&inPlace), 0), 16);
    ASSERT_NE(inPlace, nullptr);
    EXPECT_EQ(std::u16string(inPlace, 16), u"Grüße, 日本語, € 😀");

    EXPECT_EQ(LoadStringW(Module(), 101, nullptr, 0), 0);
}

TEST_P(ResourceFile, MissingStringsGiveZeroAndAnEmptyBuffer)
{
    WCHAR buffer[16] = u"unchanged";
    for (UINT id : {96u, 101u, 111u, 15u, 32u, 5000u, 0x10000u}) {
        SetLastError(0);
        buffer[0] = u'u';
        EXPECT_EQ(LoadStringW(Module(), id, buffer, 16), 0) << id;
        EXPECT_EQ(buffer[0], 0) << id;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND)) << id;
    }
    EXPECT_EQ(LoadStringW(nullptr, 16, buffer, 16), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(DataFiles, HandlesOfOneModuleAreRefusedByAnother)
{
    DataModule first(TestResource("test.dll")), second(TestResource("test32.dll"));
    ASSERT_TRUE(first && second);
    HRSRC info = FindResourceW(first, MAKEINTRESOURCE(1), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(LoadResource(second, info), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SizeofResource(second, info), 0u);
    EXPECT_EQ(LoadResource(first, reinterpret_cast<HRSRC>(reinterpret_cast<char*>(info) + 1)), nullptr);
    EXPECT_NE(LoadResource(first, info), nullptr);
}

TEST(DataFiles, OneFileIsSharedAndCountedUntilItsLastRelease)
{
    ScratchFolder folder;
    fs::create_directory(folder / "sub");
    fs::copy_file(TestResource("test.dll"), folder / "res.dll");

    DWORD error = 0;
    HMODULE first = device::OpenDataFile(folder / "res.dll", &error);
    ASSERT_NE(first, nullptr);
    HMODULE second = device::OpenDataFile(folder / "sub/../res.dll", &error);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(device::IsDataFile(first));
    EXPECT_NE(device::ResourcesOf(first), nullptr);

    EXPECT_TRUE(device::ReleaseDataFile(first));
    EXPECT_TRUE(device::IsDataFile(first));
    EXPECT_EQ(String(first, 16), u"sixteen");

    EXPECT_TRUE(device::ReleaseDataFile(first));
    EXPECT_FALSE(device::IsDataFile(first));
    EXPECT_EQ(device::ResourcesOf(first), nullptr);
    EXPECT_FALSE(device::ReleaseDataFile(first));
    EXPECT_EQ(FindResourceW(first, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
}

TEST(DataFiles, MissingFilesAndFilesThatAreNoImageAreRefused)
{
    ScratchFolder folder;
    DWORD error = 0;
    EXPECT_EQ(device::OpenDataFile(folder / "absent.dll", &error), nullptr);
    EXPECT_EQ(error, DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(device::OpenDataFile(folder / "absent/x.dll", &error), nullptr);
    EXPECT_EQ(error, DWORD(ERROR_PATH_NOT_FOUND));

    WriteFile(folder / "text.dll", Bytes{'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(device::OpenDataFile(folder / "text.dll", &error), nullptr);
    EXPECT_EQ(error, DWORD(ERROR_BAD_FORMAT));
    WriteFile(folder / "empty.dll", Bytes{});
    EXPECT_EQ(device::OpenDataFile(folder / "empty.dll", &error), nullptr);
    EXPECT_EQ(error, DWORD(ERROR_BAD_FORMAT));
}

TEST(DataFiles, AnImageWithoutResourcesOpensButHasNone)
{
    ScratchFolder folder;
    Bytes image = ReadFile(TestResource("test.dll"));
    size_t pe = U32(image, 0x3C);
    size_t resourceDirectory = pe + 24 + 112 + 8 * 2; // PE32+: the third data directory
    PutU32(image, resourceDirectory, 0);
    PutU32(image, resourceDirectory + 4, 0);
    WriteFile(folder / "plain.dll", image);

    DataModule module(folder / "plain.dll");
    ASSERT_TRUE(module);
    EXPECT_EQ(device::ResourcesOf(module), nullptr);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(LoadStringW(module, 16, nullptr, 0), 0);
}

TEST(DataFiles, EveryTruncationOfAnImageIsRefusedAsBadFormat)
{
    ScratchFolder folder;
    Bytes image = ReadFile(TestResource("test.dll"));
    ASSERT_GT(image.size(), 512u);
    for (size_t length = 0; length < image.size(); ++length) {
        WriteFile(folder / "cut.dll", Bytes(image.begin(), image.begin() + long(length)));
        DWORD error = 0;
        HMODULE module = device::OpenDataFile(folder / "cut.dll", &error);
        EXPECT_EQ(module, nullptr) << length;
        EXPECT_EQ(error, DWORD(ERROR_BAD_FORMAT)) << length;
        if (module)
            device::ReleaseDataFile(module);
    }
}

TEST(DataFiles, DamagedHeadersAndDirectoriesAreRefusedAsBadFormat)
{
    ScratchFolder folder;
    const Bytes image = ReadFile(TestResource("test.dll"));
    const size_t pe = U32(image, 0x3C);
    const size_t sectionTable = pe + 24 + (image[pe + 20] | image[pe + 21] << 8);
    const size_t rsrc = U32(image, sectionTable + 20); // the only section: .rsrc

    std::map<std::string, void (*)(Bytes&, size_t, size_t, size_t)> damages = {
        {"no MZ", [](Bytes& b, size_t, size_t, size_t) { b[0] = 'X'; }},
        {"header offset past the end", [](Bytes& b, size_t, size_t, size_t) { PutU32(b, 0x3C, 0x7FFFFFF0); }},
        {"no PE signature", [](Bytes& b, size_t pe, size_t, size_t) { b[pe + 1] = 'X'; }},
        {"unknown optional header", [](Bytes& b, size_t pe, size_t, size_t) { b[pe + 24] = 0x07; }},
        {"optional header past the end", [](Bytes& b, size_t pe, size_t, size_t) { b[pe + 21] = 0xFF; }},
        {"too many data directories",
         [](Bytes& b, size_t pe, size_t, size_t) { PutU32(b, pe + 24 + 108, 0x10000); }},
        {"section data past the end",
         [](Bytes& b, size_t, size_t table, size_t) { PutU32(b, table + 16, 0x100000); }},
        {"section count past the table", [](Bytes& b, size_t pe, size_t, size_t) { b[pe + 6] = 0xFF; }},
        {"resources in no section",
         [](Bytes& b, size_t pe, size_t, size_t) { PutU32(b, pe + 24 + 112 + 16, 0x00F00000); }},
        {"huge directory",
         [](Bytes& b, size_t, size_t, size_t rsrc) { b[rsrc + 14] = 0xFF, b[rsrc + 15] = 0xFF; }},
        {"directory that contains itself",
         [](Bytes& b, size_t, size_t, size_t rsrc) { PutU32(b, rsrc + 16 + 4, 0x80000000); }},
        {"data where a directory belongs",
         [](Bytes& b, size_t, size_t, size_t rsrc) { b[rsrc + 16 + 7] &= 0x7F; }},
        {"name past the section",
         [](Bytes& b, size_t, size_t, size_t rsrc) { PutU32(b, rsrc + 16, 0x8000FFF0); }},
    };
    for (const auto& [what, damage] : damages) {
        Bytes copy = image;
        damage(copy, pe, sectionTable, rsrc);
        WriteFile(folder / "damaged.dll", copy);
        DataModule module(folder / "damaged.dll");
        EXPECT_FALSE(module) << what;
        EXPECT_EQ(module.Error(), DWORD(ERROR_BAD_FORMAT)) << what;
    }
}

TEST(DataFiles, NoSingleDamagedByteMakesReadingCrash)
{
    // Every byte of the file set to 0xFF in turn: the file is refused, or it opens and every read stays
    // inside it.
    ScratchFolder folder;
    const Bytes image = ReadFile(TestResource("test32.dll"));
    size_t refused = 0, opened = 0;
    for (size_t at = 0; at < image.size(); ++at) {
        Bytes copy = image;
        copy[at] = 0xFF;
        WriteFile(folder / "flipped.dll", copy);
        DataModule module(folder / "flipped.dll");
        if (!module) {
            EXPECT_EQ(module.Error(), DWORD(ERROR_BAD_FORMAT)) << at;
            ++refused;
            continue;
        }
        ++opened;
        WCHAR buffer[64];
        for (UINT id : {16u, 31u, 100u, 4000u, 65535u}) {
            int length = LoadStringW(module, id, buffer, 64);
            EXPECT_TRUE(length >= 0 && length < 64 && buffer[length] == 0) << at;
        }
        for (int id = 1; id <= 3; ++id) {
            HRSRC info = FindResourceW(module, MAKEINTRESOURCE(id), RT_RCDATA);
            if (info) {
                EXPECT_LE(SizeofResource(module, info), image.size()) << at;
            }
        }
    }
    EXPECT_GT(refused, 0u);
    EXPECT_GT(opened, 0u);
}

// --- The program's resource library --------------------------------------------------------------

namespace {

// The printf conversions of every string the program formats; every other string has none.
const std::map<UINT, std::string> kFormats = {
    {IDS_GROUP_MEMBERS_FORMAT, "d"},       // member count
    {IDS_COUNTDOWN_FORMAT, "dd"},          // seconds left, seconds passed
    {IDS_DUE_TODAY_FORMAT, "s"},           // time
    {IDS_DUE_TOMORROW_FORMAT, "s"},        // time
    {IDS_DUE_WEEKDAY_FORMAT, "ss"},        // weekday, time
    {IDS_DUE_DATE_FORMAT, "ss"},           // date, time
    {IDS_STATS_PERIOD_FORMAT, "ssd"},      // first date, last date, days
    {IDS_STATS_TOP_FORMAT, "sd"},          // text, count
    {IDS_SCHEDULED_LIMIT_FORMAT, "d"},     // 10
    {IDS_SCHEDULED_TOO_CLOSE_FORMAT, "d"}, // 60
    {IDS_MESSAGES_FORMAT, "d"},            // count
    {IDS_ONE_MESSAGE_SHARE_FORMAT, "dd"},  // count, percent
    {IDS_MESSAGES_SHARE_FORMAT, "dd"},     // count, percent
};

const UINT kStringIds[] = {
    IDS_APP_TITLE,
    IDS_GROUP_NO_MEMBERS,
    IDS_GROUP_ONE_MEMBER,
    IDS_GROUP_MEMBERS_FORMAT,
    IDS_SUPPORT_MAIL_SUBJECT,
    IDS_FEATURE_MESSAGE_TO_ME,
    IDS_FEATURE_GROUPS,
    IDS_FEATURE_AUTO_REPLY,
    IDS_FEATURE_SCHEDULED,
    IDS_FEATURE_STATISTICS,
    IDS_FEATURE_BACKUP,
    IDS_ACTION_BACKUP,
    IDS_ACTION_RESTORE,
    IDS_ACTION_EXPORT,
    IDS_FEATURE_MESSAGE_TO_ME_NOTE,
    IDS_FEATURE_GROUPS_NOTE,
    IDS_FEATURE_AUTO_REPLY_NOTE,
    IDS_FEATURE_SCHEDULED_NOTE,
    IDS_FEATURE_STATISTICS_NOTE,
    IDS_FEATURE_BACKUP_NOTE,
    IDS_ACTION_BACKUP_NOTE,
    IDS_ACTION_RESTORE_NOTE,
    IDS_ACTION_EXPORT_NOTE,
    IDS_STATS_PERIOD,
    IDS_STATS_MESSAGES,
    IDS_STATS_AVERAGE,
    IDS_STATS_BUSIEST_WEEKDAY,
    IDS_STATS_BUSIEST_HOUR,
    IDS_STATS_TOP_CONTACT,
    IDS_STATS_FEEDBACK,
    IDS_STATS_FEEDBACK_ACTION,
    IDS_REPLY_EVERY_CALLER,
    IDS_REPLY_CONTACTS_ONLY,
    IDS_BACKUP_FILE_TITLE,
    IDS_WARN_5_SECONDS,
    IDS_WARN_10_SECONDS,
    IDS_WARN_30_SECONDS,
    IDS_WARN_NONE,
    IDS_GROUPS_EMPTY,
    IDS_MEMBERS_EMPTY,
    IDS_SCHEDULED_EMPTY,
    IDS_NO_RECIPIENTS,
    IDS_HINT_WELCOME,
    IDS_AUTO_REPLY_DEFAULT_TEXT,
    IDS_COUNTDOWN_FORMAT,
    IDS_DUE_TODAY_FORMAT,
    IDS_DUE_TOMORROW_FORMAT,
    IDS_DUE_WEEKDAY_FORMAT,
    IDS_DUE_DATE_FORMAT,
    IDS_STATS_NONE,
    IDS_STATS_PERIOD_FORMAT,
    IDS_STATS_TOP_FORMAT,
    IDS_SAMPLE_GROUP_FAMILY,
    IDS_SAMPLE_GROUP_FRIENDS,
    IDS_SAMPLE_GROUP_WORK,
    IDS_ADD_RECIPIENT,
    IDS_TIME_NOT_IN_FUTURE,
    IDS_CANNOT_RUN,
    IDS_SCHEDULED_LIMIT_FORMAT,
    IDS_SCHEDULED_TOO_CLOSE_FORMAT,
    IDS_PERIOD_INVALID,
    IDS_JOB_FAILED,
    IDS_BACKUP_EMPTY,
    IDS_CONFIRM_EMPTY_FOLDERS,
    IDS_OFFER_MAIL_FILE,
    IDS_STATS_RECEIVED,
    IDS_STATS_SENT,
    IDS_FOLDER_RECEIVED,
    IDS_FOLDER_SENT,
    IDS_STATUS_EMPTYING,
    IDS_STATUS_RESTORING,
    IDS_STATUS_FINISHED,
    IDS_OPTION_DELETE_AFTER_BACKUP,
    IDS_OPTION_EMPTY_BEFORE_RESTORE,
    IDS_BACKUP_MAIL_SUBJECT,
    IDS_BACKUP_MAIL_BODY,
    IDS_CSV_HEADER,
    IDS_MY_NUMBER_CAPTION,
    IDS_UNDER_ONE_MESSAGE,
    IDS_ONE_MESSAGE,
    IDS_MESSAGES_FORMAT,
    IDS_ONE_MESSAGE_SHARE_FORMAT,
    IDS_MESSAGES_SHARE_FORMAT,
    IDS_RECOMMEND_MAIL_SUBJECT,
    IDS_RECOMMEND_MAIL_BODY,
    IDS_HINT_STATISTICS,
};

// The conversions of a format in order ("%%" is none), as wsprintf would consume arguments.
std::string Conversions(const std::u16string& format)
{
    std::string found;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%')
            continue;
        ++i;
        while (i < format.size() &&
               std::u16string_view(u"-+ #0123456789.lh").find(format[i]) != std::u16string_view::npos)
            ++i;
        if (i < format.size() && format[i] != u'%')
            found += char(format[i]);
    }
    return found;
}

// Every id with a string in a module's string table.
std::set<UINT> StringIdsIn(HMODULE module)
{
    std::set<UINT> ids;
    for (const auto& entry : device::ResourcesOf(module)->Entries()) {
        if (!(entry.type == device::ResourceKey(LOWORD(RT_STRING))) || !entry.name.IsId())
            continue;
        for (UINT id = (entry.name.Id() - 1u) * 16; id < entry.name.Id() * 16u; ++id) {
            if (LoadStringW(module, id, nullptr, 0) != 0)
                ids.insert(id);
        }
    }
    return ids;
}

fs::path ZelkovaRes()
{
    const char* image = std::getenv("DEVICE_IMAGE_DIR");
    return image ? fs::path(image) / "ZelkovaRes.dll" : fs::path();
}

} // namespace

TEST(ZelkovaResources, HoldsEveryStringIdAndNoOther)
{
    ASSERT_FALSE(ZelkovaRes().empty()) << "DEVICE_IMAGE_DIR is not set";
    DataModule module(ZelkovaRes());
    ASSERT_TRUE(module) << "error " << module.Error();
    std::set<UINT> expected(std::begin(kStringIds), std::end(kStringIds));
    EXPECT_EQ(expected.size(), std::size(kStringIds)) << "an id is listed twice";
    EXPECT_EQ(StringIdsIn(module), expected);
    for (UINT id : kStringIds)
        EXPECT_FALSE(String(module, id).empty()) << id;
}

TEST(ZelkovaResources, FormatsTakeExactlyTheArgumentsTheProgramPasses)
{
    DataModule module(ZelkovaRes());
    ASSERT_TRUE(module);
    for (UINT id : kStringIds) {
        auto format = kFormats.find(id);
        EXPECT_EQ(Conversions(String(module, id)), format == kFormats.end() ? "" : format->second) << id;
    }
}

TEST(ZelkovaResources, TheCsvHeaderIsALineOfSevenQuotedTabEndedFields)
{
    DataModule module(ZelkovaRes());
    ASSERT_TRUE(module);
    std::u16string header = String(module, IDS_CSV_HEADER);
    ASSERT_GE(header.size(), 2u);
    EXPECT_EQ(header.substr(header.size() - 2), u"\r\n");
    size_t fields = 0, at = 0;
    while (at + 2 < header.size()) {
        ASSERT_EQ(header[at], u'"') << at;
        size_t close = header.find(u'"', at + 1);
        ASSERT_NE(close, std::u16string::npos);
        ASSERT_EQ(header[close + 1], u'\t');
        at = close + 2;
        ++fields;
    }
    EXPECT_EQ(fields, 7u);
    EXPECT_EQ(at, header.size() - 2);
}

TEST(DataFiles, TheProgramsOwnResourcesComeFromTheResourceFileBesideIt)
{
    ScratchFolder folder;
    device::SetProgramPath(folder / "tool.exe");
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_EQ(FindResourceW(program, MAKEINTRESOURCE(150), RT_GROUP_ICON), nullptr); // no tool.rsrc yet
    WriteFile(folder / "tool.rsrc", ReadFile(TestResource("icons.dll")));
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCE(150), RT_GROUP_ICON), nullptr);
    EXPECT_NE(LoadIconW(program, MAKEINTRESOURCE(150)), nullptr);
    device::SetProgramPath(folder / "other.exe"); // another program, without a file of its own
    EXPECT_EQ(FindResourceW(program, MAKEINTRESOURCE(150), RT_GROUP_ICON), nullptr);
    device::SetProgramPath({});
}

#include <windows.h>

#include <commctrl.h>

#include "device/DataFile.h"
#include "gdi/Drawing.h"
#include "gdi/Icons.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <filesystem>

using device::IconGroupEntry;
using testing_support::TempDevice;

namespace {

// icons.rc: icon 150 holds 16x16 at 4 and 32 bits, 32x32 at 8 and 32 bits and 48x48 at 32 bits;
// icon 151 and the icon named "Named" hold one 16x16 image.
class Icons : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD error = 0;
        m_module = device::OpenDataFile(std::filesystem::path(TEST_RESOURCE_DIR) / "icons.dll", &error);
        ASSERT_NE(m_module, nullptr) << "error " << error;
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = TEXT("IconCanvas");
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, TEXT("IconCanvas"), TEXT(""), WS_VISIBLE, 0, 0, 240, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_window);
        UnregisterClassW(TEXT("IconCanvas"), nullptr);
        if (m_module)
            device::ReleaseDataFile(m_module);
    }

    HICON Load(int id, int cx, int cy, UINT flags = 0)
    {
        return static_cast<HICON>(LoadImageW(m_module, MAKEINTRESOURCE(id), IMAGE_ICON, cx, cy, flags));
    }

    std::vector<device::IconDrawing> Drawn() const
    {
        std::vector<device::IconDrawing> icons;
        for (auto& drawing : device::DrawingOf(m_window))
            if (auto icon = std::get_if<device::IconDrawing>(&drawing.what))
                icons.push_back(*icon);
        return icons;
    }

    TempDevice m_device;
    HMODULE m_module = nullptr;
    HWND m_window = nullptr;
};

// The width and depth stored in an icon image's own header, not the group's word for it.
std::pair<int, int> StoredWidthAndDepth(const device::IconImage& image)
{
    const BYTE* b = image.bits.data();
    return {b[4] | b[5] << 8, b[14] | b[15] << 8};
}

} // namespace

TEST(IconGroups, TheBestImageIsTheNearestSizeThenTheDeepestTheDisplayShows)
{
    std::vector<IconGroupEntry> entries{
        {16, 16, 4, 1}, {16, 16, 32, 2}, {32, 32, 8, 3}, {32, 32, 32, 4}, {48, 48, 32, 5}, {32, 32, 1, 6}};
    auto id = [&](int cx, int cy, int display, bool mono) {
        return entries[device::BestIcon(entries, cx, cy, display, mono)].id;
    };
    EXPECT_EQ(id(32, 32, 16, false), 3);  // 32 bits is beyond a 16-bit display
    EXPECT_EQ(id(32, 32, 32, false), 4);
    EXPECT_EQ(id(16, 16, 16, false), 1);
    EXPECT_EQ(id(24, 24, 16, false), 3);  // as near to 16 as to 32: the larger shrinks better
    EXPECT_EQ(id(40, 40, 32, false), 5);  // nearer to 48 than to 32
    EXPECT_EQ(id(100, 100, 32, false), 5);
    EXPECT_EQ(id(32, 32, 16, true), 6);   // monochrome asks for the fewest colours

    // A group as stored: header, then 14 bytes per image; width 0 stands for 256.
    std::vector<BYTE> group{0, 0, 1, 0, 2, 0,                                   // two images
                            32, 32, 0, 0, 1, 0, 8, 0, 0x10, 0, 0, 0, 7, 0,      // 32x32, 8 bits, id 7
                            0, 0, 16, 0, 1, 0, 0, 0, 0x10, 0, 0, 0, 9, 0};      // 256x256, 16 colours, id 9
    auto read = device::ReadIconGroup(group);
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].width, 32);
    EXPECT_EQ((*read)[0].bitCount, 8);
    EXPECT_EQ((*read)[0].id, 7);
    EXPECT_EQ((*read)[1].width, 256);
    EXPECT_EQ((*read)[1].bitCount, 4); // from the colour count
    EXPECT_EQ((*read)[1].id, 9);
    group.pop_back(); // cut short
    EXPECT_FALSE(device::ReadIconGroup(group).has_value());
    std::vector<BYTE> cursorGroup{0, 0, 2, 0, 0, 0};
    EXPECT_FALSE(device::ReadIconGroup(cursorGroup).has_value());
}

TEST_F(Icons, LoadImageChoosesTheImageThatSuitsTheAskedSize)
{
    HICON small = Load(150, 16, 16), large = Load(150, 32, 32), between = Load(150, 24, 24);
    HICON huge = Load(150, 48, 48), standard = Load(150, 0, 0);
    for (HICON icon : {small, large, between, huge, standard})
        ASSERT_NE(icon, nullptr);
    auto smallImage = device::IconOf(small);
    EXPECT_EQ(smallImage->module, m_module);
    EXPECT_EQ(smallImage->id, 150);
    EXPECT_EQ(smallImage->width, 16);
    EXPECT_EQ(StoredWidthAndDepth(*smallImage), std::make_pair(16, 4)); // the display shows 16 bits
    EXPECT_EQ(StoredWidthAndDepth(*device::IconOf(large)), std::make_pair(32, 8));
    auto betweenImage = device::IconOf(between);
    EXPECT_EQ(StoredWidthAndDepth(*betweenImage), std::make_pair(32, 8));
    EXPECT_EQ(betweenImage->width, 24); // the icon is drawn at the size asked for
    EXPECT_EQ(betweenImage->imageWidth, 32);
    EXPECT_EQ(StoredWidthAndDepth(*device::IconOf(huge)), std::make_pair(48, 32));
    EXPECT_EQ(device::IconOf(standard)->width, GetSystemMetrics(SM_CXICON)); // no size: the system's

    HICON named = static_cast<HICON>(LoadImageW(m_module, TEXT("Named"), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(device::IconOf(named)->name, u"Named"); // as the program named it

    SetLastError(0);
    EXPECT_EQ(Load(999, 16, 16), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadImageW(m_module, MAKEINTRESOURCE(150), IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));

    for (HICON icon : {small, large, between, huge, standard, named})
        EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(small)); // already destroyed
    EXPECT_EQ(device::IconOf(small), nullptr);
}

TEST_F(Icons, LoadIconSharesOneIconThatDestroyIconLeavesAlone)
{
    HICON first = LoadIconW(m_module, MAKEINTRESOURCE(151));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadIconW(m_module, MAKEINTRESOURCE(151)), first);
    EXPECT_EQ(device::IconOf(first)->width, GetSystemMetrics(SM_CXICON));
    EXPECT_TRUE(DestroyIcon(first));
    EXPECT_NE(device::IconOf(first), nullptr);
    EXPECT_EQ(LoadIconW(m_module, MAKEINTRESOURCE(151)), first);

    HICON standard = LoadIconW(nullptr, IDI_EXCLAMATION);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(device::IconOf(standard)->module, nullptr);
    SetLastError(0);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCE(150)), nullptr); // not a standard icon
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(Icons, DrawnIconsRecordWhichIconAndWhere)
{
    HICON icon = Load(150, 16, 16);
    HDC hdc = GetDC(m_window);
    EXPECT_TRUE(DrawIcon(hdc, 5, 6, icon));
    EXPECT_TRUE(DrawIconEx(hdc, 30, 6, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE));
    EXPECT_TRUE(DrawIconEx(hdc, 80, 6, icon, 20, 10, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(hdc, 0, 0, reinterpret_cast<HICON>(0x99), 0, 0, 0, nullptr, DI_NORMAL));
    ReleaseDC(m_window, hdc);
    DestroyIcon(icon);

    auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].icon->id, 150);
    EXPECT_EQ(drawn[0].icon->module, m_module);
    EXPECT_EQ(drawn[0].rect.right - drawn[0].rect.left, 16);
    EXPECT_EQ(drawn[0].rect.top, 6);
    EXPECT_EQ(drawn[1].rect.right - drawn[1].rect.left, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(drawn[2].rect.right - drawn[2].rect.left, 20);
    EXPECT_EQ(drawn[2].rect.bottom - drawn[2].rect.top, 10);
}

TEST_F(Icons, ImageListsCountAddedReplacedAndRemovedImages)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR | ILC_MASK, 3, 1);
    ASSERT_NE(list, nullptr);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    HICON several = Load(150, 16, 16), single = Load(151, 16, 16);
    EXPECT_EQ(ImageList_AddIcon(list, several), 0);
    EXPECT_EQ(ImageList_AddIcon(list, single), 1);
    EXPECT_EQ(ImageList_AddIcon(list, several), 2);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, single), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 3, single), -1); // no image 3 to replace
    EXPECT_EQ(ImageList_AddIcon(list, reinterpret_cast<HICON>(0x99)), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    // The list keeps its own copies: the icons may go.
    DestroyIcon(several);
    DestroyIcon(single);

    HDC hdc = GetDC(m_window);
    EXPECT_TRUE(ImageList_Draw(list, 2, hdc, 10, 20, ILD_NORMAL));
    EXPECT_TRUE(ImageList_Draw(list, 0, hdc, 40, 20, ILD_SELECTED));
    EXPECT_FALSE(ImageList_Draw(list, 3, hdc, 0, 0, ILD_NORMAL));
    auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].icon->id, 150);
    EXPECT_EQ(drawn[1].icon->id, 151); // replaced
    EXPECT_EQ(drawn[1].style, UINT(ILD_SELECTED));
    EXPECT_EQ(drawn[0].rect.right, 26);
    EXPECT_EQ(drawn[0].rect.bottom, 36);

    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    EXPECT_TRUE(ImageList_Draw(list, 0, hdc, 0, 60, ILD_NORMAL));
    EXPECT_EQ(Drawn().back().icon->id, 151); // what was image 1 is image 0 now
    EXPECT_FALSE(ImageList_Remove(list, 2));
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ReleaseDC(m_window, hdc);

    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(ImageList_AddIcon(list, LoadIconW(nullptr, IDI_APPLICATION)), -1);
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR, 1, 1), nullptr);
}

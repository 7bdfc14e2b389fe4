#include "layout/registry_store.h"

#include "platform/platform.h"
#include "platform/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const std::string SvdenKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn";

// A registry holding the 30 slot keys, with extra lines appended to chosen keys.
std::string SlotRegistry(const std::map<int, std::string>& valuesBySlot, int missingSlot = -1) {
    std::string reg = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int index = 0; index < SlotCount; ++index) {
        if (index == missingSlot) {
            continue;
        }
        std::string path = Utf8FromWide(SlotKeyPath(index));
        reg += "[HKEY_LOCAL_MACHINE\\" + path + "]\r\n";
        auto found = valuesBySlot.find(index);
        if (found != valuesBySlot.end()) {
            reg += found->second + "\r\n";
        }
        reg += "\r\n";
    }
    return reg;
}

// The value of a slot's key: its type and text, or type None when absent.
std::pair<std::uint32_t, std::wstring> SlotValue(int index) {
    RegistryKey key;
    if (!OpenRegistryKey(SlotKeyPath(index), key)) {
        return {RegistryTypeNone, L"<no key>"};
    }
    std::uint32_t type = RegistryTypeNone;
    std::vector<std::uint8_t> data;
    std::pair<std::uint32_t, std::wstring> result{RegistryTypeNone, L""};
    if (QueryRegistryValue(key, SlotValueName(index), 4096, type, data)) {
        result = {type, WideFromUtf16Le(data.data(), data.size())};
    }
    CloseRegistryKey(key);
    return result;
}

} // namespace

TEST(RegistryStore, SlotKeysLieBelowTheirKindsParent) {
    EXPECT_EQ(SlotKeyPath(0), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\WideTiles\\WideTile1");
    EXPECT_EQ(SlotKeyPath(17), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\SquareTiles\\SquareTile12");
    EXPECT_EQ(SlotKeyPath(18), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SVDEn\\SquareTiles\\SquareOrDesktopTile1");
    EXPECT_EQ(SlotValueName(5), L"AppId");
    EXPECT_EQ(SlotValueName(18), L"AppIdOrPath");
}

TEST(RegistryStore, ReadTakesEveryReadableValueAsText) {
    TestImage image = MakeTestImage();
    std::string tooLong(261, 'x'); // 522 bytes with its terminator: more than the buffer holds
    std::string reg = SlotRegistry({
        {0, "\"AppId\"=\"Microsoft.Reader_8wekyb3d8bbwe!App\""},
        // REG_EXPAND_SZ "%ProgramData%\x.lnk" is read like any other text.
        {18, "\"AppIdOrPath\"=hex(2):25,00,50,00,72,00,6f,00,67,00,72,00,61,00,6d,00,44,00,61,00,"
             "74,00,61,00,25,00,5c,00,78,00,2e,00,6c,00,6e,00,6b,00,00,00"},
        {19, "\"AppIdOrPath\"=\"" + tooLong + "\""},
        {6, "\"AppIdOrPath\"=\"wrong value name\""},
    });
    // A key of the same name under a separate parent is never read.
    reg += SvdenKey + "\\SquareOrDesktopTiles\\SquareOrDesktopTile2]\r\n\"AppIdOrPath\"=\"elsewhere\"\r\n";
    WriteHostFile(image.registry, reg);

    TileLayout layout;
    EXPECT_EQ(ReadRegistryLayout(layout), 1);
    EXPECT_EQ(layout.slots[0], L"Microsoft.Reader_8wekyb3d8bbwe!App");
    EXPECT_EQ(layout.slots[18], L"%ProgramData%\\x.lnk");
    EXPECT_EQ(layout.slots[19], L"");
    EXPECT_EQ(layout.slots[6], L"");
    for (int index : {1, 2, 3, 4, 5, 7, 17, 20, 29}) {
        EXPECT_EQ(layout.slots[index], L"") << index;
    }
}

TEST(RegistryStore, ReadWithoutRegistryLeavesTheLayoutAsItWas) {
    TestImage image = MakeTestImage();
    TileLayout layout;
    layout.slots[3] = L"kept";
    EXPECT_EQ(ReadRegistryLayout(layout), 1);
    EXPECT_EQ(layout.slots[3], L"kept");
}

TEST(RegistryStore, WriteSetsFilledSlotsAsStringsAndDeletesFreeOnes) {
    TestImage image = MakeTestImage();
    std::string reg = SlotRegistry({
        {0, "\"AppId\"=hex(2):41,00,00,00\r\n\"Other\"=dword:0000002a"},
        {7, "\"AppId\"=\"old\""},
    });
    WriteHostFile(image.registry, reg);

    TileLayout layout;
    layout.slots[0] = L"First";
    layout.slots[20] = L"C:\\Users\\Public\\Desktop\\Caf\u00e9.lnk";
    EXPECT_EQ(WriteRegistryLayout(layout), 1);

    EXPECT_EQ(SlotValue(0), std::make_pair(RegistryTypeString, std::wstring(L"First")));
    EXPECT_EQ(SlotValue(20), std::make_pair(RegistryTypeString,
                                            std::wstring(L"C:\\Users\\Public\\Desktop\\Caf\u00e9.lnk")));
    EXPECT_EQ(SlotValue(7).first, RegistryTypeNone);
    // Other values of a slot key are left alone.
    RegistryKey key;
    ASSERT_TRUE(OpenRegistryKey(SlotKeyPath(0), key));
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    EXPECT_TRUE(QueryRegistryValue(key, L"Other", 520, type, data));
    EXPECT_EQ(type, RegistryTypeDword);
    CloseRegistryKey(key);
}

TEST(RegistryStore, WriteFailsForAMissingKeyButGoesOnAndCreatesNothing) {
    TestImage image = MakeTestImage();
    WriteHostFile(image.registry, SlotRegistry({}, 10));
    TileLayout layout;
    layout.slots[10] = L"lost";
    layout.slots[29] = L"last";
    EXPECT_EQ(WriteRegistryLayout(layout), 0);
    EXPECT_EQ(SlotValue(10).second, L"<no key>");
    EXPECT_EQ(SlotValue(29).second, L"last");
}

TEST(RegistryStore, WriteRefusesATextLongerThanTheValueBuffer) {
    TestImage image = MakeTestImage();
    WriteHostFile(image.registry, SlotRegistry({{1, "\"AppId\"=\"before\""}}));
    TileLayout layout;
    layout.slots[1] = std::wstring(260, L'x');
    EXPECT_EQ(WriteRegistryLayout(layout), 0);
    EXPECT_EQ(SlotValue(1).second, L"before");
}

TEST(RegistryStore, DefaultLayoutComesFromSectionDefault) {
    TestImage image = MakeTestImage();
    WriteHostFile(ImagePath(image, "Tools/Tilewright.ini"),
                  "[Default]\r\nWideTile1=Wide.One\r\nSquareOrDesktopTile3=C:\\x.lnk\r\nSquareTile12=" +
                      std::string(300, 'q') + "\r\n");
    TileLayout layout;
    layout.slots[2] = L"replaced";
    EXPECT_EQ(ReadDefaultLayout(layout), 1);
    EXPECT_EQ(layout.slots[0], L"Wide.One");
    EXPECT_EQ(layout.slots[20], L"C:\\x.lnk");
    EXPECT_EQ(layout.slots[17], std::wstring(259, L'q'));
    EXPECT_EQ(layout.slots[2], L"");
}

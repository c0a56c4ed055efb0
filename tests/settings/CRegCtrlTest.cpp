#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TempFolder.h"
#include "platform/linux/FileSettingsStore.h"
#include "platform/sim/MemorySettingsStore.h"
#include "settings/CRegCtrl.h"

namespace korvane {
namespace {

constexpr RegistryHive kHive = RegistryHive::CurrentUser;
constexpr std::string_view kKey = "SOFTWARE\\Talvo";
constexpr std::string_view kHiveName = "HKEY_CURRENT_USER";

class CRegCtrlTest : public ::testing::Test {
  protected:
    StoredValue Stored(std::string_view name) {
        StoredValue value;
        value.type = 0xDEAD;
        store_.QueryValue(kHiveName, kKey, name, value);
        return value;
    }

    MemorySettingsStore store_;
    CRegCtrl reg_{store_};
};

TEST_F(CRegCtrlTest, ValuesLongerThanTheReadCapacityReadAsAbsent) {
    struct Case {
        std::size_t length;
        bool readable;
    };
    const Case cases[] = {{0, true},    {1, true},     {1023, true},
                          {1024, true}, {1025, false}, {5000, false}};
    for (const Case& c : cases) {
        const std::string text(c.length, 'k');
        ASSERT_EQ(reg_.WriteValue(kHive, kKey, "IpList", 1, text), 1);
        EXPECT_EQ(reg_.ReadText(kHive, kKey, "IpList"), c.readable ? text : "") << c.length;

        char buffer[CRegCtrl::kReadCapacity];
        std::memset(buffer, 'Z', sizeof buffer);
        std::size_t length = 777;
        EXPECT_EQ(reg_.ReadValue(kHive, kKey, "IpList", buffer, sizeof buffer, &length),
                  c.readable ? 1 : 0);
        EXPECT_EQ(length, c.readable ? c.length : 777u);
        // On failure the caller's buffer is exactly as it was.
        const char expected_first = c.readable && c.length > 0 ? 'k' : 'Z';
        EXPECT_EQ(buffer[0], expected_first) << c.length;
        EXPECT_EQ(buffer[sizeof buffer - 1], c.length == 1024 ? 'k' : 'Z') << c.length;
    }
}

TEST_F(CRegCtrlTest, EveryReadOffersTheFullCapacity) {
    const std::string id = "ab";
    const std::string password(900, 'p');
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "ui1", 1, id), 1);
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "up2", 1, password), 1);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "ui1"), id);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "up2"), password);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "ui1"), id);
}

TEST_F(CRegCtrlTest, AbsentAndZeroBytesReadAsText) {
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "VCType"), "");  // no key yet
    ASSERT_EQ(reg_.CreateKey(kHive, kKey), 1);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "VCType"), "");  // no value
    char buffer[8] = {};
    EXPECT_EQ(reg_.ReadValue(kHive, kKey, "VCType", buffer, sizeof buffer), 0);
    // Another program may store the terminating zero; the text ends there.
    ASSERT_TRUE(store_.SetValue(kHiveName, kKey, "inStart", {1, std::string("a.exe\0junk", 10)}));
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "inStart"), "a.exe");
}

TEST_F(CRegCtrlTest, TypeCodesDecideTheStoredForm) {
    struct Case {
        int type_code;
        std::string text;
        std::uint32_t stored_type;
        std::string stored_bytes;
    };
    const Case cases[] = {
        {1, "4", 1, "4"},
        {1, "\xEB\xAF\xB8\xEB\x8B\x88", 1, "\xEB\xAF\xB8\xEB\x8B\x88"},
        {7, "a^b^c", 7, "a^b^c"},
        {4, "123", 4, std::string("\x7B\0\0\0", 4)},
        {4, "305419896", 4, "\x78\x56\x34\x12"},
        {4, "12ab", 4, std::string("\x0C\0\0\0", 4)},
        {4, "", 4, std::string(4, '\0')},
        {4, "abc", 4, std::string(4, '\0')},
        {4, "-5", 4, std::string(4, '\0')},
        {4, "4294967295", 4, "\xFF\xFF\xFF\xFF"},
        {4, "99999999999999999999999", 4, "\xFF\xFF\xFF\xFF"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(reg_.WriteValue(kHive, kKey, "v", c.type_code, c.text), 1) << c.text;
        const StoredValue stored = Stored("v");
        EXPECT_EQ(stored.type, c.stored_type) << c.text;
        EXPECT_EQ(stored.bytes, c.stored_bytes) << c.text;
    }
}

TEST_F(CRegCtrlTest, UnknownTypeCodesStoreNothingAndSaySo) {
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "v", 1, "kept"), 1);
    for (const int code : {0, 2, 3, 5, 11, -1}) {
        EXPECT_EQ(reg_.WriteValue(kHive, kKey, "v", code, "other"), 0) << code;
        EXPECT_EQ(reg_.WriteValue(kHive, kKey, "fresh", code, "other"), 0) << code;
    }
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "v"), "kept");
    EXPECT_EQ(Stored("fresh").type, 0xDEADu);
}

TEST_F(CRegCtrlTest, WritingCreatesTheKeyAndFailsWhenItCannot) {
    EXPECT_EQ(reg_.WriteValue(kHive, kKey, "VSvrCode", 1, "S01"), 1);
    EXPECT_TRUE(store_.HasKey(kHiveName, kKey));
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "VSvrCode"), "S01");

    store_.DenyWrites(true);
    EXPECT_EQ(reg_.WriteValue(kHive, kKey, "VSvrCode", 1, "S02"), 0);
    EXPECT_EQ(reg_.CreateKey(kHive, "SOFTWARE\\Else"), 0);
    EXPECT_EQ(reg_.DeleteValue(kHive, kKey, "VSvrCode"), 0);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "VSvrCode"), "S01");
}

TEST_F(CRegCtrlTest, NoHiveOrNoKeyNameFailsAtOnce) {
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "ui1", 1, "id"), 1);
    const std::pair<RegistryHive, std::string_view> targets[] = {{RegistryHive::None, kKey},
                                                                 {kHive, ""}};
    for (const auto& [hive, key] : targets) {
        char buffer[16] = {};
        EXPECT_EQ(reg_.CreateKey(hive, key), 0);
        EXPECT_EQ(reg_.WriteValue(hive, key, "ui1", 1, "changed"), 0);
        EXPECT_EQ(reg_.ReadValue(hive, key, "ui1", buffer, sizeof buffer), 0);
        EXPECT_EQ(reg_.ReadText(hive, key, "ui1"), "");
        EXPECT_EQ(reg_.DeleteValue(hive, key, "ui1"), 0);
    }
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "ui1"), "id");
}

TEST_F(CRegCtrlTest, UntickingRememberDeletesOnlyItsFlag) {
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "ui1", 1, "encoded-id"), 1);
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "up2", 1, "encoded-password"), 1);
    ASSERT_EQ(reg_.WriteValue(kHive, kKey, "uipchk", 1, "1"), 1);

    EXPECT_EQ(reg_.DeleteValue(kHive, kKey, "uipchk"), 1);
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "uipchk"), "");
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "ui1"), "encoded-id");
    EXPECT_EQ(reg_.ReadText(kHive, kKey, "up2"), "encoded-password");
    EXPECT_EQ(store_.ValueCount(kHiveName, kKey), 2u);
    // A second untick finds nothing to delete.
    EXPECT_EQ(reg_.DeleteValue(kHive, kKey, "uipchk"), 0);
    EXPECT_EQ(reg_.DeleteValue(kHive, "SOFTWARE\\Missing", "uipchk"), 0);
}

TEST(CRegCtrlOnFiles, RoundTripsThroughTheFileStore) {
    test::TempFolder temp;
    FileSettingsStore store(temp.path());
    CRegCtrl reg(store);
    ASSERT_EQ(reg.CreateKey(kHive, kKey), 1);
    ASSERT_EQ(reg.WriteValue(kHive, kKey, "RCConnIp", 1, "1.2.3.4^5.6.7.8"), 1);
    ASSERT_EQ(reg.WriteValue(kHive, kKey, "IpCode", 1, std::string(1025, '9')), 1);
    EXPECT_EQ(reg.ReadText(kHive, kKey, "RCConnIp"), "1.2.3.4^5.6.7.8");
    EXPECT_EQ(reg.ReadText(kHive, kKey, "IpCode"), "");
    EXPECT_EQ(reg.DeleteValue(kHive, kKey, "RCConnIp"), 1);
    EXPECT_EQ(reg.ReadText(kHive, kKey, "RCConnIp"), "");
    // A fresh store object over the same folder sees what the first wrote.
    ASSERT_EQ(reg.WriteValue(kHive, kKey, "IpList", 1, std::string(1024, '8')), 1);
    FileSettingsStore reopened(temp.path());
    EXPECT_EQ(CRegCtrl(reopened).ReadText(kHive, kKey, "IpList"), std::string(1024, '8'));
}

}  // namespace
}  // namespace korvane

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/SettingsStore.h"
#include "platform/linux/FileSettingsStore.h"
#include "platform/sim/MemorySettingsStore.h"

// Both backends must behave the same way; every case here runs on each.
namespace korvane {
namespace {

constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr std::string_view kKey = "SOFTWARE\\Talvo";

struct MemoryBackend {
    MemorySettingsStore store;
};

struct FileBackend {
    test::TempFolder folder;
    FileSettingsStore store{folder.path()};
};

template <typename Backend>
class SettingsStoreContract : public ::testing::Test {
  protected:
    SettingsStore& store() { return backend_.store; }
    std::string Query(std::string_view key, std::string_view name, std::uint32_t* type = nullptr) {
        StoredValue value;
        if (!store().QueryValue(kHive, key, name, value)) {
            return "<absent>";
        }
        if (type != nullptr) {
            *type = value.type;
        }
        return value.bytes;
    }

  private:
    Backend backend_;
};

using Backends = ::testing::Types<MemoryBackend, FileBackend>;
TYPED_TEST_SUITE(SettingsStoreContract, Backends);

TYPED_TEST(SettingsStoreContract, MissingKeyRefusesEveryValueOperation) {
    StoredValue value;
    EXPECT_FALSE(this->store().QueryValue(kHive, kKey, "ui1", value));
    EXPECT_FALSE(this->store().SetValue(kHive, kKey, "ui1", {1, "x"}));
    EXPECT_FALSE(this->store().DeleteValue(kHive, kKey, "ui1"));
    // Setting did not create the key on the side.
    EXPECT_FALSE(this->store().QueryValue(kHive, kKey, "ui1", value));
}

TYPED_TEST(SettingsStoreContract, KeepsTypeAndBytesExactlyAndOverwrites) {
    ASSERT_TRUE(this->store().CreateKey(kHive, kKey));
    const std::string binary("a\0b\xAC\xEB\xAF\xB8\r\n\xFF", 10);
    ASSERT_TRUE(this->store().SetValue(kHive, kKey, "raw", {7, binary}));
    std::uint32_t type = 0;
    EXPECT_EQ(this->Query(kKey, "raw", &type), binary);
    EXPECT_EQ(type, 7u);

    ASSERT_TRUE(this->store().SetValue(kHive, kKey, "raw", {4, std::string("\x2A\0\0\0", 4)}));
    EXPECT_EQ(this->Query(kKey, "raw", &type), std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(type, 4u);

    ASSERT_TRUE(this->store().SetValue(kHive, kKey, "raw", {1, ""}));
    EXPECT_EQ(this->Query(kKey, "raw", &type), "");
    EXPECT_EQ(type, 1u);
}

TYPED_TEST(SettingsStoreContract, DeleteRemovesOnlyThatValue) {
    ASSERT_TRUE(this->store().CreateKey(kHive, kKey));
    for (const char* name : {"ui1", "up2", "uipchk"}) {
        ASSERT_TRUE(this->store().SetValue(kHive, kKey, name, {1, std::string(name) + "-text"}));
    }
    EXPECT_TRUE(this->store().DeleteValue(kHive, kKey, "uipchk"));
    EXPECT_FALSE(this->store().DeleteValue(kHive, kKey, "uipchk"));
    EXPECT_EQ(this->Query(kKey, "uipchk"), "<absent>");
    EXPECT_EQ(this->Query(kKey, "ui1"), "ui1-text");
    EXPECT_EQ(this->Query(kKey, "up2"), "up2-text");
}

TYPED_TEST(SettingsStoreContract, RejectsMalformedKeyPaths) {
    for (const std::string_view key : {"", "\\", "A\\\\B", "\\A", "A\\"}) {
        EXPECT_FALSE(this->store().CreateKey(kHive, key)) << key;
    }
    EXPECT_FALSE(this->store().CreateKey("", kKey));
}

TYPED_TEST(SettingsStoreContract, CreatingAKeyCreatesItsParents) {
    ASSERT_TRUE(this->store().CreateKey(kHive, "A\\B\\C"));
    EXPECT_TRUE(this->store().SetValue(kHive, "A", "v", {1, "top"}));
    EXPECT_TRUE(this->store().SetValue(kHive, "A\\B", "v", {1, "middle"}));
    EXPECT_EQ(this->Query("A", "v"), "top");
    EXPECT_EQ(this->Query("A\\B", "v"), "middle");
    EXPECT_EQ(this->Query("A\\B\\C", "v"), "<absent>");
}

TYPED_TEST(SettingsStoreContract, AwkwardNamesAreDistinctValues) {
    // Names that an escaping scheme could confuse with each other, with a
    // subkey, or with a path step.
    const std::vector<std::string> names = {
        "",   "x",    "X",     "a/b", "a%2Fb", "a\\b", "=x",           ".",
        "..", "../x", ".tmp-", "%",   "Sub",   "a b",  "\xEB\xAF\xB8", std::string("n\0m", 3)};
    ASSERT_TRUE(this->store().CreateKey(kHive, kKey));
    ASSERT_TRUE(this->store().CreateKey(kHive, "SOFTWARE\\Talvo\\Sub"));
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(this->store().SetValue(kHive, kKey, names[i], {1, "v" + std::to_string(i)}))
            << i;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(this->Query(kKey, names[i]), "v" + std::to_string(i)) << i;
    }
    // The subkey of the same name as a value still works.
    EXPECT_TRUE(this->store().SetValue(kHive, "SOFTWARE\\Talvo\\Sub", "inner", {1, "in"}));
    EXPECT_EQ(this->Query("SOFTWARE\\Talvo\\Sub", "inner"), "in");
}

TYPED_TEST(SettingsStoreContract, HivesAndKeysAreSeparate) {
    ASSERT_TRUE(this->store().CreateKey(kHive, kKey));
    ASSERT_TRUE(this->store().CreateKey("OTHER_HIVE", kKey));
    ASSERT_TRUE(this->store().CreateKey(kHive, "SOFTWARE\\Other"));
    ASSERT_TRUE(this->store().SetValue(kHive, kKey, "v", {1, "mine"}));
    StoredValue value;
    EXPECT_FALSE(this->store().QueryValue("OTHER_HIVE", kKey, "v", value));
    EXPECT_FALSE(this->store().QueryValue(kHive, "SOFTWARE\\Other", "v", value));
    EXPECT_FALSE(this->store().QueryValue(kHive, "SOFTWARE", "v", value));
}

}  // namespace
}  // namespace korvane

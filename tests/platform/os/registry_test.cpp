#include "platform/os/registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/os/atomic_file.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sorvane-registry-XXXXXX";
        folder_ = mkdtemp(pattern);
        file_ = folder_ + "/vendor/registry.dat";
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
    std::string ReadFile(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string folder_;
    std::string file_;
};

TEST_F(RegistryTest, TypedValuesSurviveReopening) {
    {
        os::Registry reg(file_);
        ASSERT_TRUE(reg.SetDword("SOFTWARE\\V\\App\\COMMON", "Language", 0x01020304));
        ASSERT_TRUE(reg.SetString("SOFTWARE\\V\\App\\COMMON", "Text", "\xE6\x97\xA5 = [x]\\%"));
        ASSERT_TRUE(reg.SetBinary("SOFTWARE\\V\\App\\CAN", "CAN1", {0, 1, 0xff, '\n'}));
        ASSERT_TRUE(reg.SetValue("SOFTWARE\\V\\App\\CAN", "odd name=\n", os::RegType::Dword,
                                 "12345678", 8));
    }
    os::Registry reg(file_);
    os::RegValue value;
    ASSERT_TRUE(reg.QueryValue("software\\v\\app\\common", "LANGUAGE", &value));
    EXPECT_EQ(value.name, "Language");
    EXPECT_EQ(value.type, os::RegType::Dword);
    EXPECT_EQ(value.data, (std::vector<uint8_t>{4, 3, 2, 1}));
    ASSERT_TRUE(reg.QueryValue("SOFTWARE\\V\\App\\COMMON", "Text", &value));
    EXPECT_EQ(value.type, os::RegType::Sz);
    const std::string text = "\xE6\x97\xA5 = [x]\\%";
    EXPECT_EQ(std::string(value.data.begin(), value.data.end()), text + '\0');
    ASSERT_TRUE(reg.QueryValue("SOFTWARE\\V\\App\\CAN", "CAN1", &value));
    EXPECT_EQ(value.type, os::RegType::Binary);
    EXPECT_EQ(value.data, (std::vector<uint8_t>{0, 1, 0xff, '\n'}));
    ASSERT_TRUE(reg.QueryValue("SOFTWARE\\V\\App\\CAN", "odd name=\n", &value));
    EXPECT_EQ(value.data.size(), 8u);
    EXPECT_FALSE(reg.QueryValue("SOFTWARE\\V\\App\\CAN", "missing", &value));
}

TEST_F(RegistryTest, EnumeratesValuesInSetOrderAndKeysByName) {
    os::Registry reg(file_);
    reg.SetDword("K", "b", 1);
    reg.SetDword("K", "a", 2);
    reg.SetDword("K", "B", 3);  // same value, replaced where it stands
    reg.CreateKey("K\\zeta");
    reg.CreateKey("K\\Alpha");
    reg.CreateKey("K\\beta\\deep");
    os::RegValue value;
    std::vector<std::string> names;
    for (size_t i = 0; reg.EnumValue("K", i, &value); ++i) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"b", "a"}));
    ASSERT_TRUE(reg.QueryValue("K", "b", &value));
    EXPECT_EQ(value.data[0], 3);
    std::vector<std::string> keys;
    std::string key;
    for (size_t i = 0; reg.EnumKey("K", i, &key); ++i) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_FALSE(reg.EnumKey("nokey", 0, &key));
    EXPECT_FALSE(reg.EnumValue("nokey", 0, &value));
}

TEST_F(RegistryTest, DeleteTreeRemovesSubkeysAndEmptyRegistryLeavesNoFile) {
    os::Registry reg(file_);
    reg.SetDword("SOFTWARE\\V\\App\\COMMON", "x", 1);
    reg.SetDword("SOFTWARE\\V\\App\\Workspace\\Bar", "y", 2);
    reg.SetDword("SOFTWARE\\Other", "z", 3);
    ASSERT_TRUE(reg.DeleteTree("software\\v"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\V"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\V\\App\\Workspace\\Bar"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Other"));
    EXPECT_TRUE(reg.DeleteTree("SOFTWARE\\NotThere"));
    ASSERT_TRUE(reg.DeleteTree("SOFTWARE"));
    EXPECT_EQ(access(file_.c_str(), F_OK), -1);
    EXPECT_TRUE(reg.DeleteValue("x", "y") == false);
}

TEST_F(RegistryTest, BatchWritesOnceAtTheEnd) {
    os::Registry reg(file_);
    reg.BeginBatch();
    reg.SetDword("K", "a", 1);
    EXPECT_EQ(access(file_.c_str(), F_OK), -1);
    reg.SetDword("K", "b", 2);
    ASSERT_TRUE(reg.EndBatch());
    os::Registry again(file_);
    os::RegValue value;
    EXPECT_TRUE(again.QueryValue("K", "b", &value));
}

bool Refuse(const std::string&) {
    return false;
}

TEST_F(RegistryTest, FailedWriteIsReportedAndKeepsTheOldFile) {
    os::Registry reg(file_);
    ASSERT_TRUE(reg.SetDword("K", "a", 1));
    const std::string before = ReadFile(file_);
    os::SetAtomicWriteHookForTest(&Refuse);
    const bool ok = reg.SetDword("K", "a", 2);
    os::SetAtomicWriteHookForTest(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(reg.LastError().empty());
    EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(RegistryTest, DamagedFileLoadsWhatItCanAndIsKeptBeforeReplacement) {
    ASSERT_EQ(std::system(("mkdir -p '" + folder_ + "/vendor'").c_str()), 0);
    const std::string damaged =
        "SorvaneRegistry 1\n[K]\ngood=4:01000000\nbad "
        "line\nworse=9:00\nodd=4:0\n[K\\S]\nv=1:4100\n";
    std::ofstream(file_, std::ios::binary) << damaged;
    os::Registry reg(file_);
    EXPECT_FALSE(reg.LastError().empty());
    os::RegValue value;
    EXPECT_TRUE(reg.QueryValue("K", "good", &value));
    EXPECT_FALSE(reg.QueryValue("K", "worse", &value));
    EXPECT_TRUE(reg.QueryValue("K\\S", "v", &value));
    ASSERT_TRUE(reg.SetDword("K", "new", 5));
    EXPECT_EQ(ReadFile(file_ + ".damaged"), damaged);
    os::Registry again(file_);
    EXPECT_TRUE(again.LastError().empty());
    EXPECT_TRUE(again.QueryValue("K", "good", &value));
    EXPECT_TRUE(again.QueryValue("K", "new", &value));
}

TEST_F(RegistryTest, BinaryJunkIsNotARegistry) {
    ASSERT_EQ(std::system(("mkdir -p '" + folder_ + "/vendor'").c_str()), 0);
    std::ofstream(file_, std::ios::binary) << std::string("\0\xff\x01junk\n[K]\n", 11);
    os::Registry reg(file_);
    EXPECT_FALSE(reg.Reload());
    EXPECT_FALSE(reg.KeyExists("K"));
}

TEST_F(RegistryTest, ConcurrentWritersLoseNoValue) {
    os::Registry reg(file_);
    reg.BeginBatch();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&reg, t] {
            for (int i = 0; i < 200; ++i) {
                reg.SetDword(std::string("K\\T").append(std::to_string(t)),
                             std::string("v").append(std::to_string(i)), static_cast<uint32_t>(i));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    ASSERT_TRUE(reg.EndBatch());
    os::Registry again(file_);
    os::RegValue value;
    for (int t = 0; t < 4; ++t) {
        size_t count = 0;
        while (again.EnumValue(std::string("K\\T").append(std::to_string(t)), count, &value)) {
            ++count;
        }
        EXPECT_EQ(count, 200u);
    }
}

}  // namespace

#include "platform/os/private_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/os/atomic_file.h"

namespace {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/sorvane-profile-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Update(std::string text, const char* section, const char* key, const char* value) {
    EXPECT_TRUE(os::PrivateProfileFile::UpdateText(text, section, key, value));
    return text;
}

TEST(PrivateProfileText, CreatesSectionsAtTheEndWithCrLf) {
    std::string text = Update("", "A", "\"k1\"", "dword:00000001");
    EXPECT_EQ(text, "[A]\r\n\"k1\"=dword:00000001\r\n");
    text = Update(text, "B", "\"k2\"", "\"x\"");
    EXPECT_EQ(text, "[A]\r\n\"k1\"=dword:00000001\r\n[B]\r\n\"k2\"=\"x\"\r\n");
}

TEST(PrivateProfileText, ReplacesInPlaceIgnoringCaseOfSectionAndKey) {
    const std::string before =
        "; first\r\n[Sec]\r\n\"One\"=1\r\n\"Two\"=2\r\n\r\n[Other]\r\n\"One\"=9\r\n";
    EXPECT_EQ(Update(before, "sEC", "\"ONE\"", "new"),
              "; first\r\n[Sec]\r\n\"ONE\"=new\r\n\"Two\"=2\r\n\r\n[Other]\r\n\"One\"=9\r\n");
    // Whitespace around the header name and the key does not hide them.
    EXPECT_EQ(Update("[ Sec ]\n  \"One\" = 1\n", "Sec", "\"One\"", "2"),
              "[ Sec ]\r\n\"One\"=2\r\n");
}

TEST(PrivateProfileText, AppendsNewKeyAfterLastLineOfItsSection) {
    const std::string before = "[A]\r\n\"a\"=1\r\n# note\r\n\r\n\r\n[B]\r\n\"b\"=2\r\n";
    EXPECT_EQ(Update(before, "a", "\"new\"", "3"),
              "[A]\r\n\"a\"=1\r\n# note\r\n\"new\"=3\r\n\r\n\r\n[B]\r\n\"b\"=2\r\n");
    // An empty section at the end of a file without a final line break.
    EXPECT_EQ(Update("[A]", "A", "k", "v"), "[A]\r\nk=v\r\n");
}

TEST(PrivateProfileText, UnquotedKeyIsADifferentKeyAndCommentsAreNotKeys) {
    const std::string before = "[A]\r\nCAN1=old\r\n#\"CAN1\"=commented\r\n";
    EXPECT_EQ(Update(before, "A", "\"CAN1\"", "new"),
              "[A]\r\nCAN1=old\r\n#\"CAN1\"=commented\r\n\"CAN1\"=new\r\n");
}

TEST(PrivateProfileText, RepeatedSectionsAndKeysAreAllUpdated) {
    const std::string before = "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\nK=4\r\n";
    EXPECT_EQ(Update(before, "A", "k", "9"), "[A]\r\nk=9\r\n[B]\r\nk=2\r\n[a]\r\nk=9\r\nk=9\r\n");
    // A key missing from every copy goes to the first one.
    EXPECT_EQ(Update("[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "z", "3"),
              "[A]\r\nx=1\r\nz=3\r\n[A]\r\ny=2\r\n");
}

TEST(PrivateProfileText, KeepsByteOrderMarkAndNonAsciiText) {
    const std::string before = "\xEF\xBB\xBF[A]\n\"k\"=\"\xE6\x97\xA5\xE6\x9C\xAC\"\n";
    EXPECT_EQ(Update(before, "A", "\"k\"", "\"\xE8\xAA\x9E\""),
              "\xEF\xBB\xBF[A]\r\n\"k\"=\"\xE8\xAA\x9E\"\r\n");
}

TEST(PrivateProfileText, RefusesWhatCannotBeOneLine) {
    std::string text = "[A]\r\nk=1\r\n";
    const std::string before = text;
    std::string error;
    EXPECT_FALSE(os::PrivateProfileFile::UpdateText(text, "A", "k", "two\nlines", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(os::PrivateProfileFile::UpdateText(text, "A", "k=x", "v"));
    EXPECT_FALSE(os::PrivateProfileFile::UpdateText(text, "A]", "k", "v"));
    EXPECT_FALSE(os::PrivateProfileFile::UpdateText(text, "A", "", "v"));
    EXPECT_FALSE(os::PrivateProfileFile::UpdateText(text, "A", "k", std::string("a\0b", 3)));
    EXPECT_EQ(text, before);
}

TEST(PrivateProfileFile, CreatesMissingFileAndUpdatesExistingOne) {
    TempFolder folder;
    const std::string file = folder.File("s.ini");
    ASSERT_TRUE(os::WritePrivateProfileString("S", "\"a\"", "1", file));
    ASSERT_TRUE(os::WritePrivateProfileString("S", "\"b\"", "2", file));
    ASSERT_TRUE(os::WritePrivateProfileString("s", "\"A\"", "3", file));
    EXPECT_EQ(ReadFile(file), "[S]\r\n\"A\"=3\r\n\"b\"=2\r\n");
}

TEST(PrivateProfileFile, BatchWritesOnceAndKeepsPermissions) {
    TempFolder folder;
    const std::string file = folder.File("s.ini");
    WriteFile(file, "[X]\nforeign=1\n");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    os::PrivateProfileFile profile;
    ASSERT_TRUE(profile.Open(file));
    ASSERT_TRUE(profile.Set("S", "a", "1"));
    ASSERT_TRUE(profile.Set("S", "b", "2"));
    EXPECT_EQ(ReadFile(file), "[X]\nforeign=1\n");  // nothing written before Commit
    ASSERT_TRUE(profile.Commit());
    EXPECT_EQ(ReadFile(file), "[X]\r\nforeign=1\r\n[S]\r\na=1\r\nb=2\r\n");
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(PrivateProfileFile, WritesThroughSymbolicLink) {
    TempFolder folder;
    const std::string real = folder.File("real.ini");
    const std::string link = folder.File("link.ini");
    WriteFile(real, "[A]\r\n");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(os::WritePrivateProfileString("A", "k", "v", link));
    EXPECT_EQ(ReadFile(real), "[A]\r\nk=v\r\n");
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

bool FailBeforeRename(const std::string&) {
    return false;
}

TEST(PrivateProfileFile, InterruptedWriteLeavesOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string file = folder.File("s.ini");
    WriteFile(file, "[A]\r\nk=old\r\n");
    os::SetAtomicWriteHookForTest(&FailBeforeRename);
    std::string error;
    const bool ok = os::WritePrivateProfileString("A", "k", "new", file, &error);
    os::SetAtomicWriteHookForTest(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(file), "[A]\r\nk=old\r\n");
    EXPECT_EQ(std::system(("test $(ls -A '" + folder.Path() + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(PrivateProfileFile, ReportsFilesThatCannotBeWrittenOrRead) {
    TempFolder folder;
    std::string error;
    EXPECT_FALSE(
        os::WritePrivateProfileString("A", "k", "v", folder.File("no/such/dir.ini"), &error));
    EXPECT_FALSE(error.empty());
    // A folder in place of the file is neither read nor replaced.
    EXPECT_FALSE(os::WritePrivateProfileString("A", "k", "v", folder.Path(), &error));
    os::PrivateProfileFile unopened;
    EXPECT_FALSE(unopened.Commit());
}

TEST(AtomicFile, ReadWholeFileLimitsAndReportsMissing) {
    TempFolder folder;
    std::string text;
    bool missing = false;
    EXPECT_FALSE(os::ReadWholeFile(folder.File("none"), &text, nullptr, 100, &missing));
    EXPECT_TRUE(missing);
    WriteFile(folder.File("big"), std::string(200, 'x'));
    EXPECT_FALSE(os::ReadWholeFile(folder.File("big"), &text, nullptr, 100, &missing));
    EXPECT_FALSE(missing);
    EXPECT_TRUE(os::ReadWholeFile(folder.File("big"), &text, nullptr, 200));
    EXPECT_EQ(text.size(), 200u);
}

}  // namespace

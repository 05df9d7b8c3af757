#include "settings/profile.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_folder.h"

namespace {

struct Decoded {
    std::string key;
    uint8_t type = 0;
    std::vector<uint8_t> data;
    uint32_t length = 0;
};

// Every entry of a section, decoded with a buffer of the given size.
std::vector<Decoded> Entries(CProfile& profile, const std::string& section,
                             uint32_t capacity = 256) {
    std::vector<Decoded> out;
    std::vector<uint8_t> buffer(capacity + 1, 0xEE);
    Decoded d;
    d.length = capacity;
    if (!profile.FindFirstValue(section, &d.key, buffer.data(), &d.length, &d.type)) {
        return out;
    }
    do {
        d.data.assign(buffer.begin(), buffer.begin() + (d.type == kProfileTypeText   ? d.length + 1
                                                        : d.type == kProfileTypeNone ? 0
                                                                                     : d.length));
        out.push_back(d);
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        d = Decoded{};
        d.length = capacity;
    } while (profile.FindNextValue(&d.key, buffer.data(), &d.length, &d.type));
    return out;
}

std::string Text(const Decoded& d) {
    return std::string(d.data.begin(), d.data.end() - 1);
}

TEST(ProfileReader, SectionsAreCaseSensitiveAndRepeatsMerge) {
    CProfile profile;
    profile.LoadText("[A]\r\nx=\"1\"\r\n[a]\r\ny=\"2\"\r\n[A]\r\nz=\"3\"\r\n");
    ASSERT_EQ(profile.SectionCount(), 2u);
    std::string name;
    ASSERT_TRUE(profile.GetSectionName(1, &name));
    EXPECT_EQ(name, "a");
    EXPECT_FALSE(profile.GetSectionName(2, &name));
    EXPECT_FALSE(profile.GetSectionName(-1, &name));
    auto a = Entries(profile, "A");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].key, "x");
    EXPECT_EQ(a[1].key, "z");
    EXPECT_EQ(Entries(profile, "a").size(), 1u);
    EXPECT_TRUE(Entries(profile, "B").empty());
}

TEST(ProfileReader, LineRules) {
    CProfile profile;
    profile.LoadText(
        "orphan=\"before any section\"\n"
        "   # comment\n"
        "\n"
        "  [S]\n"
        "\t\"Quoted\"\"=\"v\"\n"
        "Key=Value=More\n"
        "==lead=x\n"
        "no equals sign\n"
        "path=\"C:\\#data\\x.dbc\"\n"
        "note=\"a # b\" # and a comment\n"
        "spaced=\"a b\"   \n"
        "cut = \"x\"   # trailing\n"
        "   #\"hidden\"=\"1\"\n"
        "[ not a header ] \n"
        "[T] # comment after header\n"
        "t=\"1\"\n");
    auto s = Entries(profile, "S");
    ASSERT_EQ(s.size(), 9u);
    EXPECT_EQ(s[0].key, "Quoted");
    EXPECT_EQ(Text(s[0]), "v");
    EXPECT_EQ(s[1].key, "Key");
    EXPECT_EQ(s[1].type, kProfileTypeNone);
    EXPECT_EQ(profile.FindSection("S")->entries[1].value, "Value=More");
    EXPECT_EQ(s[2].key, "lead");
    EXPECT_EQ(s[3].key, "no equals sign");
    EXPECT_EQ(s[3].type, kProfileTypeNone);
    // A "#" inside a quoted text as the writer writes it is part of the text;
    // after anything else it starts a comment.
    EXPECT_EQ(Text(s[4]), "C:\\#data\\x.dbc");
    EXPECT_EQ(Text(s[5]), "a");
    EXPECT_EQ(Text(s[6]), "a b\"   ");  // no "#": trailing blanks stay, the quote is not last
    EXPECT_EQ(s[7].key, "cut ");        // blanks around "=" make the value raw text
    EXPECT_EQ(s[7].type, kProfileTypeNone);
    EXPECT_EQ(s[8].key, "[ not a header ] ");
    EXPECT_EQ(Entries(profile, "T").size(), 1u);
    EXPECT_EQ(profile.SectionCount(), 2u);
}

TEST(ProfileReader, ValueForms) {
    CProfile profile;
    profile.LoadText(
        "[V]\n"
        "h=hex:0a,,ff\n"
        "e=hex:\n"
        "big=hex:1ff,zz, 7\n"
        "d=dword:FFFFFFFF\n"
        "D=DWORD:00000001\n"
        "o=dword:123456789\n"
        "n=dword:-1\n"
        "q=\"\"\n"
        "one=\"\n"
        "empty=\n"
        "raw=plain\n");
    auto v = Entries(profile, "V");
    ASSERT_EQ(v.size(), 11u);
    EXPECT_EQ(v[0].data, (std::vector<uint8_t>{0x0A, 0xFF}));
    EXPECT_EQ(v[1].type, kProfileTypeBytes);
    EXPECT_EQ(v[1].length, 0u);
    EXPECT_EQ(v[2].data, (std::vector<uint8_t>{0xFF, 0x00, 0x07}));
    EXPECT_EQ(v[3].data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(v[4].type, kProfileTypeNone);
    EXPECT_EQ(v[5].data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));  // saturates
    EXPECT_EQ(v[6].data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(v[7].type, kProfileTypeText);
    EXPECT_EQ(v[7].length, 0u);
    EXPECT_EQ(v[7].data[0], 0);
    EXPECT_EQ(v[8].type, kProfileTypeText);
    EXPECT_EQ(v[8].length, 0u);
    EXPECT_EQ(v[9].type, kProfileTypeNone);
    EXPECT_EQ(v[10].type, kProfileTypeNone);
}

TEST(ProfileReader, TypeNoneLeavesBufferAndLengthAlone) {
    CProfile profile;
    profile.LoadText("[V]\nraw=plain\n");
    uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t length = 8;
    uint8_t type = 9;
    std::string key;
    ASSERT_TRUE(profile.FindFirstValue("V", &key, buffer, &length, &type));
    EXPECT_EQ(type, kProfileTypeNone);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_FALSE(profile.FindNextValue(&key, buffer, &length, &type));
}

TEST(ProfileReader, TextIsCutToTheBufferAtACharacterBoundary) {
    CProfile profile;
    profile.LoadText("[V]\nt=\"abcdef\"\nj=\"\xE6\x97\xA5\xE6\x9C\xAC\"\nb=hex:01,02,03,04\n");
    auto v = Entries(profile, "V", 4);
    EXPECT_EQ(Text(v[0]), "abc");
    EXPECT_EQ(v[0].length, 3u);
    EXPECT_EQ(Text(v[1]), "\xE6\x97\xA5");  // not half of the second character
    EXPECT_EQ(v[2].length, 4u);
    EXPECT_EQ(Entries(profile, "V", 3)[2].length, 3u);
}

TEST(ProfileReader, CrLfFilesByteOrderMarkAndNonAscii) {
    TestFolder folder;
    const std::string file = folder.File("x.ini");
    WriteText(file,
              "\xEF\xBB\xBF[\xE6\x97\xA5]\r\n\"k\"=\"\xE8\xAA\x9E \xE6\x9C\xAC\"\r\nlast=dword:2");
    CProfile profile;
    ASSERT_TRUE(profile.Load(file));
    auto v = Entries(profile, "\xE6\x97\xA5");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(Text(v[0]), "\xE8\xAA\x9E \xE6\x9C\xAC");
    EXPECT_EQ(v[1].data[0], 2);
    EXPECT_FALSE(profile.Load(folder.File("missing.ini")));
    EXPECT_FALSE(profile.Load(folder.Path()));
}

TEST(ProfileReader, BadInputNeverStopsTheParse) {
    CProfile profile;
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 131) & 0xFF);
    }
    const std::string huge(2u << 20, 'x');
    profile.LoadText("[J]\n" + junk + "\n[K]\n" + huge + "=\"" + huge + "\"\nok=dword:1\n");
    SectionData* k = profile.FindSection("K");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->entries.size(), 2u);
    EXPECT_EQ(k->entries[0].key.size(), huge.size());
    auto v = Entries(profile, "K", 32767);
    EXPECT_EQ(v[0].length, 32766u);
    EXPECT_EQ(v[1].data[0], 1);
    profile.Clear();
    EXPECT_EQ(profile.SectionCount(), 0u);
    std::string key;
    uint32_t length = 4;
    uint8_t buffer[4];
    EXPECT_FALSE(profile.FindNextValue(&key, buffer, &length, nullptr));
}

TEST(ProfileWriter, ValueFormsAndQuotedKeys) {
    TestFolder folder;
    const std::string file = folder.File("w.ini");
    CProfile profile(file);
    const uint8_t bytes[] = {0x00, 0xAB, 0x10};
    ASSERT_TRUE(profile.WriteBinary("S", "Bin", bytes, sizeof bytes));
    ASSERT_TRUE(profile.WriteBinary("S", "None", bytes, 0));
    ASSERT_TRUE(profile.WriteDword("S", "Num", 0xABCDEF01));
    ASSERT_TRUE(profile.WriteString("S", "Txt", "%s %d \xE6\x97\xA5"));
    ASSERT_TRUE(profile.WriteString("s", "bin", ""));
    EXPECT_EQ(ReadText(file),
              "[S]\r\n\"bin\"=\"\"\r\n\"None\"=hex:\r\n\"Num\"=dword:abcdef01\r\n"
              "\"Txt\"=\"%s %d \xE6\x97\xA5\"\r\n");
    EXPECT_FALSE(profile.WriteString("S", "Bad", "line\nbreak"));
    EXPECT_FALSE(profile.LastError().empty());
}

TEST(ProfileWriter, TextsWithHashAndQuotesReadBackAsWritten) {
    TestFolder folder;
    const std::string file = folder.File("r.ini");
    CProfile writer(file);
    const char* texts[] = {"/work/car#2/body.dbc", "#", "\"quoted\" # \"", "a=b#c"};
    for (size_t i = 0; i < std::size(texts); ++i) {
        ASSERT_TRUE(writer.WriteString("COMMON", "Key" + std::to_string(i), texts[i]));
    }
    CProfile reader;
    ASSERT_TRUE(reader.Load(file));
    const auto entries = Entries(reader, "COMMON");
    ASSERT_EQ(entries.size(), std::size(texts));
    for (size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(Text(entries[i]), texts[i]) << i;
    }
}

TEST(ProfileWriter, BatchIsAllOrNothingAndReportsRejectedValues) {
    TestFolder folder;
    const std::string file = folder.File("w.ini");
    WriteText(file, "[S]\r\n\"a\"=dword:00000001\r\n");
    CProfile profile(file);
    ASSERT_TRUE(profile.BeginWrite());
    profile.WriteDword("S", "a", 2);
    profile.WriteString("S", "b", "two\nlines");
    profile.WriteDword("S", "c", 3);
    EXPECT_EQ(ReadText(file), "[S]\r\n\"a\"=dword:00000001\r\n");
    EXPECT_FALSE(profile.EndWrite());  // one value was refused ...
    EXPECT_EQ(ReadText(file), "[S]\r\n\"a\"=dword:00000002\r\n\"c\"=dword:00000003\r\n");
    CProfile missingFolder(folder.File("no/dir/w.ini"));
    EXPECT_TRUE(missingFolder.BeginWrite());
    EXPECT_FALSE(missingFolder.EndWrite());
}

}  // namespace

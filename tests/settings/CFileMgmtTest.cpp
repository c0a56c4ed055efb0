#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "settings/CFileMgmt.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

std::string WithBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<std::string> ReadEveryLine(CFileMgmt& file) {
    std::vector<std::string> lines;
    for (int guard = 0; guard < 100; ++guard) {
        std::string line = file.ReadLine();
        if (line == "-1") {
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

TEST(CFileMgmt, WritesCrLfLinesIntoAFreshPrivateFile) {
    test::TempFolder temp;
    test::WriteBytes(temp / "out.txt", "old content that must go\n");
    CFileMgmt file;
    ASSERT_EQ(file.OpenForWrite(temp.path(), "out.txt"), 0);
    EXPECT_EQ(file.AppendLine("client"), 0);
    EXPECT_EQ(file.AppendLine(""), 0);
    EXPECT_EQ(file.AppendLine("ca a\nb"), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(test::ReadBytes(temp / "out.txt"), "client\r\n\r\nca a\r\nb\r\n");

    ASSERT_EQ(file.OpenForWrite(temp.path(), "new.txt"), 0);
    file.Close();
    EXPECT_EQ(fs::status(temp / "new.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(CFileMgmt, ReadsCrLfAndLfLinesThenMinusOne) {
    test::TempFolder temp;
    const std::string long_line(5000, 'x');
    test::WriteBytes(temp / "in.txt", "one\r\ntwo\n\nmid\rdle\r\n" + long_line + "\nlast");
    CFileMgmt file;
    ASSERT_EQ(file.OpenForRead(temp.path(), "in.txt"), 0);
    EXPECT_EQ(ReadEveryLine(file),
              (std::vector<std::string>{"one", "two", "", "mid\rdle", long_line, "last"}));
    EXPECT_EQ(file.ReadLine(), "-1");
    file.Close();
    EXPECT_EQ(file.ReadLine(), "-1");
    EXPECT_EQ(file.AppendLine("nowhere"), -1);
}

TEST(CFileMgmt, OpenFailuresReturnMinusOne) {
    test::TempFolder temp;
    CFileMgmt file;
    EXPECT_EQ(file.OpenForRead(temp.path(), "missing.txt"), -1);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.OpenPath(temp / "missing.txt"), -1);
    EXPECT_EQ(file.OpenForWrite(temp / "no/such/folder", "x.txt"), -1);
}

TEST(CFileMgmt, BackslashesInPathsAreSeparators) {
    test::TempFolder temp;
    fs::create_directory(temp / "sub dir");
    test::WriteBytes(temp / "sub dir/crtver.ini", "1000\r\n");
    const std::string folder = WithBackslashes(temp / "sub dir");

    CFileMgmt file;
    ASSERT_EQ(file.OpenForRead(folder, "crtver.ini"), 0);
    EXPECT_EQ(file.ReadLine(), "1000");
    EXPECT_EQ(file.OpenPath(folder + "\\crtver.ini"), 0);
    std::string all;
    EXPECT_EQ(file.ReadAllLines(folder + "\\crtver.ini", all), 1);
    EXPECT_EQ(all, "1000\r\n");
    ASSERT_EQ(file.OpenForWrite(folder, "written.txt"), 0);
    file.Close();
    EXPECT_TRUE(fs::exists(temp / "sub dir/written.txt"));
}

TEST(CFileMgmt, ReadAllLinesAppendsCrLfLinesOrMinusEleven) {
    test::TempFolder temp;
    struct Case {
        std::string content;
        std::string expected;
    };
    const Case cases[] = {{"", "head\r\n"},
                          {"a\nb\n", "head\r\na\r\nb\r\n"},
                          {"a\r\nb", "head\r\na\r\nb\r\n"},
                          {"\n\n", "head\r\n\r\n\r\n"}};
    CFileMgmt file;
    for (const Case& c : cases) {
        test::WriteBytes(temp / "event.log", c.content);
        std::string out = "head\r\n";
        EXPECT_EQ(file.ReadAllLines(temp / "event.log", out), 1);
        EXPECT_EQ(out, c.expected);
    }
    std::string out = "kept";
    EXPECT_EQ(file.ReadAllLines(temp / "missing.log", out), -11);
    EXPECT_EQ(file.ReadAllLines(temp.path(), out), -11);
    EXPECT_EQ(out, "kept");
}

}  // namespace
}  // namespace korvane

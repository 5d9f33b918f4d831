#include "toolkit/system/Files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder()
    {
        char pattern[] = "/tmp/tilvo-files-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~Folder() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(path_))
            names.insert(e.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

void Put(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

std::string Get(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

mode_t Mode(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

}  // namespace

TEST(Files, ReplacesARegularFileKeepingItsModeAndLinks)
{
    Folder dir;
    const std::string file = dir / "a.ini";
    Put(file, "old");
    ::chmod(file.c_str(), 0640);
    const mode_t mask = ::umask(077);
    EXPECT_EQ(ReplaceFileContents(file, "new contents"), "");
    EXPECT_EQ(Get(file), "new contents");
    EXPECT_EQ(Mode(file) & 07777, 0640u);

    // A new file has the mode of any new file.
    EXPECT_EQ(ReplaceFileContents(dir / "b.ini", "b"), "");
    EXPECT_EQ(Mode(dir / "b.ini") & 07777, 0600u);
    ::umask(mask);

    // Through a link, the file it leads to is replaced and the link stays.
    fs::create_symlink("a.ini", dir / "link.ini");
    EXPECT_EQ(ReplaceFileContents(dir / "link.ini", "via link"), "");
    EXPECT_TRUE(S_ISLNK(Mode(dir / "link.ini")));
    EXPECT_EQ(Get(file), "via link");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"a.ini", "b.ini", "link.ini"}));
}

TEST(Files, RefusesWhatIsNotAWritableRegularFile)
{
    Folder dir;
    const std::string readOnly = dir / "locked.ini";
    Put(readOnly, "mine");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(ReplaceFileContents(readOnly, "x"), "the file is read-only");
    EXPECT_EQ(Get(readOnly), "mine");
    EXPECT_EQ(Mode(readOnly) & 07777, 0444u);

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReplaceFileContents(dir / "fifo", "x"), "not a regular file");
    EXPECT_TRUE(S_ISFIFO(Mode(dir / "fifo")));

    // A link to a device is followed and refused, the device untouched.
    fs::create_symlink("/dev/null", dir / "null.ini");
    EXPECT_EQ(ReplaceFileContents(dir / "null.ini", "x"), "not a regular file");
    EXPECT_TRUE(S_ISCHR(Mode("/dev/null")));

    fs::create_symlink("gone", dir / "dangling.ini");
    EXPECT_NE(ReplaceFileContents(dir / "dangling.ini", "x"), "");
    fs::create_directory(dir / "folder.ini");
    EXPECT_EQ(ReplaceFileContents(dir / "folder.ini", "x"), "is a folder, not a file");
    EXPECT_NE(ReplaceFileContents(dir / "nowhere/x.ini", "x"), "");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"locked.ini", "fifo", "null.ini", "dangling.ini", "folder.ini"}));
}

TEST(Files, NothingNamedLikeTheNewFileStandsInTheWayOrIsRemoved)
{
    // A folder and another program's file under the names a save of a.ini
    // and of b.ini once wrote to first.
    Folder dir;
    Put(dir / "a.ini", "old");
    Put(dir / "b.ini", "old");
    fs::create_directory(dir / ".a.ini.tilvo-new");
    Put(dir / ".b.ini.tilvo-new", "not ours");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReplaceFileContents(dir / "a.ini", "new a"), "");
        EXPECT_EQ(ReplaceFileContents(dir / "b.ini", "new b"), "");
    }
    EXPECT_EQ(Get(dir / "a.ini"), "new a");
    EXPECT_EQ(Get(dir / "b.ini"), "new b");
    EXPECT_EQ(Get(dir / ".b.ini.tilvo-new"), "not ours");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"a.ini", "b.ini", ".a.ini.tilvo-new", ".b.ini.tilvo-new"}));
}

TEST(Files, EarlierCopiesMoveOnAndTheOldestGivesWay)
{
    Folder dir;
    for (const char* data : {"1", "2", "3", "4"})
        EXPECT_EQ(KeepNewestCopy(dir / "x.bak", data, 3), "");
    EXPECT_EQ(Get(dir / "x.bak"), "4");
    EXPECT_EQ(Get(dir / "x.bak.1"), "3");
    EXPECT_EQ(Get(dir / "x.bak.2"), "2");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"x.bak", "x.bak.1", "x.bak.2"}));

    // A gap is filled without moving the rest; a folder in the row stops
    // it before anything is lost.
    fs::remove(dir / "x.bak.1");
    EXPECT_EQ(KeepNewestCopy(dir / "x.bak", "5", 3), "");
    EXPECT_EQ(Get(dir / "x.bak.1"), "4");
    EXPECT_EQ(Get(dir / "x.bak.2"), "2");
    fs::remove(dir / "x.bak.2");
    fs::create_directory(dir / "x.bak.2");
    EXPECT_NE(KeepNewestCopy(dir / "x.bak", "6", 3), "");
    EXPECT_EQ(Get(dir / "x.bak"), "5");
    EXPECT_EQ(Get(dir / "x.bak.1"), "4");
}

TEST(Files, ReadsRegularFilesOnlyAndNoMoreThanAsked)
{
    Folder dir;
    std::string data;
    bool complete = true;
    EXPECT_EQ(ReadRegularFile(dir / "none", 100, data, complete), TReadOutcome::Missing);

    Put(dir / "big", std::string(1000, 'x'));
    ASSERT_EQ(ReadRegularFile(dir / "big", 100, data, complete), TReadOutcome::Read);
    EXPECT_EQ(data, std::string(100, 'x'));
    EXPECT_FALSE(complete);
    ASSERT_EQ(ReadRegularFile(dir / "big", 1000, data, complete), TReadOutcome::Read);
    EXPECT_EQ(data.size(), 1000u);
    EXPECT_TRUE(complete);

    // Endless or blocking files are refused before they are read: a link to
    // /dev/zero, a FIFO nobody writes to.
    fs::create_symlink("/dev/zero", dir / "zero");
    EXPECT_EQ(ReadRegularFile(dir / "zero", 100, data, complete), TReadOutcome::Refused);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReadRegularFile(dir / "fifo", 100, data, complete), TReadOutcome::Refused);
    EXPECT_TRUE(data.empty());
}

#include "platform/regularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class RegularFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tessaline-files.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::ofstream(dir + "/file") << "0123456789";
        ASSERT_EQ(mkdir((dir + "/dir").c_str(), 0755), 0);
        ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0644), 0);
        ASSERT_EQ(symlink("/dev/zero", (dir + "/zero").c_str()), 0);
        ASSERT_EQ(symlink("file", (dir + "/link").c_str()), 0);
    }
    void TearDown() override
    {
        for (const char* n : {"file", "fifo", "zero", "link"})
            unlink((dir + "/" + n).c_str());
        rmdir((dir + "/dir").c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

TEST_F(RegularFile, OnlyRegularFilesAndLinksToThemAreTaken)
{
    struct {
        const char* name;
        plat::FileKind kind;
        int error;
    } cases[] = {
        {"file", plat::FileKind::Regular, 0},     {"link", plat::FileKind::Regular, 0},
        {"missing", plat::FileKind::Missing, ENOENT}, {"dir", plat::FileKind::Other, EINVAL},
        {"fifo", plat::FileKind::Other, EINVAL},  {"zero", plat::FileKind::Other, EINVAL},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name;
        EXPECT_EQ(plat::fileKind(path), c.kind) << c.name;
        errno = 0;
        // A FIFO without a writer must not hold the open.
        const int fd = plat::openRegularFile(path);
        if (c.error == 0) {
            EXPECT_GE(fd, 0) << c.name;
            close(fd);
        } else {
            EXPECT_EQ(fd, -1) << c.name;
            EXPECT_EQ(errno, c.error) << c.name;
        }
        std::string text = "old";
        EXPECT_EQ(plat::readRegularFile(path, 100, text), c.error == 0) << c.name;
        EXPECT_EQ(text, c.error == 0 ? "0123456789" : "") << c.name;
    }
}

TEST_F(RegularFile, ReadsNoMoreThanAsked)
{
    std::string text;
    ASSERT_TRUE(plat::readRegularFile(dir + "/file", 4, text));
    EXPECT_EQ(text, "0123");
}

} // namespace

#include "spectrum/SafeFileWriter.h"
#include "support/FailingFileIo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

using test::FailingFileIo;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(SafeFileWriter, WritesThroughAHiddenFileInTheSameFolder) {
    TempDir dir;
    FailingFileIo io;
    SafeFileWriter file(dir.File("run7.qxs"), io);
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.TemporaryPath().rfind(dir.Path() + "/.run7.qxs.", 0), 0u) << file.TemporaryPath();
    EXPECT_TRUE(file.Write("first\n"));
    EXPECT_TRUE(file.Write("second\n"));
    EXPECT_FALSE(PathExists(dir.File("run7.qxs"))) << "nothing is in place before the commit";
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(io.renamedTo, dir.File("run7.qxs"));
    EXPECT_EQ(ReadAll(dir.File("run7.qxs")), "first\nsecond\n");
    EXPECT_EQ(dir.Entries(), 1u);
}

TEST(SafeFileWriter, ANewFileGetsTheUsualPermissionsAndAReplacedFileKeepsItsOwn) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    {
        SafeFileWriter file(dir.File("new.csv"));
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("x"));
        ASSERT_TRUE(file.Commit());
    }
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("new.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    WriteAll(dir.File("old.csv"), "old");
    ::chmod(dir.File("old.csv").c_str(), 0640);
    {
        SafeFileWriter file(dir.File("old.csv"));
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("new"));
        ASSERT_TRUE(file.Commit());
    }
    ASSERT_EQ(::stat(dir.File("old.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadAll(dir.File("old.csv")), "new");
    ::umask(mask);
}

TEST(SafeFileWriter, ASymbolicLinkIsWrittenThroughAndStaysALink) {
    TempDir dir;
    WriteAll(dir.File("real.qxs"), "old");
    ASSERT_EQ(::symlink("real.qxs", dir.File("link.qxs").c_str()), 0);
    SafeFileWriter file(dir.File("link.qxs"));
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("link.qxs").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadAll(dir.File("real.qxs")), "new");
}

// Places no one can create a file in, root included.
TEST(SafeFileWriter, ATargetThatCannotBeWrittenFailsAtOpenAndCreatesNothing) {
    TempDir dir;
    WriteAll(dir.File("plain"), "a file, not a folder");
    for (const std::string& target :
         {dir.File("plain/out.qxs"), std::string("/proc/orvane-out.qxs"), dir.File("missing/out.qxs"),
          dir.Path(), dir.Path() + "/", std::string()}) {
        SCOPED_TRACE(target);
        SafeFileWriter file(target);
        EXPECT_FALSE(file.Open());
        EXPECT_NE(file.Error(), 0);
        EXPECT_FALSE(file.Write("x"));
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_EQ(dir.Entries(), 1u);
    EXPECT_EQ(ReadAll(dir.File("plain")), "a file, not a folder");
}

TEST(SafeFileWriter, EveryFailingStepKeepsThePreviousFileAndRemovesTheTemporaryOne) {
    struct Case {
        const char* name;
        long long spaceLeft;
        bool fsync, close, rename;
    } cases[] = {
        {"disk full at once", 0, false, false, false},
        {"disk full midway", 3, false, false, false},
        {"fsync", -1, true, false, false},
        {"close", -1, false, true, false},
        {"rename", -1, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteAll(dir.File("run.qxs"), "previous contents");
        FailingFileIo io;
        io.spaceLeft = c.spaceLeft;
        io.failFsync = c.fsync;
        io.failClose = c.close;
        io.failRename = c.rename;
        SafeFileWriter file(dir.File("run.qxs"), io);
        ASSERT_TRUE(file.Open());
        const bool wrote = file.Write("new contents that do not fit");
        EXPECT_EQ(wrote, c.spaceLeft < 0);
        EXPECT_FALSE(file.Commit());
        EXPECT_TRUE(file.Failed());
        EXPECT_EQ(ReadAll(dir.File("run.qxs")), "previous contents");
        EXPECT_EQ(dir.Entries(), 1u) << "the temporary file is gone";
    }
}

TEST(SafeFileWriter, AFileSizeLimitActsLikeAFullDisk) {
    TempDir dir;
    WriteAll(dir.File("big.csv"), "kept");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool wrote = true, committed = true;
    {
        SafeFileWriter file(dir.File("big.csv"));
        if (file.Open()) {
            wrote = file.Write(std::string(4096, 'x'));
            committed = file.Commit();
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(committed);
    EXPECT_EQ(ReadAll(dir.File("big.csv")), "kept");
    EXPECT_EQ(dir.Entries(), 1u);
}

TEST(SafeFileWriter, AReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root; the unwritable-place cases cover root";
    TempDir dir;
    WriteAll(dir.File("locked.qxs"), "locked");
    ::chmod(dir.File("locked.qxs").c_str(), 0444);
    SafeFileWriter file(dir.File("locked.qxs"));
    EXPECT_FALSE(file.Open());
    EXPECT_EQ(ReadAll(dir.File("locked.qxs")), "locked");
}

TEST(SafeFileWriter, AbandoningOrDestroyingBeforeTheCommitLeavesNothing) {
    TempDir dir;
    {
        SafeFileWriter file(dir.File("a.qxs"));
        ASSERT_TRUE(file.Open());
        file.Write("partial");
    }
    SafeFileWriter file(dir.File("b.qxs"));
    ASSERT_TRUE(file.Open());
    file.Abandon();
    EXPECT_EQ(dir.Entries(), 0u);
}

TEST(SafeFileWriter, DefaultExtensionOnlyForANameWithoutOne) {
    EXPECT_EQ(WithDefaultExtension("run7", "qxs"), "run7.qxs");
    EXPECT_EQ(WithDefaultExtension("/data/run7", "qxs"), "/data/run7.qxs");
    EXPECT_EQ(WithDefaultExtension("/data/run7.csv", "qxs"), "/data/run7.csv");
    EXPECT_EQ(WithDefaultExtension("/data.d/run7", "rgv"), "/data.d/run7.rgv");
    EXPECT_EQ(WithDefaultExtension("run7.QXS", "qxs"), "run7.QXS");
}

} // namespace
} // namespace orvane

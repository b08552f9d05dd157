#include "organizer/FileSetEntry.h"
#include "organizer/IncrementEntry.h"
#include "organizer/TextNumber.h"

#include <gtest/gtest.h>

namespace kettrim {
namespace {

TEST(FileSetEntry, TakesTheLoggerNameApart) {
    struct Case {
        const char* path;
        const char* folder;
        const char* fileName;
        const char* extension;
        const char* title;
        const char* base;
        int number;
    };
    const Case cases[] = {
        {"/data/run_0007.qxs", "/data", "run_0007.qxs", "qxs", "run_0007", "run", 7},
        {"/data/cs137_a_0012.QPS", "/data", "cs137_a_0012.QPS", "QPS", "cs137_a_0012", "cs137_a", 12},
        {"/data/single.qxs", "/data", "single.qxs", "qxs", "single", "single", 0},
        {"/data/run_0000.qxs", "/data", "run_0000.qxs", "qxs", "run_0000", "run", 0},
        {"/data/run_.qxs", "/data", "run_.qxs", "qxs", "run_", "run", 0},
        {"/data/run_12x4.qxs", "/data", "run_12x4.qxs", "qxs", "run_12x4", "run", 12},
        {"/data/run_12345.qxs", "/data", "run_12345.qxs", "qxs", "run_12345", "run", 12345},
        {"/d.x/run_0003", "/d.x", "run_0003", "", "run_0003", "run", 0},
        {"/d/v1.2_run", "/d", "v1.2_run", "2_run", "v1", "v1.2", 0},
        {"/run_0001.qxs", "", "run_0001.qxs", "qxs", "run_0001", "run", 1},
        {"run_0001.qxs", ".", "run_0001.qxs", "qxs", "run_0001", "run", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const FileSetEntry entry = FileSetEntry::FromPath(c.path);
        EXPECT_EQ(entry.fullPath, c.path);
        EXPECT_EQ(entry.folder, c.folder);
        EXPECT_EQ(entry.fileName, c.fileName);
        EXPECT_EQ(entry.extension, c.extension);
        EXPECT_EQ(entry.title, c.title);
        EXPECT_EQ(entry.base, c.base);
        EXPECT_EQ(entry.number, c.number);
    }
}

TEST(TextNumber, ReadsAsTheCLibraryDoesWith32BitValues) {
    EXPECT_EQ(ParseUnsigned32("+123"), 123u);
    EXPECT_EQ(ParseUnsigned32("\t42abc"), 42u);
    EXPECT_EQ(ParseUnsigned32("abc"), 0u);
    EXPECT_EQ(ParseUnsigned32(""), 0u);
    EXPECT_EQ(ParseUnsigned32("4294967295"), 4294967295u);
    EXPECT_EQ(ParseUnsigned32("99999999999"), 4294967295u);
    EXPECT_EQ(ParseUnsigned32("-1"), 4294967295u);
    EXPECT_EQ(ParseSigned32("-12"), -12);
    EXPECT_EQ(ParseSigned32("0012"), 12);
    EXPECT_EQ(ParseSigned32("99999999999"), 2147483647);
    EXPECT_EQ(ParseSigned32("-99999999999"), -2147483647 - 1);
}

TEST(IncrementEntry, AcceptsOneTo10000AndBringsOtherValuesIntoRange) {
    struct Case {
        const char* text;
        IncrementEntry::Status status;
        int value;
    };
    using S = IncrementEntry::Status;
    const Case cases[] = {{"1", S::Valid, 1},
                          {"10000", S::Valid, 10000},
                          {"3", S::Valid, 3},
                          {"0", S::OutOfRange, 1},
                          {"-4", S::OutOfRange, 1},
                          {"10001", S::OutOfRange, 10000},
                          {"99999999999999", S::OutOfRange, 10000},
                          {"", S::NotAnInteger, 1},
                          {"1a", S::NotAnInteger, 1},
                          {"-", S::NotAnInteger, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const IncrementEntry entry = IncrementEntry::Read(c.text);
        EXPECT_EQ(entry.status, c.status);
        if (c.status != S::NotAnInteger) {
            EXPECT_EQ(entry.value, c.value);
        }
    }
    EXPECT_EQ(IncrementEntry::Read("0").Message(), "Enter an integer between 1 and 10000.");
    EXPECT_EQ(IncrementEntry::Read("").Message(), "Enter an integer.");
    EXPECT_EQ(IncrementEntry::Read("7").Message(), "");
}

} // namespace
} // namespace kettrim

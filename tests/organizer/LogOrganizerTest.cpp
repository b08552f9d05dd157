#include "organizer/LogOrganizer.h"

#include <gtest/gtest.h>

namespace kettrim {
namespace {

using Entries = std::vector<std::string>;
const Entries kQxsSizes = {"16384", "8192", "4096", "2048", "1024", "512"};
const Entries kQpsSizes = {"4096", "2048", "1024", "512", "256", "128"};

TEST(CountFilesToProcess, CountsOnlyFilesOfOneSeries) {
    struct Case {
        const char* first;
        const char* last;
        int increment;
        bool series;
        long long files;
    };
    const Case cases[] = {
        {"/d/run_0001.qxs", "/d/run_0010.qxs", 1, true, 10},
        {"/d/run_0001.qxs", "/d/run_0010.qxs", 3, true, 4},
        {"/d/run_0001.qxs", "/d/run_0010.qxs", 4, true, 3},
        {"/d/run_0010.qxs", "/d/run_0001.qxs", 1, true, 10},
        {"/d/run_0005.qxs", "/d/run_0005.qxs", 1, true, 1},
        {"/d/run_0001.qxs", "/d/run_0010.qxs", 0, true, 10}, // an increment below 1 counts as 1
        {"/d/run_0001.qxs", "/d/run_0010.qxs", -5, true, 10},
        {"/d/run_0001.qxs", "/d/run_0010.qxs", 20000, true, 1},
        {"/d/run_0000.qxs", "/d/run_0010.qxs", 1, false, 0}, // number 0: not part of a series
        {"/d/single.qxs", "/d/single.qxs", 1, false, 0},
        {"/d/run_0001.qxs", "/e/run_0010.qxs", 1, false, 0},
        {"/d/run_0001.qxs", "/d/rum_0010.qxs", 1, false, 0},
        {"/d/run_0001.qxs", "/d/run_0010.qps", 1, false, 0},
        {"/d/run_0001.qxs", "/d/run_0010.QXS", 1, false, 0}, // names keep their case
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " .. " + c.last + " +" + std::to_string(c.increment));
        LogOrganizer organizer;
        organizer.ChooseFirstFile(c.first);
        organizer.ChooseLastFile(c.last);
        organizer.Settings().increment = c.increment;
        EXPECT_EQ(organizer.CountFilesToProcess(), c.series);
        EXPECT_EQ(organizer.FilesToProcess(), c.files);
        if (c.series && c.increment <= 0) {
            EXPECT_EQ(organizer.Settings().increment, 1);
        }
    }
}

TEST(CountFilesToProcess, TheSizeListFollowsTheFileChosenLast) {
    LogOrganizer organizer;
    EXPECT_FALSE(organizer.CountFilesToProcess()); // before any choice the two sides differ in type
    EXPECT_EQ(organizer.FilesToProcess(), 0);
    EXPECT_EQ(organizer.SizeList().Entries(), kQxsSizes);
    EXPECT_EQ(organizer.SizeList().Selection(), 0);

    organizer.ChooseFirstFile("/d/run_0001.qxs");
    organizer.SizeList().Select(4);
    organizer.CountFilesToProcess();
    EXPECT_EQ(organizer.SizeList().SelectedText(), "1024"); // same type: the choice stays

    organizer.ChooseLastFile("/d/run_0010.qps");
    organizer.SizeList().Select(2);
    organizer.CountFilesToProcess();
    EXPECT_EQ(organizer.SizeList().Entries(), kQpsSizes);
    EXPECT_EQ(organizer.SizeList().SelectedText(), "4096"); // another type: back to the first entry

    organizer.SizeList().Select(5);
    organizer.CountFilesToProcess(); // counting again keeps a choice made for the shown list
    EXPECT_EQ(organizer.SizeList().SelectedText(), "128");
    EXPECT_EQ(organizer.SizeList().SelectedSize(), 128);

    organizer.ChooseLastFile("/d/run_0010.QXS");
    organizer.CountFilesToProcess();
    EXPECT_EQ(organizer.SizeList().Entries(), kQxsSizes);
    EXPECT_EQ(organizer.SizeList().Selection(), 0);
}

} // namespace
} // namespace kettrim

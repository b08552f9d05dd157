#include "organizer/KettrimCommandLine.h"

#include "support/ChildProcess.h"
#include "support/ConversionFixture.h"

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace kettrim {
namespace {

using Lines = std::vector<std::string>;

class KettrimCommandLineTest : public test::ConversionFixture {
protected:
    void SetUp() override {
        for (int n = 1; n <= 3; ++n)
            WriteQxs("run_000" + std::to_string(n) + ".qxs", {{0, static_cast<std::uint32_t>(n)}}, Stamp(n));
    }
    int Run(Lines arguments) {
        out_.str("");
        err_.str("");
        return KettrimCommandLine::Run(arguments, out_, err_);
    }

    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(KettrimCommandLineTest, ConvertsWithTheDialogsDefaultsAndPrintsTheProgress) {
    EXPECT_EQ(Run({"--first", Path("run_0001.qxs"), "--last", Path("run_0003.qxs")}), 0);
    EXPECT_EQ(out_.str(), "Start Conversion\nProcessing:" + Path("run_0001.qxs") + "\nProcessing:" +
                              Path("run_0002.qxs") + "\nProcessing:" + Path("run_0003.qxs") +
                              "\nConversion Completed Successfully!\n");
    EXPECT_EQ(err_.str(), "");
    // Table, file names, no channel column, the largest size of the type.
    EXPECT_EQ(FirstLines("run_0001_to_0003_+1_qxs.csv", 2), (Lines{"run_0001,run_0002,run_0003", "1,2,3"}));
    EXPECT_EQ(Read("run_0001_to_0003_+1_qxs.csv").size(),
              std::string("run_0001,run_0002,run_0003\r\n").size() + std::string("1,2,3\r\n").size() +
                  16383 * 7);
}

TEST_F(KettrimCommandLineTest, EveryOptionReachesTheConversion) {
    EXPECT_EQ(
        Run({"--first=" + Path("run_0001.qxs"), "--last", Path("run_0003.qxs"), "--increment", "2", "--size",
             "512", "--organization", "individual", "--label", "elapsed", "--channel-column"}),
        0);
    EXPECT_EQ(FirstLines("run_0001_qxs.csv", 2), (Lines{"Channel,0", "0, 1"}));
    EXPECT_EQ(FirstLines("run_0003_qxs.csv", 2), (Lines{"Channel,120", "0, 3"}));
    EXPECT_FALSE(std::filesystem::exists(Path("run_0002_qxs.csv")));

    for (const auto& [name, header] :
         std::vector<std::pair<std::string, std::string>>{{"name", "run_0001"},
                                                          {"number", "0001"},
                                                          {"timestamp", "LOCAL 05-DEC-2019 14:01:00"},
                                                          {"none", "0, 1"}}) {
        EXPECT_EQ(Run({"--first", Path("run_0001.qxs"), "--last", Path("run_0001.qxs"), "--label", name,
                       "--organization", "table", "--channel-column"}),
                  0);
        EXPECT_EQ(FirstLines("run_0001_to_0001_+1_qxs.csv", 1)[0],
                  name == "none" ? "Channel,Counts" : "Channel," + header);
    }
}

TEST_F(KettrimCommandLineTest, NamesWithoutAFolderAreInTheCurrentFolder) {
    const int status = test::RunInChild([&] {
        if (::chdir(folder_.Path().c_str()) != 0)
            return 90;
        return Run({"--first", "run_0001.qxs", "--last", "run_0003.qxs", "--size", "512"});
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FirstLines("run_0001_to_0003_+1_qxs.csv", 2), (Lines{"run_0001,run_0002,run_0003", "1,2,3"}));
}

TEST_F(KettrimCommandLineTest, AConversionThatDoesNotCompleteExitsWithOne) {
    std::filesystem::remove(Path("run_0002.qxs"));
    EXPECT_EQ(Run({"--first", Path("run_0001.qxs"), "--last", Path("run_0003.qxs")}), 1);
    EXPECT_EQ(out_.str(), "Start Conversion\nConversion Aborted\n");
    EXPECT_EQ(err_.str(), "Broken Spectrum Log Sequence!\n Missing File: " + Path("run_0002.qxs") + "\n");

    WriteQxs("other_0007.qxs", {});
    EXPECT_EQ(Run({"--first", Path("run_0001.qxs"), "--last", Path("other_0007.qxs")}), 1);
    EXPECT_EQ(err_.str().rfind("The First File and the Last File are not from the same", 0), 0u);
}

TEST_F(KettrimCommandLineTest, BadArgumentsExitWithTwoAndTheReason) {
    const std::string first = Path("run_0001.qxs");
    const std::string last = Path("run_0003.qxs");
    struct Case {
        Lines arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"--first", first, "--last", last, "--increment", "0"}, "Enter an integer between 1 and 10000."},
        {{"--first", first, "--last", last, "--increment", "10001"}, "Enter an integer between 1 and 10000."},
        {{"--first", first, "--last", last, "--increment", "two"}, "Enter an integer."},
        {{"--first", first, "--last", last, "--size", "4000"},
         "Choose a spectrum size of 16384, 8192, 4096, 2048, 1024 or 512."},
        {{"--first", first, "--last", last, "--size", "128"},
         "Choose a spectrum size of 16384, 8192, 4096, 2048, 1024 or 512."},
        {{"--first", first, "--last", last, "--organization", "tables"},
         "--organization takes table or individual"},
        {{"--first", first, "--last", last, "--label", "stamp"}, "--label takes name, number, timestamp"},
        {{"--first", first}, "Both --first and --last are needed."},
        {{"--first", first, "--last", Path("run_0009.qxs")}, "File not found: "},
        {{"--first", first, "--last"}, "--last needs a value."},
        {{"--first", first, "--last", last, "--verbose"}, "Unknown argument \"--verbose\"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(Run(c.arguments), 2);
        EXPECT_EQ(err_.str().rfind(c.message, 0), 0u) << err_.str();
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(Path("run_0001_to_0003_+1_qxs.csv")));
}

TEST_F(KettrimCommandLineTest, HelpDocumentsEveryOption) {
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* option : {"--first", "--last", "--increment", "--size", "--organization", "--label",
                               "--channel-column", "Exit status"})
        EXPECT_NE(out_.str().find(option), std::string::npos) << option;
    EXPECT_EQ(err_.str(), "");
}

} // namespace
} // namespace kettrim

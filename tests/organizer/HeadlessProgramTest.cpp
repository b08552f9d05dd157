#include "support/SeriesWriter.h"
#include "support/TempFolder.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace kettrim {
namespace {

using test::SeriesWriter;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real program with no display of any kind in its environment.
Result RunKettrim(const test::TempFolder& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
            name != "XAUTHORITY")
            environment.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::vector<std::string> argumentTexts = {KETTRIM_PROGRAM};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argumentTexts)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const std::string outPath = folder.File("stdout.txt");
    const std::string errPath = folder.File("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Result result;
    pid_t child = 0;
    if (posix_spawn(&child, KETTRIM_PROGRAM, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = SeriesWriter::ReadText(outPath);
    result.err = SeriesWriter::ReadText(errPath);
    return result;
}

class HeadlessProgram : public ::testing::Test {
protected:
    HeadlessProgram() {
        for (int n = 1; n <= 3; ++n) {
            std::array<test::Counts, 4> spectra;
            for (int k = 0; k < 4; ++k)
                spectra[k] = test::Counts(4096, static_cast<std::uint32_t>(n + k));
            SeriesWriter::WriteQps(input_.File("t_000" + std::to_string(n) + ".qps"), spectra,
                                   test::StampedRegisters(test::StampSource::Utc, 2024, 6, 1, 12, n, 0));
        }
    }
    test::TempFolder input_;
    test::TempFolder output_;
};

TEST_F(HeadlessProgram, ConvertsASeriesWithoutADisplay) {
    const Result result =
        RunKettrim(output_, {"--first", input_.File("t_0001.qps"), "--last", input_.File("t_0003.qps"),
                             "--size", "128", "--label", "elapsed", "--channel-column"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Start Conversion\nProcessing:" + input_.File("t_0001.qps") + "\nProcessing:" +
                              input_.File("t_0002.qps") + "\nProcessing:" + input_.File("t_0003.qps") +
                              "\nConversion Completed Successfully!\n");
    // 32 channels of counts n + k per row: 32, 64, 96 in segment S0.
    const std::string head = "Channel,0,60,120\r\nS0\r\n0, 32,64,96\r\n1, 32,64,96\r\n";
    EXPECT_EQ(SeriesWriter::ReadText(input_.File("t_0001_to_0003_+1_qps.csv")).substr(0, head.size()), head);
}

TEST_F(HeadlessProgram, ReportsFailuresAndBadArgumentsThroughItsExitStatus) {
    const std::string first = input_.File("t_0001.qps");
    std::filesystem::remove(input_.File("t_0002.qps"));
    Result result = RunKettrim(output_, {"--first", first, "--last", input_.File("t_0003.qps")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Start Conversion\nConversion Aborted\n");
    EXPECT_EQ(result.err,
              "Broken Spectrum Log Sequence!\n Missing File: " + input_.File("t_0002.qps") + "\n");

    result = RunKettrim(output_, {"--first", first, "--last", first, "--size", "16384"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("Choose a spectrum size of 4096, 2048, 1024, 512, 256 or 128.", 0), 0u);
    result = RunKettrim(output_, {"--first", first, "--last", first, "--increment", "0"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("Enter an integer between 1 and 10000.", 0), 0u);
    EXPECT_EQ(result.out, "");

    result = RunKettrim(output_, {"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("--channel-column"), std::string::npos);
}

} // namespace
} // namespace kettrim

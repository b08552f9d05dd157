#include "cli/OrvaneCli.h"
#include "firmware/FpgaFixture.h"
#include "shell/SystemClock.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvane {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Fpga(const std::vector<std::string>& args) {
    std::vector<std::string> all{"fpga"};
    all.insert(all.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int status = OrvaneMain(all, SystemClock::Instance(), out, err);
    return {status, out.str(), err.str()};
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(OrvaneFpga, UploadsVerifiesAndConfiguresTheSimulatedInstrument) {
    test::SimulatedLine line(SystemClock::Instance());
    test::ImageFolder dir;
    const std::string image = dir.Write("design.rbf", test::ImageBytes(1000));
    const CliRun upload = Fpga({"upload", "--port", line.Path(), image, "--speed", "normal"});
    ASSERT_EQ(upload.status, 0) << upload.err;
    EXPECT_EQ(upload.out, "Open File: " + image +
                              "\nUploading...\nWriting FPGA Flash: Done!\n1024 Bytes Uploaded\n" +
                              std::string(38, '*') + "\n");
    const CliRun verify = Fpga({"verify", "--port", line.Path(), image});
    ASSERT_EQ(verify.status, 0) << verify.err;
    EXPECT_TRUE(Has(verify.out, "Verifyed 1024 bytes...0 Errors Found!\n"));
    const CliRun config = Fpga({"config", "--port", line.Path()});
    ASSERT_EQ(config.status, 0) << config.err;
    EXPECT_EQ(config.out, "FPGA Configured!\n" + std::string(38, '*') + "\n");
    EXPECT_EQ(line.Simulator().Instrument().Flash().Configurations(), 1u);

    // A verify that finds differences fails, and lists them.
    line.Simulator().Instrument().Flash().SetByte(0, 0x00);
    const CliRun differs = Fpga({"verify", "--port", line.Path(), image});
    EXPECT_EQ(differs.status, 1);
    EXPECT_TRUE(Has(differs.out, "Error address 0: file="));
    EXPECT_TRUE(Has(differs.out, "...1 Errors Found!"));
}

TEST(OrvaneFpga, BadImagesAndLinesFailWithTheirReason) {
    test::SimulatedLine line(SystemClock::Instance());
    test::ImageFolder dir;
    test::QbfHeader offByOne;
    offByOne.checksumError = 1;
    const CliRun corrupt = Fpga({"upload", "--port", line.Path(),
                                 dir.Write("bad.qbf", test::QbfFile(test::ImageBytes(64), offByOne))});
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_TRUE(Has(corrupt.err, "Invalid or corrupted file!"));
    const CliRun missing = Fpga({"verify", "--port", line.Path(), dir.Path() + "/none.rbf"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "FILE ERROR: The file could not be located.\n");
    EXPECT_EQ(line.Simulator().FramesReceived(), 0u);

    const CliRun noPort = Fpga({"config", "--port", "/nonexistent/tty"});
    EXPECT_EQ(noPort.status, 1);
    EXPECT_TRUE(Has(noPort.err, "Unable to open COM-port"));

    SimulatorOptions options;
    options.unplugAfter = 0;
    test::SimulatedLine gone(SystemClock::Instance(), options);
    const CliRun unplugged =
        Fpga({"upload", "--port", gone.Path(), dir.Write("x.rbf", test::ImageBytes(10))});
    EXPECT_EQ(unplugged.status, 1);
    EXPECT_TRUE(Has(unplugged.err, "the line hung up")) << unplugged.err;
}

TEST(OrvaneFpga, BadArgumentsExit2) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"flash", "--port", "/dev/null"},
        {"upload", "--port", "/dev/null"},
        {"verify", "--port", "/dev/null", "a.rbf", "b.rbf"},
        {"config", "--port", "/dev/null", "a.rbf"},
        {"config"},
        {"config", "--port", "/dev/null", "--speed", "slow"},
        {"upload", "--port", "/dev/null", "a.rbf", "--force"},
    };
    for (const auto& args : cases) {
        const CliRun run = Fpga(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(Has(run.err, "Usage: orvane fpga")) << run.err;
    }
}

} // namespace
} // namespace orvane

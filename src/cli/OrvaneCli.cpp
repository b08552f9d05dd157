#include "cli/OrvaneCli.h"

#include "cli/AcquireCommand.h"
#include "cli/FileCommands.h"
#include "cli/FpgaCommand.h"
#include "cli/NtpCommand.h"
#include "cli/PortCommands.h"
#include "cli/RegsCommand.h"
#include "simulator/SimulatorCommandLine.h"

namespace orvane {

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: orvane COMMAND [OPTIONS]\n"
        << "The Orvane-MCA analyzer's core from the command line.\n\n"
        << "Commands:\n"
        << "  sim [OPTIONS]                         serve a simulated instrument on a pseudo-terminal\n"
        << "                                        (orvane sim --help lists its options)\n"
        << "  ports                                 list the serial ports: name, device path, USB\n"
        << "  find [PATH...]                        search instruments on every port (or on the given\n"
        << "                                        device paths) at both speeds, as AutoConnect does\n"
        << "  regs --port PATH [--speed fast|normal]\n"
        << "                                        read registers 1..127: index, hex and decimal\n"
        << "  write-reg --port PATH [--speed fast|normal] REG VALUE\n"
        << "                                        set register REG (0..127) to VALUE (decimal or 0x-hex)\n"
        << "                                        and write all registers, as the debug panel's WRITE\n"
        << "  acquire --port PATH [--speed fast|normal] --preset SECONDS [--live]\n"
        << "          [--time system|local|utc] [--ntp SERVER[:PORT]] [--force]\n"
        << "          (-o FILE | --runs N --folder DIR --base NAME)\n"
        << "                                        clear the instrument, start a run of SECONDS real\n"
        << "                                        (or live) time stamped by the system clock, the\n"
        << "                                        local time or UTC from the NTP server, and save it\n"
        << "                                        as FILE (.qxs added to a name without extension), or\n"
        << "                                        log N runs as DIR/NAME_0001.qxs...; existing files\n"
        << "                                        are kept unless --force\n"
        << "  ntp SERVER[:PORT] [--ntp-port N] [--timeout MS]\n"
        << "                                        ask an NTP server for the time once (port 123 and\n"
        << "                                        5000 ms unless told): the four timestamps, the\n"
        << "                                        delay and the offset\n"
        << "  fpga (upload|verify|config) --port PATH [IMAGE] [--speed fast|normal]\n"
        << "                                        write an FPGA image (.qbf, or raw) into the flash,\n"
        << "                                        compare the flash with it, or load the FPGA from it\n"
        << "  info FILE                             print the record a spectrum file (.qxs) loads into,\n"
        << "                                        as JSON\n"
        << "  export FILE (--csv|--chn) (--hard|--soft [--soft-size N]) -o OUT [--force]\n"
        << "                                        export a spectrum file as CSV or CHN in its hard or\n"
        << "                                        soft channels; N is an offered soft size (16384, 8192,\n"
        << "                                        5461, 4096, 3276, 2048, 1489, 1024, 780, 512), at most\n"
        << "                                        the hard size, else the file's soft size; an existing\n"
        << "                                        OUT is kept unless --force\n"
        << "  regfile FILE                          print the 128 words a register file (.rgv) or a\n"
        << "                                        spectrum file's register block loads: index, hex and\n"
        << "                                        decimal\n"
        << "  help                                  show this text\n\n"
        << "Port commands default to --speed fast (921600 baud); normal is 460800 baud.\n"
        << "Errors go to standard error; bad arguments exit with status 2, other failures with 1.\n";
}

} // namespace

int OrvaneMain(const std::vector<std::string>& args, const Clock& clock, std::ostream& out,
               std::ostream& err) {
    if (args.empty()) {
        PrintUsage(err);
        return 2;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "help" || command == "--help" || command == "-h") {
        PrintUsage(out);
        return 0;
    }
    if (command == "sim")
        return SimulatorCommandLine::Main("orvane sim", rest, out, err);
    if (command == "regs")
        return RunRegsCommand(rest, clock, out, err);
    if (command == "write-reg")
        return RunWriteRegCommand(rest, clock, out, err);
    if (command == "ports")
        return RunPortsCommand(rest, out, err);
    if (command == "find")
        return RunFindCommand(rest, clock, out, err);
    if (command == "acquire")
        return RunAcquireCommand(rest, clock, out, err);
    if (command == "ntp")
        return RunNtpCommand(rest, clock, out, err);
    if (command == "fpga")
        return RunFpgaCommand(rest, clock, out, err);
    if (command == "info")
        return RunInfoCommand(rest, out, err);
    if (command == "export")
        return RunExportCommand(rest, out, err);
    if (command == "regfile")
        return RunRegfileCommand(rest, out, err);
    err << "orvane: unknown command '" << command << "'\n";
    PrintUsage(err);
    return 2;
}

} // namespace orvane

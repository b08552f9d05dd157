#include "organizer/KettrimCommandLine.h"

#include "organizer/ConversionHost.h"
#include "organizer/IncrementEntry.h"
#include "organizer/LogOrganizer.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <sys/stat.h>

namespace kettrim {
namespace {

constexpr int kBadArguments = 2;

class StreamHost : public ConversionHost {
public:
    StreamHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
    // Flushed per line, so a pipeline sees the progress as it happens.
    void AddProgressLine(const std::string& line) override { out_ << line << std::endl; }
    void ShowError(const std::string& text) override { err_ << text << std::endl; }

private:
    std::ostream& out_;
    std::ostream& err_;
};

struct Options {
    std::string first;
    std::string last;
    std::optional<std::string> increment;
    std::optional<std::string> size;
    Organization organization = Organization::Table;
    LabelKind label = LabelKind::FileName;
    bool channelColumn = false;
    bool help = false;
};

struct ArgumentError {
    std::string text;
};

std::optional<Organization> OrganizationNamed(const std::string& name) {
    if (name == "table")
        return Organization::Table;
    if (name == "individual")
        return Organization::IndividualFiles;
    return std::nullopt;
}

std::optional<LabelKind> LabelNamed(const std::string& name) {
    const std::pair<const char*, LabelKind> names[] = {{"name", LabelKind::FileName},
                                                       {"number", LabelKind::FileNumber},
                                                       {"timestamp", LabelKind::TimeStamp},
                                                       {"elapsed", LabelKind::ElapsedTime},
                                                       {"none", LabelKind::None}};
    for (const auto& [text, kind] : names)
        if (name == text)
            return kind;
    return std::nullopt;
}

// Accepts "--name value" and "--name=value".
std::optional<ArgumentError> Parse(const std::vector<std::string>& arguments, Options& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--channel-column" && !inlineValue) {
            options.channelColumn = true;
        } else if (name == "--first" || name == "--last" || name == "--increment" || name == "--size" ||
                   name == "--organization" || name == "--label") {
            const std::optional<std::string> text = value();
            if (!text)
                return ArgumentError{name + " needs a value."};
            if (name == "--first")
                options.first = *text;
            else if (name == "--last")
                options.last = *text;
            else if (name == "--increment")
                options.increment = *text;
            else if (name == "--size")
                options.size = *text;
            else if (name == "--organization") {
                const std::optional<Organization> organization = OrganizationNamed(*text);
                if (!organization)
                    return ArgumentError{"--organization takes table or individual, not \"" + *text + "\"."};
                options.organization = *organization;
            } else {
                const std::optional<LabelKind> label = LabelNamed(*text);
                if (!label)
                    return ArgumentError{"--label takes name, number, timestamp, elapsed or none, not \"" +
                                         *text + "\"."};
                options.label = *label;
            }
        } else {
            return ArgumentError{"Unknown argument \"" + arguments[i] + "\"."};
        }
    }
    return std::nullopt;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string SizeChoices(const std::vector<std::string>& entries) {
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i)
        text += (i == 0 ? "" : i + 1 == entries.size() ? " or " : ", ") + entries[i];
    return text;
}

// Applies the options to the organizer the way the dialog's controls would.
std::optional<ArgumentError> Configure(const Options& options, LogOrganizer& organizer) {
    if (options.first.empty() || options.last.empty())
        return ArgumentError{"Both --first and --last are needed."};
    for (const std::string& path : {options.first, options.last})
        if (!IsFile(path))
            return ArgumentError{"File not found: " + path};
    organizer.ChooseFirstFile(options.first);
    organizer.ChooseLastFile(options.last);

    ConversionSettings& settings = organizer.Settings();
    if (options.increment) {
        const IncrementEntry increment = IncrementEntry::Read(*options.increment);
        if (increment.status != IncrementEntry::Status::Valid)
            return ArgumentError{increment.Message()};
        settings.increment = increment.value;
    }
    settings.organization = options.organization;
    settings.label = options.label;
    settings.channelColumn = options.channelColumn;

    organizer.CountFilesToProcess(); // fills the size list for the last file's type
    if (options.size) {
        const std::vector<std::string>& entries = organizer.SizeList().Entries();
        const auto found = std::find(entries.begin(), entries.end(), *options.size);
        if (found == entries.end())
            return ArgumentError{"Choose a spectrum size of " + SizeChoices(entries) + "."};
        organizer.SizeList().Select(static_cast<int>(found - entries.begin()));
    }
    return std::nullopt;
}

} // namespace

const char* KettrimCommandLine::Usage() {
    return "Usage: Kettrim [--first FILE --last FILE [options]]\n"
           "\n"
           "Without arguments Kettrim opens its window. With --first and --last it converts the logged "
           "series\n"
           "from the first to the last file into CSV without a window (no display needed): the progress "
           "lines\n"
           "go to standard output, error messages to standard error.\n"
           "\n"
           "  --first FILE          the first file of the series (run_0001.qxs)\n"
           "  --last FILE           the last file of the series; the same file as --first converts that "
           "file\n"
           "  --increment N         file counter increment, 1 to 10000 (default 1)\n"
           "  --size N              spectrum size, from the list of the last file's type (default the "
           "first):\n"
           "                        qxs 16384, 8192, 4096, 2048, 1024, 512; others 4096, 2048, 1024, 512, "
           "256, 128\n"
           "  --organization KIND   table (one table, the default) or individual (one file per run)\n"
           "  --label KIND          column labels: name (default), number, timestamp, elapsed or none\n"
           "  --channel-column      include the channel number column\n"
           "  --help                show this text\n"
           "\n"
           "Exit status: 0 when the conversion completed, 1 when it did not, 2 for bad arguments.\n";
}

int KettrimCommandLine::Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Options options;
    std::optional<ArgumentError> error = Parse(arguments, options);
    if (!error && options.help) {
        out << Usage();
        return 0;
    }
    LogOrganizer organizer;
    if (!error)
        error = Configure(options, organizer);
    if (error) {
        err << error->text << "\nTry \"Kettrim --help\".\n";
        return kBadArguments;
    }
    StreamHost host(out, err);
    return organizer.ConvertLogSequence(host) == ConversionOutcome::Completed ? 0 : 1;
}

} // namespace kettrim

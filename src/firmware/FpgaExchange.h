#pragma once

#include "device/CSerial.h"
#include "firmware/FlashFrames.h"
#include "firmware/FpgaImage.h"
#include "shell/Host.h"
#include "shell/Poster.h"
#include "shell/ProgressList.h"
#include "shell/SettingsStore.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

// The FPGA dialog's behaviour: checks an image file, writes it into the instrument's flash block by block,
// reads the flash back and compares it with the file, and tells the instrument to load its FPGA from the
// flash. It borrows the main connection's open port while its owner keeps its own event handling muted:
// it sends a frame, collects the reply from the notifications its owner forwards, checks it and sends the
// next frame. Its 100 ms timer ends an exchange whose reply does not come.
class FpgaExchange {
public:
    static constexpr std::int64_t kTickMs = 100;
    static constexpr int kTimeoutTicks = 22;
    static constexpr std::uint32_t kWriteTimeoutMs = 1000;
    static constexpr const char* kSettingsKey = "\\ConfigOrvane\\LastPath";
    static constexpr const char* kSettingsValue = "FPGAFile";
    static constexpr const char* kBrowseFilter = "Orvane Binary (*.qbf);;All Files (*)";

    enum class Action { None, Upload, Verify, Configure };
    // How the last exchange ended.
    enum class Outcome { None, Done, InvalidImage, FileError, ReplyError, TimedOut, Stopped };

    // Told whenever busy, the buttons' state or the progress bar changed; the lines have their own.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnExchangeChanged() = 0;
    };

    FpgaExchange(CSerial& port, Poster& poster, Host& host, SettingsStore& settings);
    ~FpgaExchange();
    FpgaExchange(const FpgaExchange&) = delete;
    FpgaExchange& operator=(const FpgaExchange&) = delete;

    // The dialog opens: the timer starts, the File box shows "*.qbf", the folder comes from the settings.
    void Open();
    // The dialog closes, whichever way: an exchange still running ends, the timer stops, the folder is
    // stored.
    void Close();

    // Where the file chooser starts, and what it chose: the File box, the folder and the file type follow.
    std::string BrowseStart() const;
    void OnFileChosen(const std::string& path);
    // The File box edited by hand.
    void SetImagePath(const std::string& path) { imagePath_ = path; }
    const std::string& ImagePath() const { return imagePath_; }
    const std::string& Folder() const { return folder_; }

    void Upload();
    void Verify();
    void Configure();
    void Stop();

    // The owner's SerialEvent notification while its own handling is muted.
    void OnSerialEvent(std::uint32_t param);
    // One tick of the reply time-out; the timer calls it every 100 ms while the dialog is open.
    void Tick();

    bool Busy() const { return busy_; }
    Action CurrentAction() const { return action_; }
    // "Upload", "Verify", "Config FPGA" and "Browse".
    bool ActionsEnabled() const { return actionsEnabled_; }
    Outcome LastOutcome() const { return outcome_; }
    int VerifyErrors() const { return verifyErrors_; }

    std::uint64_t ProgressMax() const { return progressMax_; }
    std::uint64_t ProgressStep() const { return progressStep_; }
    std::uint64_t ProgressPosition() const { return progressPosition_; }

    ProgressList& Progress() { return progress_; }
    const ProgressList& Progress() const { return progress_; }
    void SetListener(Listener* listener) { listener_ = listener; }

private:
    bool RefuseWhileBusy();
    void PurgeAndDrain();
    bool OpenAndCheckImage();
    void StartImageAction(Action action, const char* line);
    void SendWriteBlock();
    void SendReadBlock(std::uint16_t code);
    void Send(std::size_t length, std::size_t expected);
    void DiscardInput();
    void OnReplyComplete();
    void OnWriteReply();
    void OnReadReply();
    void OnConfigureReply();
    bool CheckReply(std::uint16_t code, const char* lengthLine, const char* codeLine,
                    const char* checksumLine);
    bool ReadImageBlock(std::uint8_t* block);
    void FileError(int error);
    void Finish(Outcome outcome);
    void SetProgress(std::uint64_t position);
    void StartTimer();
    void Changed();

    CSerial& port_;
    Poster& poster_;
    Host& host_;
    SettingsStore& settings_;
    Listener* listener_ = nullptr;
    ProgressList progress_;

    std::string imagePath_;
    std::string folder_;
    FpgaImage image_;
    TimerId timer_ = 0;

    bool busy_ = false;
    bool actionsEnabled_ = true;
    Action action_ = Action::None;
    Outcome outcome_ = Outcome::None;
    std::uint16_t replyCode_ = flash::kWriteCode;
    std::uint32_t address_ = 0;
    std::uint64_t bytesDone_ = 0;
    int verifyErrors_ = 0;
    int countdown_ = 0;

    std::array<std::uint8_t, flash::kWriteFrameSize> transmit_{};
    std::array<std::uint8_t, flash::kReadReplySize> reply_{};
    std::array<std::uint8_t, flash::kBlockSize> fileBlock_{};
    std::size_t expected_ = 0;
    std::size_t received_ = 0;

    std::uint64_t progressMax_ = 100;
    std::uint64_t progressStep_ = 10;
    std::uint64_t progressPosition_ = 0;
};

} // namespace orvane

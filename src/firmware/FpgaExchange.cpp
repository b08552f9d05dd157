#include "firmware/FpgaExchange.h"

#include "device/Frames.h"
#include "device/SerialStatus.h"

#include <cstdio>
#include <cstdlib>

namespace orvane {

using frames::Checksum;
using frames::Get16;
using frames::Get32;
using frames::Put16;
using frames::Put32;

namespace {
constexpr const char* kCaption = "FPGA";
constexpr const char* kReadError = "Error Reading Data from Serial Port";
constexpr const char* kChecksumError = "Check Sum Error Reading Data from Serial Port";
constexpr const char* kLengthError = "Error Reading Expected Bytes from Serial Port";
constexpr std::size_t kDrainLimit = 100000; // a line that never stops talking cannot hold us here

std::string Stars(std::size_t count) {
    return std::string(count, '*');
}
} // namespace

FpgaExchange::FpgaExchange(CSerial& port, Poster& poster, Host& host, SettingsStore& settings)
    : port_(port), poster_(poster), host_(host), settings_(settings) {}

FpgaExchange::~FpgaExchange() {
    if (timer_ != 0)
        poster_.Cancel(timer_);
}

void FpgaExchange::Open() {
    StartTimer();
    imagePath_ = "*.qbf";
    busy_ = false;
    settings_.GetString(kSettingsKey, kSettingsValue, folder_);
    Changed();
}

void FpgaExchange::Close() {
    image_.Close();
    // A reply still on its way belongs to a dialog that is gone.
    if (busy_)
        Finish(Outcome::Stopped);
    if (timer_ != 0)
        poster_.Cancel(timer_);
    timer_ = 0;
    settings_.SetString(kSettingsKey, kSettingsValue, folder_);
}

void FpgaExchange::StartTimer() {
    if (timer_ != 0)
        return;
    timer_ = poster_.PostAfter(kTickMs, [this] {
        timer_ = 0;
        Tick();
        StartTimer();
    });
}

std::string FpgaExchange::BrowseStart() const {
    std::string folder = folder_;
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        folder = home ? home : "";
    }
    return folder + "/*.qbf";
}

void FpgaExchange::OnFileChosen(const std::string& path) {
    imagePath_ = path;
    const std::size_t slash = path.find_last_of('/');
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool FpgaExchange::RefuseWhileBusy() {
    if (!busy_)
        return false;
    host_.MessageBox("Busy Receiving Data!", kCaption, MessageIcon::None, MessageButtons::Ok);
    return true;
}

void FpgaExchange::PurgeAndDrain() {
    port_.Purge();
    std::uint8_t bytes[64];
    for (std::size_t total = 0; port_.IsOpen() && total < kDrainLimit;) {
        std::size_t count = 0;
        port_.ReadBytes(bytes, sizeof bytes, &count);
        if (count == 0)
            break;
        total += count;
    }
}

bool FpgaExchange::OpenAndCheckImage() {
    if (const int error = image_.Open(imagePath_)) {
        progress_.AddLine(std::string("FILE ERROR: ") + FpgaImage::FileErrorText(error));
        outcome_ = Outcome::FileError;
        return false;
    }
    progress_.AddLine("Open File: " + imagePath_);
    progressMax_ = image_.Length();
    progressStep_ = image_.Length() / 15 + 1;
    SetProgress(50);
    const int check = image_.Check();
    if (check == FpgaImage::kInvalid) {
        image_.Close();
        outcome_ = Outcome::InvalidImage;
        host_.MessageBox("Invalid or corrupted file!", kCaption, MessageIcon::Stop, MessageButtons::Ok);
        return false;
    }
    if (check != 0) {
        image_.Close();
        progress_.AddLine(std::string("FILE ERROR: ") + FpgaImage::FileErrorText(check));
        outcome_ = Outcome::FileError;
        return false;
    }
    return true;
}

void FpgaExchange::StartImageAction(Action action, const char* line) {
    action_ = action;
    outcome_ = Outcome::None;
    actionsEnabled_ = false;
    busy_ = true;
    verifyErrors_ = 0;
    bytesDone_ = flash::kBlockSize;
    progress_.AddLine(line);
    Changed();
    if (const int error = image_.Begin(replyCode_, address_))
        FileError(error);
}

void FpgaExchange::Upload() {
    // Checked before the purge, which would otherwise throw away the reply of the exchange running.
    if (RefuseWhileBusy())
        return;
    PurgeAndDrain();
    if (!OpenAndCheckImage())
        return;
    StartImageAction(Action::Upload, "Uploading...");
    if (busy_)
        SendWriteBlock();
}

void FpgaExchange::Verify() {
    if (RefuseWhileBusy())
        return;
    PurgeAndDrain();
    if (!OpenAndCheckImage())
        return;
    StartImageAction(Action::Verify, "Verifying...");
    if (!busy_)
        return;
    // The first read carries the image's own code; the flash-write code stands for the flash read.
    SendReadBlock(replyCode_ == flash::kWriteCode ? flash::kReadCode : replyCode_);
}

void FpgaExchange::Configure() {
    if (RefuseWhileBusy())
        return;
    PurgeAndDrain();
    action_ = Action::Configure;
    outcome_ = Outcome::None;
    busy_ = true;
    Put16(transmit_.data(), flash::kConfigureCode);
    Put16(transmit_.data() + 2, flash::kConfigureFrameSize);
    for (std::size_t i = 0; i < 4; ++i)
        transmit_[4 + i] = flash::kConfigureKey[i];
    transmit_[8] = Checksum(transmit_.data(), 8);
    Changed();
    Send(flash::kConfigureFrameSize, flash::kConfigureReplySize);
}

void FpgaExchange::Stop() {
    if (image_.IsOpen()) {
        image_.Close();
        progress_.AddLine("Upload/Verification Cancelled. Please, reload/verify FPGA design!");
    }
    SetProgress(0);
    if (busy_)
        Finish(Outcome::Stopped);
}

bool FpgaExchange::ReadImageBlock(std::uint8_t* block) {
    if (const int error = image_.ReadBlock(block)) {
        FileError(error);
        return false;
    }
    return true;
}

void FpgaExchange::SendWriteBlock() {
    std::uint8_t* frame = transmit_.data();
    if (!ReadImageBlock(frame + flash::kBodyOffset))
        return;
    Put16(frame, flash::kWriteCode);
    Put16(frame + 2, flash::kWriteFrameSize);
    Put32(frame + 4, address_);
    frame[flash::kWriteFrameSize - 1] = Checksum(frame, flash::kWriteFrameSize - 1);
    Send(flash::kWriteFrameSize, flash::kWriteReplySize);
}

void FpgaExchange::SendReadBlock(std::uint16_t code) {
    std::uint8_t* frame = transmit_.data();
    Put16(frame, code);
    Put16(frame + 2, flash::kReadFrameSize);
    Put32(frame + 4, address_);
    Put16(frame + 8, flash::kBlockSize);
    frame[flash::kReadFrameSize - 1] = Checksum(frame, flash::kReadFrameSize - 1);
    Send(flash::kReadFrameSize, flash::kReadReplySize);
}

void FpgaExchange::Send(std::size_t length, std::size_t expected) {
    expected_ = expected;
    received_ = 0;
    countdown_ = kTimeoutTicks;
    // A frame that does not go out shows up as a missing reply.
    port_.WriteBytes(transmit_.data(), length, nullptr, nullptr, kWriteTimeoutMs);
}

void FpgaExchange::OnSerialEvent(std::uint32_t param) {
    if (!(param & serial::kEventReceived) || !port_.IsOpen())
        return;
    if (!busy_) {
        DiscardInput();
        return;
    }
    while (received_ < expected_) {
        std::size_t count = 0;
        port_.ReadBytes(reply_.data() + received_, expected_ - received_, &count);
        if (count == 0)
            break;
        received_ += count;
    }
    if (received_ == expected_)
        OnReplyComplete();
}

void FpgaExchange::DiscardInput() {
    // Bytes no exchange waits for are dropped, never kept to be taken for a later reply.
    std::uint8_t bytes[flash::kReadReplySize];
    port_.ReadBytes(bytes, sizeof bytes);
}

void FpgaExchange::OnReplyComplete() {
    switch (action_) {
    case Action::Upload:
        OnWriteReply();
        break;
    case Action::Verify:
        OnReadReply();
        break;
    case Action::Configure:
        OnConfigureReply();
        break;
    case Action::None:
        break;
    }
}

bool FpgaExchange::CheckReply(std::uint16_t code, const char* lengthLine, const char* codeLine,
                              const char* checksumLine) {
    const char* failure = nullptr;
    if (Get16(reply_.data() + 2) != received_)
        failure = lengthLine;
    else if (Get16(reply_.data()) != code)
        failure = codeLine;
    else if (reply_[received_ - 1] != Checksum(reply_.data(), received_ - 1))
        failure = checksumLine;
    if (failure == nullptr)
        return true;
    // No frame is repeated: the exchange ends here and the line says why.
    progress_.AddLine(failure);
    Finish(Outcome::ReplyError);
    return false;
}

void FpgaExchange::OnWriteReply() {
    if (!CheckReply(replyCode_, kReadError, kReadError, kChecksumError))
        return;
    // The header counts toward the length, so a qbf may end with a block of nothing but 0xFF.
    if (bytesDone_ < image_.Length()) {
        SetProgress(bytesDone_);
        bytesDone_ += flash::kBlockSize;
        address_ += flash::kBlockSize;
        SendWriteBlock();
        return;
    }
    progress_.AddLine("Writing FPGA Flash: Done!");
    progress_.AddLine(std::to_string(bytesDone_) + " Bytes Uploaded");
    progress_.AddLine(Stars(38));
    SetProgress(0);
    Finish(Outcome::Done);
}

void FpgaExchange::OnReadReply() {
    if (!CheckReply(flash::kReadCode, kLengthError, kReadError, kChecksumError))
        return;
    if (!ReadImageBlock(fileBlock_.data()))
        return;
    const std::uint32_t base = Get32(reply_.data() + 4);
    const std::uint8_t* device = reply_.data() + flash::kReadDataOffset;
    for (std::size_t i = 0; i < flash::kBlockSize; ++i) {
        if (device[i] == fileBlock_[i])
            continue;
        ++verifyErrors_;
        char line[80];
        std::snprintf(line, sizeof line, "Error address %u: file=%X device=%X",
                      static_cast<unsigned>(base + i), fileBlock_[i], device[i]);
        progress_.AddLine(line);
    }
    if (bytesDone_ >= image_.Length()) {
        progress_.AddLine("Verifyed " + std::to_string(bytesDone_) + " bytes..." +
                          std::to_string(verifyErrors_) + " Errors Found!");
        progress_.AddLine(Stars(52));
        SetProgress(0);
        Finish(Outcome::Done);
        return;
    }
    SetProgress(bytesDone_);
    address_ += flash::kBlockSize;
    bytesDone_ += flash::kBlockSize;
    SendReadBlock(flash::kReadCode);
}

void FpgaExchange::OnConfigureReply() {
    if (!CheckReply(flash::kConfigureCode, kLengthError, kReadError, "Check Sum Error"))
        return;
    progress_.AddLine("FPGA Configured!");
    progress_.AddLine(Stars(38));
    Finish(Outcome::Done);
}

void FpgaExchange::Tick() {
    if (!busy_)
        return;
    if (countdown_ > 0) {
        --countdown_;
        return;
    }
    Finish(Outcome::TimedOut);
    progress_.AddLine(std::string(30, '~'));
    progress_.AddLine("Error: Communication Time Out");
    progress_.AddLine(std::string(30, '~'));
}

void FpgaExchange::FileError(int error) {
    progress_.AddLine(std::string("FILE ERROR: ") + FpgaImage::FileErrorText(error));
    Finish(Outcome::FileError);
}

void FpgaExchange::Finish(Outcome outcome) {
    busy_ = false;
    image_.Close();
    actionsEnabled_ = true;
    action_ = Action::None;
    outcome_ = outcome;
    expected_ = received_ = 0;
    Changed();
}

void FpgaExchange::SetProgress(std::uint64_t position) {
    progressPosition_ = position;
    Changed();
}

void FpgaExchange::Changed() {
    if (listener_)
        listener_->OnExchangeChanged();
}

} // namespace orvane

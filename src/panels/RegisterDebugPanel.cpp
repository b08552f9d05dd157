#include "panels/RegisterDebugPanel.h"

#include "shell/Host.h"
#include "spectrum/CSpectrum.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumFileText.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

RegisterDebugPanel::RegisterDebugPanel(Host& host, FileIo& io) : host_(host), io_(io) {
    for (int i = 0; i < kRegisters; ++i)
        words_[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(10 * i);
    Show(words_[0]);
}

int RegisterDebugPanel::ParseHex(const std::string& text) {
    unsigned value = 0;
    return std::sscanf(text.c_str(), "%X", &value) == 1 ? static_cast<int>(value) : -1;
}

int RegisterDebugPanel::ParseDec(const std::string& text) {
    int value = 0;
    return std::sscanf(text.c_str(), "%d", &value) == 1 ? value : -1;
}

void RegisterDebugPanel::Changed() {
    if (changed_)
        changed_();
}

void RegisterDebugPanel::Show(int value) {
    const auto v = static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
    words_[static_cast<std::size_t>(selected_)] = v;
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(v));
    decText_ = text;
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(v));
    hexText_ = text;
    for (int k = 0; k < kBits; ++k) {
        const bool set = (v >> k) & 1u;
        bits_[static_cast<std::size_t>(k)] = BitButton{set ? "1" : "0", !set};
    }
}

void RegisterDebugPanel::Select(int index) {
    selected_ = std::clamp(index, 0, kRegisters - 1);
    Show(words_[static_cast<std::size_t>(selected_)]);
    Changed();
}

void RegisterDebugPanel::OnHexChanged(const std::string& text) {
    if (!hexFocus_)
        return;
    Show(ParseHex(text));
    Changed();
    if (autoWrite_)
        Write();
}

void RegisterDebugPanel::OnDecChanged(const std::string& text) {
    if (!decFocus_)
        return;
    Show(ParseDec(text));
    Changed();
    if (autoWrite_)
        Write();
}

void RegisterDebugPanel::OnBitClicked(int k) {
    BitButton& clicked = bits_[static_cast<std::size_t>(k & 15)];
    clicked.pushed = !clicked.pushed;
    int value = 0;
    for (int i = 0; i < kBits; ++i) {
        if (!bits_[static_cast<std::size_t>(i)].pushed)
            value |= 1 << i;
    }
    Show(value);
    Changed();
    if (autoWrite_)
        Write();
}

void RegisterDebugPanel::Refresh(const CSpectrum& active) {
    if (!autoRead_ && !readRequest_)
        return;
    const auto& bank = active.Image().Bank0();
    std::copy(bank.begin(), bank.begin() + kRegisters, words_.begin());
    Show(words_[static_cast<std::size_t>(selected_)]);
    Changed();
}

void RegisterDebugPanel::Read(const CSpectrum& active) {
    readRequest_ = true;
    Refresh(active);
    readRequest_ = false;
}

void RegisterDebugPanel::SetWriteTarget(CSpectrum* buffer, RegisterWriteLink* link) {
    buffer_ = buffer;
    link_ = link;
}

void RegisterDebugPanel::Write() {
    if (!buffer_)
        return;
    RegisterImage& image = buffer_->Image();
    image.SetSettled(false);
    if (!link_ || !link_->InstrumentConnected()) {
        image.SetSettled(true);
        return;
    }
    image.Set(selected_, words_[static_cast<std::size_t>(selected_)]);
    if (!link_->LoggerRunning())
        link_->WriteAllRegisters();
}

bool RegisterDebugPanel::LoadFrom(const std::string& path) {
    if (!RegisterFile::Load(path, words_)) {
        host_.MessageBox(spectrum_text::kUnableToOpen, spectrum_text::kErrorCaption, MessageIcon::Stop,
                         MessageButtons::Ok);
        return false;
    }
    Show(words_[static_cast<std::size_t>(selected_)]);
    Changed();
    return true;
}

bool RegisterDebugPanel::SaveTo(const std::string& path) {
    const SafeWriteResult result = RegisterFile::Save(path, words_, io_);
    if (result == SafeWriteResult::Ok)
        return true;
    host_.MessageBox(result == SafeWriteResult::CannotOpen ? spectrum_text::kUnableToOpen
                                                           : spectrum_text::kErrorWriting,
                     spectrum_text::kErrorCaption, MessageIcon::Stop, MessageButtons::Ok);
    return false;
}

void RegisterDebugPanel::LoadFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = "Load Register File";
    request.filters = {"Register Files (*.rgv)", "Orvane Spectrum (*.qxs)", "All Files (*)"};
    const std::optional<std::string> path = host_.ChooseFile(request);
    if (path && !path->empty())
        LoadFrom(*path);
}

void RegisterDebugPanel::SaveFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Save Register File";
    request.filters = {"Register Files (*.rgv)", "All Files (*)"};
    request.defaultExtension = "rgv";
    const std::optional<std::string> chosen = host_.ChooseFile(request);
    if (!chosen || chosen->empty())
        return;
    const std::string path = WithDefaultExtension(*chosen, "rgv");
    if (PathExists(path) &&
        host_.MessageBox(spectrum_text::kOverwriteQuestion, spectrum_text::kWarningCaption,
                         MessageIcon::Exclamation, MessageButtons::OkCancel) != kAnswerOk)
        return;
    SaveTo(path);
}

} // namespace orvane

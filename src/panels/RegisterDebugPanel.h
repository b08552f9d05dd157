#pragma once

#include "panels/RegisterFile.h"
#include "spectrum/FileIo.h"

#include <array>
#include <functional>
#include <string>

namespace orvane {

class CSpectrum;
class Host;

// What WRITE needs from the acquisition session.
class RegisterWriteLink {
public:
    virtual ~RegisterWriteLink() = default;
    virtual bool InstrumentConnected() const = 0;
    virtual bool LoggerRunning() const = 0;
    // Writes the buffer spectrum's whole register image to the instrument.
    virtual void WriteAllRegisters() = 0;
};

// The register debug panel's model: a local copy of the 128 registers, the selected one shown in hex,
// decimal and sixteen bit buttons, READ/AUTO READ from the active spectrum's image, WRITE of the selected
// register, and register files. Only READ, AUTO READ and WRITE touch a register image.
class RegisterDebugPanel {
public:
    static constexpr int kRegisters = RegisterFile::kWords;
    static constexpr int kBits = 16;
    using Words = RegisterFile::Words;

    struct BitButton {
        std::string caption; // "1" or "0"
        bool pushed = false; // a 0 bit is pushed in, a 1 bit released
    };

    explicit RegisterDebugPanel(Host& host, FileIo& io = FileIo::System());

    // State the view shows.
    const Words& GetWords() const { return words_; }
    int Selected() const { return selected_; }
    const std::string& HexText() const { return hexText_; }
    const std::string& DecText() const { return decText_; }
    // Bit k (0 = least significant; the view lays them out 15 on the left to 0 on the right).
    const BitButton& Bit(int k) const { return bits_[static_cast<std::size_t>(k & 15)]; }
    bool AutoRead() const { return autoRead_; }
    bool AutoWrite() const { return autoWrite_; }
    bool ReadRequest() const { return readRequest_; }
    // "0" to "127".
    static std::string SelectorEntry(int index) { return std::to_string(index); }

    // Controls.
    void Select(int index);
    void SetHexFocus(bool focus) { hexFocus_ = focus; }
    void SetDecFocus(bool focus) { decFocus_ = focus; }
    // Edit changes; they act only while that edit has the keyboard focus.
    void OnHexChanged(const std::string& text);
    void OnDecChanged(const std::string& text);
    // A click on bit button k toggles it; the word is recomputed from all sixteen.
    void OnBitClicked(int k);
    void SetAutoRead(bool on) { autoRead_ = on; }
    void SetAutoWrite(bool on) { autoWrite_ = on; }
    // READ: copies the active spectrum's registers once, whatever AUTO READ says.
    void Read(const CSpectrum& active);
    // After every register read-back and every activation: copies them while AUTO READ is set.
    void Refresh(const CSpectrum& active);
    // WRITE: the selected register into the buffer spectrum's image and out to the instrument.
    void Write();
    // LOAD FILE and SAVE FILE with their choosers and questions.
    void LoadFile();
    void SaveFile();
    // The file side of LOAD FILE and SAVE FILE, after the chooser (and the overwrite question).
    bool LoadFrom(const std::string& path);
    bool SaveTo(const std::string& path);

    // Where WRITE goes; without a link WRITE only settles the image.
    void SetWriteTarget(CSpectrum* buffer, RegisterWriteLink* link);
    // Called after every change of what the view shows.
    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    // "%X" and "%d" as the edits parse them: -1 when the text does not parse.
    static int ParseHex(const std::string& text);
    static int ParseDec(const std::string& text);

private:
    // Shows v (limited to 0..65535) for the selected register and stores it there.
    void Show(int value);
    void Changed();

    Host& host_;
    FileIo& io_;
    Words words_{};
    int selected_ = 0;
    std::string hexText_, decText_;
    std::array<BitButton, kBits> bits_{};
    bool hexFocus_ = false;
    bool decFocus_ = false;
    bool autoRead_ = true;
    bool autoWrite_ = false;
    bool readRequest_ = false;
    CSpectrum* buffer_ = nullptr;
    RegisterWriteLink* link_ = nullptr;
    std::function<void()> changed_;
};

} // namespace orvane

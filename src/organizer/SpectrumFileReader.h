#pragma once

#include "organizer/SpectrumBuffers.h"

#include <string>

namespace kettrim {

class PieceReader;

// Reads the counts and the register words of one input file into the buffers. Only the elements the
// conversion needs are looked at: "spectrum" (qxs) or "spectrum0" to "spectrum3" (the four-spectrum type),
// and "registers"; everything else is skipped. Values are read as the C library reads numbers, so text
// that is not a number counts 0. The counts are cleared first; the register words keep what they held
// unless the file has a register block.
class SpectrumFileReader {
public:
    // False when the file cannot be opened or a read fails.
    static bool ReadSingleSpectrumFile(const std::string& path, SpectrumBuffers& buffers);
    static bool ReadMultiSpectrumFile(const std::string& path, SpectrumBuffers& buffers);

private:
    enum class Type { Single, Multi };

    static bool Read(const std::string& path, Type type, SpectrumBuffers& buffers);
    // Reads an element up to its closing piece; its data block goes to `values` (up to `capacity`).
    static void ReadSpectrumElement(PieceReader& reader, const std::string& closing, std::uint32_t* values,
                                    int capacity);
    static void ReadRegisterElement(PieceReader& reader, SpectrumBuffers& buffers);
};

} // namespace kettrim

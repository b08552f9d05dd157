#pragma once

namespace orvane::spectrum_text {

// The messages of saving, loading and exporting spectra.
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kUnableToSave = "Unable to Save File";
inline constexpr const char* kUnableToOpen = "Unable to Open File";
inline constexpr const char* kUnableToExport = "Unable to Export File";
inline constexpr const char* kErrorWriting = "Error Writing to File";
inline constexpr const char* kOverwriteQuestion = "FILE ALREADY EXISTS. DO YOU WANT TO OVERWRITE THE FILE?";
inline constexpr const char* kWarningCaption = "Warning";

} // namespace orvane::spectrum_text

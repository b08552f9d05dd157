#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvane {

class CSpectrum;
class Host;
struct CalibrationSet;

// The calibration panel's model: the points list, the edit fields, the unit and enable state and the
// coefficient texts, acting on the calibration of the active record's selected input. The list is kept in
// ascending order of its "%8.2f" channel texts; rebuilding copies its rows, top to bottom, into the stored
// set (hard channels) and the working set (soft channels).
class CalibrationModel {
public:
    struct Row {
        std::string channel; // "%8.2f", soft channels
        std::string energy;  // "%8.4f"
        bool checked = false;
    };

    static constexpr std::size_t kMaxRows = 10;
    static constexpr std::size_t kMaxFieldText = 256;

    explicit CalibrationModel(Host& host) : host_(host) {}

    // The record the actions work on; nullptr while there is none. Does not reload the list.
    void SetActive(CSpectrum* active) { active_ = active; }
    CSpectrum* Active() const { return active_; }

    // Called after the plot has to be drawn again from scratch (calibration, unit or enable changed).
    std::function<void()> requestFullRedraw;

    // What the panel shows.
    const std::vector<Row>& Rows() const { return rows_; }
    const std::string& ChannelText() const { return channelText_; }
    const std::string& EnergyText() const { return energyText_; }
    void SetChannelText(const std::string& text) { channelText_ = text; }
    void SetEnergyText(const std::string& text) { energyText_ = text; }
    int SelectedUnit() const { return selectedUnit_; }
    bool EnableChecked() const { return enableChecked_; }
    const std::string& Caption() const { return caption_; }
    const std::string& AText() const { return aText_; }
    const std::string& BText() const { return bText_; }
    const std::string& CText() const { return cText_; }

    // A check box in the list changed; it takes effect in the sets when the list loses the focus.
    void SetRowChecked(std::size_t row, bool checked);

    // The controls.
    void OnCursor();
    void OnPeak();
    void OnUnitSelected(int index);
    void OnEnableCalibration(bool enabled);
    void OnAddPoint();
    void OnEditSelected();
    void OnRemoveSelected();
    void OnRemoveAll();
    void OnCalibrateSelected();
    void OnCalibrateAll();
    void OnListFocusLost();

    // Fits the working coefficients through the used points; false when nothing was fitted.
    bool Calibrate(int useAll);
    // Fills the list from the active record's stored calibration of its selected input.
    void ReloadCalibration();
    // A save takes over the list's check marks as the use flags of both sets before writing.
    void ApplyCheckMarks();

private:
    bool PlotVisible() const;
    void Tell(const std::string& text);
    void InsertRow(Row row);
    // Rows into a set: channel × factor, energy and use; the number of points the fit would use.
    int Rebuild(CalibrationSet& set, int factor) const;
    void RebuildBoth();
    bool Fit(int useAll, bool quiet);
    void ShowCoefficients(const std::string& caption);
    void ShowFitCaption();
    void Redraw();

    Host& host_;
    CSpectrum* active_ = nullptr;
    std::vector<Row> rows_;
    std::string channelText_;
    std::string energyText_;
    int selectedUnit_ = 0;
    bool enableChecked_ = false;
    std::string caption_ = "Not Calibrated";
    std::string aText_ = "a = ?";
    std::string bText_ = "b = ?";
    std::string cText_ = "c = ?";
};

} // namespace orvane

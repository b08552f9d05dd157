// The plot's drawing at full HD: a full repaint of a 16384-channel spectrum, and the link timer's repaint
// after one chunk (2048 channels) of new counts, in each drawing style.
#include "analysis/SpectrumPlot.h"
#include "analysis/ui/CSpectrumPlotView.h"
#include "analysis/ui/PlotPainter.h"
#include "spectrum/CSpectrum.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace orvane;

constexpr QSize kPlotSize(1920, 1080);
constexpr int kChunk = 2048;

std::unique_ptr<CSpectrum> MakeRecord() {
    auto record = std::make_unique<CSpectrum>(true);
    record->SetShown(true);
    for (int h = 0; h < CSpectrum::kChannels; ++h) {
        const double continuum = 30000.0 * std::exp(-h / 3000.0);
        const double peak = 60000.0 * std::exp(-std::pow((h - 6620) / 35.0, 2));
        record->HardCounts()[static_cast<std::size_t>(h)] = static_cast<std::uint32_t>(continuum + peak);
    }
    record->Fold();
    for (int s = 6500; s < 6740; ++s)
        record->SetSoftMark(s, true);
    return record;
}

void FullRepaint(benchmark::State& state) {
    auto record = MakeRecord();
    SpectrumPlot plot(*record);
    plot.SetStyle(static_cast<DrawingStyle>(state.range(0)));
    plot.Run(PlotCommand::AutoVertical);
    PlotPainter painter(plot);
    painter.DrawFull(kPlotSize);
    for (auto _ : state) {
        painter.DrawFull(kPlotSize);
        benchmark::DoNotOptimize(painter.Canvas().constBits());
    }
}

void TimerRepaint(benchmark::State& state) {
    auto record = MakeRecord();
    SpectrumPlot plot(*record);
    plot.SetStyle(static_cast<DrawingStyle>(state.range(0)));
    plot.Run(PlotCommand::AutoVertical);
    PlotPainter painter(plot);
    painter.DrawFull(kPlotSize);
    int chunk = 0;
    for (auto _ : state) {
        // The acquisition stores one chunk and folds it; the tick then draws what changed.
        const int first = chunk * kChunk;
        for (int h = first; h < first + kChunk; ++h)
            record->HardCounts()[static_cast<std::size_t>(h)] += 1 + (h & 7) * 40;
        record->FoldBlock(first, kChunk);
        const QRect dirty = painter.Update(kPlotSize);
        benchmark::DoNotOptimize(dirty);
        chunk = (chunk + 1) % 8;
    }
}

// The whole widget: the canvas update plus Qt painting the widget, as on screen.
void WidgetFullRepaint(benchmark::State& state) {
    auto record = MakeRecord();
    CSpectrumPlotView view(*record);
    view.resize(kPlotSize);
    view.Plot().SetStyle(static_cast<DrawingStyle>(state.range(0)));
    view.Plot().Run(PlotCommand::AutoVertical);
    QImage target(kPlotSize, QImage::Format_RGB32);
    for (auto _ : state) {
        view.RequestFullRedraw();
        QPainter p(&target);
        view.render(&p);
    }
}

void RegisterAll() {
    static const char* const kStyles[] = {"dots", "bars", "steps", "line"};
    const struct {
        const char* name;
        void (*run)(benchmark::State&);
    } kinds[] = {{"FullRepaint", FullRepaint},
                 {"TimerRepaint", TimerRepaint},
                 {"WidgetFullRepaint", WidgetFullRepaint}};
    for (const auto& kind : kinds)
        for (int style = 0; style < 4; ++style)
            benchmark::RegisterBenchmark((std::string(kind.name) + "/" + kStyles[style]).c_str(), kind.run)
                ->Arg(style)
                ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "cli/CliSpectrum.h"

#include "session/DeviceIdentity.h"
#include "spectrum/SpectrumFileReader.h"

#include <algorithm>
#include <deque>
#include <functional>

namespace orvane {

namespace {

// Runs posted work when asked; enough for the platform command the detection queues.
class QueuePoster : public Poster {
public:
    void Post(std::function<void()> task) override { tasks_.push_back(std::move(task)); }
    TimerId PostAfter(std::int64_t, std::function<void()> task) override {
        Post(std::move(task));
        return 0;
    }
    void Cancel(TimerId) override {}
    void RunAll() {
        while (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            task();
        }
    }

private:
    std::deque<std::function<void()>> tasks_;
};

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CliSpectrum::CliSpectrum() : record_(true) {
    record_.SetShown(true);
}

bool CliSpectrum::Load(const std::string& path, CliHost& host) {
    SpectrumFileReader reader(host);
    if (!reader.Load(record_, path, FileNameOf(path)))
        return false;
    QueuePoster poster;
    DeviceIdentity identity(poster);
    identity.SetActiveSpectrumSource([this] { return &record_; });
    identity.Detect(record_);
    poster.RunAll();
    return true;
}

bool CliSpectrum::IsOfferedSoftSize(int size) {
    const auto& offered = CSpectrum::kOfferedSoftSizes;
    return std::find(offered.begin(), offered.end(), size) != offered.end();
}

} // namespace orvane

#include "device/CSerialWnd.h"

#include <map>
#include <mutex>

namespace orvane {

CSerialWnd::CSerialWnd() = default;

CSerialWnd::~CSerialWnd() {
    CSerialWnd::ClosePort();
}

std::uint32_t CSerialWnd::RegisterMessage(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, std::uint32_t> registered;
    std::lock_guard lock(mutex);
    const auto it = registered.find(name);
    if (it != registered.end())
        return it->second;
    const std::uint32_t id = 0xC000u + static_cast<std::uint32_t>(registered.size());
    registered.emplace(name, id);
    return id;
}

std::uint32_t CSerialWnd::DefaultComMessage() {
    static const std::uint32_t message = RegisterMessage("CSerialWnd_DefaultComMsg");
    return message;
}

std::int32_t CSerialWnd::OpenForWindow(const std::string& name, SerialWindowHandle window,
                                       std::uint32_t message, std::intptr_t userValue, std::uint32_t inQueue,
                                       std::uint32_t outQueue) {
    const std::int32_t status = CSerialEx::OpenPort(name, inQueue, outQueue, false);
    if (status != serial::kSuccess)
        return status;
    window_ = window;
    message_ = message != 0 ? message : DefaultComMessage();
    userValue_ = userValue;
    opening_ = std::make_shared<int>(0);
    const std::int32_t started = StartEventThread();
    if (started != serial::kSuccess) {
        ClosePort();
        return Fail(started);
    }
    return Succeed();
}

std::int32_t CSerialWnd::ClosePort() {
    const std::int32_t status = CSerialEx::ClosePort();
    opening_.reset();
    window_ = {};
    message_ = 0;
    return status;
}

void CSerialWnd::OnSerialEvent(std::uint32_t events, std::uint32_t errors) {
    if (window_.poster == nullptr || window_.sink == nullptr)
        return;
    SerialMessageSink* sink = window_.sink;
    const std::uint32_t message = message_;
    const std::uint32_t param = MakeParam(events, errors);
    const std::intptr_t user = userValue_;
    std::weak_ptr<int> opening = opening_;
    window_.poster->Post([sink, message, param, user, opening] {
        if (!opening.expired())
            sink->OnSerialMessage(message, param, user);
    });
}

} // namespace orvane

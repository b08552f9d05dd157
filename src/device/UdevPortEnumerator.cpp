#include "device/UdevPortEnumerator.h"

#include "device/PortNames.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <libudev.h>
#include <linux/serial.h>
#include <sstream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace orvane {

namespace {

std::string Property(udev_device* device, const char* name) {
    const char* value = udev_device_get_property_value(device, name);
    return value ? value : "";
}

// A ttyS port whose UART type the driver does not know is a placeholder, not a port.
bool IsPlaceholderUart(const std::string& kernelName, const std::string& path) {
    if (kernelName.rfind("ttyS", 0) != 0)
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    serial_struct info{};
    const bool unknown = ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type == PORT_UNKNOWN;
    ::close(fd);
    return unknown;
}

SSerInfo Describe(udev_device* device, const std::string& kernelName, const std::string& path) {
    udev_device* parent = udev_device_get_parent(device);
    std::string model = Property(device, "ID_MODEL_FROM_DATABASE");
    if (model.empty())
        model = Property(device, "ID_MODEL");
    std::replace(model.begin(), model.end(), '_', ' ');
    if (model.empty() && parent)
        model = udev_device_get_sysname(parent) ? udev_device_get_sysname(parent) : "";
    SSerInfo info;
    info.devicePath = path;
    info.portName = kernelName;
    info.usb = Property(device, "ID_BUS") == "usb" ||
               (parent && udev_device_get_parent_with_subsystem_devtype(device, "usb", nullptr) != nullptr);
    info.friendlyName = model.empty() ? kernelName : model + " (" + kernelName + ")";
    return info;
}

} // namespace

std::vector<std::string> UdevPortEnumerator::ConsolePorts() {
    std::ifstream in("/sys/class/tty/console/active");
    std::vector<std::string> names;
    for (std::string name; in >> name;)
        names.push_back(name);
    return names;
}

void UdevPortEnumerator::AddSimulated(const std::string& portName, const std::string& devicePath) {
    simulated_.push_back(SSerInfo{devicePath, portName, "Orvane Simulated Instrument (" + portName + ")",
                                  false, "Orvane Simulated Instrument"});
}

std::vector<SSerInfo> UdevPortEnumerator::Enumerate(std::string& error) {
    std::vector<SSerInfo> ports;
    udev* context = udev_new();
    if (!context) {
        error = "Could not open udev";
        return simulated_;
    }
    const std::vector<std::string> consoles = ConsolePorts();
    udev_enumerate* enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "tty");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        const char* node = udev_device_get_devnode(device);
        const char* sysname = udev_device_get_sysname(device);
        const bool hasParent = udev_device_get_parent(device) != nullptr;
        if (node && sysname && hasParent) {
            const std::string name = sysname;
            const bool console = std::find(consoles.begin(), consoles.end(), name) != consoles.end();
            if (!console && !IsPlaceholderUart(name, node))
                ports.push_back(Describe(device, name, node));
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    ports.insert(ports.end(), simulated_.begin(), simulated_.end());
    CompletePortNames(ports);
    return ports;
}

} // namespace orvane

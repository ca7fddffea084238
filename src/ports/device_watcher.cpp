#include "ports/device_watcher.h"

#include <sys/epoll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <string_view>

#include "ports/udev_handles.h"
#include "seriallink/unique_fd.h"

namespace ports {
namespace {

std::string Parent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a name appearing in a watched directory means to the list.
enum class Place { StableNames, StableNamesParent, Devices, Simulator };

}  // namespace

struct DeviceWatcher::Impl {
    PortPlaces places;
    seriallink::UniqueFd epoll{::epoll_create1(EPOLL_CLOEXEC)};
    seriallink::UniqueFd inotify{::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)};
    udev::Context context{udev_new()};
    udev::Monitor monitor;
    std::map<int, Place> watches;  // inotify watch descriptor

    void Watch(const std::string& dir, Place place) {
        const int wd =
            ::inotify_add_watch(inotify.Get(), dir.c_str(),
                                IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR);
        if (wd >= 0) watches[wd] = place;
    }

    // /dev/serial/by-id exists only while an adapter is plugged in: its
    // parent is watched as well, and the watch is set again when it appears.
    void WatchPlaces() {
        Watch(places.byIdDir, Place::StableNames);
        Watch(Parent(places.byIdDir), Place::StableNamesParent);
        Watch(places.devDir, Place::Devices);
        Watch(Parent(places.simulatorLink), Place::Simulator);
    }

    bool Relevant(Place place, std::string_view name) const {
        switch (place) {
            case Place::StableNames:
                return true;
            case Place::StableNamesParent:
                return name == BaseName(places.byIdDir);
            case Place::Devices:
                return name.starts_with("ttyUSB") || name.starts_with("ttyACM") || name == "serial";
            case Place::Simulator:
                return name == BaseName(places.simulatorLink);
        }
        return false;
    }

    bool DrainInotify() {
        bool relevant = false;
        bool rewatch = false;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(inotify.Get(), buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) relevant = true;
                if (event->mask & IN_IGNORED) {
                    watches.erase(event->wd);
                    continue;
                }
                const auto watch = watches.find(event->wd);
                if (watch == watches.end() || event->len == 0) continue;
                if (Relevant(watch->second, event->name)) {
                    relevant = true;
                    rewatch = rewatch || watch->second != Place::StableNames;
                }
            }
        }
        // A watched directory that came or went: set the watches afresh
        // (inotify hands back the same descriptor for one already watched).
        if (rewatch) WatchPlaces();
        return relevant;
    }

    bool DrainMonitor() {
        bool relevant = false;
        if (!monitor) return false;
        while (udev::Device device{udev_monitor_receive_device(monitor.get())}) relevant = true;
        return relevant;
    }
};

DeviceWatcher::DeviceWatcher(PortPlaces places) : impl_(std::make_unique<Impl>()) {
    impl_->places = std::move(places);
    impl_->WatchPlaces();
    // The device manager's announcements of ttys added and removed; on a
    // machine without one this simply never fires.
    if (impl_->context) {
        impl_->monitor.reset(udev_monitor_new_from_netlink(impl_->context.get(), "udev"));
        if (impl_->monitor && (udev_monitor_filter_add_match_subsystem_devtype(
                                   impl_->monitor.get(), "tty", nullptr) < 0 ||
                               udev_monitor_enable_receiving(impl_->monitor.get()) < 0))
            impl_->monitor.reset();
    }
    const int sources[] = {impl_->inotify.Get(),
                           impl_->monitor ? udev_monitor_get_fd(impl_->monitor.get()) : -1};
    for (const int fd : sources) {
        if (fd < 0) continue;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        ::epoll_ctl(impl_->epoll.Get(), EPOLL_CTL_ADD, fd, &event);
    }
}

DeviceWatcher::~DeviceWatcher() = default;

int DeviceWatcher::Fd() const {
    return impl_->epoll.Get();
}

bool DeviceWatcher::Drain() {
    const bool files = impl_->DrainInotify();
    const bool devices = impl_->DrainMonitor();
    return files || devices;
}

}  // namespace ports

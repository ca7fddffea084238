#include "ports/open_diagnosis.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "ports/process_scan.h"
#include "ports/serial_ports.h"
#include "ports/sysfs_devices.h"
#include "seriallink/port_device.h"

namespace ports {
namespace {

std::string Quoted(const std::string& command) {
    return "\"" + command + "\"";
}

// "/dev/ttyS2 (COM3)" for the classic names, else the path as given.
std::string Shown(const std::string& commName, const std::string& path) {
    return path == commName ? path : path + " (" + commName + ")";
}

std::string UserName() {
    const passwd* user = ::getpwuid(::geteuid());
    return user ? user->pw_name : std::to_string(::geteuid());
}

std::string GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

// Listed for the user in the group database (what the next login gets).
bool InGroupDatabase(gid_t gid) {
    const passwd* user = ::getpwuid(::geteuid());
    if (user == nullptr) return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) return false;
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Held by this login session (what this process has now).
bool InSession(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(got, 0), gid) !=
           groups.begin() + std::max(got, 0);
}

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? letters[bit] : '-';
    return text;
}

std::string PortsPresent(const PortPlaces& places) {
    const std::vector<SerialPort> ports = ListSerialPorts(places);
    if (ports.empty()) return "No serial port is present: check that the adapter is plugged in.";
    std::string text = "Serial ports present: ";
    for (std::size_t i = 0; i < ports.size(); ++i) text += (i ? ", " : "") + ports[i].path;
    return text + ".";
}

std::string BrlttyNote(const PortPlaces& places) {
    const std::vector<Process> brltty = ProcessesNamed(places.procDir, "brltty");
    if (brltty.empty()) return "";
    return " brltty (the braille display service, process " + std::to_string(brltty[0].pid) +
           ") is running: it takes many USB serial adapters (CH340, CP210x, FTDI) away as soon "
           "as they are plugged in; if no braille display is used, stop it with " +
           Quoted("sudo systemctl mask --now brltty-udev.service brltty.service") +
           " and plug the adapter in again.";
}

std::string Missing(const std::string& shown, const PortPlaces& places) {
    return "There is no device " + shown + " on this computer. " + PortsPresent(places) +
           BrlttyNote(places);
}

std::string NotATerminal(const std::string& shown, const struct stat& info,
                         const PortPlaces& places) {
    std::string kind;
    if (S_ISREG(info.st_mode)) {
        kind = "a regular file";
    } else if (S_ISDIR(info.st_mode)) {
        kind = "a directory";
    } else if (S_ISBLK(info.st_mode)) {
        kind = "a block device (a disk)";
    } else if (S_ISFIFO(info.st_mode)) {
        kind = "a named pipe";
    } else if (S_ISSOCK(info.st_mode)) {
        kind = "a socket";
    } else {
        const CharDevice device = LookUpCharDevice(places, info.st_rdev);
        kind = "a device of another kind" +
               (device.subsystem.empty() ? "" : " (" + device.subsystem + ")");
    }
    return shown + " is " + kind + ", not a serial port. Choose a port from the list.";
}

std::string NoAccess(const std::string& shown, const struct stat& info) {
    const std::string user = UserName();
    const std::string group = GroupName(info.st_gid);
    const bool groupMayUse = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
    if (groupMayUse && InGroupDatabase(info.st_gid) && !InSession(info.st_gid)) {
        return shown + " belongs to the group " + group + "; you (" + user +
               ") have been added to it, but this login session does not have the group yet. "
               "Log out and in again (or restart the computer), then press Open.";
    }
    if (groupMayUse && !InSession(info.st_gid)) {
        return "You (" + user + ") may not use " + shown + ": it belongs to the group " + group +
               ", and you are not a member. Add yourself with " +
               Quoted("sudo usermod -aG " + group + " " + user) + ", then log out and in again.";
    }
    const passwd* owner = ::getpwuid(info.st_uid);
    return "You (" + user + ") may not read and write " + shown + ": it belongs to " +
           (owner ? owner->pw_name : std::to_string(info.st_uid)) + " (group " + group + ", " +
           ModeText(info.st_mode) + "), and its permissions give you no access.";
}

std::string Holders(const std::vector<Process>& holders) {
    std::string text;
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (i) text += i + 1 == holders.size() ? " and " : ", ";
        text += holders[i].name + " (process " + std::to_string(holders[i].pid) + ")";
    }
    return text;
}

const char kModemManager[] = "ModemManager";

std::string ModemManagerAdvice() {
    return "Wait a few seconds and press Open again; if it keeps the port, stop it with " +
           Quoted("sudo systemctl stop ModemManager") + ".";
}

std::string InUse(const std::string& shown, const std::vector<Process>& holders) {
    const bool modemManager = std::any_of(holders.begin(), holders.end(),
                                          [](const Process& p) { return p.name == kModemManager; });
    if (modemManager) {
        return shown + " is in use by " + Holders(holders) +
               ", which tries every new serial device as a possible modem. " + ModemManagerAdvice();
    }
    return shown + " is in use by " + Holders(holders) +
           (holders.size() == 1 ? ". Close that program" : ". Close those programs") +
           ", then press Open again.";
}

// ModemManager runs as root, so a desktop user cannot see which devices it
// holds: while it runs out of sight, it is the likely holder of a port that
// no visible program has. One whose descriptors are in view (as root sees
// them) does not hold it.
std::string HiddenHolder(const std::string& shown, const PortPlaces& places) {
    const std::string text =
        shown + " is held by a program you cannot see (another user's, or a system service).";
    for (const Process& process : ProcessesNamed(places.procDir, kModemManager)) {
        if (!process.descriptorsHidden) continue;
        return text + " ModemManager (process " + std::to_string(process.pid) +
               ") is running: it tries every new serial device as a possible modem and may be "
               "holding this one. " +
               ModemManagerAdvice();
    }
    return text +
           " Ask the computer's administrator which program it is and have it closed, "
           "then press Open again.";
}

std::string InUseOrHidden(const std::string& shown, dev_t device, const PortPlaces& places) {
    const std::vector<Process> holders = HoldersOf(places.procDir, device);
    return holders.empty() ? HiddenHolder(shown, places) : InUse(shown, holders);
}

// An error with no cause to be found on this machine, such as an I/O error
// from a failing adapter: the system's own words for it.
std::string SystemSays(const std::string& shown, int errorNumber) {
    return "The system could not open " + shown + ": " + std::strerror(errorNumber) +
           ". If the port is on an adapter, unplug the adapter and plug it in again, then press "
           "Open.";
}

bool MissingDevice(int errorNumber) {
    return errorNumber == ENOENT || errorNumber == ENOTDIR || errorNumber == ENODEV ||
           errorNumber == ENXIO;
}

}  // namespace

std::string ExplainOpenFailure(const std::string& commName, int errorNumber,
                               const PortPlaces& places) {
    const std::string path = seriallink::DevicePathFor(commName);
    const std::string shown = Shown(commName, path);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int statError = errno;
        // A link whose device has gone counts as missing, too.
        if (MissingDevice(statError)) return Missing(shown, places);
        // No device to unplug: a link loop, a directory on the way closed to this user.
        return "The system could not open " + shown + ": " + std::strerror(statError) + ".";
    }
    if (!S_ISCHR(info.st_mode)) return NotATerminal(shown, info, places);
    const CharDevice device = LookUpCharDevice(places, info.st_rdev);
    // Pseudo-terminals are ttys without an entry in the device tree.
    const bool pty = major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
    if (!pty && !device.subsystem.empty() && device.subsystem != "tty")
        return NotATerminal(shown, info, places);
    if (device.uartType == "0" && device.kernelName.starts_with("ttyS")) {
        return shown + " is a legacy serial port with no hardware behind it. " +
               PortsPresent(places);
    }
    switch (errorNumber) {
        case 0:
            return "";
        case EACCES:
        case EPERM:
            return NoAccess(shown, info);
        case EBUSY:
        case EWOULDBLOCK:  // the lock another opener holds
            return InUseOrHidden(shown, info.st_rdev, places);
        default:
            return MissingDevice(errorNumber) ? Missing(shown, places)
                                              : SystemSays(shown, errorNumber);
    }
}

std::optional<std::string> ExplainOpenFailure(const seriallink::ECommsError& error,
                                              const std::string& commName,
                                              const PortPlaces& places) {
    for (const char* message : {seriallink::kMsgOpenFailed, seriallink::kMsgNotCommHandle}) {
        if (std::strcmp(error.what(), message) == 0)
            return ExplainOpenFailure(commName, error.ErrorNumber(), places);
    }
    return std::nullopt;
}

std::string AsTheErrorBoxShowsIt(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

}  // namespace ports

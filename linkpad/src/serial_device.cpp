#include "serial_device.h"

#include <fcntl.h>
#include <libserialport.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "fd_transport.h"
#include "linkpad/linkpad.h"

namespace linkpad {

namespace {

std::optional<speed_t> speedFor(int baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        case 460800: return B460800;
        case 921600: return B921600;
        default: return std::nullopt;
    }
}

std::string checkSettings(const SerialSettings& s) {
    if (!speedFor(s.baud)) return "baud rate " + std::to_string(s.baud) + " is not supported";
    if (s.parity != 'e' && s.parity != 'o' && s.parity != 'n')
        return std::string("parity \"") + s.parity + "\" is not e, o or n";
    if (s.dataBits < 5 || s.dataBits > 8) return std::to_string(s.dataBits) + " data bits are not 5-8";
    if (s.stopBits != 1 && s.stopBits != 2) return std::to_string(s.stopBits) + " stop bits are not 1 or 2";
    return {};
}

bool isPseudoTerminal(int fd) {
    struct stat info{};
    constexpr unsigned kFirstPtyMajor = 136;  // Unix98 pseudo-terminal slaves: 136-143
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= kFirstPtyMajor &&
           major(info.st_rdev) < kFirstPtyMajor + 8;
}

// Raw 8-bit line without flow control, with the given settings.
int configureTermios(int fd, const SerialSettings& s) {
    termios t{};
    if (::tcgetattr(fd, &t) < 0) return errno;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[s.dataBits - 5];
    if (s.parity != 'n') t.c_cflag |= PARENB;
    if (s.parity == 'o') t.c_cflag |= PARODD;
    if (s.stopBits == 2) t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, *speedFor(s.baud));
    ::cfsetospeed(&t, *speedFor(s.baud));
    if (::tcsetattr(fd, TCSANOW, &t) == 0) return 0;
    // A pseudo-terminal always carries 8 bits without parity; the C library reports the
    // ignored parity as EINVAL. Everything else was applied.
    return errno == EINVAL && isPseudoTerminal(fd) ? 0 : errno;
}

std::string openError(const std::string& path, int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "no permission to open " + path + ": join the dialout group (sudo usermod -aG "
                   "dialout $USER) and log in again";
        case EBUSY:
        case EWOULDBLOCK:
            return path + " is held by another program; close it and try again";
        default:
            return "cannot open " + path + ": " + std::strerror(error);
    }
}

int errorCode(int error) {
    if (error == EACCES || error == EPERM) return QTX_ERR_PERMISSION;
    if (error == EBUSY || error == EWOULDBLOCK) return QTX_ERR_BUSY;
    if (error == ENOENT || error == ENODEV || error == ENXIO) return QTX_ERR_NO_DEVICE;
    return QTX_ERR_IO;
}

// Claims the device for this program: others that use flock or TIOCEXCL are kept out.
int claim(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) < 0) return errno;
    ::ioctl(fd, TIOCEXCL);
    return 0;
}

struct Opened {
    int fd = -1;
    int error = 0;
    std::function<void(int)> release;
};

// Devices libserialport knows (UARTs, USB adapters) are opened and set up through it.
std::optional<Opened> openWithLibserialport(const std::string& path, const SerialSettings& s) {
    sp_port* port = nullptr;
    if (sp_get_port_by_name(path.c_str(), &port) != SP_OK) return std::nullopt;
    if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK) {
        const int error = sp_last_error_code();
        sp_free_port(port);
        return Opened{-1, error != 0 ? error : EIO, {}};
    }
    const bool configured =
        sp_set_baudrate(port, s.baud) == SP_OK && sp_set_bits(port, s.dataBits) == SP_OK &&
        sp_set_parity(port, s.parity == 'n' ? SP_PARITY_NONE : s.parity == 'o' ? SP_PARITY_ODD : SP_PARITY_EVEN) == SP_OK &&
        sp_set_stopbits(port, s.stopBits) == SP_OK && sp_set_flowcontrol(port, SP_FLOWCONTROL_NONE) == SP_OK;
    if (!configured) {
        const int error = sp_last_error_code();
        sp_close(port);
        sp_free_port(port);
        return Opened{-1, error != 0 ? error : EINVAL, {}};
    }
    int fd = -1;
    sp_get_port_handle(port, &fd);
    return Opened{fd, 0, [port](int) {
                      sp_close(port);
                      sp_free_port(port);
                  }};
}

// Everything else that is a terminal (pseudo-terminals) through termios.
Opened openWithTermios(const std::string& path, const SerialSettings& s) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {-1, errno, {}};
    const int error = ::isatty(fd) ? configureTermios(fd, s) : ENOTTY;
    if (error != 0) {
        ::close(fd);
        return {-1, error, {}};
    }
    return {fd, 0, [](int f) { ::close(f); }};
}

}  // namespace

std::string listSerialDevices() {
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK) return "none found";
    std::string names;
    for (sp_port** p = ports; *p; ++p) names += (names.empty() ? "" : ", ") + std::string(sp_get_port_name(*p));
    sp_free_port_list(ports);
    return names.empty() ? "none found" : names;
}

OpenResult openSerialDevice(const std::string& path, const SerialSettings& settings,
                            const std::string& hint) {
    if (const std::string problem = checkSettings(settings); !problem.empty())
        return {nullptr, QTX_ERR_ARGUMENT, problem + " (" + path + ")"};
    struct stat info{};
    if (::stat(path.c_str(), &info) < 0 && errno == ENOENT)
        return {nullptr, QTX_ERR_NO_DEVICE,
                "no serial device " + path + " (" + hint + "); serial devices present: " + listSerialDevices()};
    Opened opened = openWithLibserialport(path, settings).value_or(Opened{});
    if (opened.fd < 0 && opened.error == 0) opened = openWithTermios(path, settings);
    if (opened.fd < 0) return {nullptr, errorCode(opened.error), openError(path, opened.error)};
    auto transport = std::make_unique<FdTransport>(opened.fd, "serial " + path + " " + settings.describe(),
                                                   std::move(opened.release));
    ::fcntl(opened.fd, F_SETFL, ::fcntl(opened.fd, F_GETFL) | O_NONBLOCK);
    if (const int error = claim(opened.fd); error != 0)
        return {nullptr, errorCode(error), openError(path, error)};
    return {std::move(transport), 0, {}};
}

}  // namespace linkpad

// Pseudo-terminal front end of the simulated unit (see sim_pty.h).
#include "sim/sim_pty.h"

#include "sim/sim_wire.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct speed_entry {
    speed_t speed;
    int baud;
};

constexpr speed_entry speeds[] = {
    {B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
    {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

int speed_to_baud(speed_t s) {
    for (const speed_entry& e : speeds)
        if (e.speed == s) return e.baud;
    return -1; // a rate the unit never uses: not understood
}

speed_t baud_to_speed(int baud) {
    for (const speed_entry& e : speeds)
        if (e.baud == baud) return e.speed;
    return B19200;
}

} // namespace

sim_pty::sim_pty(const sim_config& cfg, const QString& link, std::function<void(const QString&)> announce,
                 QObject* parent)
    : QObject(parent), link_(link), announce_(std::move(announce)), unit_baud_(cfg.baud) {
    wire_ = new sim_wire(
        cfg, [this](const uint8_t* b, int n) { return write(b, n); }, [this] { hang_up(); }, this);
    // Paced at the unit's own rate, which order 190 changes; unpaced without a rate.
    wire_->set_pacing(cfg.baud > 0 ? -1 : 0);
}

sim_pty::~sim_pty() {
    close_pty();
    if (!link_.isEmpty()) ::unlink(link_.toLocal8Bit().constData());
}

int sim_pty::open(QString* error) {
    auto fail = [&](const char* what) {
        if (error) *error = QString("%1: %2").arg(what, std::strerror(errno));
        close_pty();
        return -1;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("grantpt/unlockpt");
    const char* name = ::ptsname(master_);
    if (!name) return fail("ptsname");
    path_ = QString::fromLocal8Bit(name);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) return fail("open slave");
    // A fresh pseudo-terminal echoes and edits lines like a console; a serial line
    // does neither. Clients set their own mode too, but the line must be raw before.
    termios t;
    if (::tcgetattr(slave_, &t) != 0) return fail("tcgetattr");
    ::cfmakeraw(&t);
    const speed_t sp = baud_to_speed(unit_baud_ > 0 ? unit_baud_ : 19200);
    ::cfsetispeed(&t, sp);
    ::cfsetospeed(&t, sp);
    if (::tcsetattr(slave_, TCSANOW, &t) != 0) return fail("tcsetattr");
    if (!link_.isEmpty()) {
        const QByteArray l = link_.toLocal8Bit();
        ::unlink(l.constData());
        if (::symlink(name, l.constData()) != 0) return fail("symlink");
    }
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &sim_pty::on_readable);
    wire_->line_reset();
    if (announce_) announce_(path_);
    return 0;
}

void sim_pty::close_pty() {
    // The notifier may be the one whose signal is running right now.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

int sim_pty::client_baud() const {
    if (unit_baud_ <= 0) return 0;
    termios t;
    if (::tcgetattr(slave_, &t) != 0) return 0;
    return speed_to_baud(::cfgetospeed(&t));
}

void sim_pty::on_readable() {
    uint8_t buf[1024];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            wire_->received(buf, static_cast<int>(n), client_baud());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all read. EIO cannot occur while our own slave descriptor is open;
        // should it anyway, stop listening rather than spin.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) notifier_->setEnabled(false);
        return;
    }
}

int sim_pty::write(const uint8_t* bytes, int count) {
    if (master_ < 0) return 0;
    const ssize_t n = ::write(master_, bytes, static_cast<size_t>(count));
    return n < 0 ? 0 : static_cast<int>(n);
}

// The injected "connection closed": the device disappears, as when an adapter is
// pulled, and a new one takes its place.
void sim_pty::hang_up() {
    close_pty();
    QString error;
    if (open(&error) != 0)
        std::fprintf(stderr, "kormelan3-sim: cannot recreate the pseudo-terminal: %s\n",
                     error.toLocal8Bit().constData());
}

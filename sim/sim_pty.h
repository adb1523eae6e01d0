// Pseudo-terminal front end of the simulated unit: the PC program opens the slave
// device as its COM port.
//
// The simulator holds a descriptor of the slave itself. Without it the master reads
// EIO (and the notifier fires without end) whenever no client has the slave open,
// for example between two runs of the program. The line settings a client makes on
// the slave are visible through that descriptor, which is how the unit tells whether
// the client's rate matches its own.
#pragma once

#include "sim/sim_proto.h"

#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;
class sim_wire;

class sim_pty : public QObject {
    Q_OBJECT
  public:
    // `announce` is called with the device path whenever a new pseudo-terminal is
    // created (at open and after a cut connection).
    sim_pty(const sim_config& cfg, const QString& link, std::function<void(const QString&)> announce,
            QObject* parent = nullptr);
    ~sim_pty() override;

    // Creates the pseudo-terminal; returns 0, or -1 with a message in `error`.
    int open(QString* error);

    QString path() const { return path_; }
    sim_wire* wire() { return wire_; }

  private:
    void close_pty();
    void on_readable();
    int write(const uint8_t* bytes, int count);
    void hang_up();
    int client_baud() const;

    sim_wire* wire_;
    QString link_;
    QString path_;
    std::function<void(const QString&)> announce_;
    int master_ = -1;
    int slave_ = -1;
    int unit_baud_;
    QSocketNotifier* notifier_ = nullptr;
};

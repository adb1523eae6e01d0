// Starting a simulated unit from options: in the calling thread (the executable) or
// on a thread of its own (tests, and the program's demo mode, whose user-interface
// thread blocks in its own loops and must not starve the unit).
#pragma once

#include "sim/sim_options.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class sim_tcp;
class sim_pty;
class sim_wire;

// The transport the options ask for, with its unit, living in the current thread.
class sim_service : public QObject {
    Q_OBJECT
  public:
    explicit sim_service(const sim_options& o, QObject* parent = nullptr);

    // Opens the transport. Returns 0, or -1 with a message in `error`. `announce`
    // receives "tcp PORT" or "pty PATH" lines (again whenever the pty is recreated).
    int start(std::function<void(const QString&)> announce, QString* error);

    int tcp_port() const { return port_; }
    QString pty_path() const;
    sim_wire* wire();
    int clients_served() const;

  private:
    sim_options opts_;
    sim_config cfg_;
    sim_tcp* tcp_ = nullptr;
    sim_pty* pty_ = nullptr;
    int port_ = -1;
};

struct sim_server;

// Starts a unit on its own thread and waits until it listens. A QCoreApplication (or
// QApplication) must exist. Returns 0, or -1 with a message in `error`.
int sim_server_start(const sim_options& o, sim_server** out, std::string* error);
int sim_server_tcp_port(const sim_server* s);
// The device the unit offers now (a new one after each cut of the line).
std::string sim_server_pty_path(sim_server* s);
// Runs `fn` on the unit's thread and waits for it: the only safe way to look at the
// unit or its statistics while it runs.
void sim_server_call(sim_server* s, const std::function<void(sim_service*)>& fn);
// Stops the thread and frees everything.
void sim_server_stop(sim_server* s);

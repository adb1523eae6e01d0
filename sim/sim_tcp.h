// TCP front end of the simulated unit: one client at a time on a listening socket.
//
// While a client is served, further connections wait in the listen backlog; when
// the client goes away (or the unit cuts the connection as an injected fault), the
// next one is accepted. TCP carries no line rate, so the unit understands every
// client, and pacing is optional.
#pragma once

#include "sim/sim_proto.h"

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;
class sim_wire;

class sim_tcp : public QObject {
    Q_OBJECT
  public:
    // `pace_baud` paces both directions at that rate; 0 leaves TCP unpaced.
    sim_tcp(const sim_config& cfg, int pace_baud, QObject* parent = nullptr);
    ~sim_tcp() override;

    // Starts listening; returns the port in use (port 0 picks a free one), or -1.
    int listen(const QHostAddress& address, int port);

    sim_wire* wire() { return wire_; }
    int clients_served() const { return served_; }

  private:
    void take_next();
    void client_gone();
    int write(const uint8_t* bytes, int count);

    QTcpServer* server_;
    QTcpSocket* client_ = nullptr;
    sim_wire* wire_;
    int served_ = 0;
};

// TCP front end of the simulated unit (see sim_tcp.h).
#include "sim/sim_tcp.h"

#include "sim/sim_wire.h"

#include <QTcpServer>
#include <QTcpSocket>

sim_tcp::sim_tcp(const sim_config& cfg, int pace_baud, QObject* parent)
    : QObject(parent), server_(new QTcpServer(this)) {
    wire_ = new sim_wire(
        cfg, [this](const uint8_t* b, int n) { return write(b, n); },
        [this] {
            if (client_) client_->disconnectFromHost();
        },
        this);
    // Over TCP the client's rate is unknown, so order 190 must not change the pacing.
    wire_->set_pacing(pace_baud);
    connect(server_, &QTcpServer::newConnection, this, &sim_tcp::take_next);
}

sim_tcp::~sim_tcp() {
    if (client_) client_->abort();
}

int sim_tcp::listen(const QHostAddress& address, int port) {
    if (!server_->listen(address, static_cast<quint16>(port))) return -1;
    return server_->serverPort();
}

int sim_tcp::write(const uint8_t* bytes, int count) {
    if (!client_ || client_->state() != QAbstractSocket::ConnectedState) return 0;
    return static_cast<int>(client_->write(reinterpret_cast<const char*>(bytes), count));
}

void sim_tcp::take_next() {
    if (client_ || !server_->hasPendingConnections()) return;
    client_ = server_->nextPendingConnection();
    served_++;
    // The others wait in the backlog until this client is gone.
    server_->pauseAccepting();
    client_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    wire_->line_reset();
    connect(client_, &QTcpSocket::readyRead, this, [this] {
        const QByteArray data = client_->readAll();
        wire_->received(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<int>(data.size()), 0);
    });
    connect(client_, &QTcpSocket::disconnected, this, &sim_tcp::client_gone);
    connect(client_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (client_ && client_->state() == QAbstractSocket::UnconnectedState) client_gone();
    });
}

void sim_tcp::client_gone() {
    if (!client_) return;
    QTcpSocket* old = client_;
    client_ = nullptr;
    old->disconnect(this);
    old->deleteLater();
    wire_->line_reset();
    server_->resumeAccepting();
    take_next();
}

// Starting a simulated unit (see sim_server.h).
#include "sim/sim_server.h"

#include "sim/sim_pty.h"
#include "sim/sim_tcp.h"
#include "sim/sim_wire.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSemaphore>
#include <QThread>

#include <cstdio>

sim_service::sim_service(const sim_options& o, QObject* parent) : QObject(parent), opts_(o) {
    sim_options_config(&opts_, &cfg_);
}

int sim_service::start(std::function<void(const QString&)> announce, QString* error) {
    if (opts_.pty) {
        pty_ = new sim_pty(
            cfg_, QString::fromStdString(opts_.pty_link),
            [announce](const QString& path) {
                if (announce) announce("pty " + path);
            },
            this);
        return pty_->open(error);
    }
    tcp_ = new sim_tcp(cfg_, opts_.pace_tcp ? opts_.baud : 0, this);
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(opts_.bind))) {
        if (error) *error = QString("not an address: %1").arg(QString::fromStdString(opts_.bind));
        return -1;
    }
    port_ = tcp_->listen(address, opts_.tcp_port);
    if (port_ < 0) {
        if (error)
            *error = QString("cannot listen on %1 port %2").arg(address.toString()).arg(opts_.tcp_port);
        return -1;
    }
    if (announce) announce(QString("tcp %1").arg(port_));
    return 0;
}

QString sim_service::pty_path() const {
    return pty_ ? pty_->path() : QString();
}

sim_wire* sim_service::wire() {
    return pty_ ? pty_->wire() : tcp_ ? tcp_->wire() : nullptr;
}

int sim_service::clients_served() const {
    return tcp_ ? tcp_->clients_served() : 0;
}

// ---- on a thread of its own ----

struct sim_server {
    QThread* thread = nullptr;
    QObject* anchor = nullptr; // lives in the thread, so work can be queued to it
    sim_service* service = nullptr;
    int port = -1;
};

int sim_server_start(const sim_options& o, sim_server** out, std::string* error) {
    *out = nullptr;
    if (!QCoreApplication::instance()) {
        if (error) *error = "a QCoreApplication is needed";
        return -1;
    }
    auto* s = new sim_server;
    s->thread = new QThread;
    s->thread->setObjectName("kormelan3-sim");
    s->anchor = new QObject;
    s->anchor->moveToThread(s->thread);
    s->thread->start();
    int rc = -1;
    QString message;
    QMetaObject::invokeMethod(
        s->anchor,
        [&] {
            s->service = new sim_service(o);
            rc = s->service->start(nullptr, &message);
            s->port = s->service->tcp_port();
        },
        Qt::BlockingQueuedConnection);
    if (rc != 0) {
        if (error) *error = message.toStdString();
        sim_server_stop(s);
        return -1;
    }
    *out = s;
    return 0;
}

int sim_server_tcp_port(const sim_server* s) {
    return s ? s->port : -1;
}

std::string sim_server_pty_path(sim_server* s) {
    if (!s || !s->service) return std::string();
    // After a cut the unit offers a new device: ask it rather than keep the first name.
    std::string path;
    sim_server_call(s, [&path](sim_service* service) { path = service->pty_path().toStdString(); });
    return path;
}

void sim_server_call(sim_server* s, const std::function<void(sim_service*)>& fn) {
    QMetaObject::invokeMethod(
        s->anchor, [&] { fn(s->service); }, Qt::BlockingQueuedConnection);
}

void sim_server_stop(sim_server* s) {
    if (!s) return;
    QObject* anchor = s->anchor;
    sim_service* service = s->service;
    QMetaObject::invokeMethod(
        anchor,
        [anchor, service] {
            delete service;
            anchor->deleteLater(); // it is the receiver of this very call
        },
        Qt::BlockingQueuedConnection);
    s->thread->quit();
    s->thread->wait();
    delete s->thread;
    delete s;
}

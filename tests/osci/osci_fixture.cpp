#include "tests/osci/osci_fixture.h"

#include "connect/connect_panel.h"
#include "link/link.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/common/panel_fixture.h"
#include "tests/measure.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstring>

void OsciSimTest::SetUp() {
    RunTest::SetUp();
    clear_frames();
    action_ = nullptr;
}

void OsciSimTest::TearDown() {
    stop_sim_unit(&server);
    RunTest::TearDown();
}

void OsciSimTest::start_unit(bool paced, bool pty) {
    sim_options o;
    on_pty = pty;
    if (pty) {
        o.pty = true;
        o.baud = 115200;
    } else {
        o.tcp_port = 0;
    }
    if (paced) {
        o.baud = 115200;
        o.pace_tcp = true;
    }
    ASSERT_NO_FATAL_FAILURE(start_sim_unit(o, &server));
    on_sim_log(server, [this](sim_proto* p, const char* line) {
        logged_frame f = {-1, -1, -1, -1};
        // Request lines only: the unit's log also has a line for each fault it injects.
        if (std::sscanf(line, "%*f s order %d value %d", &f.order, &f.value) != 2) return;
        if (const char* answer = std::strstr(line, "->"))
            std::sscanf(answer, "-> order %d value %d", &f.answer_order, &f.answer_value);
        std::function<void(sim_proto*, const logged_frame&)> act;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            frames_.push_back(f);
            act = action_;
        }
        if (act) act(p, f);
    });
    ASSERT_NO_FATAL_FAILURE(connect_sim_unit(server, pty));
}

void OsciSimTest::try_to_connect() {
    try_to_connect_sim_unit(server, on_pty);
}

std::vector<logged_frame> OsciSimTest::frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

void OsciSimTest::clear_frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
}

void OsciSimTest::on_request(std::function<void(sim_proto*, const logged_frame&)> action) {
    std::lock_guard<std::mutex> lock(mutex_);
    action_ = std::move(action);
}

int OsciSimTest::unit_osci_status() {
    int status = 0;
    sim_server_call(server, [&](sim_service* s) {
        sim_proto* p = s->wire()->proto();
        sim_proto_advance(p, sim_clock_us());
        status = sim_unit_osci_status(&p->unit);
    });
    return status;
}

bool OsciSimTest::wait_for_status(int status) {
    const double until = now_s() + 10.0;
    while (now_s() < until) {
        if ((unit_osci_status() & status) == status) return true;
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    }
    return false;
}

std::vector<uint16_t> OsciSimTest::unit_sequence(int channel) {
    std::vector<uint16_t> seq(1024);
    sim_server_call(server, [&](sim_service* s) {
        sim_osci_sequence(&s->wire()->proto()->unit.ch[channel].osci, seq.data());
    });
    return seq;
}

void OsciSimTest::modes(int a, int b) {
    SetCtrlVal(tab6, TAB6_RING_MODEA, a);
    SetCtrlVal(tab6, TAB6_RING_MODEB, b);
}

void OsciSimTest::video_for(int ms) {
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout,
                     [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    stop.start(ms);
    // Through the layer, so that buttons pressed meanwhile reach the loop.
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
}

std::vector<uint16_t> expected_decoding(const std::vector<uint16_t>& sequence, int factor, int s) {
    const int k = 4 / factor;
    s = ((s % 1024) + 1024) % 1024;
    std::vector<uint16_t> out(1024);
    for (int j = 0; j <= 1023 - k; j++) {
        const int q = (s + j + k) % 1024;
        const int t = ((q - q % k) - s + 1024) % 1024;
        out[static_cast<size_t>(j)] = static_cast<uint16_t>(sequence[static_cast<size_t>(t)] & 0x3FFF);
    }
    for (int j = 1024 - k; j < 1024; j++) out[static_cast<size_t>(j)] = out[static_cast<size_t>(1023 - k)];
    return out;
}

// Link health from polling (see batch_health.h).
#include "batch/batch_health.h"

#include "link/link.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void health_count(batch_health* h, int code, double rtt) {
    h->polls++;
    h->codes[code]++;
    switch (code) {
    case LINK_OK:
    case LINK_STATUS_1:
    case LINK_STATUS_2:
    case LINK_STATUS_3:
        h->answers++;
        h->rtt.push_back(rtt);
        break;
    case LINK_ERR_RECV_TIMEOUT:
        h->timeouts++;
        break;
    case LINK_ERR_CRC:
        h->crc_errors++;
        break;
    case LINK_ERR_FEW_WORDS:
        h->short_answers++;
        break;
    case LINK_ERR_ORDER:
        h->rejected++;
        break;
    default:
        break;
    }
}

health_summary health_summarise(const batch_health& h) {
    health_summary s{};
    s.per_second = h.seconds > 0 ? static_cast<double>(h.polls) / h.seconds : 0.0;
    if (h.rtt.empty()) return s;
    std::vector<double> v = h.rtt;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    s.median_ms = 1000.0 * (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)));
    s.p95_ms = 1000.0 * v[std::max<size_t>(rank, 1) - 1];
    s.max_ms = 1000.0 * v.back();
    return s;
}

std::string health_line(const batch_health& h) {
    const health_summary s = health_summarise(h);
    char line[400];
    std::snprintf(line, sizeof line,
                  "polls %ld (%.1f per second), round trip median %.3f ms, 95%% %.3f ms, max %.3f ms; "
                  "time-outs %ld, CRC errors %ld, short answers %ld, rejected orders %ld, noise bytes %ld",
                  h.polls, s.per_second, s.median_ms, s.p95_ms, s.max_ms, h.timeouts, h.crc_errors,
                  h.short_answers, h.rejected, h.noise_bytes);
    return line;
}

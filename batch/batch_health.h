// The health of a link as polling shows it: how many polls went out and came
// back, how long the round trips took, and how often each link result came.
// Plain C++: counting and the summary are tested alone.
#pragma once

#include <map>
#include <string>
#include <vector>

struct batch_health {
    long polls = 0;            // requests sent
    long answers = 0;          // records received
    long timeouts = 0;         // LINK_ERR_RECV_TIMEOUT
    long crc_errors = 0;       // LINK_ERR_CRC
    long short_answers = 0;    // LINK_ERR_FEW_WORDS
    long rejected = 0;         // LINK_ERR_ORDER
    long noise_bytes = 0;      // skipped while looking for a header
    double seconds = 0;        // wall time of the polling
    std::map<int, long> codes; // every result code that came, with its count
    std::vector<double> rtt;   // seconds, of the polls that brought a record
};

// Counts one poll with its link result code and round-trip time in seconds.
void health_count(batch_health* h, int code, double rtt);

struct health_summary {
    double per_second; // polls per second
    double median_ms;  // round trip of the answered polls; 0 when none was
    double p95_ms;     // nearest rank
    double max_ms;
};
health_summary health_summarise(const batch_health& h);

// One line for people: polls, rate, round trips and the counters.
std::string health_line(const batch_health& h);

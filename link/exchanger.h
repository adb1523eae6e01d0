// One request and its answer, as the procedures above the link take it: the
// parameter transfer, the pairing steps. The program hands them the link's
// exchange_frame on its connection record (link_exchanger_of, link.h); tests
// hand them a scripted unit. Plain C++, so those procedures stay in the pure
// libraries and run under the sanitizers.
#pragma once

#include <cstdint>
#include <functional>

struct link_exchanger {
    // exchange_frame's arguments without the connection record; returns a link
    // result code.
    std::function<int(int order, int value, const uint16_t* words, int nwords, uint16_t* answer,
                      int max_answer, int* nanswer)>
        exchange;
    // The value field of the last answer: the unit number after a search, the
    // plausibility count after a parameter order.
    std::function<uint16_t()> answer_value;
};

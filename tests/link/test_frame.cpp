// Frame codec and CRC8: building requests, finding frames in a byte stream, checking answers.
#include "link/frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Assembles a frame of any payload length, as the unit (or a faulty unit) would send it.
Bytes make_frame(int order, uint16_t value, const Bytes& payload, bool bad_payload_crc = false) {
    Bytes f(FRAME_HEADER_SIZE + payload.size());
    uint8_t crc = crc8_update_stream(CRC8_START, payload.data(), payload.size());
    if (bad_payload_crc) crc ^= 0x01;
    frame_write_header(f.data(), order, value, static_cast<uint16_t>(payload.size()), crc);
    std::copy(payload.begin(), payload.end(), f.begin() + FRAME_HEADER_SIZE);
    return f;
}

Bytes word_payload(int nwords, uint16_t first = 1) {
    Bytes p(2 * nwords);
    for (int i = 0; i < nwords; i++) frame_put_word(&p[2 * i], static_cast<uint16_t>(first + i));
    return p;
}

struct Rx {
    frame_rx rx;
    frame_in in;
    Rx() {
        frame_rx_clear(&rx);
        std::memset(&in, 0, sizeof in);
    }
    int feed(const Bytes& b) { return frame_rx_append(&rx, b.data(), static_cast<int>(b.size())); }
    int find() { return frame_find(&rx, &in); }
};

} // namespace

// ---- CRC8 ----

TEST(Crc8, TableEntriesOfTheOneWireCrc) {
    EXPECT_EQ(crc8_array[0], 0x00);
    EXPECT_EQ(crc8_array[1], 0x5E);
    EXPECT_EQ(crc8_array[128], 0x8C);
    EXPECT_EQ(crc8_array[255], 0x35);
}

TEST(Crc8, AbcFromStartValue) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(crc8_update_stream(CRC8_START, abc, 3), 0xDE);
    uint8_t crc = CRC8_START;
    for (uint8_t b : abc) crc = crc8_update_byte(crc, b);
    EXPECT_EQ(crc, 0xDE);
}

TEST(Crc8, EmptyStreamKeepsStartValue) {
    EXPECT_EQ(crc8_update_stream(CRC8_START, nullptr, 0), 0xAA);
}

// ---- Building requests ----

TEST(FrameBuild, RunPollRequestBytes) {
    frame_out out;
    ASSERT_EQ(frame_build(&out, ORDER_POLL, POLL_RECORD, nullptr, 0), 8);
    const Bytes want = {0x55, 0x08, 0xFC, 0x00, 0x00, 0x00, 0xAA, 0xF1};
    EXPECT_EQ(Bytes(out.bytes, out.bytes + out.size), want);
}

TEST(FrameBuild, CorrectHeaderChecksToZero) {
    frame_out out;
    const uint16_t words[3] = {0x1234, 0xABCD, 7};
    ASSERT_EQ(frame_build(&out, ORDER_LIN_WRITE, 0x1400, words, 3), 14);
    EXPECT_EQ(crc8_update_stream(CRC8_START, out.bytes, 8), 0);
    EXPECT_EQ(out.bytes[4], 6);
    EXPECT_EQ(out.bytes[8], 0x34);
    EXPECT_EQ(out.bytes[9], 0x12);
    EXPECT_EQ(out.bytes[6], crc8_update_stream(CRC8_START, out.bytes + 8, 6));
}

TEST(FrameBuild, FullRequestAndBadArguments) {
    frame_out out;
    std::vector<uint16_t> words(257, 0x5555);
    EXPECT_EQ(frame_build(&out, ORDER_WRITE_RAM, 0, words.data(), 256), 8 + 512);
    EXPECT_EQ(frame_build(&out, ORDER_WRITE_RAM, 0, words.data(), 257), FRAME_ERR_ARGS);
    EXPECT_EQ(frame_build(&out, ORDER_WRITE_RAM, 0, words.data(), -1), FRAME_ERR_ARGS);
    EXPECT_EQ(frame_build(&out, ORDER_WRITE_RAM, 0, nullptr, 3), FRAME_ERR_ARGS);
}

// ---- Receive buffer ----

TEST(FrameRx, AppendStopsAt1024) {
    Rx r;
    Bytes chunk(1000, 0x11);
    EXPECT_EQ(r.feed(chunk), 1000);
    EXPECT_EQ(r.feed(chunk), 24);
    EXPECT_EQ(r.rx.count, 1024);
    EXPECT_EQ(r.feed(chunk), 0);
    EXPECT_EQ(frame_rx_room(&r.rx), 0);
}

// ---- Finding frames ----

TEST(FrameFind, NoiseBeforeFrame) {
    Rx r;
    Bytes s = {0x00, 0xFF, 0x12, 0xAA};
    Bytes f = make_frame(ORDER_POLL, POLL_RECORD, word_payload(36));
    s.insert(s.end(), f.begin(), f.end());
    r.feed(s);
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(r.in.header.order, ORDER_POLL);
    EXPECT_EQ(r.in.header.value, 252);
    EXPECT_EQ(r.in.header.length, 72);
    EXPECT_EQ(r.in.payload_kept, 72);
    EXPECT_EQ(r.rx.count, 0);
}

TEST(FrameFind, FalseStartByteBeforeFrame) {
    Rx r;
    // A 0x55 followed by bytes that do not make a header, then the real frame.
    Bytes s = {0x55, 0x08, 0x00, 0x00, 0x55};
    Bytes f = make_frame(ORDER_READ_RAM, 0, word_payload(4));
    s.insert(s.end(), f.begin(), f.end());
    r.feed(s);
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(r.in.header.order, ORDER_READ_RAM);
    EXPECT_EQ(frame_get_word(r.in.payload + 6), 4);
}

TEST(FrameFind, HeaderSplitAcrossReads) {
    Rx r;
    Bytes s = {0x01, 0x55, 0x02};
    Bytes f = make_frame(ORDER_VERSION, 0, word_payload(10, 100));
    s.insert(s.end(), f.begin(), f.end());
    int rc = FRAME_INCOMPLETE;
    size_t i = 0;
    for (; i < s.size(); i++) {
        frame_rx_append(&r.rx, &s[i], 1);
        rc = r.find();
        if (rc != FRAME_INCOMPLETE) break;
        // A serial wait for the missing bytes must never ask for more than will come.
        const int missing = frame_rx_missing(&r.rx);
        EXPECT_GE(missing, 1);
        EXPECT_LE(missing, static_cast<int>(s.size() - 1 - i)) << "after byte " << i;
    }
    ASSERT_EQ(rc, FRAME_COMPLETE);
    EXPECT_EQ(i, s.size() - 1); // found exactly when its last byte arrived
    EXPECT_EQ(frame_rx_missing(&r.rx), FRAME_HEADER_SIZE);
    EXPECT_EQ(frame_get_word(r.in.payload), 100);
}

TEST(FrameFind, NoHeaderKeepsLastEightBytes) {
    Rx r;
    Bytes noise(50);
    for (size_t i = 0; i < noise.size(); i++) noise[i] = static_cast<uint8_t>(i);
    r.feed(noise);
    EXPECT_EQ(r.find(), FRAME_INCOMPLETE);
    ASSERT_EQ(r.rx.count, 8);
    EXPECT_EQ(frame_rx_missing(&r.rx), 1);
    EXPECT_EQ(r.rx.bytes[0], 42);
    EXPECT_EQ(r.rx.bytes[7], 49);
}

TEST(FrameFind, FewerThanEightBytesIsIncomplete) {
    Rx r;
    Bytes f = make_frame(ORDER_POLL, POLL_RECORD, {});
    r.feed(Bytes(f.begin(), f.begin() + 7));
    EXPECT_EQ(r.find(), FRAME_INCOMPLETE);
    EXPECT_EQ(r.rx.count, 7);
}

TEST(FrameFind, EmptyPayloadCarriesStartValueAsCrc) {
    Rx r;
    r.feed(make_frame(ORDER_STORE_ROM, 0, {}));
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(r.in.header.crc_payload, 0xAA);
    EXPECT_EQ(r.in.payload_kept, 0);
}

TEST(FrameFind, TwoFramesInOneReadComeOneAfterTheOther) {
    Rx r;
    Bytes s = make_frame(ORDER_POLL, POLL_RECORD, word_payload(2, 10));
    Bytes g = make_frame(ORDER_POLL, POLL_RECORD, word_payload(2, 20));
    s.insert(s.end(), g.begin(), g.end());
    r.feed(s);
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(frame_get_word(r.in.payload), 10);
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(frame_get_word(r.in.payload), 20);
    EXPECT_EQ(r.rx.count, 0);
}

TEST(FrameFind, PayloadCrcMismatch) {
    Rx r;
    r.feed(make_frame(ORDER_POLL, POLL_RECORD, word_payload(36), true));
    EXPECT_EQ(r.find(), FRAME_ERR_CRC);
    EXPECT_EQ(r.rx.count, 0);
}

TEST(FrameFind, OversizeLengthField) {
    Rx r;
    // 1017 payload bytes make a 1025-byte frame: refused as soon as the header is seen.
    uint8_t h[8];
    frame_write_header(h, ORDER_POLL, 0, 1017, 0);
    frame_rx_append(&r.rx, h, 8);
    EXPECT_EQ(r.find(), FRAME_ERR_OVERSIZE);
    EXPECT_EQ(r.rx.count, 0);
    frame_write_header(h, ORDER_POLL, 0, 0xFFFF, 0);
    frame_rx_append(&r.rx, h, 8);
    EXPECT_EQ(r.find(), FRAME_ERR_OVERSIZE);
}

TEST(FrameFind, LargestFrameFitsExactly) {
    Rx r;
    Bytes noise = {1, 2, 3};
    r.feed(noise);
    Bytes f = make_frame(ORDER_OSCI_BLOCK, 0, word_payload(508));
    ASSERT_EQ(f.size(), 1024u);
    // Only what fits below 1024 is taken; the noise is dropped on the next search.
    EXPECT_EQ(r.feed(f), 1021);
    EXPECT_EQ(r.find(), FRAME_INCOMPLETE);
    EXPECT_EQ(r.rx.count, 1021);
    r.feed(Bytes(f.end() - 3, f.end()));
    EXPECT_EQ(r.find(), FRAME_COMPLETE);
}

// ---- Payloads of 513..1016 bytes are truncated ----

TEST(FrameTruncate, LongFrameKeepsFirst512Bytes) {
    Rx r;
    Bytes f = make_frame(ORDER_OSCI_BLOCK, 5, word_payload(400, 1000));
    r.feed(f);
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    EXPECT_EQ(r.in.header.length, 800);
    EXPECT_EQ(r.in.payload_kept, 512);
    EXPECT_EQ(frame_get_word(r.in.payload + 510), 1255);

    // "All words" gives 256; a guard word after the caller's buffer stays untouched.
    std::vector<uint16_t> answer(257, 0xBEEF);
    int n = -1;
    EXPECT_EQ(frame_check_answer(&r.in, ORDER_OSCI_BLOCK, answer.data(), 0, &n), 0);
    EXPECT_EQ(n, 256);
    EXPECT_EQ(answer[255], 1255);
    EXPECT_EQ(answer[256], 0xBEEF);
}

TEST(FrameTruncate, CrcCoversTheWholePayload) {
    Rx r;
    Bytes f = make_frame(ORDER_OSCI_BLOCK, 5, word_payload(400));
    f.back() ^= 0x40; // corruption beyond the kept 512 bytes is still caught
    r.feed(f);
    EXPECT_EQ(r.find(), FRAME_ERR_CRC);
}

TEST(FrameTruncate, FullMaximumAcceptedWith256Words) {
    Rx r;
    r.feed(make_frame(ORDER_OSCI_BLOCK, 0, word_payload(508)));
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    std::vector<uint16_t> answer(256);
    int n = 0;
    EXPECT_EQ(frame_check_answer(&r.in, ORDER_OSCI_BLOCK, answer.data(), 256, &n), 0);
    EXPECT_EQ(n, 256);
}

// ---- Checking answers ----

namespace {
frame_in decoded(int order, uint16_t value, int nwords) {
    Rx r;
    r.feed(make_frame(order, value, word_payload(nwords)));
    EXPECT_EQ(r.find(), FRAME_COMPLETE);
    return r.in;
}
} // namespace

TEST(FrameAnswer, MoreWordsThanAskedCopiesMaximum) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 40);
    std::vector<uint16_t> answer(40, 0);
    int n = 0;
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer.data(), 36, &n), 0);
    EXPECT_EQ(n, 36);
    EXPECT_EQ(answer[35], 36);
    EXPECT_EQ(answer[36], 0);
}

TEST(FrameAnswer, FewerWordsCopiesThemAndFails) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 30);
    std::vector<uint16_t> answer(36, 0);
    int n = 0;
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer.data(), 36, &n), FRAME_ERR_FEW_WORDS);
    EXPECT_EQ(n, 30);
    EXPECT_EQ(answer[29], 30);
    EXPECT_EQ(answer[30], 0);
}

TEST(FrameAnswer, ZeroMaximumTakesAllThatCame) {
    frame_in in = decoded(ORDER_VERSION, 0, 12);
    std::vector<uint16_t> answer(256, 0);
    int n = 0;
    EXPECT_EQ(frame_check_answer(&in, ORDER_VERSION, answer.data(), 0, &n), 0);
    EXPECT_EQ(n, 12);
}

TEST(FrameAnswer, OddLengthCountsWholeWordsOnly) {
    Rx r;
    r.feed(make_frame(ORDER_VERSION, 0, {'V', '4', '.'}));
    ASSERT_EQ(r.find(), FRAME_COMPLETE);
    uint16_t answer[4] = {};
    int n = 0;
    EXPECT_EQ(frame_check_answer(&r.in, ORDER_VERSION, answer, 0, &n), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(frame_check_answer(&r.in, ORDER_VERSION, answer, 2, &n), FRAME_ERR_FEW_WORDS);
}

TEST(FrameAnswer, DifferentNonzeroOrderAccepted) {
    frame_in in = decoded(ORDER_OSCI_BLOCK, 0, 2);
    EXPECT_EQ(frame_check_answer(&in, ORDER_READ_RAM, nullptr, 0, nullptr), 0);
}

TEST(FrameAnswer, OrderZeroIsRejection) {
    frame_in in = decoded(ORDER_REJECTED, 0, 0);
    int n = 77;
    uint16_t answer[4];
    EXPECT_EQ(frame_check_answer(&in, ORDER_READ_RAM, answer, 4, &n), FRAME_ERR_ORDER);
    EXPECT_EQ(n, 77); // nothing copied or reported
}

TEST(FrameAnswer, CountWithoutBufferSetsZero) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 36);
    int n = 99;
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, nullptr, 0, &n), 0);
    EXPECT_EQ(n, 0);
}

TEST(FrameAnswer, BufferWithoutCountCopiesNothing) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 36);
    uint16_t answer[36] = {};
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer, 36, nullptr), 0);
    EXPECT_EQ(answer[0], 0);
}

TEST(FrameAnswer, OscillographStatusAnswers) {
    for (int v = 0; v <= 4; v++) {
        frame_in in = decoded(ORDER_POLL, static_cast<uint16_t>(v), 0);
        const int want = (v >= 1 && v <= 3) ? v + 2 : 0;
        EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, nullptr, 0, nullptr), want) << "value " << v;
    }
    // The status applies to order 8 answers only.
    frame_in other = decoded(ORDER_OSCI_BLOCK, 2, 0);
    EXPECT_EQ(frame_check_answer(&other, ORDER_OSCI_BLOCK, nullptr, 0, nullptr), 0);
}

TEST(FrameAnswer, StatusAnswerWithTooFewWordsFails) {
    frame_in in = decoded(ORDER_POLL, 2, 10);
    uint16_t answer[36];
    int n = 0;
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer, 36, &n), FRAME_ERR_FEW_WORDS);
}

TEST(FrameAnswer, BadMaximumRefused) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 36);
    uint16_t answer[36];
    int n = 0;
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer, 257, &n), FRAME_ERR_ARGS);
    EXPECT_EQ(frame_check_answer(&in, ORDER_POLL, answer, -1, &n), FRAME_ERR_ARGS);
}

// ---- Autosend frames ----

TEST(FrameAutosend, MeasurementFrameAccepted) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 36);
    uint16_t answer[36] = {};
    int n = 0;
    EXPECT_EQ(frame_check_autosend(&in, answer, 36, &n), FRAME_AUTOSEND);
    EXPECT_EQ(n, 36);
    EXPECT_EQ(answer[35], 36);
}

TEST(FrameAutosend, OtherOrderRefused) {
    frame_in in = decoded(ORDER_OSCI_BLOCK, 252, 36);
    EXPECT_EQ(frame_check_autosend(&in, nullptr, 0, nullptr), FRAME_ERR_ORDER);
    frame_in zero = decoded(ORDER_REJECTED, 0, 0);
    EXPECT_EQ(frame_check_autosend(&zero, nullptr, 0, nullptr), FRAME_ERR_ORDER);
}

TEST(FrameAutosend, ShortFrameFails) {
    frame_in in = decoded(ORDER_POLL, POLL_RECORD, 20);
    uint16_t answer[36] = {};
    int n = 0;
    EXPECT_EQ(frame_check_autosend(&in, answer, 36, &n), FRAME_ERR_FEW_WORDS);
    EXPECT_EQ(n, 20);
}

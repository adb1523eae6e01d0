// Helpers shared by the recorder tests: private file names, file contents,
// and measurement records built from readable values.
#pragma once

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

inline std::string rec_temp_path(const std::string& tag) {
    return ::testing::TempDir() + "rec_" + std::to_string(getpid()) + "_" + tag + ".csv";
}

inline std::string rec_file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline bool rec_file_exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

inline void rec_put32(uint16_t* rec, int word, int32_t v) {
    rec[word] = static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF);
    rec[word + 1] = static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16);
}

inline void rec_put16(uint16_t* rec, int word, int16_t v) {
    rec[word] = static_cast<uint16_t>(v);
}

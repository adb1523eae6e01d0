// Helpers shared by the linearisation tests: file texts of synthetic sensors
// and private file names.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

inline std::string lin_temp_path(const std::string& tag) {
    return ::testing::TempDir() + "lin_" + std::to_string(getpid()) + "_" + tag + ".txt";
}

inline void lin_write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// The lines joined, each followed by `end`.
inline std::string lin_text(const std::vector<std::string>& lines, const std::string& end = "\n") {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    return text;
}

// Readings of a sensor with characteristic f (position 0..1 -> level 0..1) on
// the 10-bit scale, in file order: reading k belongs to the position
// 1 - k / 1024 (the file runs from the end of the range to its start).
inline std::vector<int> lin_sensor(const std::function<double(double)>& f) {
    std::vector<int> v(1024);
    for (int k = 0; k < 1024; k++) v[k] = static_cast<int>(std::lround(1023.0 * f(1.0 - k / 1024.0)));
    return v;
}

inline std::vector<std::string> lin_lines(const std::vector<int>& readings) {
    std::vector<std::string> lines;
    for (int v : readings) lines.push_back(std::to_string(v));
    return lines;
}

// The ideal file: line i holds 1024 - i.
inline std::vector<std::string> lin_ideal_lines() {
    std::vector<std::string> lines;
    for (int i = 0; i < 1024; i++) lines.push_back(std::to_string(1024 - i));
    return lines;
}

// A QCoreApplication for the whole of a test program whose code needs Qt's event loop
// but no widgets (the link, the simulator's front ends).
#pragma once

#include <QCoreApplication>
#include <gtest/gtest.h>

class qt_core_environment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

  private:
    QCoreApplication* app_ = nullptr;
};

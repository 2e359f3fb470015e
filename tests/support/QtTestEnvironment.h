#pragma once
// The Qt backend for a whole test program, drawing offscreen. Including this
// header installs it before the program's first test; Qt must be told to draw
// offscreen before it starts.

#include <gtest/gtest.h>

#include <QtGlobal>
#include <array>
#include <memory>

#include "ui/qt/QtBackend.h"

class QtTestEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    m_backend = std::make_unique<ui::qt::QtBackend>(m_argc, m_argv.data());
  }
  void TearDown() override { m_backend.reset(); }

 private:
  int m_argc = 1;
  char m_name[12] = "korvane-qt";
  std::array<char*, 2> m_argv = {m_name, nullptr};
  std::unique_ptr<ui::qt::QtBackend> m_backend;
};

// GoogleTest takes ownership of the environment it is given; inline, so that
// several files of one program install it once.
[[maybe_unused]] inline const ::testing::Environment* const g_qtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<QtTestEnvironment>().release());

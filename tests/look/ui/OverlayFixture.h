#pragma once

#include "look/ui/QuibSmokeOverlay.h"
#include "look/ui/SmokePanel.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

/// A decorated window on a display that blends translucent windows, with the
/// look's choices reset and motion not reduced.
class OverlayFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    pf::Compositor::overrideActive(true);
    pf::Accessibility::overrideReduceMotion(false);
    choose("fire");
    window = std::make_unique<pf::Window>();
    window->setFrame(pf::Rect(300, 200, 400, 300));
  }
  void TearDown() override {
    window.reset();
    pf::Compositor::overrideActive(std::nullopt);
    pf::Accessibility::overrideReduceMotion(std::nullopt);
    pf::UserDefaults::resetAll();
  }

  static void choose(const QString& effect) {
    pf::UserDefaults::standard().set(QStringLiteral("borderEffect"), effect);
  }
  static void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  QuibSmokeOverlay* overlay() const { return QuibSmokeOverlay::of(window.get()); }
  SmokePanel* panel() const { return overlay() ? overlay()->panel() : nullptr; }

  std::unique_ptr<pf::Window> window;
};

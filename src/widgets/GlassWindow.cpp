#include "widgets/GlassWindow.h"

#include "look/QuibSkin.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "widgets/ContentWindowLayout.h"
#include "widgets/ContentWindowSizing.h"
#include "widgets/GlassSurface.h"

GlassWindow::GlassWindow(const QString& title, pf::Size baseSize, std::unique_ptr<pf::Window> window)
    : m_window(window ? std::move(window) : std::make_unique<pf::Window>()), m_content(new GlassSurface) {
  m_window->setWindowTitle(title);
  pf::ViewStyle::setAppearance(m_window.get(), QuibSkin::appearance());
  m_window->setContentSize(baseSize);
  m_content->resize(int(baseSize.width), int(baseSize.height));
  m_window->setContentView(m_content);
}

GlassWindow::~GlassWindow() = default;

void GlassWindow::arrange(const Sizing& sizing) {
  m_layout = std::make_unique<ContentWindowLayout>(m_content, sizing.stretchFrame, sizing.readable);
  m_layout->onLayout = sizing.onLayout;
  m_sizing = std::make_unique<ContentWindowSizing>(m_window.get(), sizing.key, sizing.defaults, sizing.minimum,
                                                   sizing.initial);
  m_window->center();
}

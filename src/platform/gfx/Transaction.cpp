#include "platform/gfx/Transaction.h"

#include "platform/gfx/AnimationClock.h"
#include "platform/gfx/Layer.h"

#include <algorithm>

namespace pf {

int Transaction::s_depth = 0;
double Transaction::s_began = 0;
std::vector<Layer*> Transaction::s_pending;

Transaction::Transaction() {
  if (s_depth++ == 0) s_began = AnimationClock::now();
}

Transaction::~Transaction() {
  if (--s_depth > 0) return;
  // A callback may change layers again; those changes notify directly now.
  while (!s_pending.empty()) {
    Layer* layer = s_pending.front();
    s_pending.erase(s_pending.begin());
    if (layer->m_onChange) layer->m_onChange();
  }
}

bool Transaction::isOpen() { return s_depth > 0; }

double Transaction::now() { return s_depth > 0 ? s_began : AnimationClock::now(); }

void Transaction::notify(Layer* layer) {
  if (s_depth == 0) {
    layer->m_onChange();
    return;
  }
  if (std::find(s_pending.begin(), s_pending.end(), layer) == s_pending.end()) s_pending.push_back(layer);
}

void Transaction::forget(Layer* layer) { std::erase(s_pending, layer); }

}  // namespace pf

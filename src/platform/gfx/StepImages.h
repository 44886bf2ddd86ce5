#pragma once

#include <QImage>
#include <QtGlobal>
#include <cstddef>
#include <memory>
#include <unordered_map>

namespace pf {

/// The budget every store of step pictures in the process shares.
class StepBudget {
 public:
  /// The bytes all stores in the process may keep together.
  static constexpr std::size_t budget = std::size_t{32} << 20;
  /// What every store in the process keeps together, in bytes.
  static std::size_t sharedBytes() { return shared(); }

 protected:
  /// Main thread only, like the renderers that keep pictures.
  static std::size_t& shared();
};

/// Pictures of layers at steps their motion comes back to again and again:
/// the stages of an endless morph, the steps of an animated scale or turn,
/// a group composed of its members at such steps. A border effect passes
/// hundreds of layers through the same few dozen steps each cycle; a layer
/// back at a step is then placed rather than drawn again.
///
/// Every store in the process shares one budget of bytes, so that several
/// windows with effects together keep no more; a picture that would exceed it
/// is not kept. A picture goes with its layer, or when it was not asked for
/// in `idleFrames` frames. `Entry` has `layer` (a weak pointer), `image` and
/// `lastUsed` (a frame number).
template <typename Entry>
class StepImages final : public StepBudget {
 public:
  /// Frames a picture is kept unasked for: several cycles of the slowest effect.
  static constexpr quint64 idleFrames = 3600;

  StepImages() = default;
  StepImages(const StepImages&) = delete;
  StepImages& operator=(const StepImages&) = delete;
  ~StepImages() { clear(); }

  /// The picture kept under `key`, marked used in `frame`; null when none is.
  const Entry* find(quint64 key, quint64 frame) {
    const auto found = m_entries.find(key);
    if (found == m_entries.end() || found->second.layer.expired()) return nullptr;
    found->second.lastUsed = frame;
    return &found->second;
  }

  /// Keeps `entry` under `key` when the shared budget allows.
  void keep(quint64 key, const Entry& entry) {
    const std::size_t bytes = bytesOf(entry);
    if (m_entries.contains(key) || sharedBytes() + bytes > budget) return;
    m_entries.emplace(key, entry);
    shared() += bytes;
    m_bytes += bytes;
  }

  /// Lets go of the pictures of layers gone or unasked for since `idleFrames` before `frame`.
  void sweep(quint64 frame) {
    std::erase_if(m_entries, [&](const auto& kv) {
      const bool stale = kv.second.layer.expired() || frame - kv.second.lastUsed > idleFrames;
      if (stale) release(bytesOf(kv.second));
      return stale;
    });
  }

  void clear() {
    release(m_bytes);
    m_entries.clear();
  }

  /// What this store keeps, in bytes.
  std::size_t bytes() const { return m_bytes; }

 private:
  static std::size_t bytesOf(const Entry& entry) { return static_cast<std::size_t>(entry.image.sizeInBytes()); }
  void release(std::size_t bytes) {
    shared() -= bytes;
    m_bytes -= bytes;
  }

  std::unordered_map<quint64, Entry> m_entries;
  std::size_t m_bytes = 0;
};

}  // namespace pf

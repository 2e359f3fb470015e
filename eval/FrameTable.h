#pragma once
// The objects of a sequence grouped by frame, for frame numbers of any value:
// only the frames that hold an object take room, so memory grows with the
// rows, however far apart the frame numbers lie.

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

// One object at one frame; Object has an int `id`.
template <class Object>
struct FrameRow {
  int frame = 0;
  Object object;
};

template <class Object>
class FrameTable {
 public:
  FrameTable() = default;

  // Takes rows in any order. Within a frame the objects are ordered by id;
  // of two rows with one id in one frame the first is kept (the readers
  // refuse such input before it gets here).
  explicit FrameTable(std::vector<FrameRow<Object>> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
      return a.frame != b.frame ? a.frame < b.frame : a.object.id < b.object.id;
    });
    const auto sameKey = [](const auto& a, const auto& b) {
      return a.frame == b.frame && a.object.id == b.object.id;
    };
    rows.erase(std::unique(rows.begin(), rows.end(), sameKey), rows.end());
    m_objects.reserve(rows.size());
    for (const FrameRow<Object>& row : rows) {
      if (m_frames.empty() || m_frames.back() != row.frame) {
        m_frames.push_back(row.frame);
        m_start.push_back(m_objects.size());
      }
      m_objects.push_back(row.object);
    }
    m_start.push_back(m_objects.size());
  }

  // The frames that hold at least one object, in increasing order.
  std::span<const int> Frames() const { return m_frames; }

  // The objects of Frames()[index], by id.
  std::span<const Object> At(std::size_t index) const {
    if (index >= m_frames.size())
      return {};
    return std::span(m_objects).subspan(m_start[index], m_start[index + 1] - m_start[index]);
  }

  // The objects of frame `frame`, by id; none when it holds none.
  std::span<const Object> InFrame(int frame) const {
    const auto it = std::lower_bound(m_frames.begin(), m_frames.end(), frame);
    if (it == m_frames.end() || *it != frame)
      return {};
    return At(static_cast<std::size_t>(it - m_frames.begin()));
  }

  // Every object of every frame, in frame order.
  std::span<const Object> All() const { return m_objects; }

 private:
  std::vector<Object> m_objects;
  std::vector<int> m_frames;
  // Objects of m_frames[i] are m_objects[m_start[i]] .. m_objects[m_start[i + 1] - 1].
  std::vector<std::size_t> m_start;
};

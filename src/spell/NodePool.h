#pragma once

#include "Node.h"

#include <cstddef>
#include <vector>

// Hands out the nodes of one dictionary from large blocks, one after another
// in the order they are asked for, and frees them all at once: loading a
// file costs few allocations, and letting go of a tree walks no tree.
class CNodePool {
 public:
  CNodePool() = default;
  ~CNodePool() { Clear(); }
  CNodePool(const CNodePool&) = delete;
  CNodePool& operator=(const CNodePool&) = delete;

  CNode* New(signed char chLetter) {
    if (m_used == m_capacity) Grow();
    ++m_count;
    return new (m_blocks.back() + m_used++) CNode(chLetter);
  }
  void Clear();
  std::size_t Size() const { return m_count; }

 private:
  void Grow();

  std::vector<CNode*> m_blocks;  // raw storage; the last one is being filled
  std::size_t m_used = 0;        // nodes made in the last block
  std::size_t m_capacity = 0;    // room of the last block
  std::size_t m_count = 0;
};

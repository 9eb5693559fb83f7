#include "NodePool.h"

#include <algorithm>
#include <new>

namespace {

// Blocks grow from small, for the few words of a fresh store, to a size
// that malloc still serves from its heap rather than a mapping of its own.
constexpr std::size_t kFirstBlock = 64;
constexpr std::size_t kLargestBlock = 60 * 1024 / sizeof(CNode);

std::size_t BlockSize(std::size_t index) {
  return std::min(kFirstBlock << std::min<std::size_t>(index, 8), kLargestBlock);
}

}  // namespace

void CNodePool::Grow() {
  m_capacity = BlockSize(m_blocks.size());
  m_blocks.push_back(static_cast<CNode*>(::operator new(m_capacity * sizeof(CNode))));
  m_used = 0;
}

void CNodePool::Clear() {
  for (std::size_t b = 0; b < m_blocks.size(); ++b) {
    const std::size_t made = b + 1 == m_blocks.size() ? m_used : BlockSize(b);
    for (std::size_t i = 0; i < made; ++i) m_blocks[b][i].CNode::~CNode();
    ::operator delete(m_blocks[b]);
  }
  m_blocks.clear();
  m_used = m_capacity = m_count = 0;
}

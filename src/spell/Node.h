#pragma once

#include <cstdint>

// One letter of one or more stored words. The letters of one position form
// a singly linked chain through m_nAlternative, in the order in which they
// were first inserted; m_nNext leads to the chain of the following position.
// A letter of 0 ends a word and has no m_nNext.
//
// Nodes live in one array of their dictionary and name each other by their
// place in it, so a node takes 9 bytes rather than the 32 of a node with
// two pointers, a vtable and padding: the shipped list is about three
// hundred thousand nodes, and a lookup that passes fewer cache lines is
// quicker too. Nothing frees a chain or a subtree node by node, so no
// destruction walks the tree, however deep a loaded file nests.
#pragma pack(push, 1)
class CNode {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  explicit CNode(signed char chLetter) : m_chLetter(chLetter) {}

  signed char m_chLetter;
  std::uint32_t m_nAlternative = kNone;
  std::uint32_t m_nNext = kNone;
};
#pragma pack(pop)
static_assert(sizeof(CNode) == 9, "a node is packed into 9 bytes");

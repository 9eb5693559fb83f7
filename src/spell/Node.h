#pragma once

// One letter of one or more stored words. The letters of one position form
// a singly linked chain through m_pAlternative, in the order in which they
// were first inserted; m_pNext leads to the chain of the following position.
// A letter of 0 ends a word and has no m_pNext.
//
// Nodes belong to the dictionary that created them: it keeps them in pools
// and lets go of a whole tree at once, so a node never frees its chain or
// its subtree by itself and no destruction walks the tree, however deep a
// loaded file nests.
class CNode {
 public:
  explicit CNode(signed char chLetter) : m_chLetter(chLetter) {}
  virtual ~CNode();
  CNode(const CNode&) = delete;
  CNode& operator=(const CNode&) = delete;

  signed char m_chLetter;
  CNode* m_pAlternative = nullptr;
  CNode* m_pNext = nullptr;
};

#pragma once

#include "Node.h"

#include <QByteArray>

#include <vector>

// The stored words a typed word may have meant, by what it costs to type
// one for the other: a search of the letter tree with one row of a weighted
// edit distance a position, left as soon as every way on costs too much.
// A plain edit (a letter replaced, left out or typed too many) costs
// kEditCost; slips people make more often cost less: a neighbouring key, a
// vowel for a vowel or a sound-alike consonant, a doubled letter typed once
// or once too often, two letters swapped, "f" for "ph". Letter case costs
// nothing here; the caller ranks it.
class CNearWords {
 public:
  static constexpr int kEditCost = 10;

  struct Found {
    QByteArray stored;
    int cost;
  };

  // The words of the tree at nodes (its root first) within maxCost of typed.
  static std::vector<Found> Within(const CNode* nodes, const QByteArray& typed, int maxCost);
  // What replacing the letter meant by the letter typed costs (both small).
  static int SubstitutionCost(char typed, char meant);
  // The most a suggestion may cost for a word of this length: one edit for
  // short words, where two would make almost any word of the list, two
  // for longer ones.
  static int MostCost(qsizetype length);
};

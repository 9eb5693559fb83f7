#pragma once

#include "Node.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The word store behind spell checking: a letter tree of CNode objects, kept
// in the dictionary file as the tree in pre-order, two bytes a node (the
// letter, then flags: 1 = the next position's chain follows, 2 = an
// alternative follows after that). The file has no header and no count;
// reading stops when the structure is complete. A file may go on after the
// structure with the words of its list in order of use, commonest first
// ("RNK1", then each word ended by a 0 byte); readers that stop at the end
// of the structure never see them.
//
// Words are 8-bit strings in the ANSI code page (AnsiCodePage.h) and end at
// their first 0 byte. Letters are compared as bytes; only A-Z fold to a-z
// when letter case is ignored.
//
// No operation recurses as deep as a file or a word asks: every walk of the
// tree keeps its own stack, so a crafted file cannot exhaust the call stack.
class CDictionary {
 public:
  // The order matters: callers treat everything but NotFound as known, and
  // a smaller value is a closer match.
  enum LookupResult {
    Exact = 0,            // stored exactly as passed
    FirstLetterCase = 1,  // a capital first letter is stored small, the rest exact
    CaseDiffers = 2,      // stored with other letter-case differences
    NotFound = 3,         // not stored in any letter case
    StoreEnded = 4,       // the tree ended inside the word (damaged file)
  };

  CDictionary() { m_firstLetters.fill(CNode::kNone); }
  virtual ~CDictionary();
  CDictionary(const CDictionary&) = delete;
  CDictionary& operator=(const CDictionary&) = delete;

  // The most suggestions offered for a word.
  static constexpr int kMaxSuggestions = 10;

  // Replaces the store with the tree of the file at path (and its order of
  // use, when it carries one). false when the file cannot be read or ends
  // before the structure is complete; the store then holds the nodes read
  // before the end (none for a missing file).
  bool Load(const QString& path);
  // Writes the tree to path through a temporary file that replaces the old
  // one only when complete, so a failure never leaves a half-written file.
  // false for an empty store (the file is left untouched) or on any error.
  bool Save(const QString& path) const;

  void AddWord(const QByteArray& word);
  // Takes a word stored exactly so out of the tree; false when it is not.
  bool RemoveWord(const QByteArray& word);
  LookupResult Lookup(const QByteArray& word) const;
  // For a word that is NotFound, appends the stored words one edit away
  // (one letter replaced, inserted, removed, or two neighbours swapped),
  // best first and at most kMaxSuggestions: fewest edits, then the letter
  // case closest to the word typed, then the commonest (RankOf), then the
  // list's order (letters compared without case). A word stored in small
  // letters is offered in the case typed (Teh: The), as a lookup would
  // accept it. Returns the number appended; code receives Lookup(word) in
  // any case.
  int Suggest(const QByteArray& word, QStringList& list, LookupResult& code) const;

  // The order of use: the words given, commonest first. A word's rank is
  // its place in that list; words not in it come after all that are.
  void SetRanks(const QList<QByteArray>& commonestFirst);
  QList<QByteArray> RankedWords() const;
  int RankOf(const QByteArray& word) const;

  // Every stored word in the tree's order.
  QList<QByteArray> Words() const;
  bool IsEmpty() const { return m_nodes.empty(); }
  // Frees every word and the order of use.
  void Clear();
  std::size_t NodeCount() const;

  // Where the program's dictionary file is: TVRDIC.dic in programDir when it
  // exists there, else in dataDir when it exists there, else the path in
  // programDir (where loading fails quietly). The form without arguments
  // uses the running program's folder and the installed data folder.
  static QString FilePath(const QString& programDir, const QString& dataDir);
  static QString FilePath();

 private:
  // Appends a node and gives its place.
  std::uint32_t NewNode(signed char chLetter);

  // The tree's nodes, the root first. A loaded file's chains each lie
  // together, position by position (see Load), so that a lookup scans a
  // chain without jumping about; added words' letters go at the end.
  std::vector<CNode> m_nodes;
  // For each letter, the first node of the root chain that holds it
  // (CNode::kNone when none does): the root chain holds every first letter,
  // capitals and all, and would otherwise be scanned for every word.
  std::array<std::uint32_t, 256> m_firstLetters;
  void IndexFirstLetters();
  void ReadRanks(const QByteArray& rest);

  // The order of use: its words, commonest first, each ended by a 0 byte,
  // and for each the place it starts and its rank, sorted by word.
  struct RankEntry {
    std::uint32_t offset;
    std::uint32_t rank;
  };
  QByteArrayView RankedWordAt(std::uint32_t offset) const;
  QByteArray m_rankedBlock;
  std::vector<RankEntry> m_rankIndex;
};

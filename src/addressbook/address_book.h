// The address book as plain data: a two-level tree (groups at the root, entries below
// them) beside the record list, loaded from and saved to PPad.dat, and the editing
// operations on it. The address book window shows this model and never keeps a copy.
//
// Each entry node is linked to its own record, so two entries of one name keep their
// own data, and saving writes each entry once with its own record in time linear in the
// size of the book. Records are never removed while the book is open, so positions in
// the record list stay: deleting a node leaves its record in the list, out of the tree
// (recordsInTree), where the consecutive send no longer offers it; saving writes only
// the records reached from the tree.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace parupo {

using NodeId = int;  // 0 is no node
constexpr NodeId kNoNode = 0;

// The node pictures: a number 1..4 or none (0). Every group starts at 1 (read from the
// file, made by the loader or created) and moves by one on each expand or collapse; an
// entry shows 4 when its record keeps a mobile number, else 3, from the moment it is
// made, as it would after the next load. Other numbers show no picture.
enum Picture : int { kNoPicture = 0, kClosed = 1 /*CL*/, kOpen = 2 /*OP*/, kMail = 3 /*ML*/, kMobile = 4 /*KT*/ };

struct BookNode {
  NodeId id = kNoNode;
  std::string key;   // a group's name, or group key "\" entry name, as it was when made
  std::string text;  // the name shown
  int picture = kNoPicture;
  NodeId parent = kNoNode;       // the group of an entry
  std::vector<NodeId> children;  // a group's entries in display order
  std::size_t record = 0;        // an entry's own item of the record list
  bool isGroup() const { return parent == kNoNode; }
};

// A record split into its fields; position is its place in the record list.
struct SelRec {
  std::string name, address, mobile;
  std::size_t position = 0;
};

// The two parts of a key: the group's key and the entry's name (both the group's key
// for a group key).
struct KeyParts {
  std::string KeyGroup, KeyName;
};
KeyParts TrPrCi(const std::string& key);

// A record's fields, at least three (missing ones empty).
std::vector<std::string> recordFields(const std::string& record);

// The text of a record made from the boxes: the mobile number is kept only when it has
// at least 10 characters.
std::string makeRecord(const std::string& name, const std::string& address, const std::string& mobile);
bool keepsMobile(const std::string& mobile);

extern const char* const kMainGroup;  // "メイングループ"

class AddressBook {
 public:
  enum class Load { Loaded, Missing, Unreadable };
  // Fills the empty book from PPad.dat in the folder. A missing file, or one that holds
  // no record, gives the main group alone; an unreadable one too, and says so.
  Load AdrsLoad(const std::filesystem::path& folder);
  // Writes PPad.dat whole (atomically). Returns "" on success, else a sentence to show.
  std::string AdrsSave(const std::filesystem::path& folder) const;
  std::vector<std::string> fileLines() const;  // what AdrsSave writes

  // --- Reading -----------------------------------------------------------------
  const BookNode* node(NodeId id) const;
  NodeId firstNode() const { return groups_.empty() ? kNoNode : groups_.front(); }
  const std::vector<NodeId>& groups() const { return groups_; }
  const std::vector<std::string>& records() const { return records_; }
  // 0: lines between parents and children only; 1: also between the groups.
  int lineStyle() const { return lineStyle_; }
  bool keyTaken(const std::string& key) const;
  SelRec LiSch(NodeId entry) const;  // the entry's own record
  // By position in records(): whether an entry of the tree still has that record.
  std::vector<bool> recordsInTree() const;
  NodeId groupOf(NodeId id) const;  // a group itself, or an entry's group

  // --- Editing ------------------------------------------------------------------
  // Each returns "" when done, else a sentence to show; nothing changes on refusal.
  // A new entry at the end of the group of `current`, with the picture of its record.
  std::string registerEntry(NodeId current, const std::string& name, const std::string& address,
                            const std::string& mobile, NodeId* made = nullptr);
  // A group is renamed (its key stays); an entry gets the boxes' record, name and
  // picture, also one registered without an address, which gets it this way.
  std::string update(NodeId current, const std::string& name, const std::string& address, const std::string& mobile);
  std::string createGroup(const std::string& name, NodeId* made = nullptr);
  void remove(NodeId id);  // a group goes with its entries; records stay

  // Moves a dragged entry to the end of the group of `target`, with a key made from its
  // current name. Groups never move; a move whose new key is taken leaves the tree as
  // it was. Returns whether the entry moved; it keeps its id.
  bool moveEntry(NodeId dragged, NodeId target);
  // The picture steps of a group with entries; returns the node's picture.
  int expanded(NodeId id);
  int collapsed(NodeId id);

 private:
  NodeId addGroup(const std::string& key, int picture);
  NodeId addEntry(NodeId group, const std::string& name, int picture, std::size_t record);
  BookNode* mutableNode(NodeId id);
  void forget(NodeId id);

  std::unordered_map<NodeId, BookNode> nodes_;
  std::vector<NodeId> groups_;  // in the order they were added
  std::vector<std::string> records_;
  NodeId nextId_ = 1;
  int lineStyle_ = 0;
};

// Why a text can't go into the book, or "" when it can: the file has no room for TAB
// or line breaks, a "\" in a name would split its key, and CP932 lacks some characters
// (unsavableTextMessage names them).
std::string refusedText(const std::string& name, const std::string& address, const std::string& mobile);

}  // namespace parupo

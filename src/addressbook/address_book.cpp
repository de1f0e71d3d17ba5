#include "addressbook/address_book.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "platform/cp932_text.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace parupo {

const char* const kMainGroup = "メイングループ";

namespace {

const char* const kFileName = "PPad.dat";

std::vector<std::string> splitTabs(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = text.find('\t', start);
    fields.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

KeyParts TrPrCi(const std::string& key) {
  const std::size_t first = key.find('\\');
  if (first == std::string::npos) return {key, key};
  const std::size_t second = key.find('\\', first + 1);
  return {key.substr(0, first),
          key.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1)};
}

std::vector<std::string> recordFields(const std::string& record) {
  std::vector<std::string> fields = splitTabs(record);
  if (fields.size() < 3) fields.resize(3);
  return fields;
}

bool keepsMobile(const std::string& mobile) { return utf16Length(mobile) > 9; }

std::string makeRecord(const std::string& name, const std::string& address, const std::string& mobile) {
  std::string record = name + "\t" + address;
  if (keepsMobile(mobile)) record += "\t" + mobile;
  return record;
}

std::string refusedText(const std::string& name, const std::string& address, const std::string& mobile) {
  if (hasControl(name) || hasControl(address) || hasControl(mobile))
    return "名前、アドレス、携帯番号にはタブや改行を使えません。";
  if (name.find('\\') != std::string::npos) return "名前には \\ を使えません。";
  // PPad.dat is CP932: a character it lacks would come back as "?".
  return unsavableTextMessage(name + address + mobile);
}

// --- Loading and saving ---------------------------------------------------------------

AddressBook::Load AddressBook::AdrsLoad(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kFileName;
  std::error_code ec;
  Load result = std::filesystem::exists(file, ec) ? Load::Loaded : Load::Missing;
  std::vector<std::string> lines;
  if (result == Load::Loaded) {
    std::optional<std::vector<std::string>> read;
    try {
      read = readTextLines(file);
    } catch (const std::exception&) {
    }
    if (read) lines = std::move(*read);
    else result = Load::Unreadable;
  }
  // Whole lines split at TAB: a comma is part of a name or an address.
  NodeId loadGroup = kNoNode;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    const std::size_t tabs = std::count(line.begin(), line.end(), '\t');
    if (tabs == 0) {
      loadGroup = addGroup(line, kClosed);
    } else if (tabs <= 2) {
      // Entries before the first group line go into the main group.
      if (loadGroup == kNoNode) loadGroup = addGroup(kMainGroup, kClosed);
      lineStyle_ = 1;
      records_.push_back(line);
      addEntry(loadGroup, line.substr(0, line.find('\t')), tabs == 1 ? kMail : kMobile, records_.size() - 1);
    }
  }
  if (groups_.empty()) addGroup(kMainGroup, kClosed);
  return result;
}

std::vector<std::string> AddressBook::fileLines() const {
  std::vector<std::string> lines;
  lines.reserve(nodes_.size());
  for (NodeId g : groups_) {
    const BookNode& group = nodes_.at(g);
    lines.push_back(group.text);
    for (NodeId e : group.children) lines.push_back(records_[nodes_.at(e).record]);
  }
  return lines;
}

std::string AddressBook::AdrsSave(const std::filesystem::path& folder) const {
  return writeTextLines(folder / kFileName, fileLines());
}

// --- Reading --------------------------------------------------------------------------

const BookNode* AddressBook::node(NodeId id) const {
  const auto it = nodes_.find(id);
  return it == nodes_.end() ? nullptr : &it->second;
}

BookNode* AddressBook::mutableNode(NodeId id) {
  const auto it = nodes_.find(id);
  return it == nodes_.end() ? nullptr : &it->second;
}

bool AddressBook::keyTaken(const std::string& key) const {
  return std::any_of(nodes_.begin(), nodes_.end(), [&](const auto& n) { return n.second.key == key; });
}

SelRec AddressBook::LiSch(NodeId entry) const {
  const BookNode* n = node(entry);
  if (!n || n->isGroup()) return {};
  const std::vector<std::string> fields = recordFields(records_[n->record]);
  return {fields[0], fields[1], fields[2], n->record};
}

std::vector<bool> AddressBook::recordsInTree() const {
  std::vector<bool> inTree(records_.size(), false);
  for (const auto& [id, n] : nodes_) {
    if (!n.isGroup()) inTree[n.record] = true;
  }
  return inTree;
}

NodeId AddressBook::groupOf(NodeId id) const {
  const BookNode* n = node(id);
  if (!n) return kNoNode;
  return n->isGroup() ? id : n->parent;
}

// --- Editing --------------------------------------------------------------------------

NodeId AddressBook::addGroup(const std::string& key, int picture) {
  const NodeId id = nextId_++;
  nodes_[id] = BookNode{id, key, key, picture, kNoNode, {}, 0};
  groups_.push_back(id);
  return id;
}

NodeId AddressBook::addEntry(NodeId group, const std::string& name, int picture, std::size_t record) {
  const NodeId id = nextId_++;
  BookNode& g = nodes_.at(group);
  nodes_[id] = BookNode{id, g.key + "\\" + name, name, picture, group, {}, record};
  g.children.push_back(id);
  return id;
}

std::string AddressBook::registerEntry(NodeId current, const std::string& name, const std::string& address,
                                       const std::string& mobile, NodeId* made) {
  const NodeId group = groupOf(current);
  if (group == kNoNode) return "登録するグループを選んでください。";
  if (std::string why = refusedText(name, address, mobile); !why.empty()) return why;
  if (keyTaken(nodes_.at(group).key + "\\" + name)) return "このグループには「" + name + "」がもう登録されています。";
  lineStyle_ = 1;
  records_.push_back(makeRecord(name, address, mobile));
  const NodeId id = addEntry(group, name, keepsMobile(mobile) ? kMobile : kMail, records_.size() - 1);
  if (made) *made = id;
  return {};
}

std::string AddressBook::update(NodeId current, const std::string& name, const std::string& address,
                                const std::string& mobile) {
  BookNode* n = mutableNode(current);
  if (!n) return {};
  if (n->isGroup()) {
    if (std::string why = refusedText(name, {}, {}); !why.empty()) return why;
    if (name.empty()) return "グループ名を入力してください。";
    n->text = name;
    return {};
  }
  if (std::string why = refusedText(name, address, mobile); !why.empty()) return why;
  records_[n->record] = makeRecord(name, address, mobile);
  n->picture = keepsMobile(mobile) ? kMobile : kMail;
  n->text = name;
  return {};
}

std::string AddressBook::createGroup(const std::string& name, NodeId* made) {
  if (name.empty()) return {};
  if (std::string why = refusedText(name, {}, {}); !why.empty()) return why;
  if (keyTaken(name)) return "error !";
  const NodeId id = addGroup(name, kClosed);
  if (made) *made = id;
  return {};
}

void AddressBook::forget(NodeId id) {
  const auto it = nodes_.find(id);
  if (it == nodes_.end()) return;
  for (NodeId child : it->second.children) nodes_.erase(child);
  nodes_.erase(it);
}

void AddressBook::remove(NodeId id) {
  const BookNode* n = node(id);
  if (!n) return;
  if (n->isGroup()) {
    groups_.erase(std::find(groups_.begin(), groups_.end(), id));
  } else {
    auto& siblings = nodes_.at(n->parent).children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), id));
  }
  forget(id);
}

bool AddressBook::moveEntry(NodeId dragged, NodeId target) {
  BookNode* entry = mutableNode(dragged);
  const NodeId group = groupOf(target);
  if (!entry || entry->isGroup() || group == kNoNode) return false;
  const std::string key = nodes_.at(group).key + "\\" + entry->text;
  const bool taken = std::any_of(nodes_.begin(), nodes_.end(),
                                 [&](const auto& n) { return n.first != dragged && n.second.key == key; });
  if (taken) return false;
  auto& oldSiblings = nodes_.at(entry->parent).children;
  oldSiblings.erase(std::find(oldSiblings.begin(), oldSiblings.end(), dragged));
  nodes_.at(group).children.push_back(dragged);
  entry->parent = group;
  entry->key = key;
  lineStyle_ = 1;
  return true;
}

int AddressBook::expanded(NodeId id) {
  BookNode* n = mutableNode(id);
  if (!n) return kNoPicture;
  if (!n->children.empty()) ++n->picture;
  return n->picture;
}

int AddressBook::collapsed(NodeId id) {
  BookNode* n = mutableNode(id);
  if (!n) return kNoPicture;
  if (!n->children.empty()) --n->picture;
  return n->picture;
}

}  // namespace parupo

#include "online/SavesTreeReader.h"

#include <memory>
#include <optional>
#include <span>

#include "base/Numbers.h"

namespace pspkvx {
namespace {

struct Element {
  std::string name;
  std::string text;
  std::vector<Element> children;
};

// "&amp;", "&lt;", "&gt;", "&quot;" and "&apos;" as the characters they stand for.
std::string Unescape(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    bool replaced = false;
    if (text[at] == '&') {
      for (const auto& [entity, c] : kEntities) {
        if (text.substr(at, entity.size()) == entity) {
          out += c;
          at += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

std::string JoinTreeLines(std::string_view body) {
  std::string joined;
  joined.reserve(body.size());
  while (!body.empty()) {
    const size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with("<?xml version")) continue;
    joined += line;
  }
  return joined;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // The elements at the top of the document.
  std::optional<std::vector<Element>> Document() {
    std::vector<Element> top;
    if (!Content(top, "", 0)) return std::nullopt;
    return top;
  }
  const std::string& Error() const { return error_; }

 private:
  // Reads elements and text until the closing tag of name (none at the top).
  bool Content(std::vector<Element>& into, const std::string& name, size_t depth,
               std::string* text = nullptr) {
    while (at_ < text_.size()) {
      const size_t open = text_.find('<', at_);
      if (text) *text += text_.substr(at_, open == std::string_view::npos ? open : open - at_);
      if (open == std::string_view::npos) {
        at_ = text_.size();
        break;
      }
      const size_t close = text_.find('>', open);
      if (close == std::string_view::npos) return Fail("a tag is not closed");
      const std::string_view tag = text_.substr(open + 1, close - open - 1);
      at_ = close + 1;
      if (tag.starts_with("?") || tag.starts_with("!")) continue;  // declarations, comments
      if (tag.starts_with("/")) {
        if (tag.substr(1) != name)
          return Fail("</" + std::string(tag.substr(1)) + "> closes nothing");
        return true;
      }
      if (tag.ends_with("/")) continue;  // self-closing: stepped over
      if (depth + 1 > kMaxTreeDepth) return Fail("the document is nested too deeply");
      if (++elements_ > kMaxTreeItems * 16) return Fail("the document has too many elements");
      Element element;
      element.name = std::string(tag.substr(0, tag.find_first_of(" \t")));
      std::string inner;
      if (!Content(element.children, element.name, depth + 1, &inner)) return false;
      element.text = Unescape(inner);
      into.push_back(std::move(element));
    }
    if (!name.empty()) return Fail("<" + name + "> is not closed");
    return true;
  }

  bool Fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
  }

  std::string_view text_;
  size_t at_ = 0;
  size_t elements_ = 0;
  std::string error_;
};

int KindOf(const std::string& name) {
  if (name == "folder") return TreeFolder;
  if (name == "save") return TreeSave;
  if (name == "file") return TreeFile;
  return 0;
}

void Fill(SavesTreeItem& item, const Element& leaf) {
  const std::string& name = leaf.name;
  const std::string& text = leaf.text;
  if (item.kind == TreeFile) {
    if (name == "name") item.name = text;
    if (name == "download_url") item.address = text;
    if (name == "download_size") item.size = ParseNumber<int64_t>(text).value_or(0);
    return;
  }
  if (name == "name")
    item.name = text;
  else if (name == "description")
    item.description = text;
  else if (name == "url")
    item.address = text;
  else if (name == "png")
    item.picture = text;
  else if (name == "released" || name == "posted")
    item.date = text;
  else if (name == "author")
    item.author = text;
  else if (name == "rating")
    item.rating = text;
  else if (name == "save_filesize")
    item.fileSize = text;
  else if (name == "game_title_id" || name == "code_title_id")
    item.titleId = text;
  else if (name == "save_id")
    item.saveId = text;
  else if (name == "game_name")
    item.gameName = text;
}

class Builder {
 public:
  bool Walk(std::span<const Element> elements, std::vector<SavesTreeItem>& into) {
    for (const Element& element : elements) {
      if (element.children.empty()) continue;  // a leaf outside an item: nothing to fill
      const int kind = KindOf(element.name);
      if (kind == 0) {
        if (!Walk(element.children, into)) return false;
        continue;
      }
      if (++items_ > kMaxTreeItems) return false;
      SavesTreeItem item;
      item.kind = kind;
      std::vector<SavesTreeItem> nested;
      for (const Element& child : element.children) {
        if (child.children.empty()) {
          Fill(item, child);
        } else if (!Walk(std::span<const Element>(&child, 1), nested)) {
          return false;
        }
      }
      item.placeholder = kind == TreeSave && item.name == kEmptyTreeName;
      // A save's files belong to it; other items inside an item stand beside it.
      std::vector<SavesTreeItem> beside;
      for (SavesTreeItem& inner : nested)
        (kind == TreeSave && inner.kind == TreeFile ? item.files : beside)
            .push_back(std::move(inner));
      into.push_back(std::move(item));
      for (SavesTreeItem& other : beside)
        into.push_back(std::move(other));
    }
    return true;
  }

 private:
  size_t items_ = 0;
};

}  // namespace

SavesTreeDocument ReadSavesTree(std::string_view body) {
  SavesTreeDocument document;
  const std::string joined = JoinTreeLines(body);
  if (joined == "<result></result>") {
    SavesTreeItem empty;
    empty.kind = TreeSave;
    empty.name = kEmptyTreeName;
    empty.description = kEmptyTreeName;
    empty.placeholder = true;
    document.items.push_back(std::move(empty));
    return document;
  }
  Parser parser(joined);
  const std::optional<std::vector<Element>> elements = parser.Document();
  if (!elements) {
    document.error = parser.Error();
    return document;
  }
  if (!Builder().Walk(*elements, document.items)) {
    document.items.clear();
    document.error = "the document has too many items";
  }
  return document;
}

}  // namespace pspkvx

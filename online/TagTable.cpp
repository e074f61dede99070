#include "online/TagTable.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace pspkvx {
namespace {

// Finds the first "</" + name at or after a position. Positions only grow during a parse, so
// the search for a name is answered from an index of every closing tag in the text, built once:
// a reply full of unclosed elements costs no more than a pass over it.
class ClosingTagIndex {
 public:
  explicit ClosingTagIndex(std::string_view text) : text_(text) {}

  // name is the tag text after its "<", normally ending in its only ">".
  size_t Find(std::string_view name, size_t from) {
    const size_t gt = name.find('>');
    if (gt == std::string_view::npos || gt + 1 != name.size()) return Search(name, from);
    Build();
    const auto it = positions_.find(name);
    if (it == positions_.end()) return std::string_view::npos;
    const auto at = std::lower_bound(it->second.begin(), it->second.end(), from);
    return at == it->second.end() ? std::string_view::npos : *at;
  }

 private:
  // Plain search, for names with no ">" or one before their end.
  size_t Search(std::string_view name, size_t from) const {
    std::string pattern = "</";
    pattern += name;
    return from > text_.size() ? std::string_view::npos : text_.find(pattern, from);
  }

  // Maps the text between each "</" and the first ">" after it (">" included) to the
  // positions of that "</", in order.
  void Build() {
    if (built_) return;
    built_ = true;
    size_t nextGt = std::string_view::npos;
    std::vector<std::pair<std::string_view, size_t>> found;
    for (size_t i = text_.size(); i-- > 0;) {
      if (text_[i] == '>') nextGt = i;
      if (text_[i] == '<' && i + 1 < text_.size() && text_[i + 1] == '/' &&
          nextGt != std::string_view::npos && nextGt >= i + 2)
        found.emplace_back(text_.substr(i + 2, nextGt - i - 1), i);
    }
    for (auto it = found.rbegin(); it != found.rend(); ++it)
      positions_[it->first].push_back(it->second);
  }

  std::string_view text_;
  bool built_ = false;
  std::unordered_map<std::string_view, std::vector<size_t>> positions_;
};

// The next position of a character at or after a position, remembered so that repeated
// questions from growing positions cost one pass in all.
class NextOf {
 public:
  NextOf(std::string_view text, char c) : text_(text), c_(c) {}
  size_t From(size_t pos) {
    if (!valid_ || pos < from_ || (found_ != std::string_view::npos && pos > found_)) {
      from_ = pos;
      found_ = pos >= text_.size() ? std::string_view::npos : text_.find(c_, pos);
      valid_ = true;
    }
    return found_;
  }

 private:
  std::string_view text_;
  char c_;
  bool valid_ = false;
  size_t from_ = 0;
  size_t found_ = std::string_view::npos;
};

// Control characters, the space and every byte of 128 or more, but not NUL or the line feed.
bool IsReplyWhite(char c) {
  return static_cast<signed char>(c) <= 32 && c != '\0' && c != '\n';
}

}  // namespace

// One run of the reply grammar over one text, on a table whose lock the caller holds.
class TagTable::Parser {
 public:
  Parser(TagTable& table, const char* text, size_t length)
      : table_(table),
        text_(text, strnlen(text, length)),
        closings_(text_),
        nextGt_(text_, '>'),
        nextLf_(text_, '\n') {}

  int Run() {
    table_.records_.clear();
    table_.current_ = -1;
    bool first = true;
    for (;;) {
      if (At(pos_) == '\n') {
        ++pos_;
        continue;
      }
      SkipWhite();
      // A line of nothing but white space counts as a blank line.
      if (At(pos_) == '\n') continue;
      const Match match = MatchAt(pos_);
      if (match.index < 0 && first) return -1;
      first = false;
      if (match.index < 0) {
        if (At(pos_) == '\0') return 0;
        if (At(pos_) == '<')
          SkipUnknownElement();
        else
          SkipLine();
        continue;
      }
      if (!Apply(match)) return -1;
    }
  }

 private:
  char At(size_t p) const { return p < text_.size() ? text_[p] : '\0'; }

  void SkipWhite() {
    while (pos_ < text_.size() && IsReplyWhite(text_[pos_]))
      ++pos_;
  }

  // The end of the current line (its line feed or the end of the text).
  size_t LineEnd(size_t from) {
    const size_t lf = nextLf_.From(from);
    return lf == std::string_view::npos ? text_.size() : lf;
  }

  void SkipLine() { pos_ = std::min(LineEnd(pos_) + 1, text_.size()); }

  Match MatchAt(size_t pos) const {
    Match match;
    size_t p = pos;
    bool tag = false;
    if (At(p) == '<') {
      tag = true;
      match.closing = At(p + 1) == '/';
      p += match.closing ? 2 : 1;
    }
    const std::vector<TagEntry>& entries = table_.entries_;
    for (size_t i = 0; i < entries.size(); ++i) {
      std::string_view compared = entries[i].tag;
      if (tag) compared.remove_prefix(1);
      if (text_.substr(std::min(p, text_.size()), compared.size()) == compared) {
        match.index = static_cast<int>(i);
        match.length = entries[i].tag.size();
        return match;
      }
    }
    match.closing = false;
    return match;
  }

  // An element the table does not know: "<" with no ">" on its line is stepped over; a closing
  // tag is stepped over with one more character; an opening tag with its whole element, or by
  // twice its length when the element is never closed.
  void SkipUnknownElement() {
    const size_t gt = nextGt_.From(pos_);
    if (gt == std::string_view::npos || gt > LineEnd(pos_)) {
      ++pos_;
      return;
    }
    if (At(pos_ + 1) == '/') {
      pos_ = gt + 1;
      if (At(pos_) != '\0') ++pos_;
      return;
    }
    const std::string_view name = text_.substr(pos_ + 1, gt - pos_);
    const size_t closing = closings_.Find(name, gt + 1);
    if (closing != std::string_view::npos)
      pos_ = closing + 2 + name.size();
    else
      pos_ = std::min(pos_ + 2 * (gt - pos_ + 1), text_.size());
  }

  // The content of the element whose opening tag ends at start: up to its closing tag, which
  // the position then steps past. False (position unchanged) when it is never closed.
  bool TakeElement(const std::string& tag, size_t start, std::string& content) {
    const std::string_view name = std::string_view(tag).substr(1);
    const size_t closing = closings_.Find(name, start);
    if (closing == std::string_view::npos) return false;
    content.assign(text_.substr(start, closing - start));
    pos_ = closing + 2 + name.size();
    return true;
  }

  bool Apply(const Match& match) {
    TagEntry& entry = table_.entries_[static_cast<size_t>(match.index)];
    if (match.closing) {
      if (entry.kind == TagRecord) {
        if (table_.current_ < 0) return false;
        table_.current_ = -1;
      }
      pos_ += match.length + 1;
      return true;
    }
    const size_t start = pos_ + match.length;
    switch (entry.kind) {
      case TagComment:
      case TagSetting: {
        pos_ = start;
        if (entry.kind == TagSetting) {
          SkipWhite();
          if (At(pos_) == '=') ++pos_;
          SkipWhite();
        }
        const size_t end = LineEnd(pos_);
        entry.value.assign(text_.substr(pos_, end - pos_));
        pos_ = std::min(end + 1, text_.size());
        return true;
      }
      case TagRecord:
        table_.current_ = table_.NewRecordLocked();
        pos_ = start;
        return true;
      case TagBlock: {
        std::string content;
        if (TakeElement(entry.tag, start, content))
          entry.value = std::move(content);
        else
          pos_ = start;
        return true;
      }
      case TagField: {
        // Outside a record the element is skipped whole.
        std::string content;
        if (!TakeElement(entry.tag, start, content))
          pos_ = start;
        else if (table_.current_ >= 0)
          table_.SetFieldLocked(table_.current_, entry.tag, std::move(content));
        return true;
      }
      default:  // TagWrapper and kinds the grammar does not know
        pos_ = start;
        return true;
    }
  }

  TagTable& table_;
  std::string_view text_;
  ClosingTagIndex closings_;
  NextOf nextGt_;
  NextOf nextLf_;
  size_t pos_ = 0;
};

TagTable::TagTable() {
  RegisterTag("<result>", TagWrapper);
  RegisterTag("<RESULT>", TagWrapper);
  RegisterTag("<folder>", TagRecord);
  RegisterTag("<save>", TagRecord);
  RegisterTag("<file>", TagRecord);
  RegisterTag("//", TagComment);
}

bool TagTable::RegisterTag(const std::string& tag, int kind) {
  if (tag.empty()) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back({tag, "", kind});
  return true;
}

int TagTable::ParseReply(const char* text, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  return Parser(*this, text ? text : "", text ? length : 0).Run();
}

bool TagTable::LookupTag(const std::string& name, std::string& value) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const TagEntry& entry : entries_) {
    if (entry.tag.compare(0, name.size(), name) == 0) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

int TagTable::RecordCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(records_.size());
}

const ReplyRecord* TagTable::RecordAt(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || static_cast<size_t>(index) >= records_.size()) return nullptr;
  return records_[static_cast<size_t>(index)].get();
}

std::optional<std::string> RecordField(const ReplyRecord& record, const std::string& name) {
  for (const auto& [fieldName, fieldValue] : record.fields)
    if (fieldName == name) return fieldValue;
  return std::nullopt;
}

bool TagTable::FieldValue(const ReplyRecord* record, const std::string& name,
                          std::string& value) const {
  if (!record) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<std::string> found = RecordField(*record, name);
  if (!found) return false;
  value = std::move(*found);
  return true;
}

int TagTable::SetField(int record, const std::string& name, const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  return SetFieldLocked(record, name, value);
}

int TagTable::SetFieldLocked(int record, const std::string& name, std::string value) {
  if (record < 0 || static_cast<size_t>(record) >= records_.size()) return -1;
  auto& fields = records_[static_cast<size_t>(record)]->fields;
  fields.erase(std::remove_if(fields.begin(), fields.end(),
                              [&](const auto& field) { return field.first == name; }),
               fields.end());
  fields.emplace_back(name, std::move(value));
  return 0;
}

int TagTable::NewRecord() {
  std::lock_guard<std::mutex> lock(mutex_);
  return NewRecordLocked();
}

int TagTable::NewRecordLocked() {
  records_.push_back(std::make_unique<ReplyRecord>());
  return static_cast<int>(records_.size()) - 1;
}

std::vector<TagEntry> TagTable::Entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

std::vector<ReplyRecord> TagTable::Records() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<ReplyRecord> copy;
  copy.reserve(records_.size());
  for (const auto& record : records_)
    copy.push_back(*record);
  return copy;
}

}  // namespace pspkvx

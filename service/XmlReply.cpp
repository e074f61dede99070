#include "service/XmlReply.h"

namespace pspkvx::service {
namespace {

// A key's value is the rest of its line, taken as written: only line breaks must not get in.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  return out;
}

}  // namespace

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') ? ' ' : c;
    }
  }
  return out;
}

XmlReply& XmlReply::Open(std::string_view tag) {
  text_ += '<';
  text_ += tag;
  text_ += ">\n";
  return *this;
}

XmlReply& XmlReply::Close(std::string_view tag) {
  text_ += "</";
  text_ += tag;
  text_ += ">\n";
  return *this;
}

XmlReply& XmlReply::Element(std::string_view tag, std::string_view value) {
  text_ += '<';
  text_ += tag;
  text_ += '>';
  text_ += XmlEscape(value);
  text_ += "</";
  text_ += tag;
  text_ += ">\n";
  return *this;
}

XmlReply& XmlReply::Element(std::string_view tag, long long value) {
  return Element(tag, std::to_string(value));
}

XmlReply& XmlReply::Key(std::string_view key, std::string_view value) {
  text_ += key;
  text_ += '=';
  text_ += OneLine(value);
  text_ += '\n';
  return *this;
}

XmlReply& XmlReply::Comment(std::string_view text) {
  text_ += "// ";
  text_ += OneLine(text);
  text_ += '\n';
  return *this;
}

}  // namespace pspkvx::service

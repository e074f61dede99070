#include "ui/skin/ControlLayout.h"

namespace pspkvx {
namespace {

void MoveLeft(SkinRect& r, int left) {
  r.right += left - r.left;
  r.left = left;
}

void MoveTop(SkinRect& r, int top) {
  r.bottom += top - r.top;
  r.top = top;
}

void ApplyToWindow(const LayoutRule& rule, int dx, int dy, SkinRect& r) {
  const int divisor = rule.divisor == 0 ? 1 : rule.divisor;
  switch (rule.mode) {
    case 2:
      MoveLeft(r, r.left + dx);
      break;
    case 4:
      MoveTop(r, r.top + dy);
      break;
    case 5:
      r.bottom += dy;
      break;
    case 6:
      r.right += dx;
      break;
    case 11:
      r.right += dx / divisor;
      break;
    case 12:
      MoveLeft(r, r.left + dx / divisor);
      r.right += dx / divisor;
      break;
    case 13:
      MoveLeft(r, r.left + dx / divisor);
      break;
    case 14:
      MoveTop(r, r.top + dy / divisor);
      break;
    default:  // 3, 7-10: nothing relative to the window
      break;
  }
}

void ApplyToOther(const LayoutRule& rule, SkinRect& r, SkinRect& o) {
  switch (rule.mode) {
    case 1:
      MoveLeft(r, o.left + rule.offsetX);
      break;
    case 2:
      MoveLeft(r, o.right + rule.offsetX);
      break;
    case 3:
      MoveTop(r, o.top + rule.offsetY);
      break;
    case 4:
      MoveTop(r, o.bottom + rule.offsetY);
      break;
    case 5:
      o.bottom = o.top + static_cast<int>(rule.ratio * (r.bottom - o.top));
      r.top = o.bottom + rule.offsetY;
      break;
    case 6:
      o.right = o.left + static_cast<int>(rule.ratio * (r.right - o.left));
      r.left = o.right + rule.offsetX;
      break;
    case 7:
      o.right = o.left + r.left - rule.offsetX;
      break;
    case 8:
      r.right = r.left + o.left - rule.offsetX;
      break;
    case 9:
      o.bottom = o.top + r.top - rule.offsetY;
      break;
    case 10:
      r.top = o.bottom + rule.offsetY;
      break;
    default:
      break;
  }
}

}  // namespace

void ControlLayout::Add(int control, int mode, int divisor) {
  rules_.push_back({control, mode, kLayoutRelativeToWindow, 0, 0, 0, divisor});
}

void ControlLayout::AddRelative(int control, int mode, int other, const SkinRect& c,
                                const SkinRect& o, double ratio) {
  LayoutRule rule{control, mode, other, 0, 0, ratio, 1};
  switch (mode) {
    case 1:
      rule.offsetX = c.left - o.left;
      break;
    case 2:
    case 6:
      rule.offsetX = c.left - o.right;
      break;
    case 3:
      rule.offsetY = c.top - o.top;
      break;
    case 4:
    case 5:
    case 10:
      rule.offsetY = c.top - o.bottom;
      break;
    case 7:
      rule.offsetX = c.left - o.Width();
      break;
    case 8:
      rule.offsetX = o.left - c.Width();
      break;
    case 9:
      rule.offsetY = c.top - o.Height();
      break;
    default:
      break;
  }
  rules_.push_back(rule);
}

std::map<int, SkinRect> ControlLayout::Apply(SkinSize size, std::map<int, SkinRect>& rects) {
  const int dx = size.width - last_.width;
  const int dy = size.height - last_.height;
  const std::map<int, SkinRect> before = rects;
  for (const LayoutRule& rule : rules_) {
    auto control = rects.find(rule.control);
    if (control == rects.end()) continue;
    if (rule.other == kLayoutRelativeToWindow) {
      ApplyToWindow(rule, dx, dy, control->second);
      continue;
    }
    auto other = rects.find(rule.other);
    if (other != rects.end()) ApplyToOther(rule, control->second, other->second);
  }
  last_ = size;
  std::map<int, SkinRect> changed;
  for (const auto& [id, rect] : rects)
    if (before.at(id) != rect) changed.emplace(id, rect);
  return changed;
}

}  // namespace pspkvx

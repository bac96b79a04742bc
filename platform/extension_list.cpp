#include "platform/extension_list.h"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

}  // namespace

bool ListsExtension(std::string_view list, std::string_view name) {
  if (name.empty()) return false;
  for (size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
    const size_t end = at + name.size();
    const bool starts = at == 0 || IsSeparator(list[at - 1]);
    const bool ends = end == list.size() || IsSeparator(list[end]);
    if (starts && ends) return true;
  }
  return false;
}

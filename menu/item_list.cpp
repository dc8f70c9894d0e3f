#include "menu/item_list.h"

namespace tstools::menu {

std::vector<ListedItem> ScanItemList(const unsigned char *list, LeadBytePredicate isLeadByte) {
  std::vector<ListedItem> items;
  if (!list) return items;
  const size_t end = size_t(list[0]) + 1;  // one past the last character
  ListedItem item;
  bool started = false;  // the current item has something in it
  for (size_t i = 1; i < end; ++i) {
    const uint8_t c = list[i];
    const bool hasNext = i + 1 < end;
    if (c == ';' || c == '\r') {
      items.push_back(std::move(item));
      item = ListedItem();
      started = false;
      continue;
    }
    started = true;
    switch (c) {
      case '!':
        if (hasNext) item.mark = list[++i];
        break;
      case '/':
        if (hasNext) item.command = list[++i];
        break;
      case '(':
        if (hasNext && list[i + 1] == '-')
          item.separator = true;  // the "-" comes round again as text
        else if (hasNext)
          item.disabled = true;
        break;
      case '^':
        if (hasNext) ++i;
        break;
      default:
        if (isLeadByte && isLeadByte(c)) {
          if (hasNext) {
            item.text.push_back(char(c));
            item.text.push_back(char(list[++i]));
          }
        } else {
          item.text.push_back(char(c));
        }
    }
  }
  if (started) items.push_back(std::move(item));
  return items;
}

}  // namespace tstools::menu

#include "graphics/records/IPopupMenu.h"

#include <new>
#include <utility>

namespace plugkit {
namespace canvas {

IPopupMenuItem::~IPopupMenuItem() { delete Child; }

void IPopupMenuItem::SetFlag(EPopupItemFlag flag, bool on) {
  if (on) Options |= FlagBits(flag);
  else Options &= ~FlagBits(flag);
}

bool IPopupMenuItem::IsChoosable() const {
  constexpr int32_t kUnchoosable =
      FlagBits(EPopupItemFlag::Greyed) | FlagBits(EPopupItemFlag::Inert) | FlagBits(EPopupItemFlag::Divider);
  return (Options & kUnchoosable) == 0;
}

void IPopupMenuItem::SetChild(IPopupMenu* child) {
  if (child == Child) return;
  IPopupMenu* old = Child;
  Child = child;
  delete old;
}

IPopupMenu::IPopupMenu(std::initializer_list<const char*> captions) {
  for (const char* caption : captions) AppendItem(caption);
}

IPopupMenu::~IPopupMenu() { ClearItems(true); }

IPopupMenuItem* IPopupMenu::AppendItem(const char* caption) {
  IPopupMenuItem* item = new (std::nothrow) IPopupMenuItem();
  if (!item) return nullptr;
  // A failed append would otherwise drop the pointer and leak the item; a
  // caption that could not be stored would show as a blank entry.
  if (!item->Caption.Assign(caption) || !Items.Add(item)) {
    delete item;
    return nullptr;
  }
  return item;
}

IPopupMenuItem* IPopupMenu::AppendDivider() {
  IPopupMenuItem* item = AppendItem(nullptr);
  if (item) item->Options = FlagBits(EPopupItemFlag::Divider);
  return item;
}

void IPopupMenu::ClearItems(bool deleteItems) {
  for (int32_t i = Items.Count() - 1; i >= 0; --i) {
    // Detach before deleting, so a submenu's destructor never sees a
    // half-cleared parent.
    IPopupMenuItem* item = Items.Remove(i);
    if (deleteItems) delete item;
  }
  Items.Clear();
}

void IPopupMenu::ReportChoice(int32_t index) {
  const IPopupMenuItem* item = Items.Get(index);
  PickedIndex = item && item->IsChoosable() && !item->Child ? index : -1;
  if (!Completion) return;
  IPopupMenuCompletion completion = Completion;
  completion(this);
}

} // namespace canvas
} // namespace plugkit

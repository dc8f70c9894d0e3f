#include "scrap/drag_core.h"

#include "frame/byte_reader.h"
#include "scrap/scrap_layouts.h"

namespace tstools::drag {

uint16_t ModifiersForKeyState(uint32_t keyState) {
  uint16_t modifiers = 0;
  if (keyState & kKeyControl) modifiers |= 0x0100;
  if (keyState & kKeyShift) modifiers |= 0x0200;
  if (keyState & kKeyAlt) modifiers |= 0x0800;
  return modifiers;
}

uint8_t NextAttributes(uint8_t current, bool received, bool insideApplication, bool insideSenderWindow) {
  if (received) return kHasLeftSenderWindow;
  uint8_t next = current & kHasLeftSenderWindow;
  if (insideApplication) next |= kInsideSenderApplication;
  if (insideSenderWindow)
    next |= kInsideSenderWindow;
  else
    next |= kHasLeftSenderWindow;
  return next;
}

size_t FlavorBlockSize(FlavorLayout layout, size_t size) {
  switch (layout) {
    case FlavorLayout::kLengthPrefixed: return scrap::kPrefixBytes + size;
    case FlavorLayout::kMacPict: return size + scrap::kPictTrailerBytes;
    default: return size;
  }
}

void WriteFlavorBlock(FlavorLayout layout, const uint8_t *data, size_t size, uint8_t *out) {
  switch (layout) {
    case FlavorLayout::kLengthPrefixed: scrap::WritePrefixed(data, size, out); break;
    case FlavorLayout::kMacPict: scrap::WriteMacPict(data, size, out); break;
    default:
      for (size_t i = 0; i < size; ++i) out[i] = data[i];
  }
}

FlavorView ReadFlavorBlock(FlavorLayout layout, const uint8_t *block, size_t blockSize) {
  FlavorView view;
  if (!block && blockSize) return view;
  if (layout == FlavorLayout::kLengthPrefixed) {
    ByteReader in(block, blockSize);
    uint32_t count = in.U32LE();
    // A negative count or one past the block: another program's block we cannot trust.
    if (in.Failed() || count > in.Remaining()) return view;
    view.present = true;
    view.offset = scrap::kPrefixBytes;
    view.length = count;
    return view;
  }
  if (layout == FlavorLayout::kMacPict) {
    if (blockSize < 2) return view;
    scrap::MacPict pict = scrap::ReadMacPict(block, blockSize);
    view.present = true;
    view.length = pict.length;
    view.restoreSizeWord = pict.restore;
    view.sizeWord[0] = pict.sizeWord[0];
    view.sizeWord[1] = pict.sizeWord[1];
    return view;
  }
  view.present = true;
  view.length = blockSize;
  return view;
}

DropPlan PlanDropEvent(int event, bool haveHandlerRecord, bool hasDrag) {
  DropPlan plan;
  if (!haveHandlerRecord || event < 0 || event > 3) return plan;
  switch (static_cast<DropEvent>(event)) {
    case DropEvent::kEnter:
      plan.beginDrag = plan.setModifiers = true;
      plan.trackingMessage = kEnterWindow;
      break;
    case DropEvent::kOver:
      if (!hasDrag) return plan;
      plan.setModifiers = true;
      plan.trackingMessage = kInWindow;
      break;
    case DropEvent::kLeave:
      if (!hasDrag) return plan;
      plan.trackingMessage = kLeaveWindow;
      plan.endDrag = true;
      break;
    case DropEvent::kDrop:
      if (!hasDrag) return plan;
      plan.setModifiers = plan.callReceive = plan.endDrag = true;
      plan.trackingMessage = kLeaveWindow;
      break;
  }
  plan.valid = true;
  return plan;
}

bool DropAccepted(bool hasReceiveHandler, bool receiveSucceeded) { return hasReceiveHandler && receiveSucceeded; }

}  // namespace tstools::drag

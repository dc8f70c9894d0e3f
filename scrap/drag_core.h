// The Drag Manager's rules that need no window system: modifiers from an OLE key state, the
// drag attributes, the flavour blocks handed to the bridge and read back from any program, and
// what each drop-target event does. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tstools::drag {

// OLE's MK_ key-state bits.
constexpr uint32_t kKeyShift = 0x0004, kKeyControl = 0x0008, kKeyAlt = 0x0020;
// Ctrl is the command key, Shift the shift key, Alt the option key.
uint16_t ModifiersForKeyState(uint32_t keyState);

constexpr uint8_t kHasLeftSenderWindow = 1, kInsideSenderApplication = 2, kInsideSenderWindow = 4;
// The attributes after the cursor was seen. A received drag only ever "has left" its sender;
// for the sender's own drag, leaving the sender window is remembered.
uint8_t NextAttributes(uint8_t current, bool received, bool insideApplication, bool insideSenderWindow);

// How a flavour's bytes are laid out in the data object.
enum class FlavorLayout : uint8_t { kRaw, kLengthPrefixed, kMacPict };
// Bytes of the block for size bytes of data (the data itself for kRaw).
size_t FlavorBlockSize(FlavorLayout layout, size_t size);
// Writes FlavorBlockSize(layout, size) bytes at out.
void WriteFlavorBlock(FlavorLayout layout, const uint8_t *data, size_t size, uint8_t *out);

// A flavour found in a block written by anyone. A length prefix larger than its block or a
// "Mac-PICT" too short for its size word means the block lies: the flavour is absent.
struct FlavorView {
  bool present = false;
  size_t offset = 0, length = 0;   // the data within the block
  bool restoreSizeWord = false;    // "Mac-PICT" with our trailer: put sizeWord back at offset
  uint8_t sizeWord[2] = {0, 0};
};
FlavorView ReadFlavorBlock(FlavorLayout layout, const uint8_t *block, size_t blockSize);

// The drop-target events the bridge reports, and what the Drag Manager does for each.
enum class DropEvent : int { kEnter = 0, kOver = 1, kLeave = 2, kDrop = 3 };
constexpr short kEnterWindow = 2, kInWindow = 3, kLeaveWindow = 4;
struct DropPlan {
  bool valid = false;          // false: answer "refused" and do nothing else
  bool beginDrag = false;      // take the current drag or wrap the received object
  bool setModifiers = false;
  bool callReceive = false;
  short trackingMessage = 0;   // the tracking handler's message
  bool endDrag = false;        // forget the drag (disposing of a wrapper)
};
// hasDrag: an enter was seen and not yet ended by a leave or drop. Events out of order (an
// over, leave or drop without an enter) and unknown events are refused.
DropPlan PlanDropEvent(int event, bool haveHandlerRecord, bool hasDrag);
// The drop's answer to OLE: the effect is kept only when a receive handler took the drop.
bool DropAccepted(bool hasReceiveHandler, bool receiveSucceeded);

}  // namespace tstools::drag

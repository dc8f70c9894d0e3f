// A small most-recently-used cache of shared drawing objects with reference counts: the
// pens, brushes and fonts that every port selects come from three of these, so that ports
// drawing with the same attributes share one GDI object. Portable: objects are opaque
// handles and the hooks that match, create and destroy them are supplied by the owner.
//
// A reference is held for as long as an object is selected somewhere (or pinned); entries
// whose count has fallen to zero keep their object for reuse until the slot is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tstools::qd {

template <typename Key, typename Context>
class ObjectCache {
 public:
  using Object = uintptr_t;  // 0 is "no object"

  struct Entry {
    Object object = 0;
    int32_t refs = 0;
    Key key{};
    int next = -1, prev = -1;
  };

  struct Hooks {
    // Whether entry (which holds an object) serves key for this context; may bring the
    // entry up to date (a brush's origin) as a side effect.
    bool (*match)(Entry &entry, const Key &key, Context context);
    // Makes the object for entry.key (already set); 0 on failure.
    Object (*create)(Entry &entry, Context context);
    void (*destroy)(Object object);
  };

  ObjectCache(size_t capacity, Hooks hooks) : entries_(capacity), hooks_(hooks) {
    for (size_t i = 0; i < capacity; ++i) LinkBack(static_cast<int>(i));
  }

  ObjectCache(const ObjectCache &) = delete;
  ObjectCache &operator=(const ObjectCache &) = delete;

  // The object for key with one more reference, or 0 when every slot is referenced or the
  // object cannot be made; the caller then keeps drawing with what it has. A closed cache
  // hands out nothing.
  Object Get(const Key &key, Context context) {
    if (closed_) return 0;
    for (int i = head_; i >= 0; i = entries_[i].next) {
      Entry &e = entries_[i];
      if (e.object && hooks_.match(e, key, context)) {
        ++e.refs;
        MoveToFront(i);
        return e.object;
      }
    }
    int victim = -1;
    for (int i = tail_; i >= 0; i = entries_[i].prev) {
      if (entries_[i].refs <= 0) {
        victim = i;
        break;
      }
    }
    if (victim < 0) return 0;
    Entry &e = entries_[victim];
    DestroyObject(e);
    e.key = key;
    Object made = hooks_.create(e, context);
    if (!made) return 0;  // the emptied slot stays where it was, at the cold end
    e.object = made;
    e.refs = 1;
    MoveToFront(victim);
    return made;
  }

  // Drops one reference from the entry holding object; false when no entry holds it. In a
  // closed cache the object is destroyed with its last reference.
  bool Release(Object object) { return AddReferences(object, -1); }

  bool AddReferences(Object object, int32_t n) {
    if (!object) return false;
    for (int i = head_; i >= 0; i = entries_[i].next) {
      Entry &e = entries_[i];
      if (e.object != object) continue;
      e.refs += n;
      if (closed_ && e.refs < 1) DestroyObject(e);
      return true;
    }
    return false;
  }

  // Destroys every unreferenced object and moves the entries still holding one to the front,
  // in their order. Allocates nothing: closing runs it, and so does the font table's
  // replacement, neither of which may fail half-way.
  void Flush() {
    // From the cold end to the entry that was first: each entry still holding an object
    // goes to the front, so that those moved keep their order.
    for (int i = tail_, first = head_; i >= 0;) {
      int prev = entries_[i].prev;
      if (entries_[i].refs < 1) DestroyObject(entries_[i]);
      if (entries_[i].object) MoveToFront(i);
      if (i == first) break;
      i = prev;
    }
  }

  // Destroys every unreferenced object and stops handing out objects. Objects still
  // selected somewhere survive until their last release. Returns how many survive.
  size_t Close() {
    closed_ = true;
    Flush();
    return LiveObjects();
  }

  bool closed() const { return closed_; }

  size_t LiveObjects() const {
    size_t n = 0;
    for (const Entry &e : entries_) n += e.object != 0;
    return n;
  }

  size_t capacity() const { return entries_.size(); }

  // Reference count of the entry holding object (0 when none does).
  int32_t References(Object object) const {
    for (const Entry &e : entries_)
      if (object && e.object == object) return e.refs;
    return 0;
  }

  // Entries from most to least recently used, for tests and diagnostics.
  template <typename F>
  void ForEach(F f) const {
    for (int i = head_; i >= 0; i = entries_[i].next) f(entries_[i]);
  }

 private:
  void DestroyObject(Entry &e) {
    if (e.object) hooks_.destroy(e.object);
    e.object = 0;
    e.refs = 0;
  }

  void Unlink(int i) {
    Entry &e = entries_[i];
    (e.prev >= 0 ? entries_[e.prev].next : head_) = e.next;
    (e.next >= 0 ? entries_[e.next].prev : tail_) = e.prev;
    e.next = e.prev = -1;
  }

  void LinkBack(int i) {
    entries_[i].prev = tail_;
    entries_[i].next = -1;
    (tail_ >= 0 ? entries_[tail_].next : head_) = i;
    tail_ = i;
  }

  void MoveToFront(int i) {
    if (head_ == i) return;
    Unlink(i);
    entries_[i].next = head_;
    entries_[i].prev = -1;
    (head_ >= 0 ? entries_[head_].prev : tail_) = i;
    head_ = i;
  }

  std::vector<Entry> entries_;
  Hooks hooks_;
  int head_ = -1, tail_ = -1;
  bool closed_ = false;
};

}  // namespace tstools::qd

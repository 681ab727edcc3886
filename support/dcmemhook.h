#pragma once
// Release notification: watchers of a memory block hear, with the data value
// given when they started watching, once the block has been released. The
// library's objects announce their own release (TReleaseNotified); the C++
// allocator itself is left alone. The registry of watched blocks exists from
// the first watch to the unit's stop.
#include "dcutils.h"

#include <cstddef>
#include <cstdint>

namespace tvk {

using TBlockWatcher = TMethod<void(std::intptr_t data)>;

// Watcher hears with Data when Block is released. A block is watched by one
// entry: a later watch of the same block adds its watcher (each at most once)
// and keeps the entry's first data value.
void WatchBlock(const void* block, std::intptr_t data, TBlockWatcher watcher);
// Watcher no longer hears of Block; the entry goes with its last watcher.
void UnwatchBlock(const void* block, TBlockWatcher watcher);
// Whether anything watches Block.
bool IsBlockWatched(const void* block);

// Block has been released: while the unit runs, its entry leaves the registry
// and each watcher is called in order with the entry's data value. A
// watcher's exception is not passed on: the release has happened.
void BlockReleased(const void* block) noexcept;

// A base of the library's objects: freeing one returns its memory, then
// announces the release.
class TReleaseNotified {
public:
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;
};

// The unit's start-up and shut-down steps (counted: the work runs once). The
// stop frees the registry with every entry still in it.
bool MemHookUnitStartup();
void MemHookUnitShutdown();

}  // namespace tvk

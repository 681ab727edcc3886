#include "dcmemhook.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace tvk {

namespace {

struct TWatchedBlock {
  const void* Block;
  std::intptr_t Data;
  std::vector<TBlockWatcher> Watchers;
};

// Sorted by block address, one entry per block.
using TRegistry = std::vector<std::unique_ptr<TWatchedBlock>>;

TStartupCounter gMemHookCounter;
bool gInstalled = false;
std::unique_ptr<TRegistry> gRegistry;  // absent until the first watch

TRegistry::iterator LowerBound(TRegistry& registry, const void* block) {
  return std::lower_bound(registry.begin(), registry.end(), block,
                          [](const std::unique_ptr<TWatchedBlock>& e, const void* b) {
                            return std::less<const void*>()(e->Block, b);
                          });
}

TRegistry::iterator Find(TRegistry& registry, const void* block) {
  auto it = LowerBound(registry, block);
  return it != registry.end() && (*it)->Block == block ? it : registry.end();
}

}  // namespace

void WatchBlock(const void* block, std::intptr_t data, TBlockWatcher watcher) {
  if (!gRegistry) gRegistry = std::make_unique<TRegistry>();
  auto it = LowerBound(*gRegistry, block);
  if (it == gRegistry->end() || (*it)->Block != block)
    it = gRegistry->insert(it, std::make_unique<TWatchedBlock>(TWatchedBlock{block, data, {}}));
  auto& watchers = (*it)->Watchers;
  if (std::find(watchers.begin(), watchers.end(), watcher) == watchers.end()) watchers.push_back(watcher);
}

void UnwatchBlock(const void* block, TBlockWatcher watcher) {
  if (!gRegistry) return;
  auto it = Find(*gRegistry, block);
  if (it == gRegistry->end()) return;
  std::erase((*it)->Watchers, watcher);
  if ((*it)->Watchers.empty()) gRegistry->erase(it);
}

bool IsBlockWatched(const void* block) { return gRegistry && Find(*gRegistry, block) != gRegistry->end(); }

namespace {

// By address: the block itself is gone.
void AddressReleased(std::uintptr_t address) noexcept {
  if (!gInstalled || !gRegistry) return;
  auto it = Find(*gRegistry, reinterpret_cast<const void*>(address));
  if (it == gRegistry->end()) return;
  // Out of the registry before anyone hears: a watcher that watches or unwatches
  // blocks meanwhile changes the registry, never this entry.
  std::unique_ptr<TWatchedBlock> entry = std::move(*it);
  gRegistry->erase(it);
  for (const TBlockWatcher& watcher : entry->Watchers) {
    try {
      watcher(entry->Data);
    } catch (...) {
      // The block is gone whatever a watcher makes of it.
    }
  }
}

}  // namespace

void BlockReleased(const void* block) noexcept { AddressReleased(reinterpret_cast<std::uintptr_t>(block)); }

void* TReleaseNotified::operator new(std::size_t size) { return ::operator new(size); }

void TReleaseNotified::operator delete(void* block) noexcept {
  auto address = reinterpret_cast<std::uintptr_t>(block);
  ::operator delete(block);
  AddressReleased(address);
}

bool MemHookUnitStartup() {
  return gMemHookCounter.Start([] {
    gInstalled = true;
    return true;
  });
}

void MemHookUnitShutdown() {
  gMemHookCounter.Stop([] {
    gInstalled = false;
    gRegistry.reset();
  });
}

}  // namespace tvk

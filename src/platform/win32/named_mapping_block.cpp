#include "platform/win32/named_mapping_block.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <utility>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"

namespace skein::platform {
namespace {

struct MappingSlot {
  HANDLE mapping;  // null marks a free slot
  void* view;
};

constexpr std::size_t kRegistrySlots = 128;

// Every mapping this process has made, in slots filled lowest first and never freed, so that
// opening a mapping whose handle is already recorded hands out the recorded view again. What is
// recorded stays mapped, with its handle open, for as long as the registry lives.
class MappingRegistry {
 public:
  MappingRegistry() = default;
  MappingRegistry(const MappingRegistry&) = delete;
  MappingRegistry& operator=(const MappingRegistry&) = delete;

  ~MappingRegistry() {
    if (slots_ == nullptr) return;
    for (MappingSlot& slot : Slots()) {
      if (slot.mapping == nullptr) continue;
      ::UnmapViewOfFile(slot.view);
      ::CloseHandle(slot.mapping);
    }
    ::GlobalFree(slots_);
  }

  // Allocates the table, all slots free, at the first call that can. False while it cannot be
  // allocated; mappings are then made without being looked up or recorded.
  bool Allocate() {
    if (slots_ != nullptr) return true;
    void* memory = ::GlobalAlloc(GMEM_FIXED, kRegistrySlots * sizeof(MappingSlot));
    if (memory == nullptr) return false;
    slots_ = static_cast<MappingSlot*>(memory);
    std::uninitialized_fill_n(slots_, kRegistrySlots, MappingSlot{nullptr, nullptr});
    return true;
  }

  void* Find(HANDLE mapping) const {
    for (const MappingSlot& slot : Slots()) {
      if (slot.mapping == mapping) return slot.view;
    }
    return nullptr;
  }

  // False when every slot is taken: the caller keeps the mapping.
  bool Record(HANDLE mapping, void* view) {
    for (MappingSlot& slot : Slots()) {
      if (slot.mapping != nullptr) continue;
      slot = MappingSlot{mapping, view};
      return true;
    }
    return false;
  }

 private:
  std::span<MappingSlot> Slots() const { return {slots_, kRegistrySlots}; }

  MappingSlot* slots_ = nullptr;
};

// Built at the first open and never destroyed: another thread may still be copying from a view
// while the process exits, and the system unmaps everything when the process ends.
MappingRegistry& TheRegistry() {
  alignas(MappingRegistry) static unsigned char storage[sizeof(MappingRegistry)];
  static MappingRegistry* const registry = new (storage) MappingRegistry;
  return *registry;
}

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

// The size of the pages mapped from `view` on, or 0 when the system cannot tell.
std::size_t MappedSize(const void* view) {
  MEMORY_BASIC_INFORMATION info{};
  if (::VirtualQuery(view, &info, sizeof info) != sizeof info) return 0;
  const auto* base = static_cast<const char*>(info.BaseAddress);
  const std::size_t before = static_cast<std::size_t>(static_cast<const char*>(view) - base);
  return info.RegionSize > before ? info.RegionSize - before : 0;
}

}  // namespace

class SharedMemoryBlock::OwnedView {
 public:
  OwnedView(UniqueHandle mapping, void* view) : mapping_(std::move(mapping)), view_(view) {}
  OwnedView(const OwnedView&) = delete;
  OwnedView& operator=(const OwnedView&) = delete;
  ~OwnedView() { ::UnmapViewOfFile(view_); }

 private:
  UniqueHandle mapping_;
  void* view_;
};

std::unique_ptr<SharedMemoryBlock> SharedMemoryBlock::Open(std::string_view name,
                                                           std::size_t size) {
  if (size == 0 || size > MAXDWORD) return nullptr;
  // An empty name would make a mapping nobody else can find; a zero byte would silently cut the
  // name the system sees.
  if (name.empty() || name.find('\0') != std::string_view::npos) return nullptr;
  const std::string objectName(name);

  const std::lock_guard<std::mutex> guard(RegistryLock());
  MappingRegistry& registry = TheRegistry();
  const bool registered = registry.Allocate();

  UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            static_cast<DWORD>(size), objectName.c_str()));
  if (!mapping.Valid()) return nullptr;

  std::unique_ptr<OwnedView> owned;
  void* view = registered ? registry.Find(mapping.Get()) : nullptr;
  if (view != nullptr) {
    // The very handle the registry holds: it stays open there.
    mapping.Release();
  } else {
    view = ::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view == nullptr) return nullptr;
    if (registered && registry.Record(mapping.Get(), view)) {
      mapping.Release();
    } else {
      owned.reset(new (std::nothrow) OwnedView(std::move(mapping), view));
      if (!owned) {
        ::UnmapViewOfFile(view);
        return nullptr;
      }
    }
  }

  return std::unique_ptr<SharedMemoryBlock>(new (std::nothrow) SharedMemoryBlock(
      static_cast<char*>(view), MappedSize(view), size, std::move(owned)));
}

SharedMemoryBlock::SharedMemoryBlock(char* view, std::size_t mapped, std::size_t size,
                                     std::unique_ptr<OwnedView> owned)
    : view_(view), mapped_(mapped), size_(size), owned_(std::move(owned)) {}

SharedMemoryBlock::~SharedMemoryBlock() = default;

std::size_t SharedMemoryBlock::Read(std::span<char> into) {
  const std::size_t length = std::min(into.size(), mapped_);
  std::memcpy(into.data(), view_, length);
  return length;
}

bool SharedMemoryBlock::Publish(std::string_view text) {
  const std::size_t room = std::min(size_, mapped_);
  if (room == 0) return false;
  // A plain copy with no lock: readers may catch it halfway, exactly as with the real writer.
  const std::size_t length = std::min(text.size(), room);
  std::memcpy(view_, text.data(), length);
  if (length < room) view_[length] = '\0';
  return true;
}

}  // namespace skein::platform

#include "log/FileWindow.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

// The mappings in use, for the fault handler, which may not lock. A window holds its slot
// from its first mapping to its end; the handler looks at a slot only while its end is set,
// which is set last and cleared first.
struct TSlot {
  std::atomic<const char*> Begin{nullptr};
  std::atomic<const char*> End{nullptr};
  std::atomic<bool> Cut{false};
};
constexpr int SlotCount = 16;
TSlot Slots[SlotCount];
struct sigaction PreviousAction;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto* address = static_cast<const char*>(info->si_addr);
  for (TSlot& slot : Slots) {
    const char* begin = slot.Begin.load();
    if (begin == nullptr || address < begin || address >= slot.End.load()) continue;
    // The page is gone from the file: zeros take its place and the reader is told.
    const auto page = reinterpret_cast<std::uintptr_t>(address) & ~static_cast<std::uintptr_t>(TFileWindow::PageSize() - 1);
    ::mmap(reinterpret_cast<void*>(page), static_cast<std::size_t>(TFileWindow::PageSize()), PROT_READ,
           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    slot.Cut.store(true);
    return;
  }
  // Not a mapping of ours: what would have happened without this handler happens.
  if (PreviousAction.sa_flags & SA_SIGINFO) {
    PreviousAction.sa_sigaction(signal, info, context);
  } else if (PreviousAction.sa_handler != SIG_DFL && PreviousAction.sa_handler != SIG_IGN) {
    PreviousAction.sa_handler(signal);
  } else {
    ::signal(SIGBUS, SIG_DFL);  // the faulting access runs again and ends the process
  }
}

void InstallHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action = {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &PreviousAction);
  });
}

}  // namespace

std::int64_t TFileWindow::PageSize() {
  static const std::int64_t size = ::sysconf(_SC_PAGESIZE);
  return size;
}

const char* TFileWindow::Map(int handle, std::int64_t offset, std::size_t length) {
  Unmap();
  InstallHandler();
  if (FSlot < 0) {
    for (int i = 0; i < SlotCount && FSlot < 0; ++i) {
      const char* none = nullptr;
      // A placeholder start reserves the slot until the mapping is known.
      if (Slots[i].Begin.compare_exchange_strong(none, reinterpret_cast<const char*>(1))) FSlot = i;
    }
    if (FSlot < 0) return nullptr;
    Slots[FSlot].Cut.store(false);
  }
  void* data = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, handle, static_cast<off_t>(offset));
  if (data == MAP_FAILED) return nullptr;
  FData = static_cast<const char*>(data);
  FLength = length;
  Slots[FSlot].Begin.store(FData);
  Slots[FSlot].End.store(FData + length);
  return FData;
}

TFileWindow::~TFileWindow() {
  Unmap();
  if (FSlot >= 0) Slots[FSlot].Begin.store(nullptr);
}

void TFileWindow::Unmap() {
  if (FData != nullptr) {
    // The handler stops looking at the range before it may be given to another mapping.
    Slots[FSlot].End.store(nullptr);
    ::munmap(const_cast<char*>(FData), FLength);
    FData = nullptr;
    FLength = 0;
  }
}

bool TFileWindow::Cut() const { return FSlot >= 0 && Slots[FSlot].Cut.load(std::memory_order_relaxed); }

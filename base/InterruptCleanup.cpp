#include "base/InterruptCleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

namespace base {
namespace {

// The paths live in fixed storage, so the handler reads them without a lock
// or an allocation: a slot is Free, being Filled by its owner, or Ready.
enum SlotState : int { kFree, kFilling, kReady };
struct Slot {
  std::atomic<int> state{kFree};
  // The process that registered the path: a child made by fork without exec
  // inherits the table but must not remove its parent's paths.
  pid_t owner = 0;
  char path[PATH_MAX] = {};
};
constexpr int kSlots = 32;
std::array<Slot, kSlots> g_slots;
constexpr int kMaxDepth = 8;

// One directory entry as the getdents64 system call gives it.
struct DirectoryEntry {
  ino64_t inode;
  off64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Removes `name` under the open folder `parent`, a folder with all it holds.
// Only system calls the signal handler may make: no allocation, no library
// state. Entries are read again until a pass finds none, as removing them
// while the folder is read may hide some.
void RemoveUnder(int parent, const char* name, int depth) {
  if (::unlinkat(parent, name, 0) == 0 || (errno != EISDIR && errno != EPERM))
    return;
  const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0)
    return;
  alignas(DirectoryEntry) char buffer[2048];
  for (int pass = 0; pass < 64; ++pass) {
    bool removed = false;
    ::lseek(folder, 0, SEEK_SET);
    long got;
    while ((got = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer)) > 0) {
      for (long at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
        if (entry->length == 0)
          break;
        at += entry->length;
        if (IsDotOrDotDot(entry->name))
          continue;
        // Not every file system gives the entry's type, so each entry is
        // treated as a possible folder: RemoveUnder unlinks a file first.
        if (depth < kMaxDepth)
          RemoveUnder(folder, entry->name, depth + 1);
        else
          ::unlinkat(folder, entry->name, 0);
        removed = true;
      }
    }
    if (!removed)
      break;
  }
  ::close(folder);
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

void RemoveRegisteredPaths(int signal) {
  const int savedErrno = errno;
  for (Slot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == kReady && slot.owner == ::getpid())
      RemoveUnder(AT_FDCWD, slot.path, 0);
  }
  // The signal ends the process as it would have without this handler.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  errno = savedErrno;
  ::raise(signal);
}

// The signals that end a process by default and are sent to end a run: from
// the keyboard, from a kill, from a terminal that closes, and from a reader
// of a pipe that went away.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

void InstallHandlers() {
  for (const int signal : kEndingSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
        (current.sa_flags & SA_SIGINFO) != 0)
      continue;
    struct sigaction handler {};
    handler.sa_handler = &RemoveRegisteredPaths;
    ::sigemptyset(&handler.sa_mask);
    for (const int blocked : kEndingSignals)
      ::sigaddset(&handler.sa_mask, blocked);
    ::sigaction(signal, &handler, nullptr);
  }
}

// Takes a free slot for the calling process, left Filling; -1 when the
// table is full.
int TakeSlot() {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (g_slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel)) {
      g_slots[i].owner = ::getpid();
      return i;
    }
  }
  return -1;
}

}  // namespace

RemovedOnInterrupt::RemovedOnInterrupt() : m_slot(TakeSlot()) {}

RemovedOnInterrupt::RemovedOnInterrupt(const std::string& path) : m_slot(TakeSlot()) {
  if (m_slot >= 0 && !Set(path)) {
    g_slots[static_cast<std::size_t>(m_slot)].state.store(kFree, std::memory_order_release);
    m_slot = -1;
  }
}

RemovedOnInterrupt::~RemovedOnInterrupt() {
  if (m_slot >= 0)
    g_slots[static_cast<std::size_t>(m_slot)].state.store(kFree, std::memory_order_release);
}

bool RemovedOnInterrupt::Set(const std::string& path) {
  if (m_slot < 0)
    return false;
  Slot& slot = g_slots[static_cast<std::size_t>(m_slot)];
  // The handler passes over a slot being filled, so it never reads a path
  // half written.
  slot.state.store(kFilling, std::memory_order_release);
  if (path.empty() || path.size() >= PATH_MAX)
    return false;
  std::memcpy(slot.path, path.c_str(), path.size() + 1);
  slot.state.store(kReady, std::memory_order_release);
  return true;
}

void RemovedOnInterrupt::Clear() {
  if (m_slot >= 0)
    g_slots[static_cast<std::size_t>(m_slot)].state.store(kFilling, std::memory_order_release);
}

}  // namespace base

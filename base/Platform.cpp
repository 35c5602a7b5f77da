#include "base/Platform.h"

#include "base/ContentFiles.h"

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#endif

namespace {

// Enters the executable's folder if the game's content is there.
void enterFolderOf(const std::filesystem::path& executable) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = executable.parent_path();
  if (!fs::is_directory(folder / content::kShaderFolder, error))
    return;
  fs::current_path(folder, error);
}

const char* const kOpenAlLogLevel = "ALSOFT_LOGLEVEL";

} // namespace

#ifdef _WIN32

void setUpProcess() {
  _setmode(_fileno(stdout), _O_BINARY);
  LoadLibraryW(L"xinput1_4.dll"); // never freed; missing is fine
}

void quietSoundLibraries() {
  if (!std::getenv(kOpenAlLogLevel))
    _putenv_s(kOpenAlLogLevel, "0");
}

void waitForKeyIfInteractive() {
  // NOTE: GetConsoleMode fails for files, pipes and the null device alike,
  // where _isatty would take a character device such as NUL for a console.
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode))
    return;
  std::cout << std::flush;
  std::system("PAUSE");
}

std::filesystem::path enterExecutableFolder() {
  std::error_code error;
  const std::filesystem::path started = std::filesystem::current_path(error);
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return started;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2); // cut off: try again with more room
  }
  enterFolderOf(std::filesystem::path(path));
  return started;
}

namespace {

// A file being written whose bytes are flushed to the disk before it is
// closed; closed without flushing when it is never finished.
class DiskFile {
public:
  explicit DiskFile(const std::filesystem::path& path)
      : handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~DiskFile() {
    if (isOpen())
      CloseHandle(handle);
  }
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;

  bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }

  bool write(const char* data, std::size_t size) {
    while (size > 0) {
      const DWORD piece = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle, data, piece, &written, nullptr) || written == 0)
        return false;
      data += written;
      size -= written;
    }
    return true;
  }

  bool finish() {
    const bool flushed = FlushFileBuffers(handle) != 0;
    const bool closed = CloseHandle(handle) != 0;
    handle = INVALID_HANDLE_VALUE;
    return flushed && closed;
  }

private:
  HANDLE handle;
};

} // namespace

std::filesystem::path settingsFolder() {
  const wchar_t* appData = _wgetenv(L"APPDATA");
  if (!appData || !*appData)
    return {};
  const std::filesystem::path folder(appData);
  if (!folder.is_absolute())
    return {};
  return folder / L"Felidora";
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

// NOTE: a software renderer (llvmpipe) allocates and frees tens of megabytes
// of binned drawing every frame. glibc gives the top of its heap back to the
// system once that much lies free there, unless the first large blocks freed
// raised its limits, which depends on how threads happened to interleave:
// then every frame faults the same memory in again, zeroed page by page, and
// a frame took 30 ms longer in one run of the game out of four. Fixed at
// glibc's own largest limits, every run keeps the memory the frame reuses.
void setUpProcess() {
#ifdef __GLIBC__
  constexpr int kLargestMapped = 32 * 1024 * 1024; // glibc's largest automatic mmap threshold
  mallopt(M_MMAP_THRESHOLD, kLargestMapped);
  mallopt(M_TRIM_THRESHOLD, 2 * kLargestMapped);
#endif
}

#ifdef __linux__
namespace {
// libasound's snd_lib_error_handler_t: where ALSA sends the text of its errors.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler);
} // namespace
#endif

void quietSoundLibraries() {
  if (std::getenv(kOpenAlLogLevel))
    return;
  setenv(kOpenAlLogLevel, "0", 0);
#ifdef __linux__
  // NOTE: OpenAL Soft loads libasound itself (with dlopen, or through a library
  // it links), so the game does not link it: it asks for the same library by
  // its soname, which hands back the one copy the process has or will have,
  // and sets the handler there. The library stays loaded to the end, so
  // the handler cannot be lost with an unload; without ALSA nothing is done.
  if (void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL))
    if (auto setHandler = reinterpret_cast<SetAlsaErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
      setHandler(ignoreAlsaError);
#endif
}

void waitForKeyIfInteractive() {
#ifndef __EMSCRIPTEN__ // a page shows the message and stays; nobody types into a console there
  if (!isatty(STDIN_FILENO))
    return;
  std::cout << "Druecken Sie die Eingabetaste . . ." << std::flush;
  std::string line;
  std::getline(std::cin, line);
#endif
}

std::filesystem::path enterExecutableFolder() {
  std::error_code error;
  const std::filesystem::path started = std::filesystem::current_path(error);
  // NOTE: /proc/self/exe names the binary itself, with every link on the way
  // (bin/felidora -> ../lib/felidora/Felidora) already resolved.
  const std::filesystem::path executable = std::filesystem::canonical("/proc/self/exe", error);
  if (!error)
    enterFolderOf(executable);
  return started;
}

namespace {

// A file being written whose bytes are flushed to the disk before it is
// closed; closed without flushing when it is never finished.
class DiskFile {
public:
  explicit DiskFile(const std::filesystem::path& path)
      : fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {}
  ~DiskFile() {
    if (isOpen())
      ::close(fd);
  }
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;

  bool isOpen() const { return fd >= 0; }

  bool write(const char* data, std::size_t size) {
    while (size > 0) {
      const ssize_t written = ::write(fd, data, size);
      if (written < 0 && errno == EINTR)
        continue;
      if (written <= 0)
        return false;
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  bool finish() {
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    fd = -1;
    return synced && closed;
  }

private:
  int fd;
};

#ifndef __EMSCRIPTEN__
// The home folder: $HOME if it is an absolute path, else the user's entry.
std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/')
    return home;
  const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}
#endif

} // namespace

#ifdef __EMSCRIPTEN__

// the page's folder kept in the browser's IndexedDB (web/felidora-pre.js
// mounts it under this name and fills it before the game starts)
std::filesystem::path settingsFolder() { return "/felidora"; }

#else

std::filesystem::path settingsFolder() {
  // NOTE: the XDG rules ignore an empty or relative XDG_CONFIG_HOME.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/')
    return std::filesystem::path(config) / "felidora";
  const std::string home = homeFolder();
  if (home.empty())
    return {};
  return std::filesystem::path(home) / ".config" / "felidora";
}

#endif

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0)
    return false;
#ifdef __EMSCRIPTEN__
  // In the page the files live in memory: the change lasts once the folder
  // is copied out into the browser's IndexedDB, which happens after this
  // returns. A failure there can only be told on the console.
  EM_ASM({
    FS.syncfs(
        false, function(error) {
          if (error)
            err("Die Einstellungen konnten nicht im Browser gespeichert werden: " + error);
        });
  });
#else
  // The new name is on the disk once its folder is. The file is in place
  // either way; a folder that cannot be flushed changes nothing of that.
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : std::filesystem::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#endif
  return true;
}

#endif

bool writeFileToDisk(const std::filesystem::path& file, const std::string& bytes) {
  DiskFile out(file);
  return out.isOpen() && out.write(bytes.data(), bytes.size()) && out.finish();
}

bool copyFileToDisk(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in)
    return false;
  DiskFile out(to);
  if (!out.isOpen())
    return false;
  std::vector<char> piece(64 * 1024);
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const std::streamsize got = in.gcount();
    if (got > 0 && !out.write(piece.data(), static_cast<std::size_t>(got)))
      return false;
  }
  return !in.bad() && out.finish();
}

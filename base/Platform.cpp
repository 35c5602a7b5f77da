#include "base/Platform.h"

#include "base/ContentFiles.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
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

#else

void setUpProcess() {}

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
  if (!isatty(STDIN_FILENO))
    return;
  std::cout << "Druecken Sie die Eingabetaste . . ." << std::flush;
  std::string line;
  std::getline(std::cin, line);
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

#endif

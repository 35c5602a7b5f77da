#include "app/Platform.h"

#include "app/ContentFiles.h"

#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

void waitForKeyIfInteractive() {
  if (!isatty(STDIN_FILENO))
    return;
  std::cout << "Druecken Sie die Eingabetaste . . ." << std::flush;
  std::string line;
  std::getline(std::cin, line);
}

void enterExecutableFolder() {
  namespace fs = std::filesystem;
  std::error_code error;
  // NOTE: /proc/self/exe names the binary itself, with every link on the way
  // (bin/felidora -> ../lib/felidora/Felidora) already resolved.
  const fs::path executable = fs::canonical("/proc/self/exe", error);
  if (error)
    return;
  const fs::path folder = executable.parent_path();
  if (!fs::is_directory(folder / content::kShaderFolder, error))
    return;
  fs::current_path(folder, error);
}

#include "app/Platform.h"

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

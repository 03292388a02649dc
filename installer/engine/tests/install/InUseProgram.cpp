// Runs until it is killed, so the file it runs from is in use.
#include <unistd.h>

int main() {
  for (;;)
    ::pause();
}

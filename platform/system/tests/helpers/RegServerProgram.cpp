// Test program that registers itself: started with "/REGSERVER" or
// "/UNREGSERVER" it writes that switch to the file $QX_SELFREG_MARKER and
// exits with $QX_SELFREG_RESULT (0 when unset).
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 2 ||
      (std::strcmp(argv[1], "/REGSERVER") != 0 && std::strcmp(argv[1], "/UNREGSERVER") != 0))
    return 100;
  if (const char* marker = std::getenv("QX_SELFREG_MARKER")) {
    if (std::FILE* out = std::fopen(marker, "w")) {
      std::fputs(argv[1], out);
      std::fclose(out);
    }
  }
  const char* result = std::getenv("QX_SELFREG_RESULT");
  return result ? std::atoi(result) : 0;
}

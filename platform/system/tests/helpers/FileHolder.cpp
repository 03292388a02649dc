// Test program: keeps a file in use until its input closes, printing "ready"
// once it does. "run" uses only its own program file; "map <path>" maps the
// file and closes its descriptor; "open <path>" holds it open.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2)
    return 2;
  const bool map = std::strcmp(argv[1], "map") == 0;
  const bool open = std::strcmp(argv[1], "open") == 0;
  if ((map || open) && argc < 3)
    return 2;
  int fd = -1;
  if (map || open) {
    fd = ::open(argv[2], O_RDONLY);
    if (fd < 0)
      return 3;
  }
  if (map) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size == 0)
      return 4;
    if (::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0) == MAP_FAILED)
      return 5;
    ::close(fd);
  }
  std::puts("ready");
  std::fflush(stdout);
  char buffer[64];
  while (::read(0, buffer, sizeof buffer) > 0) {
  }
  return 0;
}

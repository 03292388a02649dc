// Test program: writes its working folder and then its arguments, one a
// line, to the file named by its first argument (through a temporary file
// and a rename, so a reader never sees half of it).
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2)
    return 2;
  const std::string marker = argv[1];
  const std::string temp = marker + ".tmp";
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) == nullptr)
    return 3;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << cwd << '\n';
    for (int i = 2; i < argc; ++i)
      out << argv[i] << '\n';
    if (!out.flush())
      return 4;
  }
  return std::rename(temp.c_str(), marker.c_str()) == 0 ? 0 : 5;
}

// A program that only carries a version block, for the version reader tests.
int main() { return 0; }

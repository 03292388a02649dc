// The product's uninstaller (UninstallMain.cpp).
#include "setup/uninstall/Uninstaller.h"

int main(int argc, char** argv) { return UninstallMain(argc, argv, nullptr); }

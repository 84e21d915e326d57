// main.cpp -- pixveil: encrypts files into two-colour bitmaps and back.
#include "driver.h"

int main(int argc, char **argv) {
  pixveil::Run(argc, argv);
}

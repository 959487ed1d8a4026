// to_cp1251 <in-utf8> <out-cp1251>: converts one course text for the trainer.
#include <iostream>

#include "tools/cp1251/Cp1251Text.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: to_cp1251 <in-utf8> <out-cp1251>\n";
    return 2;
  }
  try {
    ConvertFileToCp1251(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "to_cp1251: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

// Writes the viewer's sample documents: sample.pdf and links.pdf into the
// viewer's tree, and the sources of sample.djvu into a work folder.
#include <QGuiApplication>
#include <cstdio>
#include <exception>

#include "tools/sampledocs/SampleDjvu.h"
#include "tools/sampledocs/SamplePdf.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: sampledocs <viewer tree> <djvu work folder>\n");
    return 2;
  }
  try {
    const QString tree = QString::fromLocal8Bit(argv[1]), work = QString::fromLocal8Bit(argv[2]);
    WriteSamplePdf(tree + "/sample.pdf");
    WriteLinksPdf(tree + "/links.pdf");
    WriteDjvuSources(work);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "sampledocs: %s\n", error.what());
    return 1;
  }
  return 0;
}

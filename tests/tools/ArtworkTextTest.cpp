// The text in the pictures: every caption, title and letter is drawn in a face
// that the font packages of the Makefile's set-up hold, in a style those
// packages have, and its glyphs stay inside the box meant for it and inside
// the picture (a sheet's frame is a picture of its own here).
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Style.h"

namespace {

struct TFace {
  QString Family;
  bool Bold = false;
  bool Italic = false;
};

// The font packages among the Makefile's PACKAGES.
QStringList FontPackages() {
  QFile makefile(MAKEFILE_PATH);
  if (!makefile.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(makefile.readAll());
  const QRegularExpressionMatch packages =
      QRegularExpression(R"(^PACKAGES\s*=((?:[^\n]*\\\n)*[^\n]*))", QRegularExpression::MultilineOption)
          .match(text);
  QStringList fonts;
  for (const QString& word : QString(packages.captured(1)).remove('\\').split(QRegularExpression("\\s+")))
    if (word.startsWith("fonts-")) fonts << word;
  return fonts;
}

// The faces in the font files of those packages, as the files name them.
std::vector<TFace> InstalledFaces(const QStringList& packages) {
  QProcess dpkg;
  dpkg.start("dpkg", QStringList{"-L"} + packages);
  dpkg.waitForFinished();
  std::vector<TFace> faces;
  for (const QString& file : QString::fromUtf8(dpkg.readAllStandardOutput()).split('\n')) {
    if (!file.endsWith(".ttf") && !file.endsWith(".otf")) continue;
    const QRawFont raw(file, 12);
    if (raw.isValid())
      faces.push_back({raw.familyName(), raw.weight() >= QFont::DemiBold, raw.style() != QFont::StyleNormal});
  }
  return faces;
}

std::vector<TArtText> EveryPictureText() {
  std::vector<TArtText> texts;
  WatchArtText([&texts](const TArtText& text) { texts.push_back(text); });
  for (const TArtwork& art : AllArtwork()) art.Draw();
  WatchArtText(nullptr);
  return texts;
}

std::string Describe(const QRectF& r) {
  return "(" + std::to_string(r.left()) + ", " + std::to_string(r.top()) + ")-(" + std::to_string(r.right()) +
         ", " + std::to_string(r.bottom()) + ")";
}

std::string Describe(const TArtText& text) {
  return "\"" + text.Text.toStdString() + "\" in " + text.Font.family().toStdString() +
         (text.Font.bold() ? " bold" : "") + (text.Font.italic() ? " italic" : "") + ", ink " +
         Describe(text.Ink) + ", box " + Describe(text.Box);
}

}  // namespace

TEST(ArtworkText, EveryFaceComesFromTheInstalledFontPackages) {
  const QStringList packages = FontPackages();
  ASSERT_TRUE(packages.contains("fonts-dejavu-core")) << "the Makefile's PACKAGES were not read";
  const std::vector<TFace> installed = InstalledFaces(packages);
  ASSERT_FALSE(installed.empty()) << "no font files in " << packages.join(' ').toStdString();
  const std::vector<TArtText> texts = EveryPictureText();
  ASSERT_GE(texts.size(), 10u);
  for (const TArtText& text : texts) {
    const bool present = std::any_of(installed.begin(), installed.end(), [&text](const TFace& face) {
      return face.Family == text.Font.family() && face.Bold == text.Font.bold() &&
             face.Italic == text.Font.italic();
    });
    EXPECT_TRUE(present) << Describe(text) << ": no such face in " << packages.join(' ').toStdString();
    // The face is the one drawn with, not a stand-in the font system chose.
    EXPECT_EQ(QFontInfo(text.Font).family(), text.Font.family()) << Describe(text);
  }
}

TEST(ArtworkText, EveryTextFitsItsBoxAndItsPicture) {
  const std::vector<TArtText> texts = EveryPictureText();
  ASSERT_GE(texts.size(), 10u);
  for (const TArtText& text : texts) {
    ASSERT_FALSE(text.Ink.isEmpty()) << Describe(text);
    // An outline that reaches less than half a pixel further (an italic's tail)
    // paints no visible ink there.
    const auto holds = [&text](const QRectF& area) {
      return area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(text.Ink);
    };
    EXPECT_TRUE(holds(text.Box)) << Describe(text) << " leaves its box";
    EXPECT_TRUE(holds(QRectF(QPointF(0, 0), text.Picture))) << Describe(text) << " leaves its picture";
  }
}

TEST(ArtworkText, TheLevelCaptionsAreAmongTheTexts) {
  // Both levels' captions are drawn through the checked path, once per state.
  const std::vector<TArtText> texts = EveryPictureText();
  for (const char* caption : {"Лёгкий", "Сложный"})
    EXPECT_EQ(
        std::count_if(texts.begin(), texts.end(),
                      [caption](const TArtText& text) { return text.Text == QString::fromUtf8(caption); }),
        4)
        << caption;
}

// IMAGEM as scripts, headless (where a picture that loads counts as shown):
// which files load, the '&' that lets a run go on without the picture, the
// coordinates, and the temporary bitmap of a JPEG that is never left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "0_base/bmp_image.h"
#include "1_platform/paths.h"
#include "tests/support/picture_files.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

class PictureCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(sandbox_.drives() + "/c/fig.bmp", EncodeBmp(SolidPicture(3, 2, 1, 2, 3)));
    WriteFileBytes(sandbox_.drives() + "/c/foto.JPG", EncodeJpeg(SolidPicture(8, 8, 200, 0, 0)));
    WriteFileBytes(sandbox_.drives() + "/c/falsa.jpg", "not a jpeg");
    WriteFileBytes(sandbox_.drives() + "/c/texto.bmp", "BM but nothing else");
  }
  int Fails(const std::string& script) { return RunScriptText(script, "\r").outcome; }
  TalvenSandbox sandbox_;
};

TEST_F(PictureCommands, BitmapsAndJpegsShowAndTheTemporaryBitmapGoes) {
  EXPECT_EQ(Fails("imagem \"c:\\fig.bmp\"\nimagem \"c:\\fig.bmp\" 10 20\nimagem\n"), 0);
  EXPECT_EQ(Fails("imagem \"c:\\foto.jpg\" 5 5\n"), 0);
  EXPECT_FALSE(HostExists(HostPath("c:\\$$$.bmp")));
  // An older file of that name is replaced and then removed too.
  WriteFileBytes(sandbox_.drives() + "/c/$$$.bmp", "old");
  EXPECT_EQ(Fails("imagem \"c:\\foto.jpg\"\n"), 0);
  EXPECT_FALSE(HostExists(HostPath("c:\\$$$.bmp")));
}

#ifndef _WIN32  // making symbolic links takes a privilege there
// A link planted at the temporary bitmap's name is replaced, not written
// through: the file it points to keeps its bytes.
TEST_F(PictureCommands, TheTemporaryBitmapNeverWritesThroughALink) {
  TempFolder outside;
  std::string victim = outside / "precioso.txt";
  WriteFileBytes(victim, "dados do utilizador");
  std::string link = sandbox_.drives() + "/c/$$$.bmp";
  std::filesystem::create_symlink(victim, link);
  EXPECT_EQ(Fails("imagem \"c:\\foto.jpg\"\n"), 0);
  EXPECT_EQ(ReadFileBytes(victim), "dados do utilizador");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  // A link to nowhere is no way to make a file elsewhere either.
  std::string planted = outside / "novo.bmp";
  std::filesystem::create_symlink(planted, link);
  EXPECT_EQ(Fails("imagem \"c:\\foto.jpg\"\n"), 0);
  EXPECT_FALSE(std::filesystem::exists(planted));
}
#endif

TEST_F(PictureCommands, APictureThatCannotBeShownFailsUnlessAmpersandSaysGoOn) {
  EXPECT_EQ(Fails("imagem \"c:\\texto.bmp\"\n"), 1);
  EXPECT_EQ(Fails("imagem \"c:\\falsa.jpg\"\n"), 1);
  EXPECT_EQ(Fails("imagem \"c:\\nada.bmp\"\n"), 1);
  EXPECT_EQ(Fails("imagem \"c:\\\"\n"), 1);  // a folder
  EXPECT_EQ(Fails("imagem \"c:\\texto.bmp\" &\nimagem \"c:\\nada.jpg\" 3 4 &\n"), 0);
  EXPECT_FALSE(HostExists(HostPath("c:\\$$$.bmp")));
  // An empty name only removes the picture.
  EXPECT_EQ(Fails("imagem \"\"\n"), 0);
}

TEST_F(PictureCommands, CoordinatesMustBeTwoNumbersWithNothingAfter) {
  EXPECT_EQ(Fails("imagem \"c:\\fig.bmp\" 10\n"), 1);
  EXPECT_EQ(Fails("imagem \"c:\\fig.bmp\" dez 20\n"), 1);
  EXPECT_EQ(Fails("imagem \"c:\\fig.bmp\" 10 20 30\n"), 1);
  EXPECT_EQ(Fails("seja x 7\nimagem \"c:\\fig.bmp\" x x\n"), 0);
}

}  // namespace
}  // namespace kal::test

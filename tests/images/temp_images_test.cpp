// The temporary image registry: location, names, modes, limit and clean-up.
#include "link/images/temp_images.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "image_test.h"

namespace {

using quorlink::CreateTempImage;
using quorlink::DeleteTempImages;
using quorlink::TempImageCount;

class TempImagesTest : public images_test::ImageTest {};

TEST_F(TempImagesTest, The21stIsRefusedUntilCleanUpAndFilesArePrivateTmpFiles) {
    for (int i = 0; i < 20; ++i) ASSERT_NE(CreateTempImage(), nullptr) << i;
    EXPECT_EQ(CreateTempImage(), nullptr);
    EXPECT_EQ(TempImageCount(), 20);
    EXPECT_EQ(leftoverTempFiles().size(), 20u);
    DeleteTempImages();
    EXPECT_EQ(TempImageCount(), 0);
    EXPECT_TRUE(leftoverTempFiles().empty());
    std::FILE* file = CreateTempImage();  // possible again after the clean-up
    ASSERT_NE(file, nullptr);
    const auto names = leftoverTempFiles();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("tmp")) << names[0];
    struct stat status {};
    ASSERT_EQ(stat((dir / names[0]).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(std::fwrite("image", 1, 5, file), 5u);
    std::rewind(file);
    char back[5] = {};
    ASSERT_EQ(std::fread(back, 1, 5, file), 5u);
    EXPECT_EQ(std::string(back, 5), "image");
}

TEST_F(TempImagesTest, NoImageWhenTheNameWouldExceed512Characters) {
    std::filesystem::path deep = dir;
    for (int i = 0; i < 3; ++i) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    setenv("TMPDIR", deep.c_str(), 1);
    EXPECT_EQ(CreateTempImage(), nullptr);
    EXPECT_EQ(TempImageCount(), 0);
}

}  // namespace

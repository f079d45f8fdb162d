#include "app/GameManager.h"

#include <OgreConfigFile.h>
#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(ResourcesCfg, WalksSectionsByNameAndSettingsByKeyKeepingFileOrderForEqualKeys)
{
    const char* path = "walk_order_resources.cfg";
    {
        std::ofstream out(path);
        out << "# comment\n"
               "[Popular]\n"
               "Zip=./packs/b.zip\n"
               "FileSystem=./media/one\n"
               "FileSystem\t./media/two\n"
               "[Essential]\n"
               "FileSystem:./essential\n"
               "[General]\n"
               "FileSystem = ./general \n";
    }
    Ogre::ConfigFile file;
    file.load(path, "\t:=", true);
    const std::vector<ResourceLocation> expected = {
        {"Essential", "FileSystem", "./essential"},
        {"General", "FileSystem", "./general"},
        {"Popular", "FileSystem", "./media/one"},
        {"Popular", "FileSystem", "./media/two"},
        {"Popular", "Zip", "./packs/b.zip"},
    };
    EXPECT_EQ(resourceLocations(file), expected);
}

TEST(ResourcesCfg, ShippedListNamesExistingFolders)
{
    Ogre::ConfigFile file;
    file.load(TESS_SOURCE_DIR "/config/resources.cfg", "\t:=", true);
    auto locations = resourceLocations(file);
    ASSERT_FALSE(locations.empty());
    for (const auto& l : locations)
        EXPECT_EQ(l.type, "FileSystem");
}

} // namespace

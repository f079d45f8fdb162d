// Renders a figure in a real window (under Xvfb in CI) to see the shared
// materials light as they should: a ship-coloured cube lit from the camera
// shows its scheme colour, goes dark without light, and follows a scheme
// change. Skipped without a display.
#include "app/NodePool.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "platform/clock.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const char* const PLUGINS = "/usr/lib/x86_64-linux-gnu/OGRE";

class Cube : public Model {
public:
    Cube(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root)
    {
        static const FigureHeader header{FIGURE_TEST1, "litcube", 5, 0, nullptr};
        beginFigure(header, sceneManager, root, 0);
        addPart(SHAPE_CUBE, "CUBE0", 0);
        setScale(2, 2, 2);
    }
};

struct Pixel {
    int r, g, b;
};

Pixel centrePixel(Ogre::RenderWindow* window)
{
    unsigned w = window->getWidth(), h = window->getHeight();
    std::vector<unsigned char> data(w * h * 3);
    Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, data.data());
    window->copyContentsToMemory(box, box);
    const unsigned char* p = &data[((h / 2) * w + w / 2) * 3];
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(ModelWindow, MaterialsLightAsExpected)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    auto* logs = new Ogre::LogManager();
    logs->createLog("model-window.log", true, false, true);
    auto* root = new Ogre::Root("", "", "");
    root->loadPlugin(std::string(PLUGINS) + "/RenderSystem_GL");
    root->loadPlugin(std::string(PLUGINS) + "/Codec_STBI");
    Ogre::RenderSystem* rs = root->getRenderSystemByName("OpenGL Rendering Subsystem");
    ASSERT_TRUE(rs);
    root->setRenderSystem(rs);
    root->initialise(false);
    Ogre::RenderWindow* window = root->createRenderWindow("model window test", 320, 240, false);

    Ogre::SceneManager* scene = root->createSceneManager();
    scene->setAmbientLight(Ogre::ColourValue(0.2f, 0.2f, 0.2f));
    Ogre::Camera* camera = scene->createCamera("camera");
    camera->setNearClipDistance(0.1f);
    Ogre::SceneNode* eye = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 10));
    eye->attachObject(camera);
    Ogre::Viewport* viewport = window->addViewport(camera);
    viewport->setBackgroundColour(Ogre::ColourValue::Black);
    camera->setAspectRatio(320.0f / 240.0f);
    Ogre::Light* light = scene->createLight("light");
    light->setType(Ogre::Light::LT_DIRECTIONAL);
    light->setDiffuseColour(1, 1, 1);
    Ogre::SceneNode* lamp = scene->getRootSceneNode()->createChildSceneNode();
    lamp->attachObject(light);
    lamp->setDirection(0, 0, -1, Ogre::Node::TS_WORLD);

    plat::ManualClock clock(50000);
    schemeIndex = 3;
    {
        NodePool pool(scene);
        auto* manager = new ModelManager(scene);
        Model* cube = new Cube(scene, pool.take());

        root->renderOneFrame();
        Pixel lit = centrePixel(window);
        window->writeContentsToFile("model_window_lit.png");
        // shipColor1 of scheme 3 is (0.225, 0.631, 0.85): blue over green
        // over red, in about those proportions, and clearly lit.
        EXPECT_GT(lit.b, 80);
        EXPECT_GT(lit.b, lit.g);
        EXPECT_GT(lit.g, lit.r);
        EXPECT_NEAR(double(lit.r) / lit.b, 0.225 / 0.85, 0.1);
        EXPECT_NEAR(double(lit.g) / lit.b, 0.631 / 0.85, 0.1);

        // Without the light only the tiny ship ambient is left.
        light->setVisible(false);
        root->renderOneFrame();
        Pixel dark = centrePixel(window);
        EXPECT_LT(dark.r + dark.g + dark.b, 15);
        light->setVisible(true);

        // A scheme change reaches the window: scheme 4's shipColor1 is red.
        manager->cycleScheme();
        clock.advance(1500);
        manager->updateFade();
        root->renderOneFrame();
        Pixel changed = centrePixel(window);
        window->writeContentsToFile("model_window_scheme4.png");
        EXPECT_GT(changed.r, 80);
        EXPECT_GT(changed.r, 2 * changed.g);

        delete cube;
        delete manager;
    }
    delete root;
    delete logs;
}

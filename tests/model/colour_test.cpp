// The scheme table, the shared materials, scheme changes and fades, the
// "random1" pulse, and the damage flashes, on a manual clock.
#include "tests/model/ogre_fixture.h"
#include "tests/model/test_figures.h"

#include <OgrePass.h>
#include <OgreTechnique.h>

namespace {

using C = Ogre::ColourValue;

Ogre::Pass* pass(const Ogre::MaterialPtr& m) { return m->getTechnique(0)->getPass(0); }
Ogre::MaterialPtr material(const char* name)
{
    return Ogre::MaterialManager::getSingleton().getByName(name, MATERIAL_GROUP);
}
void expectColour(const Ogre::ColourValue& actual, const Ogre::ColourValue& expected,
                  float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.a, expected.a, tolerance);
}

class ColourTest : public OgreTest {
protected:
    void TearDown() override
    {
        for (Model* m : figures)
            delete m;
        delete manager;
        OgreTest::TearDown();
    }
    Model* figure(int paletteKind = 0)
    {
        static const FigureHeader ship{FIGURE_TEST1, "flasher", 5, 0, nullptr};
        FigureHeader header = ship;
        header.paletteKind = paletteKind;
        figures.push_back(new ScriptFigure(header, scene, pool->take(), int(figures.size()), [](Model& f) {
            f.addPart(SHAPE_CUBE, "CUBE0", 0);
            f.addPart(SHAPE_SPHERE, "SPHERE0", 1);
        }));
        return figures.back();
    }
    ModelManager* manager = nullptr;
    std::vector<Model*> figures;
};

} // namespace

TEST_F(ColourTest, TheFirstManagerMakesTheMaterialsInScheme3)
{
    manager = new ModelManager(scene);
    EXPECT_EQ(manager->currentScheme, 3);
    EXPECT_EQ(manager->targetScheme, 3);
    expectColour(colourSchemes[0][0], C(1, 0.411f, 0.629f, 1));
    expectColour(colourSchemes[4][9], C(0.95f, 0, 0.2f, 1));
    expectColour(colourSchemes[7][11], C(0.085f, 0.275f, 1, 1));
    expectColour(manager->palette[0], C(0.225f, 0.631f, 0.85f, 1));

    struct Case {
        int slot;
        float ambientFactor;
    };
    for (Case c : {Case{0, 0.001f}, Case{4, 0.001f}, Case{5, 0.2f}, Case{8, 0.2f}, Case{9, 0.6f},
                   Case{11, 0.6f}}) {
        Ogre::Pass* p = pass(manager->materials[c.slot]);
        const Ogre::ColourValue& colour = colourSchemes[3][c.slot];
        EXPECT_EQ(manager->materials[c.slot]->getName(), COLOUR_MATERIAL_NAMES[c.slot]);
        EXPECT_EQ(manager->materials[c.slot]->getGroup(), MATERIAL_GROUP);
        expectColour(p->getDiffuse(), colour);
        expectColour(p->getAmbient(), colour * c.ambientFactor);
        expectColour(p->getSpecular(), colour * 0.01f);
    }
    EXPECT_TRUE(pass(material("green"))->getLightingEnabled());
    Ogre::Pass* random = pass(material("random1"));
    EXPECT_FLOAT_EQ(random->getDiffuse().a, 0.9f);
    EXPECT_TRUE(random->isTransparent());
    EXPECT_TRUE(Ogre::MeshManager::getSingleton().resourceExists("cube.mesh", MESH_GROUP));
}

TEST_F(ColourTest, ColourIndicesByPaletteKind)
{
    manager = new ModelManager(scene);
    struct Case {
        int index, kind;
        const char* name;
    };
    const Case cases[] = {
        {0, 0, "shipColor1"},    {4, 0, "shipColor5"},    {9, 0, "shipColor1"},
        {3, 1, "environColor4"}, {-1, 1, "environColor1"}, {2, 2, "bulletColor3"},
        {3, 2, "bulletColor1"},  {4, 2, "bulletColor1"},   {0, 7, "random1"},
        {3, -1, "random1"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(colourMaterialName(c.index, c.kind), c.name);
        EXPECT_EQ(getColourMaterial(c.index, c.kind)->getName(), c.name);
    }
    EXPECT_FALSE(getColourMaterial(4, 1)); // "environColor5" does not exist
    expectColour(lerpColour(0.25, C(0, 0, 0, 1), C(1, 1, 1, 1)), C(0.25f, 0.25f, 0.25f, 1));
}

TEST_F(ColourTest, SchemeChangesAndFades)
{
    schemeIndex = 7;
    manager = new ModelManager(scene);
    manager->cycleScheme();
    EXPECT_EQ(manager->targetScheme, 0);
    EXPECT_EQ(schemeIndex, 0);
    EXPECT_EQ(manager->environmentVariant, 1);
    EXPECT_FALSE(manager->fading);
    manager->cycleScheme(); // a second change in the same frame moves on again
    EXPECT_EQ(manager->targetScheme, 1);

    clock.advance(250);
    manager->updateFade();
    EXPECT_TRUE(manager->fading);
    for (int k : {0, 6, 11}) {
        Ogre::ColourValue expected = lerpColour(0.25, colourSchemes[7][k], colourSchemes[1][k]);
        expectColour(manager->palette[k], expected);
        expectColour(pass(manager->materials[k])->getDiffuse(), expected);
    }
    manager->cycleScheme(); // lost while a fade is shown
    EXPECT_EQ(manager->targetScheme, 1);
    EXPECT_EQ(manager->environmentVariant, 2);

    clock.advance(750);
    manager->updateFade(); // elapsed 1000: still blending, at t = 1
    EXPECT_TRUE(manager->fading);
    expectColour(pass(manager->materials[2])->getDiffuse(), colourSchemes[1][2]);
    clock.advance(1);
    manager->updateFade();
    EXPECT_FALSE(manager->fading);
    EXPECT_EQ(manager->currentScheme, 1);
    expectColour(manager->palette[5], colourSchemes[1][5], 0);

    manager->cycleScheme(false);
    EXPECT_EQ(manager->targetScheme, 0);
    manager->cycleScheme(false);
    EXPECT_EQ(manager->targetScheme, 7);
}

TEST_F(ColourTest, AFadeFirstUpdatedLateStillLandsOnItsTarget)
{
    manager = new ModelManager(scene);
    manager->cycleScheme();
    clock.advance(1500);
    manager->updateFade();
    EXPECT_FALSE(manager->fading);
    EXPECT_EQ(manager->currentScheme, 4);
    expectColour(manager->palette[0], colourSchemes[4][0]);
    expectColour(pass(manager->materials[0])->getDiffuse(), colourSchemes[4][0]);
    expectColour(pass(manager->materials[9])->getAmbient(), colourSchemes[4][9] * 0.6f);
    // The next change fades from there.
    manager->cycleScheme();
    clock.advance(500);
    manager->updateFade();
    expectColour(manager->palette[3], lerpColour(0.5, colourSchemes[4][3], colourSchemes[5][3]));
}

TEST_F(ColourTest, LaterManagersFetchTheMaterialsAndKeepTheirColours)
{
    manager = new ModelManager(scene);
    manager->cycleScheme();
    clock.advance(500);
    manager->updateFade();
    Ogre::ColourValue shown = pass(manager->materials[0])->getDiffuse();
    Ogre::MaterialPtr ship1 = manager->materials[0];
    Ogre::MeshPtr cube = Ogre::MeshManager::getSingleton().getByName("cube.mesh", MESH_GROUP);
    delete manager;
    manager = nullptr;

    schemeIndex = 42; // out of range: replaced by 0
    ModelManager* later = nullptr;
    ASSERT_NO_THROW(later = new ModelManager(scene));
    EXPECT_EQ(later->materials[0], ship1);
    expectColour(pass(later->materials[0])->getDiffuse(), shown);
    EXPECT_EQ(later->currentScheme, 0);
    EXPECT_EQ(schemeIndex, 0);
    expectColour(later->palette[0], colourSchemes[0][0]);
    EXPECT_EQ(Ogre::MeshManager::getSingleton().getByName("cube.mesh", MESH_GROUP), cube);
    EXPECT_EQ(later->damageMaterials.size(), std::size_t(DAMAGE_MATERIALS_FETCHED));
    delete later;
}

TEST_F(ColourTest, TheRandomPulseKeepsItsColourForASecondAndTurns)
{
    manager = new ModelManager(scene);
    Ogre::Pass* random = pass(material("random1"));
    clock.setTime(1000);
    manager->pulseRandomMaterial();
    Ogre::ColourValue first = random->getAmbient();
    EXPECT_FLOAT_EQ(random->getDiffuse().a, 1.0f);
    EXPECT_FLOAT_EQ(manager->pulseAlpha, 0.99f);
    manager->pulseRandomMaterial();
    EXPECT_EQ(random->getAmbient(), first);
    EXPECT_NEAR(random->getDiffuse().a, 0.99f, 1e-6);
    int calls = 2;
    while (!manager->pulseRising && calls < 1000) {
        manager->pulseRandomMaterial();
        ++calls;
    }
    EXPECT_FLOAT_EQ(manager->pulseAlpha, PULSE_LOW_ALPHA);
    EXPECT_NEAR(calls, (1.0f - PULSE_LOW_ALPHA) / 0.01f, 2);
    manager->pulseRandomMaterial();
    EXPECT_NEAR(manager->pulseAlpha, PULSE_LOW_ALPHA + 0.01f, 1e-5);
    clock.setTime(1001);
    manager->pulseRandomMaterial();
    clock.setTime(1000);
    manager->pulseRandomMaterial();
    EXPECT_EQ(random->getAmbient(), first);
}

TEST_F(ColourTest, AFlashRisesFallsAndGivesTheMaterialsBack)
{
    manager = new ModelManager(scene);
    EXPECT_EQ(manager->damageMaterials.size(), std::size_t(DAMAGE_MATERIAL_COUNT));
    Model* m = figure();
    Ogre::MaterialPtr own = m->getMaterial();
    Ogre::ColourValue base = pass(own)->getAmbient();
    int start = int(plat::clock());
    manager->startDamageFlash(m, start);
    ASSERT_TRUE(m->flashing);
    Ogre::MaterialPtr lent = m->getMaterial();
    EXPECT_EQ(lent->getName().rfind("damage", 0), 0u);
    EXPECT_EQ(m->parts[1]->getMaterial(), lent);
    EXPECT_EQ(manager->damageMaterials.size(), std::size_t(DAMAGE_MATERIAL_COUNT - 1));
    expectColour(m->flashColour, manager->palette[9] * 1.25f);
    EXPECT_FLOAT_EQ(m->flashColour.a, 1.25f);
    expectColour(m->baseAmbient, base);

    struct Step {
        int elapsed;
        Ogre::ColourValue colour;
    };
    const Step steps[] = {
        {250, lerpColour(0.5, base, m->flashColour)},
        {500, m->flashColour},
        {750, lerpColour(0.5, m->flashColour, base)},
        {1000, base},
    };
    for (const Step& s : steps) {
        clock.set(start + s.elapsed);
        manager->updateDamageFlashes();
        expectColour(pass(lent)->getAmbient(), s.colour);
        expectColour(pass(lent)->getDiffuse(), s.colour);
        EXPECT_TRUE(m->flashing);
    }
    // A second hit during the flash does not restart it or list it twice.
    manager->startDamageFlash(m, start + 900);
    EXPECT_EQ(m->flashStartMs, float(start));
    EXPECT_EQ(manager->flashingModels.size(), 1u);

    clock.set(start + 1001);
    manager->updateDamageFlashes();
    EXPECT_FALSE(m->flashing);
    EXPECT_EQ(m->getMaterial(), own);
    EXPECT_EQ(m->parts[1]->getMaterial()->getName(), "shipColor2");
    EXPECT_TRUE(manager->flashingModels.empty());
    EXPECT_EQ(manager->damageMaterials.size(), std::size_t(DAMAGE_MATERIAL_COUNT));

    manager->startDamageFlash(m, start + 2000);
    EXPECT_TRUE(m->flashing);
    EXPECT_EQ(manager->flashingModels.size(), 1u);
}

TEST_F(ColourTest, AFigureDeletedDuringItsFlashIsForgotten)
{
    manager = new ModelManager(scene);
    Model* m = figure();
    Model* other = figure();
    manager->startDamageFlash(m, int(plat::clock()));
    manager->startDamageFlash(other, int(plat::clock()));
    EXPECT_EQ(manager->flashingModels.size(), 2u);
    figures.erase(figures.begin());
    delete m;
    EXPECT_EQ(manager->flashingModels, std::list<Model*>{other});
    EXPECT_EQ(manager->damageMaterials.size(), std::size_t(DAMAGE_MATERIAL_COUNT - 1));
    clock.advance(200);
    manager->updateDamageFlashes();
    clock.advance(1000);
    manager->updateDamageFlashes();
    EXPECT_TRUE(manager->flashingModels.empty());

    // A manager that goes first lets go of the figures it still lists.
    manager->startDamageFlash(other, int(plat::clock()));
    delete manager;
    manager = nullptr;
    EXPECT_EQ(other->flashManager, nullptr);
}

TEST_F(ColourTest, TheDamagePoolRefillsWithTheFirstFive)
{
    manager = new ModelManager(scene);
    std::vector<Ogre::MaterialPtr> taken;
    for (int i = 0; i < DAMAGE_MATERIAL_COUNT; ++i)
        taken.push_back(manager->takeDamageMaterial());
    EXPECT_EQ(taken.front()->getName(), "damage49");
    EXPECT_EQ(taken.back()->getName(), "damage0");
    EXPECT_EQ(manager->takeDamageMaterial()->getName(), "damage4");
    EXPECT_EQ(manager->damageMaterials.size(), 4u);
}

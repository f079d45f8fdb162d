#include "model/ModelManager.h"

#include "app/NodePool.h"
#include "model/FigureBatch.h"
#include "model/Model.h"
#include "model/Shape.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/simulationObject.h"

#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <string>

namespace {

const FigureTable* activeTable = nullptr;
ShooterLookup shooterLookup = nullptr;
int liveManagerCount = 0;

// The eight schemes, r g b per slot (alpha 1), in slot order.
const float SCHEME_DATA[SCHEME_COUNT][COLOUR_SLOTS][3] = {
    {{1, 0.411f, 0.629f}, {0.679f, 0.429f, 0.879f}, {0.704f, 0.562f, 1}, {0.533f, 0.24f, 0.475f},
     {0.08f, 0.152f, 0.11f}, {0.477f, 0.27f, 0.408f}, {0.083f, 0.137f, 0.275f},
     {0, 0.157f, 0.408f}, {0.226f, 0, 0.232f}, {0.4f, 1, 0.05f}, {0.3f, 0.721f, 0.617f},
     {0.2f, 0.4f, 1}},
    {{1, 0.3f, 0.2f}, {0.2f, 0.12f, 0.6f}, {0.45f, 0.528f, 0.9f}, {0.9f, 0.18f, 0},
     {0.503f, 0.054f, 0.078f}, {0.6f, 0.2f, 0.1f}, {0.075f, 0.15f, 0.25f},
     {0.575f, 0.25f, 0.25f}, {0.2f, 0.1f, 0.125f}, {0.7f, 0.55f, 1}, {0.1f, 0.45f, 0.15f},
     {1, 0.725f, 0}},
    {{0.339f, 0.7f, 0.307f}, {0.401f, 0.766f, 0.9f}, {0.812f, 0.849f, 0.1f},
     {0.634f, 0.862f, 0.175f}, {0.157f, 0.049f, 0.04f}, {0.409f, 0.6f, 0.455f},
     {0.21f, 0.074f, 0.014f}, {0.351f, 0.374f, 0.41f}, {0.101f, 0.174f, 0.06f},
     {1, 0.319f, 0.5f}, {0.2f, 0.287f, 0.319f}, {1, 0.9f, 0}},
    {{0.225f, 0.631f, 0.85f}, {0.9f, 0.35f, 0.9f}, {0.55f, 0.469f, 0.95f}, {0.359f, 0.45f, 0.25f},
     {0.161f, 0.065f, 0.05f}, {0.378f, 0.5f, 0.5f}, {0.233f, 0.05f, 0.233f},
     {0.56f, 0.51f, 0.615f}, {0.06f, 0.16f, 0.265f}, {1, 0.65f, 0.1f}, {1, 0.786f, 0.188f},
     {0.4f, 0.125f, 1}},
    {{0.786f, 0.219f, 0.2f}, {0.336f, 0.357f, 0.129f}, {0.558f, 0.276f, 0.198f},
     {0.286f, 0.525f, 0}, {0.132f, 0.132f, 0.245f}, {0.486f, 0.252f, 0.166f},
     {0.058f, 0.179f, 0.051f}, {0.463f, 0.207f, 0.184f}, {0.188f, 0.157f, 0.134f},
     {0.95f, 0, 0.2f}, {0.582f, 0.2f, 0.976f}, {0.2f, 0.45f, 1}},
    {{0.2f, 0.45f, 0.6f}, {0.6f, 0.3f, 0.45f}, {0.3f, 0.212f, 0.55f}, {0.4f, 0.15f, 0.3f},
     {0.183f, 0.087f, 0.125f}, {0.3f, 0.325f, 0.425f}, {0.2f, 0.089f, 0.058f},
     {0.3f, 0.3f, 0.35f}, {0.05f, 0.088f, 0.19f}, {0.5f, 0.05f, 0.05f}, {0.5f, 0.121f, 0.317f},
     {0.85f, 0.45f, 0}},
    {{0.8f, 0.7f, 0.25f}, {0.6f, 0, 0.25f}, {0.554f, 0.162f, 0.062f}, {0, 0.3f, 0.2f},
     {0.133f, 0.197f, 0.3f}, {0.402f, 0.17f, 0.708f}, {0.233f, 0.05f, 0.05f},
     {0.3f, 0.208f, 0.507f}, {0.226f, 0.05f, 0.168f}, {1, 0.258f, 0}, {0.5f, 0.317f, 0.121f},
     {0, 0.9f, 0.239f}},
    {{0.225f, 0.731f, 1}, {0.7f, 0.5f, 0.85f}, {0.75f, 0.619f, 1}, {0.45f, 0.6f, 1},
     {0.461f, 0.115f, 0.3f}, {0.628f, 0.69f, 1}, {0.083f, 0.15f, 0.233f}, {0.46f, 0.46f, 0.665f},
     {0.01f, 0.14f, 0.23f}, {1, 0.25f, 0}, {1, 0.786f, 0.188f}, {0.085f, 0.275f, 1}},
};

Ogre::Pass* firstPass(const Ogre::MaterialPtr& m)
{
    return m ? m->getTechnique(0)->getPass(0) : nullptr;
}

float clockMs() { return float(plat::clock()); }

} // namespace

void ModelManager::useFigureTable(const FigureTable* table) { activeTable = table; }

const FigureTable& ModelManager::figureTable()
{
    // Until a table is installed every type code makes no figure.
    static const FigureTable none = {nullptr, 0, nullptr, 0, {1, 1, 1}};
    return activeTable ? *activeTable : none;
}

void ModelManager::setShooterLookup(ShooterLookup lookup) { shooterLookup = lookup; }

int ModelManager::liveManagers() { return liveManagerCount; }

ModelManager::ModelManager(Ogre::SceneManager* manager) : sceneManager(manager)
{
    environmentVariant = 0;
    modelCount = 0;
    std::fill(std::begin(instanceCounter), std::end(instanceCounter), 0);
    pulseAlpha = 1.0f;
    pulseRising = false;
    createMaterials();

    ensureMeshGroup();
    if (!Ogre::MeshManager::getSingleton().resourceExists("cube.mesh", MESH_GROUP)) {
        Shape cube;
        cube.makeCube();
        cube.buildNamedMesh("cube.mesh");
    }

    fadeStartMs = clockMs();
    fading = false;
    int s = schemeIndex;
    if (s < 0 || s >= SCHEME_COUNT) {
        s = 0;
        schemeIndex = s;
    }
    currentScheme = targetScheme = s;
    loadScheme();
    collectDamageMaterials();
    ++liveManagerCount;
}

ModelManager::~ModelManager()
{
    --liveManagerCount;
    // The shape cache is shared by every manager's figures: the end screen's
    // manager goes while the play screen's figures still use the records.
    // The last manager to go empties it, and gives the engine's meshes of it
    // back: no figure is left to draw them, and kept, the names that never
    // come again (the asteroids' own meshes) would pile up game after game.
    if (liveManagerCount == 0) {
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        for (auto& entry : shapeCacheMap) {
            meshes.remove(entry.second->meshName, MESH_GROUP);
            entry.second->destroy();
        }
        shapeCacheMap.clear();
        ++shapeCacheEra;
    }
    // The batch buffers that the screen's deleted figures left go with the
    // screen, so that the memory stays the same from game to game.
    FigureBatch::releasePool();
    for (Model* model : flashingModels)
        if (model) {
            model->flashManager = nullptr;
            model->damageMaterial.reset();
        }
    flashingModels.clear();
    while (!damageMaterials.empty())
        damageMaterials.pop_back();
    for (int k = COLOUR_SLOTS - 1; k >= 0; --k)
        materials[k].reset();
    randomMaterial.reset();
}

// ---------------------------------------------------------------- factory

Model* ModelManager::createModel(int typeCode, const Ogre::Vector3& position,
                                 const Ogre::Vector3& angles, const Ogre::Vector3& scale,
                                 const simulationObject* owner)
{
    int startMs = int(plat::clock());
    const FigureTable& table = figureTable();
    FigureBuilder build = nullptr;
    int startAnimation = NO_ANIMATION;
    Ogre::Vector3 rootScale(1, 1, 1);
    if (typeCode == SCENERY_TYPE) {
        if (environmentVariant >= 0 && environmentVariant < table.sceneryCount) {
            build = table.scenery[environmentVariant].build;
            startAnimation = table.scenery[environmentVariant].startAnimation;
            rootScale = table.sceneryScale;
        }
    } else {
        for (int i = 0; i < table.typeCount; ++i)
            if (table.types[i].typeCode == typeCode) {
                build = table.types[i].build;
                startAnimation = table.types[i].startAnimation;
                rootScale = table.types[i].scale;
                break;
            }
    }
    if (!build || !nodePool)
        return nullptr;

    Ogre::SceneNode* root = nodePool->take();
    Model* model = build(sceneManager, root, modelCount);
    if (startAnimation != NO_ANIMATION)
        model->startAnimation(startAnimation, true, startMs);
    root->setScale(rootScale);
    ++modelCount;

    if (typeCode == BULLET_TYPE) {
        const int shooter = owner && shooterLookup ? shooterLookup(owner) : 0;
        int slot = SLOT_BULLET3;
        Ogre::Vector3 stretch(1.5f, 3, 1.5f);
        if (shooter == TENTACLE_TYPE) {
            stretch = Ogre::Vector3(1, 1, 1);
        } else if (shooter == PLAYER_TYPE) {
            slot = SLOT_BULLET1;
            stretch = Ogre::Vector3(1.25f, 2.5f, 1.25f);
        }
        if (Shape* part = model->currentPart())
            part->setMaterial(materials[slot]);
        root->setScale(scale * stretch);
    }

    root->setPosition(position.x, position.z, position.y);
    root->resetOrientation();
    root->roll(Ogre::Radian(-angles.y * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
    root->pitch(Ogre::Radian(-angles.x * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
    root->yaw(Ogre::Radian(-angles.z * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
    return model;
}

// ---------------------------------------------------------------- colours

void ModelManager::fillSchemes()
{
    for (int s = 0; s < SCHEME_COUNT; ++s)
        for (int k = 0; k < COLOUR_SLOTS; ++k) {
            const float* c = SCHEME_DATA[s][k];
            colourSchemes[s][k] = Ogre::ColourValue(c[0], c[1], c[2], 1.0f);
        }
}

void ModelManager::createMaterials()
{
    if (schemeIndex < 0 || schemeIndex >= SCHEME_COUNT)
        schemeIndex = 0;
    currentScheme = targetScheme = schemeIndex;
    fillSchemes();
    auto& manager = Ogre::MaterialManager::getSingleton();
    if (!manager.resourceExists(COLOUR_MATERIAL_NAMES[0], MATERIAL_GROUP)) {
        for (int k = 0; k < COLOUR_SLOTS; ++k) {
            materials[k] = manager.create(COLOUR_MATERIAL_NAMES[k], MATERIAL_GROUP);
            const Ogre::ColourValue& c = colourSchemes[targetScheme][k];
            Ogre::Pass* pass = firstPass(materials[k]);
            pass->setAmbient(c * familyAmbientFactor(k));
            pass->setDiffuse(c);
            pass->setSpecular(c * 0.01f);
            if (k < SLOT_ENVIRON1)
                pass->setLightingEnabled(true);
        }
        if (!manager.resourceExists("green", MATERIAL_GROUP)) {
            Ogre::Pass* green = firstPass(manager.create("green", MATERIAL_GROUP));
            green->setAmbient(0, 1, 0);
            green->setDiffuse(0, 1, 0, 1);
            green->setLightingEnabled(true);
        }
        createRandomMaterial();
    } else {
        for (int k = 0; k < COLOUR_SLOTS; ++k)
            materials[k] = manager.getByName(COLOUR_MATERIAL_NAMES[k], MATERIAL_GROUP);
    }
    if (!manager.resourceExists("random1", MATERIAL_GROUP))
        createRandomMaterial();
    randomMaterial = manager.getByName("random1", MATERIAL_GROUP);
}

void ModelManager::applyPalette()
{
    for (int k = 0; k < COLOUR_SLOTS; ++k) {
        Ogre::Pass* pass = firstPass(materials[k]);
        if (!pass)
            continue;
        const Ogre::ColourValue& c = palette[k];
        pass->setAmbient(c * familyAmbientFactor(k));
        pass->setDiffuse(c);
        pass->setSpecular(c * 0.01f);
    }
}

void ModelManager::loadScheme() { palette = colourSchemes[currentScheme]; }

void ModelManager::cycleScheme(bool forward)
{
    if (fading)
        return;
    targetScheme = forward ? (targetScheme + 1) % SCHEME_COUNT
                           : (targetScheme + SCHEME_COUNT - 1) % SCHEME_COUNT;
    fadeStartMs = clockMs();
    environmentVariant = (environmentVariant + 1) % ENVIRONMENT_VARIANTS;
    schemeIndex = targetScheme;
}

void ModelManager::updateFade()
{
    float elapsed = clockMs() - fadeStartMs;
    if (currentScheme != targetScheme && elapsed <= SCHEME_FADE_MS) {
        fading = true;
        double t = elapsed * 0.001;
        for (int k = 0; k < COLOUR_SLOTS; ++k)
            palette[k] = lerpColour(t, colourSchemes[currentScheme][k], colourSchemes[targetScheme][k]);
        applyPalette();
    } else if (fading || currentScheme != targetScheme) {
        // A change whose first update comes after the fade's second showed no
        // blend: it still ends on the target, and the materials take it.
        bool shownBlend = fading;
        currentScheme = targetScheme;
        fading = false;
        loadScheme();
        if (!shownBlend)
            applyPalette();
    }
}

void ModelManager::createRandomMaterial()
{
    plat::srand(unsigned(plat::time()));
    float r = (plat::rand() % 100) * 0.01f;
    float g = (plat::rand() % 100) * 0.01f;
    float b = (plat::rand() % 100) * 0.01f;
    auto& manager = Ogre::MaterialManager::getSingleton();
    if (manager.resourceExists("random1", MATERIAL_GROUP))
        return;
    Ogre::Pass* pass = firstPass(manager.create("random1", MATERIAL_GROUP));
    pass->setAmbient(r, g, b);
    pass->setDiffuse(r, g, b, 0.9f);
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
}

void ModelManager::pulseRandomMaterial()
{
    plat::srand(unsigned(plat::time()));
    float r = (plat::rand() % 100) * 0.01f;
    float g = (plat::rand() % 100) * 0.01f;
    float b = (plat::rand() % 100) * 0.01f;
    if (Ogre::Pass* pass = firstPass(randomMaterial)) {
        pass->setAmbient(r, g, b);
        pass->setDiffuse(r, g, b, pulseAlpha);
    }
    pulseAlpha += pulseRising ? 0.01f : -0.01f;
    if (pulseAlpha >= 1.0f) {
        pulseAlpha = 1.0f;
        pulseRising = false;
    } else if (pulseAlpha <= PULSE_LOW_ALPHA) {
        pulseAlpha = PULSE_LOW_ALPHA;
        pulseRising = true;
    }
}

// ---------------------------------------------------------------- flashes

void ModelManager::collectDamageMaterials()
{
    auto& manager = Ogre::MaterialManager::getSingleton();
    if (manager.resourceExists("damage0", MATERIAL_GROUP)) {
        for (int i = 0; i < DAMAGE_MATERIALS_FETCHED; ++i)
            damageMaterials.push_back(manager.getByName("damage" + std::to_string(i), MATERIAL_GROUP));
        return;
    }
    for (int i = 0; i < DAMAGE_MATERIAL_COUNT; ++i) {
        Ogre::MaterialPtr m = manager.create("damage" + std::to_string(i), MATERIAL_GROUP);
        Ogre::Pass* pass = firstPass(m);
        pass->setAmbient(0, 0, 0);
        pass->setDiffuse(0, 0, 0, 1);
        pass->setLightingEnabled(true);
        damageMaterials.push_back(m);
    }
}

Ogre::MaterialPtr ModelManager::takeDamageMaterial()
{
    if (damageMaterials.empty()) {
        auto& manager = Ogre::MaterialManager::getSingleton();
        for (int i = 0; i < 5; ++i)
            damageMaterials.push_back(manager.getByName("damage" + std::to_string(i), MATERIAL_GROUP));
    }
    Ogre::MaterialPtr m = damageMaterials.back();
    damageMaterials.pop_back();
    return m;
}

void ModelManager::giveBackDamageMaterial(const Ogre::MaterialPtr& m)
{
    if (m && std::find(damageMaterials.begin(), damageMaterials.end(), m) == damageMaterials.end())
        damageMaterials.push_back(m);
}

void ModelManager::startDamageFlash(Model* model, int nowMs)
{
    if (!model || model->flashing || model->materialParts.empty())
        return;
    Ogre::MaterialPtr m = takeDamageMaterial();
    Ogre::Pass* target = firstPass(m);
    Ogre::Pass* own = firstPass(model->getMaterial());
    if (target && own) {
        target->setAmbient(own->getAmbient());
        target->setDiffuse(own->getDiffuse());
    }
    model->setColour(palette[SLOT_BULLET1] * 1.25f);
    model->setMaterial(m);
    model->flashStartMs = float(nowMs);
    model->flashing = true;
    model->damageMaterial = m;
    model->flashManager = this;
    if (std::find(flashingModels.begin(), flashingModels.end(), model) == flashingModels.end())
        flashingModels.push_back(model);
}

void ModelManager::endFlash(Model* model)
{
    giveBackDamageMaterial(model->damageMaterial);
    model->damageMaterial.reset();
    model->flashManager = nullptr;
    model->flashing = false;
}

void ModelManager::updateDamageFlashes()
{
    float now = clockMs();
    for (auto it = flashingModels.begin(); it != flashingModels.end();) {
        Model* model = *it;
        if (!model || !model->flashing) {
            it = flashingModels.erase(it);
            continue;
        }
        float elapsed = now - model->flashStartMs;
        Ogre::ColourValue colour;
        if (elapsed <= DAMAGE_FLASH_RISE_MS) {
            colour = lerpColour(elapsed * 0.002, model->baseAmbient, model->flashColour);
        } else if (elapsed - DAMAGE_FLASH_RISE_MS <= DAMAGE_FLASH_RISE_MS) {
            colour = lerpColour((elapsed - DAMAGE_FLASH_RISE_MS) * 0.002, model->flashColour,
                                model->baseAmbient);
        } else {
            model->restoreMaterials();
            endFlash(model);
            it = flashingModels.erase(it);
            continue;
        }
        if (Ogre::Pass* pass = firstPass(model->damageMaterial)) {
            pass->setAmbient(colour);
            pass->setDiffuse(colour);
        }
        ++it;
    }
}

void ModelManager::forgetModel(Model* model)
{
    flashingModels.remove(model);
    if (model)
        endFlash(model);
}

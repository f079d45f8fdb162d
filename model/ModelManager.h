#pragma once
// The per-screen figure factory and colour state: the twelve shared colour
// materials with the live palette and its scheme fades, the "random1" pulse,
// the damage flashes, and createModel, which builds a figure by type code on
// a pooled scene node.
//
// Use by a screen: construct on entry (after its NodePool); createModel for
// its figures; each frame the figures' Model::update, pulseRandomMaterial on
// the menu-like screens, startDamageFlash and cycleScheme as events ask, then
// updateFade and updateDamageFlashes; on exit delete the figures, then the
// manager, then the pool.
#include "model/ColourScheme.h"
#include "model/FigureTable.h"

#include <OgreMaterial.h>
#include <OgreVector.h>

#include <deque>
#include <list>
#include <type_traits>

class Model;
class simulationObject;

namespace Ogre {
class SceneManager;
}

constexpr int DAMAGE_FLASH_RISE_MS = 500;
constexpr int DAMAGE_MATERIAL_COUNT = 50;
// What a manager after the first of a run collects of the damage materials.
constexpr int DAMAGE_MATERIALS_FETCHED = 20;
constexpr int ENVIRONMENT_VARIANTS = 17;

// The type code of the ship that fired a bullet object, or 0 for none. The
// play world sets it; unset, every bullet is styled as shot by no one.
using ShooterLookup = int (*)(const simulationObject* bullet);

class ModelManager {
public:
    explicit ModelManager(Ogre::SceneManager* sceneManager);
    ~ModelManager();
    ModelManager(const ModelManager&) = delete;
    ModelManager& operator=(const ModelManager&) = delete;

    // A new figure owned by the caller, or null for a type code without one.
    // position, angles (degrees) and scale are the nine values of a placement.
    Model* createModel(int typeCode, const Ogre::Vector3& position, const Ogre::Vector3& angles,
                       const Ogre::Vector3& scale, const simulationObject* owner);
    // The same from any placement record with the fields x, y, z, angle1,
    // angle2, angle3, scaleX, scaleY, scaleZ.
    template <class Placement, class = decltype(std::declval<Placement>().angle1)>
    Model* createModel(int typeCode, const Placement& p, const simulationObject* owner)
    {
        return createModel(typeCode, Ogre::Vector3(p.x, p.y, p.z),
                           Ogre::Vector3(p.angle1, p.angle2, p.angle3),
                           Ogre::Vector3(p.scaleX, p.scaleY, p.scaleZ), owner);
    }

    // --- colour schemes ---
    void createMaterials();
    void fillSchemes();
    void applyPalette();
    void loadScheme();
    // Asks for the next (or previous) scheme; ignored while a fade is shown.
    void cycleScheme(bool forward = true);
    void updateFade();
    void createRandomMaterial();
    void pulseRandomMaterial();

    // --- damage flashes ---
    void collectDamageMaterials();
    Ogre::MaterialPtr takeDamageMaterial();
    void startDamageFlash(Model* model, int nowMs);
    void updateDamageFlashes();
    // Drops a figure from the flash list and takes its damage material back
    // (a figure calls it when it is deleted during its flash).
    void forgetModel(Model* model);

    // The rows createModel builds from (the game's table unless a test set
    // another); null restores the game's.
    static void useFigureTable(const FigureTable* table);
    static const FigureTable& figureTable();
    static void setShooterLookup(ShooterLookup lookup);
    // Managers alive now (the shape cache lives while any does).
    static int liveManagers();

    int environmentVariant = 0;
    int modelCount = 0;
    Ogre::SceneManager* sceneManager = nullptr;
    int currentScheme = 0;
    int targetScheme = 0;
    float pulseAlpha = 1.0f;
    bool pulseRising = false;
    ColourScheme palette;
    float fadeStartMs = 0.0f;
    std::deque<Ogre::MaterialPtr> damageMaterials;
    std::list<Model*> flashingModels;
    bool fading = false;
    Ogre::MaterialPtr materials[COLOUR_SLOTS];

private:
    void giveBackDamageMaterial(const Ogre::MaterialPtr& m);
    void endFlash(Model* model);

    Ogre::MaterialPtr randomMaterial;
};

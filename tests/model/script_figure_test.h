#pragma once
// A headless engine with one model manager, and figures built from scripts
// the test gives; everything built is deleted before the manager.
#include "tests/model/ogre_fixture.h"
#include "tests/model/test_figures.h"

#include <functional>
#include <vector>

class ScriptFigureTest : public OgreTest {
protected:
    void SetUp() override
    {
        OgreTest::SetUp();
        manager = new ModelManager(scene);
    }
    void TearDown() override
    {
        for (Model* m : figures)
            delete m;
        delete manager;
        OgreTest::TearDown();
    }
    Model* buildFigure(const FigureHeader& header, const std::function<void(Model&)>& script, int instance)
    {
        figures.push_back(new ScriptFigure(header, scene, pool->take(), instance, script));
        return figures.back();
    }

    ModelManager* manager = nullptr;
    std::vector<Model*> figures;
};

#include "app/InputManager.h"

#include <OgreRenderWindow.h>
#include <OgreRoot.h>

template <> InputManager* Ogre::Singleton<InputManager>::msSingleton = nullptr;

InputManager& InputManager::getSingleton() { return *msSingleton; }
InputManager* InputManager::getSingletonPtr() { return msSingleton; }

InputManager::InputManager(Ogre::RenderWindow* window)
{
    eventProcessor = new input::EventProcessor();
    std::size_t handle = 0;
    window->getCustomAttribute("WINDOW", &handle);
    try {
        eventProcessor->initialise(handle);
    } catch (...) {
        delete eventProcessor;
        eventProcessor = nullptr;
        throw;
    }
    eventProcessor->startProcessingEvents(true);
    pump = new FramePump(eventProcessor);
    if (auto* root = Ogre::Root::getSingletonPtr()) {
        root->addFrameListener(pump);
        pumpRegistered = true;
    }
    reader = eventProcessor->getInputReader();
}

InputManager::InputManager(std::unique_ptr<input::KeyboardDevice> device)
{
    eventProcessor = new input::EventProcessor();
    eventProcessor->initialise(std::move(device));
    eventProcessor->startProcessingEvents(true);
    reader = eventProcessor->getInputReader();
}

InputManager::~InputManager()
{
    if (pumpRegistered)
        if (auto* root = Ogre::Root::getSingletonPtr())
            root->removeFrameListener(pump);
    delete pump;
    delete eventProcessor;
}

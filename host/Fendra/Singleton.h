#pragma once

#include "Fendra/SingletonRegistry.h"

namespace Fendra {

// The process-wide instance of T, created on first use and kept until exit.
// Instance() is defined in the host library only (FENDRA_HOST_SINGLETON in
// Fendra/SingletonImpl.h): the object and its holder are created and destroyed by
// host code, never by a plug-in that may be unloaded before the process exits.
template <class T>
class HOST_API CSingleton
{
public:
    static T& Instance();

    CSingleton() = delete;
};

} // namespace Fendra

#pragma once

#include <memory>

namespace Kelmot {
class CGroupManagerDeletage;
} // namespace Kelmot
namespace quorra {
class CLocalDataManagerDelegate;
} // namespace quorra

// The play-window library's shared objects for as long as a handle lives: the
// context's host delegates, the public signal manager and voice talk. The first
// handle creates them, the last one to go destroys them; an owner holds one for
// as long as it has play windows.
class CPlayWindowLibrary
{
public:
    CPlayWindowLibrary(std::shared_ptr<Kelmot::CGroupManagerDeletage> spGroupManager,
                       std::shared_ptr<quorra::CLocalDataManagerDelegate> spLocalData);
    ~CPlayWindowLibrary();
    CPlayWindowLibrary(const CPlayWindowLibrary&) = delete;
    CPlayWindowLibrary& operator=(const CPlayWindowLibrary&) = delete;

    // Handles alive in the process.
    static int LiveHandles();
};

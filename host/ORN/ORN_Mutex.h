#pragma once

#include "HostExport.h"

#include <mutex>

// The host's portable mutex (not recursive). Lock and Unlock return 0 on success.
class HOST_API ORN_Mutex
{
public:
    ORN_Mutex();
    ~ORN_Mutex();
    ORN_Mutex(const ORN_Mutex&) = delete;
    ORN_Mutex& operator=(const ORN_Mutex&) = delete;

    int Lock();
    int Unlock();

private:
    std::mutex m_mutex;
};

// Locks a mutex for the guard's lifetime, unless released early.
class HOST_API ORN_Guard
{
public:
    explicit ORN_Guard(ORN_Mutex* pMutex);
    ~ORN_Guard();
    ORN_Guard(const ORN_Guard&) = delete;
    ORN_Guard& operator=(const ORN_Guard&) = delete;

    // Unlocks now; the destructor then does nothing.
    void Release();

private:
    ORN_Mutex* m_pMutex;
};

#include "ORN/ORN_Mutex.h"

ORN_Mutex::ORN_Mutex() = default;
ORN_Mutex::~ORN_Mutex() = default;

int ORN_Mutex::Lock()
{
    m_mutex.lock();
    return 0;
}

int ORN_Mutex::Unlock()
{
    m_mutex.unlock();
    return 0;
}

ORN_Guard::ORN_Guard(ORN_Mutex* pMutex)
    : m_pMutex(pMutex)
{
    if (m_pMutex)
        m_pMutex->Lock();
}

ORN_Guard::~ORN_Guard()
{
    Release();
}

void ORN_Guard::Release()
{
    if (m_pMutex)
        m_pMutex->Unlock();
    m_pMutex = nullptr;
}

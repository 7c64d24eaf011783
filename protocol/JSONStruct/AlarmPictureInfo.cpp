#include "protocol/JSONStruct/AlarmPictureInfo.h"

#include <cstddef>
#include <new>
#include <thread>
#include <vector>

namespace protocol {
namespace {

enum class StoreState { Unborn, Alive, Gone };

// Freed blocks of N bytes, kept for the thread's next allocations. Blocks freed
// once the thread's store has gone (at thread exit) go back to the allocator.
template <std::size_t N>
struct BlockStore {
    static constexpr std::size_t kMaxKept = 256;
    static thread_local StoreState tl_eState;
    std::vector<void*> vecBlocks;

    BlockStore()
    {
        vecBlocks.reserve(kMaxKept);
        tl_eState = StoreState::Alive;
    }
    ~BlockStore()
    {
        tl_eState = StoreState::Gone;
        for (void* pBlock : vecBlocks)
            ::operator delete(pBlock);
    }

    static BlockStore* ForThisThread()
    {
        if (tl_eState == StoreState::Gone)
            return nullptr;
        thread_local BlockStore s_store;
        return &s_store;
    }
};

template <std::size_t N>
thread_local StoreState BlockStore<N>::tl_eState = StoreState::Unborn;

template <class T>
struct RecyclingAllocator {
    using value_type = T;
    using Store = BlockStore<sizeof(T)>;
    RecyclingAllocator() = default;
    template <class U>
    RecyclingAllocator(const RecyclingAllocator<U>&)
    {
    }

    T* allocate(std::size_t n)
    {
        Store* pStore = n == 1 ? Store::ForThisThread() : nullptr;
        if (pStore && !pStore->vecBlocks.empty()) {
            void* pBlock = pStore->vecBlocks.back();
            pStore->vecBlocks.pop_back();
            return static_cast<T*>(pBlock);
        }
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n)
    {
        Store* pStore = n == 1 ? Store::ForThisThread() : nullptr;
        if (pStore && pStore->vecBlocks.size() < Store::kMaxKept)
            pStore->vecBlocks.push_back(p);
        else
            ::operator delete(p);
    }
    template <class U>
    bool operator==(const RecyclingAllocator<U>&) const
    {
        return true;
    }
    template <class U>
    bool operator!=(const RecyclingAllocator<U>&) const
    {
        return false;
    }
};

}  // namespace

std::shared_ptr<PicBinary> NewPicBinary()
{
    return std::allocate_shared<PicBinary>(RecyclingAllocator<PicBinary>());
}

const std::shared_ptr<PicBinary>& PicBinaryPtr::Shared() const
{
    int eState = m_eState.load(std::memory_order_acquire);
    if (eState == kReady)
        return m_spBinary;
    if (eState == kUnmade && m_eState.compare_exchange_strong(eState, kMaking, std::memory_order_acquire)) {
        m_spBinary = NewPicBinary();
        m_eState.store(kReady, std::memory_order_release);
        return m_spBinary;
    }
    while (m_eState.load(std::memory_order_acquire) != kReady)
        std::this_thread::yield();  // another thread is making them this instant
    return m_spBinary;
}

PicBinaryPtr& PicBinaryPtr::operator=(const PicBinaryPtr& other)
{
    return *this = other.Shared();
}

PicBinaryPtr& PicBinaryPtr::operator=(PicBinaryPtr&& other) noexcept
{
    if (this == &other)
        return *this;
    m_spBinary = std::move(other.m_spBinary);
    m_eState.store(other.m_eState.load(std::memory_order_acquire), std::memory_order_release);
    other.m_eState.store(kUnmade, std::memory_order_release);
    return *this;
}

PicBinaryPtr& PicBinaryPtr::operator=(std::shared_ptr<PicBinary> spBinary)
{
    m_spBinary = std::move(spBinary);
    m_eState.store(kReady, std::memory_order_release);
    return *this;
}

PROTOCOL_DEFINE_JSON_RECORD(PictureRect)
PROTOCOL_DEFINE_JSON_RECORD(AlarmPictureInfo)

}  // namespace protocol

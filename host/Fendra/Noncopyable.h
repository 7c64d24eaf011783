#pragma once

namespace Fendra {

// Base of classes that must not be copied or moved.
class CNoncopyable
{
protected:
    CNoncopyable() = default;
    ~CNoncopyable() = default;

public:
    CNoncopyable(const CNoncopyable&) = delete;
    CNoncopyable& operator=(const CNoncopyable&) = delete;
};

} // namespace Fendra

#pragma once

#include <functional>

/// Tells a device cache when the system's devices may have changed. Made
/// and asked on the application's thread only.
class DeviceWatch
{
public:
    using Changed = std::function<void()>;

    virtual ~DeviceWatch() = default;

    /// Starts watching when it can and says whether every change is being
    /// reported now; while it is false nothing cached may be trusted.
    virtual bool watching() = 0;
};

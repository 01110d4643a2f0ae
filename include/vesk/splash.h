// The splash screen, published by the splash module as
// "vesk::splash::ISplashScreen *" while the modules start. The user
// interface treats it as optional: it may be missing.
#pragma once

#include "vesk/object.h"

namespace vesk::splash {

// Both may be called from any thread; both return true.
struct ISplashScreen : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::splash::ISplashScreen *";
    // From now on a click on the picture closes it (the argument is not read).
    virtual bool EnableClickClose(bool enable) = 0;
    // Closes the picture 1200 ms from now instead of 5000 ms after it was
    // shown. Does nothing when no picture is up.
    virtual bool Dismiss() = 0;
};

}  // namespace vesk::splash

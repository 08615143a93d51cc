#include "display/glxsync.h"

#include <GL/glx.h>

#include <cstring>

namespace vantrel::glx {
namespace {

using GetSyncValues = Bool (*)(Display*, GLXDrawable, int64_t*, int64_t*, int64_t*);
using SwapBuffersMsc = int64_t (*)(Display*, GLXDrawable, int64_t, int64_t, int64_t);
using WaitForSbc = Bool (*)(Display*, GLXDrawable, int64_t, int64_t*, int64_t*, int64_t*);

GetSyncValues getSyncValues = nullptr;
SwapBuffersMsc swapBuffersMsc = nullptr;
WaitForSbc waitForSbc = nullptr;

bool hasExtension(const char* list, const char* name) {
    if (!list)
        return false;
    const std::size_t len = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += len) {
        const bool startOk = p == list || p[-1] == ' ';
        const bool endOk = p[len] == ' ' || p[len] == '\0';
        if (startOk && endOk)
            return true;
    }
    return false;
}

} // namespace

bool omlAvailable(void* display) {
    auto* dpy = static_cast<Display*>(display);
    if (!dpy ||
        !hasExtension(glXQueryExtensionsString(dpy, DefaultScreen(dpy)), "GLX_OML_sync_control"))
        return false;
    auto resolve = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    getSyncValues = reinterpret_cast<GetSyncValues>(resolve("glXGetSyncValuesOML"));
    swapBuffersMsc = reinterpret_cast<SwapBuffersMsc>(resolve("glXSwapBuffersMscOML"));
    waitForSbc = reinterpret_cast<WaitForSbc>(resolve("glXWaitForSbcOML"));
    return getSyncValues && swapBuffersMsc && waitForSbc;
}

bool swapAtNextVBlank(void* display, unsigned long drawable) {
    auto* dpy = static_cast<Display*>(display);
    int64_t ust = 0;
    int64_t msc = 0;
    int64_t sbc = 0;
    if (!getSyncValues || !getSyncValues(dpy, drawable, &ust, &msc, &sbc))
        return false;
    const int64_t target = swapBuffersMsc(dpy, drawable, msc + 1, 0, 0);
    if (target < 0)
        return false;
    // The swap call itself returns at once; waiting for its count to come up is what makes
    // the present return only after the copy reached the screen.
    return waitForSbc(dpy, drawable, target, &ust, &msc, &sbc);
}

} // namespace vantrel::glx

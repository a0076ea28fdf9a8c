#pragma once

// GLib's headers use "signals" as a field name, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

namespace norvale {

// Initialises GMime once per process; every user of GMime calls it first.
void InitGMime();

// Owns one GObject reference.
template <typename T> struct GObjectRef
{
    T *object = nullptr;
    explicit GObjectRef(T *o)
        : object(o)
    { }
    ~GObjectRef()
    {
        if (object)
            g_object_unref(object);
    }
    GObjectRef(const GObjectRef &) = delete;
    GObjectRef &operator=(const GObjectRef &) = delete;
};

} // namespace norvale

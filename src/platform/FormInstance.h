#pragma once
#include <QPointer>
#include <QWidget>

namespace platform {

// Every window of the program is one global instance, loaded on first use and unloaded
// by its caller. Unloading hides the window at once and destroys it once control is back
// in the event loop, so a window may unload itself from its own handlers.
template <class T>
class Form {
public:
    static T& get() {
        if (!s_instance) s_instance = new T();
        return *s_instance;
    }
    static T* instance() { return s_instance.data(); }
    static bool isLoaded() { return !s_instance.isNull(); }
    // Unloads `window` when it is the global instance; a window made apart from it (as
    // tests make them) is only hidden.
    static void unload(T& window) {
        if (s_instance == &window)
            unload();
        else
            window.hide();
    }
    static void unload() {
        T* w = s_instance.data();
        s_instance = nullptr;
        if (!w) return;
        w->hide();
        w->deleteLater();
    }

private:
    static inline QPointer<T> s_instance;
};

}  // namespace platform

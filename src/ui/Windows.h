#pragma once

#include <QString>

class QWidget;

namespace hm52 {

// Every window of the program. A new one goes before Count: the registry's switch that
// creates the windows then fails to build until it has the new window's case.
enum class Window {
    InsertQSO,
    EditQSO,
    Utility,
    Award,
    BAR,
    AE,
    UserData,
    FindPlaces,
    About,
    Map,
    ImportADIF,
    ImportReport,
    RestoreBackup,
    Rig,
    Needed,
    Count // not a window: how many there are
};
constexpr int windowCount = static_cast<int>(Window::Count);

// The log browser's search terms. They belong to the browser but live as long as the
// program: hiding or closing the browser keeps them. Each is stored already passed through
// QuoteSql, ready to stand between single quotes in SQL text; empty means no filter.
struct BrowserTerms {
    QString searchCall;
    QString searchLocator;
    QString searchPlace;
    QString searchProv;
};

// What a window knows of the others: it can have one loaded or shown, run the refresh chain
// after it changes the log, and reach the members that outlive their windows. The program's
// window registry is the one implementation.
class Windows {
public:
    // The window, created and loaded (not shown) when it is not loaded. Throws what its load
    // throws, leaving it not loaded.
    virtual QWidget& load(Window w) = 0;
    // The window when it is loaded, else nullptr.
    virtual QWidget* loaded(Window w) const = 0;
    // Loads the window when needed and shows it modeless, in front.
    virtual void show(Window w) = 0;

    // The refresh chain after a change of the log: the browser rebuilds its list, the
    // counter recounts (and a loaded map, Needed list and QSO form's line follow), loading
    // their windows hidden if needed.
    virtual void showAny() = 0;
    virtual void conta() = 0;
    // Another log took the place of the open one (a restored backup): every loaded window that
    // shows the log reads it again.
    virtual void logReplaced() = 0;

    // Members that outlive their windows.
    virtual BrowserTerms& browserTerms() = 0;
    virtual int& editCount() = 0;

protected:
    ~Windows() = default;
};

// A loaded window as its own class, for a window that drives another.
template <class W> W& windowOf(Windows& windows, Window w) {
    return static_cast<W&>(windows.load(w));
}

} // namespace hm52

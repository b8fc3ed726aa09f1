#pragma once

#include <QObject>

#include <memory>

namespace hm52 {

struct Services;
class WindowRegistry;
class frmMap;

// Keeps the one map window of a run: creates and loads it on first use, forgets it when its
// close box unloads it, and refreshes it after every change of the log.
class MapWindows : public QObject {
    Q_OBJECT
public:
    MapWindows(Services& services, WindowRegistry& registry, QObject* parent);
    ~MapWindows() override;

    // Loads the map when needed and shows it, in front.
    frmMap& show();
    // The map when it is loaded, else nullptr.
    frmMap* loaded() const { return map_; }

private:
    void refreshLoaded();

    Services& s_;
    WindowRegistry& registry_;
    frmMap* map_ = nullptr;
    // Lets the registry's listener know whether this object still lives.
    std::shared_ptr<MapWindows*> alive_;
};

} // namespace hm52

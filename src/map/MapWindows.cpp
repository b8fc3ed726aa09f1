#include "map/MapWindows.h"

#include "app/WindowRegistry.h"
#include "map/frmMap.h"

namespace hm52 {

MapWindows::MapWindows(Services& services, WindowRegistry& registry, QObject* parent)
    : QObject(parent), s_(services), registry_(registry),
      alive_(std::make_shared<MapWindows*>(this)) {
    registry_.onLogChanged([weak = std::weak_ptr<MapWindows*>(alive_)]() {
        if (const auto self = weak.lock()) {
            (*self)->refreshLoaded();
        }
    });
}

MapWindows::~MapWindows() {
    // The program ends: the window goes without its unload handler.
    delete map_;
}

void MapWindows::refreshLoaded() {
    if (map_ != nullptr) {
        frmMap* map = map_;
        runHandler(s_, map, [map]() { map->refresh(); });
    }
}

frmMap& MapWindows::show() {
    if (map_ == nullptr) {
        auto window = std::make_unique<frmMap>(s_, registry_);
        window->Form_Load();
        map_ = window.release();
        auto forget = [this, closing = map_]() {
            if (map_ == closing) {
                map_ = nullptr;
            }
        };
        connect(map_, &Form::unloaded, this, forget);
        connect(map_, &QObject::destroyed, this, forget);
    }
    map_->show();
    map_->raise();
    map_->activateWindow();
    return *map_;
}

} // namespace hm52

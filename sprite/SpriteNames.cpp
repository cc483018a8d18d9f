// sprite::findNamed and sprite::dropName: look-up and removal in name tables that may hold a name twice.
#include "sprite/SpriteNames.h"

#include <vector>

#include "lang/Ref.h"
#include "sprite/Sprite.h"
#include "util/Hashtable.h"

namespace sprite {

namespace {

bool holds(const Sprite* sprite, const lang::String& name) {
    return sprite != nullptr && sprite->getName().equals(name);
}

// Rebuilds the entries under `name` without `leaving` and without stale ones, newest first as before.
// The table finds only the newest entry of a name, so every entry under it comes out (each value kept
// alive by `taken`) and the ones that stay go back oldest first. Answers the newest that stays.
Sprite* rebuild(util::Hashtable& table, const lang::String& name, const Sprite* leaving,
                std::vector<lang::Ref<Sprite>>& taken) {
    lang::Synchronized guard(&table, true);
    while (table.containsKey(&name)) {
        taken.push_back(lang::share(static_cast<Sprite*>(table.get(&name))));
        table.remove(&name);
    }
    Sprite* newest = nullptr;
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
        Sprite* sprite = it->get();
        if (sprite == leaving || !holds(sprite, name))
            continue;
        table.put(name, sprite);
        newest = sprite;
    }
    return newest;
}

}  // namespace

Sprite* findNamed(util::Hashtable* table, const lang::String& name) {
    if (table == nullptr)
        return nullptr;
    std::vector<lang::Ref<Sprite>> taken;  // released after the table's monitor
    {
        lang::Synchronized guard(table, true);
        auto* newest = static_cast<Sprite*>(table->get(&name));
        if (newest == nullptr || holds(newest, name))
            return newest;
    }
    return rebuild(*table, name, nullptr, taken);
}

void dropName(util::Hashtable* table, const lang::String& name, Sprite* sprite) {
    if (table == nullptr || sprite == nullptr || name.length() == 0)
        return;
    std::vector<lang::Ref<Sprite>> taken;
    rebuild(*table, name, sprite, taken);
}

}  // namespace sprite

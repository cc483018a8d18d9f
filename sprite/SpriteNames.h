// sprite::findNamed and sprite::dropName: the exact rules of the name tables of the canvas and the dialogs.
#pragma once

#include "lang/String.h"

namespace util {
class Hashtable;
}

namespace sprite {

class Sprite;

// A name table (a util::Hashtable from name to sprite) may hold a name more than once: a script may
// declare a name twice, and a name may be given to a second sprite while the first keeps it. The name
// answers the newest entry whose sprite still carries it. An entry whose sprite has been given another
// name since is stale: it never answers, and the operations below drop it when they meet it.
//
// Both hold the table's own monitor for the whole operation; the caller holds whatever lock orders its
// use of the table (the canvas's, a dialog's). A sprite whose last reference was a dropped entry goes
// after the table's monitor is given back.

// The sprite that holds `name` in the table, or null; no reference for the caller.
Sprite* findNamed(util::Hashtable* table, const lang::String& name);
// Drops every entry of `sprite` under `name` (and the stale entries under it); the other entries
// under the name keep their order.
void dropName(util::Hashtable* table, const lang::String& name, Sprite* sprite);

}  // namespace sprite

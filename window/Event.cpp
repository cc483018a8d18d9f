// window::Event: construction with the tick count of the moment.
#include "window/Event.h"

#include "lang/Clock.h"

namespace window {

Event::Event(int32_t id, int32_t x, int32_t y, int32_t modifiers, int32_t key, int32_t clickCount)
    : id(id), x(x), y(y), modifiers(modifiers), key(key), clickCount(clickCount), when(lang::tickCount()) {}

Event::Event(lang::Object* arg, lang::Object* source)
    : id(kAction),
      x(0),
      y(0),
      modifiers(0),
      key(0),
      clickCount(0),
      when(lang::tickCount()),
      arg(lang::share(arg)),
      source(lang::share(source)) {}

}  // namespace window

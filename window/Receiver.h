// window::Receiver: the one-operation interface through which sprites hand action events to the canvas.
#pragma once

#include "lang/ObjectI.h"

namespace window {

class Event;

class Receiver : public virtual lang::ObjectI {
public:
    // Answers whether the event was taken.
    virtual bool receive(Event* event) = 0;

protected:
    static bool isReceiverName(const char* className) {
        return lang::detail::sameName(className, "Receiver");
    }
};

}  // namespace window

// lang::Runnable: the interface of something a thread can run.
#pragma once

#include "lang/ObjectI.h"

namespace lang {

class Runnable : public virtual ObjectI {
public:
    virtual void run() = 0;

protected:
    // The is-a test of the interface, for implementing classes to ask after their own bases.
    static bool isRunnableName(const char* className) { return detail::sameName(className, "Runnable"); }
};

}  // namespace lang

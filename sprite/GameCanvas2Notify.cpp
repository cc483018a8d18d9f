// sprite::GameCanvas2: timed, labelled notifications counted in frame steps.
#include "sprite/GameCanvas2.h"

#include <algorithm>
#include <cstdint>

namespace sprite {

namespace {

bool matches(const FrameNotify& entry, const lang::String& label, bool sameObjects, lang::Object* source,
             lang::Object* receiver) {
    if (!entry.label.equals(label))
        return false;
    return !sameObjects || (entry.source.get() == source && entry.receiver.get() == receiver);
}

}  // namespace

void GameCanvas2::scheduleNotify(int delay, const lang::String& label, int flags, lang::Object* source,
                                 lang::Object* receiver) {
    // The canvas lock first, as for every list the frame step walks: a handler running inside the step
    // may schedule too, and a notification never changes beside a firing pass.
    lang::Synchronized guard(this, true);
    const bool sameObjects = (flags & kNotifySameObjects) != 0;
    lang::Ref<FrameNotify> entry;
    {
        lang::Synchronized list(notifications_.get());
        if ((flags & (kNotifyReplace | kNotifyCancel)) != 0) {
            for (int i = notifications_->size() - 1; i >= 0; --i) {
                auto* pending = static_cast<FrameNotify*>(notifications_->elementAt(i));
                if (!matches(*pending, label, sameObjects, source, receiver))
                    continue;
                pending->generation += 1;
                if ((flags & kNotifyCancel) != 0) {
                    notifications_->removeElementAt(i);
                    continue;
                }
                entry = lang::share(pending);
                break;
            }
        }
        if ((flags & kNotifyCancel) != 0) {
            // A one-shot already collected by the running pass is out of the list but not yet fired.
            for (Due& due : firing_) {
                if (due.entry->generation == due.generation &&
                    matches(*due.entry, label, sameObjects, source, receiver))
                    due.entry->generation += 1;
            }
            return;
        }
    }
    const bool reused = static_cast<bool>(entry);
    if (!reused)
        entry = lang::make<FrameNotify>();
    int64_t frames = delay;
    if ((flags & kNotifySeconds) != 0)
        frames = frames * 1000 / frameDelay();
    frames = std::clamp<int64_t>(frames, INT32_MIN, INT32_MAX);
    entry->repeating = (flags & kNotifyRepeat) != 0;
    // A repeating period is a divisor: it is at least one frame.
    if (entry->repeating && frames < 1)
        frames = 1;
    entry->frames = static_cast<int32_t>(frames);
    entry->receiver = lang::share(receiver);
    entry->source = lang::share(source);
    entry->label = label;
    entry->phase = entry->repeating ? frameCounter() % entry->frames - 1 : 0;
    if (!reused)
        notifications_->addElement(entry.get());
}

void GameCanvas2::fireNotifications() {
    if (notifications_->size() == 0)
        return;
    // Collect first, fire afterwards: handlers schedule and cancel freely, and the list never shifts
    // under a walk. Among entries due together the newest fires first.
    firing_.clear();
    {
        lang::Synchronized list(notifications_.get());
        const int counter = frameCounter();
        for (int i = notifications_->size() - 1; i >= 0; --i) {
            auto* entry = static_cast<FrameNotify*>(notifications_->elementAt(i));
            if (entry->repeating) {
                if ((counter - entry->phase) % entry->frames != 0)
                    continue;
                firing_.push_back({lang::share(entry), entry->generation});
            } else {
                entry->frames -= 1;
                if (entry->frames > 0)
                    continue;
                firing_.push_back({lang::share(entry), entry->generation});
                notifications_->removeElementAt(i);
            }
        }
    }
    for (size_t i = 0; i < firing_.size(); ++i) {
        FrameNotify* entry = firing_[i].entry.get();
        if (entry->generation != firing_[i].generation)
            continue;
        lang::Object* receiver = entry->receiver.get();
        // The handler may cancel or reuse the entry: it works on copies of the label and source.
        const lang::String label(entry->label);
        lang::Ref<lang::Object> source = entry->source;
        if (receiver == nullptr) {
            handleAction(source.get(), label);
        } else if (receiver->instanceOf("SpriteBase")) {
            lang::Ref<lang::Object> keep = entry->receiver;
            static_cast<SpriteBase*>(receiver)->handleAction(source.get(), label);
        }
    }
    firing_.clear();
}

}  // namespace sprite

// What a screen backend provides to the runtime: a canvas to draw on, keys,
// and the chance to let its window run. The window backend (SDL2) and the
// headless backend (memory surface, PNG, scripted keys) are the two.
#pragma once

#include <deque>
#include <string>

#include "runtime/canvas.hpp"
#include "runtime/keys.hpp"
#include "runtime/record.hpp"
#include "runtime/text.hpp"

namespace rt {

class Backend {
public:
    virtual ~Backend() = default;
    Canvas& canvas() { return canvas_; }

    // Collects what the window has for the keyboard, without waiting.
    virtual void pump(std::deque<Key>& keys) = 0;
    // A poll found no key: show what was drawn, let the window run, yield briefly.
    // May queue keys for the next poll; throws ProgramEnd when the window closes.
    virtual void wait(std::deque<Key>& keys) = 0;
    // The wall clock as hh:mm:ss (the headless backend may fix it).
    virtual std::string clock();
    // The local date and time, "2026-12-09 10:31:05" (its time the clock's).
    virtual std::string date_time();
    virtual void maximize() {}
    virtual void cursor_at(float /*x*/, float /*y*/) {}   // where an input method's box belongs
    virtual void keypad(const PadRows& /*rows*/) {}      // the on-screen keypad's keys
    // On: the keyboard types text, through the input method if one is on.
    // Off: keys reach the drill one by one, past any input method.
    virtual void text_input(bool on) { text_on_ = on; composing_.clear(); }
    // What the input method is composing, not yet committed (UTF-8; "" none).
    const std::string& composing() const { return composing_; }
    // The practice record (runtime/record.hpp), kept where the platform keeps
    // things; a backend without a place for it keeps nothing.
    virtual void keep_row(const RecordRow& /*row*/) {}
    virtual void keep_pending(const RecordRow& /*row*/) {}
    // Who is practising (runtime/record.hpp): VARNEL_CLASS, VARNEL_NUMBER and
    // VARNEL_NAME (else the account's full name), unless the platform asks.
    virtual Pupil pupil();
    virtual void ask_pupil() {}
    // The number of a practice starting now: the drill's run count where the
    // backend keeps no record.
    virtual int next_practice(int run) { return run; }
    // One announcement for assistive technology (rt::say): the text of what was
    // drawn since the last, on a new page or adding to the last one's.
    virtual void announce(const std::string& /*spoken*/, bool /*new_page*/) {}

protected:
    explicit Backend(float scale) : canvas_(scale) {}
    Canvas canvas_;
    bool text_on_ = false;
    std::string composing_;
};

}  // namespace rt

#ifndef VELMORA_CORE_SIGNAL_VIEW_H
#define VELMORA_CORE_SIGNAL_VIEW_H

#include <sigc++/sigc++.h>
#include <utility>

namespace velmora {

// What a caller outside the core may do with one of its signals: connect a
// slot (and later disconnect it through the connection). Only the core emits.
template <class Signal>
class SignalView {
public:
    explicit SignalView(Signal& signal)
        : signal(signal)
    { }

    template <class Slot>
    sigc::connection connect(Slot&& slot)
    {
        return signal.connect(std::forward<Slot>(slot));
    }

private:
    Signal& signal;
};

} // namespace velmora

#endif

// One list of what a component raised, its On... events and its signals
// alike, so that a test sees each signal arrive right after its event.
#pragma once

#include <string>
#include <vector>

struct TEventLog {
    std::vector<std::string> Entries;

    // A handler for any On... event or signal that writes Name.
    auto Note(const std::string& Name)
    {
        return [this, Name](auto&&...) { Entries.push_back(Name); };
    }
    // What was written since the last call, emptying the list.
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(Entries);
        return taken;
    }
};

#pragma once
// Where a run's messages go: modal boxes in the window, lines on the command line.
#include <string>

namespace tht {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one message and returns when the user has dismissed it.
    virtual void show(const std::string& message) = 0;
};

}  // namespace tht

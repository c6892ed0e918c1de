#include <iostream>

#include "platform/console.h"

namespace tht {

StandardStream::StandardStream(Which which)
    : std::ostream(which == Which::Output ? std::cout.rdbuf() : std::cerr.rdbuf()) {
    if (which == Which::Error) setf(std::ios::unitbuf);
}

StandardStream::~StandardStream() { flush(); }

}  // namespace tht

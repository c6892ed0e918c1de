#pragma once
// The process's standard output and error as C++ streams. The bytes are the
// program's UTF-8 text; a Windows console is given the same text through its
// wide-character API so that accents show right.
#include <memory>
#include <ostream>
#include <streambuf>

namespace tht {

class StandardStream : public std::ostream {
public:
    enum class Which { Output, Error };
    explicit StandardStream(Which which);
    ~StandardStream() override;
    StandardStream(const StandardStream&) = delete;
    StandardStream& operator=(const StandardStream&) = delete;

private:
    std::unique_ptr<std::streambuf> own_;  // none where the standard library's own stream serves
};

}  // namespace tht

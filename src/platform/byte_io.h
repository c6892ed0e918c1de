#pragma once
// The thin byte layer under the readers: files in production, memory
// buffers in tests.
#include <cstddef>
#include <string>

namespace tht {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to n bytes into buf; 0 only at the end. Throws Error on a read failure.
    virtual std::size_t read(char* buf, std::size_t n) = 0;
    // The name that error messages give for this source (a path).
    virtual const std::string& name() const = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(std::string bytes, std::string name = "memoria")
        : bytes_(std::move(bytes)), name_(std::move(name)) {}
    std::size_t read(char* buf, std::size_t n) override;
    const std::string& name() const override { return name_; }

private:
    std::string bytes_;
    std::string name_;
    std::size_t pos_ = 0;
};

}  // namespace tht

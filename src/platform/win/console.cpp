// Standard output and error without the C runtime's text mode: a pipe or a
// file gets the UTF-8 bytes as they are ("\n" stays "\n", as on Linux); a
// console gets the text as UTF-16 through WriteConsoleW.
#include <windows.h>

#include <string>
#include <string_view>
#include <cstring>

#include "platform/console.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

// How many bytes at the end of text start a UTF-8 sequence that is not complete.
std::size_t incompleteTail(std::string_view text) {
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

class HandleBuffer final : public std::streambuf {
public:
    explicit HandleBuffer(DWORD which) : handle_(::GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &mode);
        setp(buffer_, buffer_ + sizeof buffer_);
    }
    ~HandleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        const std::size_t keep = console_ ? incompleteTail(pending) : 0;
        const bool ok = send(pending.substr(0, pending.size() - keep));
        // The start of a character split by the buffer waits for its end.
        std::memmove(buffer_, pending.data() + pending.size() - keep, keep);
        setp(buffer_, buffer_ + sizeof buffer_);
        pbump(static_cast<int>(keep));
        return ok ? 0 : -1;
    }

private:
    bool send(std::string_view bytes) {
        if (bytes.empty() || handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return true;
        if (console_) {
            const std::wstring text = widen(bytes);
            DWORD written = 0;
            return ::WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        }
        while (!bytes.empty()) {
            DWORD written = 0;
            if (!::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
            bytes.remove_prefix(written);
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    char buffer_[4096];
};

}  // namespace

StandardStream::StandardStream(Which which)
    : std::ostream(nullptr),
      own_(std::make_unique<HandleBuffer>(which == Which::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)) {
    rdbuf(own_.get());
    if (which == Which::Error) setf(std::ios::unitbuf);
}

StandardStream::~StandardStream() { flush(); }

}  // namespace tht

#pragma once
// How the Windows file services tell the console clean-up which temporary
// files are live, by their full path.
#include <string>

namespace tht {

class RegisteredTemporary {
public:
    RegisteredTemporary() = default;
    explicit RegisteredTemporary(std::wstring path);
    RegisteredTemporary(RegisteredTemporary&& other) noexcept;
    RegisteredTemporary& operator=(RegisteredTemporary&& other) noexcept;
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;
    ~RegisteredTemporary() { release(); }
    // Once the file has been renamed or removed.
    void release() noexcept;

private:
    unsigned long long id_ = 0;
};

// Held while a temporary file takes its final name, so that a clean-up
// started meanwhile waits and then no longer finds it; the clean-up holds it
// to the end of the process, so no rename starts after it.
class CleanupPause {
public:
    CleanupPause();
    ~CleanupPause();
    CleanupPause(const CleanupPause&) = delete;
    CleanupPause& operator=(const CleanupPause&) = delete;
};

// Held while the files of a commit change names: a clean-up started meanwhile
// waits for the commit to end, the files all old or all new again. Unlike a
// CleanupPause, files may be registered and released while it is held.
class CommitHold {
public:
    CommitHold();
    ~CommitHold();
    CommitHold(const CommitHold&) = delete;
    CommitHold& operator=(const CommitHold&) = delete;
};

}  // namespace tht

#pragma once
// How the POSIX file services tell the signal clean-up which temporary files
// are live: a temporary is named by the descriptor of its open folder and its
// name in it, so removing it needs neither memory nor a path that may be
// longer than the system takes.
namespace tht {

class RegisteredTemporary {
public:
    RegisteredTemporary() = default;
    // Registers name (a temporaryName) in the folder open as folderFd, which
    // must stay open while registered. Without a free place it is not
    // registered: a later run's stale sweep removes it if the process dies.
    RegisteredTemporary(int folderFd, const char* name) noexcept;
    RegisteredTemporary(RegisteredTemporary&& other) noexcept;
    RegisteredTemporary& operator=(RegisteredTemporary&& other) noexcept;
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;
    ~RegisteredTemporary() { release(); }
    // Once the file has been renamed or removed.
    void release() noexcept;

private:
    int slot_ = -1;
};

}  // namespace tht

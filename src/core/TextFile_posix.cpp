// Whole-file text access on POSIX systems (the native build and its tests).
#include "core/TextFile.h"

#include "core/Errors.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace corvinade {

namespace {

std::string SystemText(int error) {
    return std::strerror(error);
}

[[noreturn]] void Fail(const char* what, const std::string& name, int error) {
    throw Error(std::string(what) + " \"" + name + "\". " + SystemText(error));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    // Closes now so that a failing close (delayed write errors) can be reported.
    int Close() {
        int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::optional<std::string> ReadTextFile(const std::string& name) {
    Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        Fail("Cannot open file", name, errno);
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail("Cannot open file", name, errno);
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string ReadExistingTextFile(const std::string& name) {
    std::optional<std::string> content = ReadTextFile(name);
    if (!content)
        Fail("Cannot open file", name, ENOENT);
    return std::move(*content);
}

std::optional<std::uint64_t> TextFileSize(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        Fail("Cannot open file", name, errno);
    }
    return static_cast<std::uint64_t>(info.st_size);
}

void RemoveSaveLeftovers(const std::string& name) {
    // Temporary names are NAME.XXXXXX (mkstemp).
    const std::size_t slash = name.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    const std::string base = (slash == std::string::npos ? name : name.substr(slash + 1)) + ".";
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file = entry->d_name;
        if (file.size() == base.size() + 6 && file.starts_with(base) &&
            std::all_of(file.begin() + static_cast<std::ptrdiff_t>(base.size()), file.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            ::unlink((directory + "/" + std::string(file)).c_str());
    }
    ::closedir(dir);
}

void ReplaceTextFile(const std::string& name, const std::string& content) {
    std::string temp = name + ".XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.Get() < 0)
        Fail("Cannot create file", name, errno);
    int error = 0;
    if (!WriteAll(fd.Get(), content) || ::fchmod(fd.Get(), 0644) != 0 || ::fsync(fd.Get()) != 0)
        error = errno;
    if (fd.Close() != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), name.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        Fail("Cannot create file", name, error);
    }
}

} // namespace corvinade
